#pragma once

// TSavedGame: a game under way as it is kept from one run to the next, and
// the bytes of the file that holds a short list of them ("Ferrox game.sav").

#include "model/MineField.h"
#include "model/Mines.h"

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QtGlobal>

#include <optional>

// One cell as it stood: only the states of a game under way are kept.
struct TSavedCell {
    bool IsMine = false;
    quint8 MinesAround = 0;
    TMineState State = msCovered;
    bool operator==(const TSavedCell &) const = default;
};

// Everything that makes the game go on exactly where it stopped.  The cells
// are kept where they stand, so a board turned by the edge buttons comes
// back turned.
struct TSavedGame {
    // Which copy of the game kept it: a later save by the same copy replaces
    // its own entry and leaves the other copies' entries alone.
    quint64 Keeper = 0;
    TBoardSize Size;
    int Level = LevelCustom;
    bool QuestionMarks = true;
    bool CrossPointer = false;
    bool Borders = true;
    bool WindowsPress = false;
    bool ClearNeighbours = true;
    // The option, and what the board on screen was laid as: a No Guessing
    // board, or one that fell back to the ordinary laying.
    bool NoGuessing = false;
    bool NoGuessingGame = false;
    bool MayNeedGuess = false;
    qint32 MinesLeft = 0;
    qint32 CoveredSafe = 0;
    qint32 Seconds = 0;
    quint32 RandomState = 0;
    // Column by column: the cell (col, row) at col * Size.Rows + row.
    QList<TSavedCell> Cells;

    bool operator==(const TSavedGame &) const = default;
    const TSavedCell &Cell(int col, int row) const { return Cells[col * Size.Rows + row]; }
    bool Fits(const TBoardLimits &limits) const
    {
        return Size.Cols <= limits.MaxCols && Size.Rows <= limits.MaxRows;
    }
};

// The file keeps the newest games first, this many at most.
inline constexpr int MaxSavedGames = 10;
// The format this build writes and the only one it reads.
inline constexpr quint16 SavedGameFormatVersion = 1;

// The file's bytes for `games`, newest first (only the first MaxSavedGames):
// a header with the format version, the games, and a CRC-32 of all that.
QByteArray EncodeSavedGames(const QList<TSavedGame> &games);

// Reads what EncodeSavedGames wrote, and nothing else: a file cut short or
// too long, with any byte changed (the checksum), of another format version,
// holding a board larger than the cell storage, or a game that could not be
// under way (mines or counts that do not add up, an open mine, nothing left
// to open) is refused as a whole.  Reads no more than the largest file the
// game writes, whatever the device holds.
std::optional<QList<TSavedGame>> ReadSavedGames(QIODevice &device);

// The game on `model` as it stands, with the clock's seconds.
TSavedGame SaveBoard(const TMines &model, qint32 seconds);
// Puts the saved board, its options and counters and the generator's state
// into `model`; the cells outside the board are left alone.
void RestoreBoard(TMines &model, const TSavedGame &game);
