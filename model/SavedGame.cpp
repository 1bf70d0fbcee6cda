#include "model/SavedGame.h"

#include <QtEndian>

#include <array>

// The file, little-endian:
//
//   "FERROXSG"  8 bytes
//   version     u16
//   games       u8, 1..MaxSavedGames
//   each game:  keeper u64, cols u8, rows u8, mines u16, level u8,
//               options u8 (the OptionBits below), mines left i32,
//               covered safe cells i32, seconds i32, generator u32,
//               then cols * rows cells of one byte each, column by column:
//               bits 0-3 the count, bits 4-5 the state, bit 6 a mine
//   checksum    u32, the CRC-32 of every byte before it

namespace
{

constexpr char Magic[] = "FERROXSG";
constexpr int MagicSize = 8;
constexpr int HeaderSize = MagicSize + 2 + 1;
constexpr int GameHeaderSize = 8 + 1 + 1 + 2 + 1 + 1 + 4 + 4 + 4 + 4;
constexpr int ChecksumSize = 4;
constexpr qint64 LargestFile =
    HeaderSize + MaxSavedGames * (GameHeaderSize + MaxSlots * MaxSlots) + ChecksumSize;

enum OptionBits : quint8 {
    obQuestionMarks = 1,
    obCrossPointer = 2,
    obBorders = 4,
    obWindowsPress = 8,
    obClearNeighbours = 16,
    obNoGuessing = 32,
    obNoGuessingGame = 64,
    obMayNeedGuess = 128,
};

constexpr quint8 CountMask = 0x0f;
constexpr int StateShift = 4;
constexpr quint8 StateMask = 0x30;
constexpr quint8 MineBit = 0x40;
constexpr quint8 UnusedCellBits = 0x80;

std::array<quint32, 256> MakeCrcTable()
{
    std::array<quint32, 256> table{};
    for (quint32 i = 0; i < 256; ++i) {
        quint32 value = i;
        for (int bit = 0; bit < 8; ++bit)
            value = (value & 1) ? 0xedb88320u ^ (value >> 1) : value >> 1;
        table[i] = value;
    }
    return table;
}

// The CRC-32 of zip and PNG: any change of up to 32 bits in a row is seen.
quint32 Crc32(QByteArrayView bytes)
{
    static const std::array<quint32, 256> table = MakeCrcTable();
    quint32 crc = 0xffffffffu;
    for (const char byte : bytes)
        crc = table[(crc ^ quint8(byte)) & 0xff] ^ (crc >> 8);
    return crc ^ 0xffffffffu;
}

template <typename T> void Put(QByteArray &bytes, T value)
{
    char raw[sizeof(T)];
    qToLittleEndian(value, raw);
    bytes.append(raw, sizeof(T));
}

// Reads fields one after another and remembers when it ran past the end.
class TFieldReader
{
public:
    explicit TFieldReader(QByteArrayView bytes) : Bytes(bytes) {}

