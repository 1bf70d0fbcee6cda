// "Ferrox game.sav": any bytes, read as they come and once more with the
// checksum they lack put at their end, so that the fuzzer gets past it to
// the games.  What is read is a game under way that writes back to the very
// bytes and goes onto a board and off it unchanged.
#include "FuzzSupport.h"
#include "model/MineGame.h"
#include "model/SavedGame.h"

#include <QBuffer>
#include <QtEndian>

namespace
{

// The CRC-32 of zip, as the file has it.
quint32 Crc(QByteArrayView bytes)
{
    quint32 crc = 0xffffffffu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ 0xedb88320u : crc >> 1;
    }
    return ~crc;
}

std::optional<QList<TSavedGame>> Read(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return ReadSavedGames(buffer);
}

void CheckGame(const TSavedGame &game)
{
    FUZZ_CHECK(game.Size.Cols >= 1 && game.Size.Cols <= MaxSlots);
    FUZZ_CHECK(game.Size.Rows >= 1 && game.Size.Rows <= MaxSlots);
    FUZZ_CHECK(game.Size.Mines >= 1 && game.Size.Mines < game.Size.Cols * game.Size.Rows);
    FUZZ_CHECK(game.Cells.size() == game.Size.Cols * game.Size.Rows);
    TGameEnvironment environment;
    environment.Limits = {MaxSlots, MaxSlots};
    TMineGame resumed(TMines::TStoreUse::None, environment);
    resumed.ResumeGame(game);
    FUZZ_CHECK(resumed.IsPlaying() && resumed.IsPaused());
    std::optional<TSavedGame> again = resumed.GameUnderWay();
    FUZZ_CHECK(again);
    again->Keeper = game.Keeper;
    FUZZ_CHECK(*again == game);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    StartQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    if (const std::optional<QList<TSavedGame>> games = Read(input))
        FUZZ_CHECK(EncodeSavedGames(*games) == input);
    QByteArray sealed = input;
    char sum[4];
    qToLittleEndian(Crc(input), sum);
    sealed.append(sum, 4);
    if (const std::optional<QList<TSavedGame>> games = Read(sealed)) {
        FUZZ_CHECK(!games->isEmpty() && games->size() <= MaxSavedGames);
        FUZZ_CHECK(EncodeSavedGames(*games) == sealed);
        for (const TSavedGame &game : *games)
            CheckGame(game);
    }
    return 0;
}
