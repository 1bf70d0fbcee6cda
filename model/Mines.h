#pragma once

// TMines: the board, its configuration and options, the rules of a game and
// the stored settings.  Qt Core only: no display is needed to build, run or
// test it.

#include "base/Constants.h"
#include "base/Random.h"
#include "base/Rounding.h"
#include "model/BoardShape.h"
#include "model/GameEnvironment.h"
#include "model/MineField.h"
#include "model/TimeType.h"

#include <QList>
#include <QPoint>
#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <memory>

// A board's configuration: its columns, rows and mines.
struct TBoardSize {
    int Cols = 0;
    int Rows = 0;
    int Mines = 0;
    bool operator==(const TBoardSize &) const = default;
};

// The level presets: 0 Easy 8 x 8 / 10, 1 Medium 16 x 16 / 40, 2 Hard 30 x 20 / 99.
constexpr int LevelEasy = 0;
constexpr int LevelMedium = 1;
constexpr int LevelHard = 2;
constexpr int LevelCustom = 3;
extern const TBoardSize LevelPresets[3];

// The remembered record name keeps at most this many characters.
constexpr int RecordNameLength = 30;

// The cell slots of the board, Cells[col][row].  The model moves and changes
// the cells it owns; whoever holds the model read-only gets read-only cells.
class TCellGrid
{
public:
    TMineField **operator[](int col) { return Slots[col]; }
    const TMineField *const *operator[](int col) const { return Slots[col]; }

private:
    TMineField *Slots[MaxSlots][MaxSlots];
};

// A list of the model's cells (the reveal queue, the cells to repaint): read
// through a const model, it hands out read-only cells.
class TCellList
{
public:
    void append(TMineField *cell) { Items.append(cell); }
    TMineField *takeLast() { return Items.takeLast(); }
    void clear() { Items.clear(); }
    void reserve(qsizetype size) { Items.reserve(size); }
    qsizetype size() const { return Items.size(); }
    bool isEmpty() const { return Items.isEmpty(); }
    qsizetype count(const TMineField *cell) const { return std::count(begin(), end(), cell); }
    TMineField **begin() { return Items.data(); }
    TMineField **end() { return Items.data() + Items.size(); }
    const TMineField *const *begin() const { return Items.constData(); }
    const TMineField *const *end() const { return Items.constData() + Items.size(); }

private:
    QList<TMineField *> Items;
};

// The single game model.  The program holds it only through the game object
// (TMineGame), read-only: the game alone changes it.
class TMines
{
public:
    // Whether the constructor loads and the destructor saves the
    // environment's settings store.  The program always uses LoadAndSave; tests and
    // benchmarks that do not look at the store may pass None.
    enum class TStoreUse { LoadAndSave, None };

    // Initial values of a new model, every cell created (all 101 x 101 slots, so a
    // level preset always has its cells), empty lists, then LoadSettings()
    // (which applies the level and mends an unplayable board), and the
    // generator's first state from the environment.
    explicit TMines(TStoreUse storeUse = TStoreUse::LoadAndSave,
                    const TGameEnvironment &environment = {});
    // SaveSettings() (with LoadAndSave), then releases the cells and lists.
    ~TMines();
    TMines(const TMines &) = delete;
    TMines &operator=(const TMines &) = delete;

    // Configuration and options, in declaration order, with their initial values.
    quint8 Cols = 16;
    quint8 Rows = 16;
    quint8 Level = 0;
    bool QuestionMarks = true;
    bool CrossPointer = false;
    bool Borders = true;
    bool WindowsPress = false;
    bool ClearNeighbours = true;
    // The first opening lays a board that can be finished by reasoning alone.
    bool NoGuessing = false;
    QString RecordName; // at most 30 characters
    qint32 Mines = 40;
    qint32 MinesLeft = 0;
    // Cells[col][row]; the board uses [0..Cols-1][0..Rows-1].  Never null.
    TCellGrid Cells;
    TCellList RevealQueue;  // used as a stack (last in, first out)
    TCellList ChangedCells; // uncovered by the last reveals, to repaint
    qint32 CoveredSafe = 0;

    // The largest board this model's screen shows.
    const TBoardLimits &Limits() const { return BoardLimits; }
    // The game's one generator: mines are laid and play lists shuffled with it.
    TRandom &Random() { return Generator; }
    const TRandom &Random() const { return Generator; }

    // --- board -------------------------------------------------------------

    TBoardSize BoardSize() const { return {Cols, Rows, Mines}; }

    // Every cell of the Cols x Rows board back to the new-cell values.  Cells
    // outside the board, MinesLeft and CoveredSafe are not touched.
    void ResetBoard();

    // Level 0..2 overwrites Cols, Rows and Mines with its preset (not limited
    // by the limits); any other level keeps them.  Sets Level.
    void ApplyLevel(int level);