    template <typename T> T Get()
    {
        if (Position + qsizetype(sizeof(T)) > Bytes.size()) {
            Overrun = true;
            return T{};
        }
        const T value = qFromLittleEndian<T>(Bytes.data() + Position);
        Position += sizeof(T);
        return value;
    }
    bool AtEnd() const { return !Overrun && Position == Bytes.size(); }
    bool Ok() const { return !Overrun; }

private:
    QByteArrayView Bytes;
    qsizetype Position = 0;
    bool Overrun = false;
};

quint8 OptionsOf(const TSavedGame &game)
{
    quint8 options = 0;
    const std::pair<bool, OptionBits> flags[] = {
        {game.QuestionMarks, obQuestionMarks},
        {game.CrossPointer, obCrossPointer},
        {game.Borders, obBorders},
        {game.WindowsPress, obWindowsPress},
        {game.ClearNeighbours, obClearNeighbours},
        {game.NoGuessing, obNoGuessing},
        {game.NoGuessingGame, obNoGuessingGame},
        {game.MayNeedGuess, obMayNeedGuess},
    };
    for (const auto &[on, bit] : flags)
        if (on)
            options |= bit;
    return options;
}

void SetOptions(TSavedGame &game, quint8 options)
{
    game.QuestionMarks = options & obQuestionMarks;
    game.CrossPointer = options & obCrossPointer;
    game.Borders = options & obBorders;
    game.WindowsPress = options & obWindowsPress;
    game.ClearNeighbours = options & obClearNeighbours;
    game.NoGuessing = options & obNoGuessing;
    game.NoGuessingGame = options & obNoGuessingGame;
    game.MayNeedGuess = options & obMayNeedGuess;
}

void EncodeGame(QByteArray &bytes, const TSavedGame &game)
{
    Put<quint64>(bytes, game.Keeper);
    Put<quint8>(bytes, quint8(game.Size.Cols));
    Put<quint8>(bytes, quint8(game.Size.Rows));
    Put<quint16>(bytes, quint16(game.Size.Mines));
    Put<quint8>(bytes, quint8(game.Level));
    Put<quint8>(bytes, OptionsOf(game));
    Put<qint32>(bytes, game.MinesLeft);
    Put<qint32>(bytes, game.CoveredSafe);
    Put<qint32>(bytes, game.Seconds);
    Put<quint32>(bytes, game.RandomState);
    for (const TSavedCell &cell : game.Cells)
        Put<quint8>(bytes, quint8((cell.MinesAround & CountMask) | (cell.State << StateShift) |
                                  (cell.IsMine ? MineBit : 0)));
}

bool IsBoardPlayable(const TBoardSize &size, int level)
{
    const int cells = size.Cols * size.Rows;
    if (size.Cols < 1 || size.Cols > MaxSlots || size.Rows < 1 || size.Rows > MaxSlots ||
        size.Mines < 1 || size.Mines >= cells)
        return false;
    if (level >= LevelEasy && level <= LevelHard)
        return size == LevelPresets[level];
    return level == LevelCustom;
}

std::optional<TSavedCell> DecodeCell(quint8 byte)
{
    const int state = (byte & StateMask) >> StateShift;
    if ((byte & UnusedCellBits) || (byte & CountMask) > 8)
        return std::nullopt;
    TSavedCell cell;
    cell.IsMine = byte & MineBit;
    cell.MinesAround = byte & CountMask;
    cell.State = TMineState(state); // msOpen .. msQuestion: the states of a game under way
    return cell;
}

// What a game under way must be: each count the number of mines around its
// cell, no mine open, safe cells still covered, at least one cell open (the
// first opening laid the mines), and no more mines left than mines.
bool IsGameUnderWay(const TSavedGame &game)
{
    const TBoardShape shape{game.Size.Cols, game.Size.Rows, game.Borders};
    int mines = 0;
    int coveredSafe = 0;
    int open = 0;
    for (int col = 0; col < shape.Cols; ++col)
        for (int row = 0; row < shape.Rows; ++row) {
            const TSavedCell &cell = game.Cell(col, row);
            int around = 0;
            shape.ForEachNeighbour(col, row,
                                   [&](int c, int r) { around += game.Cell(c, r).IsMine; });
            if (around != cell.MinesAround || (cell.IsMine && cell.State == msOpen))
                return false;
            mines += cell.IsMine;
            open += cell.State == msOpen;
            coveredSafe += !cell.IsMine && cell.State != msOpen;
        }
    return mines == game.Size.Mines && open > 0 && coveredSafe > 0 &&
           coveredSafe == game.CoveredSafe && game.MinesLeft <= game.Size.Mines &&
           game.MinesLeft >= game.Size.Mines - shape.CellCount() && game.Seconds >= 0 &&
           (game.NoGuessingGame || !game.MayNeedGuess);
}

std::optional<TSavedGame> DecodeGame(TFieldReader &reader)
{
    TSavedGame game;
    game.Keeper = reader.Get<quint64>();
    game.Size.Cols = reader.Get<quint8>();
    game.Size.Rows = reader.Get<quint8>();
    game.Size.Mines = reader.Get<quint16>();
    game.Level = reader.Get<quint8>();
    SetOptions(game, reader.Get<quint8>());
    game.MinesLeft = reader.Get<qint32>();
    game.CoveredSafe = reader.Get<qint32>();
    game.Seconds = reader.Get<qint32>();
    game.RandomState = reader.Get<quint32>();
    if (!reader.Ok() || !IsBoardPlayable(game.Size, game.Level))
        return std::nullopt;
    const int cells = game.Size.Cols * game.Size.Rows;
    game.Cells.reserve(cells);
    for (int i = 0; i < cells; ++i) {
        const std::optional<TSavedCell> cell = DecodeCell(reader.Get<quint8>());
        if (!reader.Ok() || !cell)
            return std::nullopt;
        game.Cells.append(*cell);
    }
    if (!IsGameUnderWay(game))
        return std::nullopt;
    return game;
}

} // namespace

