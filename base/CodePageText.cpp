#include "base/CodePageText.h"

#include <array>

namespace
{

// The characters of bytes 0x80..0x9F; the rest of the code page is Latin-1.
// The undefined bytes keep their own value, as the C1 control characters.
constexpr std::array<char16_t, 32> HighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr int HighFirst = 0x80;
constexpr int HighLast = 0x9F;

char16_t CharacterOf(quint8 byte)
{
    if (byte >= HighFirst && byte <= HighLast)
        return HighControls[byte - HighFirst];
    return byte;
}

// The byte that stores `ch`, or -1 when the code page has none.
int ByteOf(QChar ch)
{
    const char16_t code = ch.unicode();
    if (code < HighFirst || (code > HighLast && code <= 0xFF))
        return code;
    for (int i = 0; i < int(HighControls.size()); ++i)
        if (HighControls[size_t(i)] == code)
            return HighFirst + i;
    return -1;
}

} // namespace

QString FromCodePageBytes(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        text[i] = QChar(CharacterOf(quint8(bytes[i])));
    return text;
}

QByteArray ToCodePageBytes(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        const int byte = ByteOf(ch);
        if (byte >= 0) {
            bytes.append(char(byte));
            continue;
        }
        if (ch.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        bytes.append('?');
    }
    return bytes;
}

QString ToCodePageText(const QString &text)
{
    return FromCodePageBytes(ToCodePageBytes(text));
}

bool IsCodePageCharacter(QChar ch)
{
    return ByteOf(ch) >= 0;
}

bool IsStorableNameCharacter(QChar ch)
{
    return IsCodePageCharacter(ch) && ch.category() != QChar::Other_Control;
}

QString WithoutControlCharacters(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar ch : text) {
        if (ch.category() != QChar::Other_Control)
            result.append(ch);
    }
    return result;
}