    // Brings an unplayable board into range, changing nothing that can be
    // played: Cols to 1..MaxCols, Rows to 1..MaxRows of the limits (a preset level is left
    // alone: it always has its cells), a board of a single cell grows to two,
    // and Mines to 1..Cols*Rows-1.
    void MendBoard();

    // Rotates the board's contents by one cell in direction (dx, dy), each in
    // {-1, 0, +1}, not both 0: new Cells[x][y] = old Cells[(x-dx) mod Cols]
    // [(y-dy) mod Rows].  dx +1 is right, dy +1 is down.  A diagonal is the
    // horizontal move followed by the vertical one.  Only references move;
    // then RenumberCells() is called.  Counters and lists are untouched.
    void RotateBoard(int dx, int dy);

    // Sets Col/Row of every cell of the board to its slot.
    void RenumberCells();

    TBoardShape Shape() const { return {Cols, Rows, Borders}; }

    // The neighbour positions of (col, row), and its whole 3 x 3 block: the
    // board's neighbourhood rule (TBoardShape).
    template <typename Visit> void ForEachNeighbour(int col, int row, Visit &&visit) const
    {
        Shape().ForEachNeighbour(col, row, visit);
    }
    template <typename Visit> void ForEachInBlock(int col, int row, Visit &&visit) const
    {
        Shape().ForEachInBlock(col, row, visit);
    }

    // --- rules -------------------------------------------------------------

    // Places Mines mines so that (col, row) holds none; sets MinesAround,
    // CoveredSafe = Cols*Rows - Mines and MinesLeft = Mines.  Needs
    // 1 <= Mines < Cols*Rows and a board just reset.
    void LayMines(int col, int row);

    // Lays the mines so that the board can be finished from this first
    // opening by reasoning alone: (col, row) shows a 0 and the probed cells
    // (the cross pointer's arms) hold no mine.  Drawn from the game's
    // generator, so a state and a first opening replay the same board on
    // any machine: the search is bounded by the work it does, not by time.
    // When no such board turns up within that work, lays an ordinary board
    // (LayMines) and returns false.
    bool LayGuessFreeMines(int col, int row, const QList<QPoint> &probes);

    // Queues (col, row) unless already Queued or Revealed, whatever its
    // State; if it is msOpen and ClearNeighbours is on and its flagged block
    // count equals MinesAround, queues its unflagged, unqueued neighbours.
    // With process true returns ProcessQueue() (when anything is queued);
    // otherwise false.
    bool Reveal(int col, int row, bool process);

    // Uncovers the queued cells depth-first (flood fill over MinesAround 0,
    // through question marks, stopped by flags), appending safe cells to
    // ChangedCells.  True when the game ends now: a mine was uncovered or
    // CoveredSafe reached 0.
    bool ProcessQueue();

    // Cells marked msFlagged in the 3 x 3 block around (col, row), the cell
    // itself included (wrap rule as ForEachInBlock).
    int CountFlagsAround(int col, int row) const;

    // CoveredSafe == 0.
    bool IsWon() const;

    // The marking cycle (right press once the mines are laid): covered ->
    // flagged (MinesLeft -1) -> question (QuestionMarks on) or covered
    // (MinesLeft +1); question -> covered; any other state unchanged.
    // Returns true when MinesLeft changed.
    bool CycleMark(int col, int row);

    // The end-of-game marking of every board cell: flagged mines (every mine
    // after a win) become msFoundMine, flagged safe cells msWrongFlag, other
    // covered/flagged/question mines msOpen; an exploded mine stays exploded
    // after a loss.  The caller repaints the whole board.
    void MarkEndOfGame();

    // --- settings ----------------------------------------------------------

    // Reads SIZE, QUESTION, WINPRESS, CROSS, BORDERS, NEIGHBOURS, NOGUESS,
    // COLS, ROWS, MINES, RECNAME from the environment's store (absent or invalid
    // values keep the field), limits Cols/Rows to the maxima, applies the
    // level, then mends what cannot be played (MendBoard).
    void LoadSettings();
    // Writes the eleven values in the table order (MUSIC is the player's).  False when the store
    // refused the write (nothing is shown).
    bool SaveSettings() const;

private:
    TSettingsStore Settings;
    TStoreUse StoreUse;
    TBoardLimits BoardLimits;
    TRandom Generator;
    std::unique_ptr<TMineField[]> FieldStore; // the 101 x 101 cell objects

    void PushIfOpenable(TMineField *cell);
    // The laying's parts: how many mines fit, one mine and its counts, and
    // the counters once all are in.
    int MinesToLay() const;
    void PlaceMine(int col, int row);
    void FinishLaying();
};