QByteArray EncodeSavedGames(const QList<TSavedGame> &games)
{
    QByteArray bytes(Magic, MagicSize);
    const qsizetype count = std::min<qsizetype>(games.size(), MaxSavedGames);
    Put<quint16>(bytes, SavedGameFormatVersion);
    Put<quint8>(bytes, quint8(count));
    for (qsizetype i = 0; i < count; ++i)
        EncodeGame(bytes, games[i]);
    Put<quint32>(bytes, Crc32(bytes));
    return bytes;
}

std::optional<QList<TSavedGame>> ReadSavedGames(QIODevice &device)
{
    const QByteArray bytes = device.read(LargestFile + 1);
    if (bytes.size() < HeaderSize + ChecksumSize || bytes.size() > LargestFile ||
        !bytes.startsWith(QByteArrayView(Magic, MagicSize)))
        return std::nullopt;
    const QByteArrayView body = QByteArrayView(bytes).first(bytes.size() - ChecksumSize);
    if (qFromLittleEndian<quint32>(bytes.constData() + body.size()) != Crc32(body))
        return std::nullopt;
    TFieldReader reader(body.sliced(MagicSize));
    const quint16 version = reader.Get<quint16>();
    const int count = reader.Get<quint8>();
    if (version != SavedGameFormatVersion || count < 1 || count > MaxSavedGames)
        return std::nullopt;
    QList<TSavedGame> games;
    for (int i = 0; i < count; ++i) {
        const std::optional<TSavedGame> game = DecodeGame(reader);
        if (!game)
            return std::nullopt;
        games.append(*game);
    }
    if (!reader.AtEnd())
        return std::nullopt;
    return games;
}

TSavedGame SaveBoard(const TMines &model, qint32 seconds)
{
    TSavedGame game;
    game.Size = model.BoardSize();
    game.Level = model.Level;
    game.QuestionMarks = model.QuestionMarks;
    game.CrossPointer = model.CrossPointer;
    game.Borders = model.Borders;
    game.WindowsPress = model.WindowsPress;
    game.ClearNeighbours = model.ClearNeighbours;
    game.NoGuessing = model.NoGuessing;
    game.MinesLeft = model.MinesLeft;
    game.CoveredSafe = model.CoveredSafe;
    game.Seconds = seconds;
    game.RandomState = model.Random().State();
    game.Cells.reserve(model.Cols * model.Rows);
    for (int col = 0; col < model.Cols; ++col)
        for (int row = 0; row < model.Rows; ++row) {
            const TMineField &cell = *model.Cells[col][row];
            game.Cells.append({cell.IsMine, cell.MinesAround, cell.State});
        }
    return game;
}

void RestoreBoard(TMines &model, const TSavedGame &game)
{
    model.Level = quint8(game.Level);
    model.Cols = quint8(game.Size.Cols);
    model.Rows = quint8(game.Size.Rows);
    model.Mines = game.Size.Mines;
    model.QuestionMarks = game.QuestionMarks;
    model.CrossPointer = game.CrossPointer;
    model.Borders = game.Borders;
    model.WindowsPress = game.WindowsPress;
    model.ClearNeighbours = game.ClearNeighbours;
    model.NoGuessing = game.NoGuessing;
    model.ResetBoard();
    model.RevealQueue.clear();
    model.ChangedCells.clear();
    for (int col = 0; col < model.Cols; ++col)
        for (int row = 0; row < model.Rows; ++row) {
            TMineField &cell = *model.Cells[col][row];
            const TSavedCell &saved = game.Cell(col, row);
            cell.IsMine = saved.IsMine;
            cell.MinesAround = saved.MinesAround;
            cell.State = saved.State;
            // An open cell has been through the reveal queue: it is never
            // queued again.
            cell.Queued = cell.Revealed = saved.State == msOpen;
        }
    model.MinesLeft = game.MinesLeft;
    model.CoveredSafe = game.CoveredSafe;
    model.Random().SetState(game.RandomState);
}
