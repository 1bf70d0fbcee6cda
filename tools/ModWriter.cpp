// The ProTracker "M.K." layout: a 20-byte title, 31 sample headers of 30
// bytes, the order list, the mark, the patterns and the sample bytes.  All
// numbers are big-endian; lengths and loops count 16-bit words.
#include "MusicArt.h"

#include <algorithm>
#include <cstring>

namespace MusicArt
{
namespace
{

// ProTracker's periods for finetune 0, C-1 to B-3.
constexpr int Periods[36] = {856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
                             428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,
                             214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113};

void PutWord(QByteArray &bytes, int value)
{
    bytes.append(static_cast<char>((value >> 8) & 0xFF));
    bytes.append(static_cast<char>(value & 0xFF));
}

void PutText(QByteArray &bytes, const QByteArray &text, int width)
{
    QByteArray field = text.left(width);
    field.append(QByteArray(width - field.size(), '\0'));
    bytes.append(field);
}

void PutSampleHeader(QByteArray &bytes, const TSample &sample)
{
    PutText(bytes, sample.Name, 22);
    PutWord(bytes, static_cast<int>(sample.Data.size() / 2));
    bytes.append('\0'); // finetune
    bytes.append(static_cast<char>(std::clamp(sample.Volume, 0, 64)));
    if (sample.LoopLength > 0) {
        PutWord(bytes, sample.LoopStart / 2);
        PutWord(bytes, sample.LoopLength / 2);
    } else {
        PutWord(bytes, 0);
        PutWord(bytes, 1); // the format's "no loop"
    }
}

void PutCell(QByteArray &bytes, const TCell &cell)
{
    bytes.append(static_cast<char>((cell.Sample & 0xF0) | ((cell.Period >> 8) & 0x0F)));
    bytes.append(static_cast<char>(cell.Period & 0xFF));
    bytes.append(static_cast<char>(((cell.Sample & 0x0F) << 4) | (cell.Effect & 0x0F)));
    bytes.append(static_cast<char>(cell.Param & 0xFF));
}

} // namespace

int NotePeriod(const char *note)
{
    static const char *const names[] = {"C-", "C#", "D-", "D#", "E-", "F-",
                                        "F#", "G-", "G#", "A-", "A#", "B-"};
    if (std::strlen(note) != 3 || note[2] < '1' || note[2] > '3')
        return 0;
    for (int i = 0; i < 12; ++i)
        if (std::strncmp(note, names[i], 2) == 0)
            return Periods[(note[2] - '1') * 12 + i];
    return 0;
}

QByteArray ModFile(const TModule &module)
{
    QByteArray bytes;
    PutText(bytes, module.Title, 20);
    for (int slot = 0; slot < SampleSlots; ++slot)
        PutSampleHeader(bytes, slot < static_cast<int>(module.Samples.size())
                                   ? module.Samples[static_cast<size_t>(slot)]
                                   : TSample());
    bytes.append(static_cast<char>(module.Order.size()));
    bytes.append(static_cast<char>(127)); // no restart position
    QByteArray order(128, '\0');
    for (size_t i = 0; i < module.Order.size() && i < 128; ++i)
        order[static_cast<qsizetype>(i)] = static_cast<char>(module.Order[i]);
    bytes.append(order);
    bytes.append("M.K.");
    for (const TPattern &pattern : module.Patterns)
        for (const TRow &row : pattern)
            for (const TCell &cell : row)
                PutCell(bytes, cell);
    for (const TSample &sample : module.Samples)
        bytes.append(reinterpret_cast<const char *>(sample.Data.data()),
                     static_cast<qsizetype>(sample.Data.size()));
    return bytes;
}

} // namespace MusicArt
