#pragma once

// TDeductionSolver: plays a laid board from its first opening the way a
// careful player does, opening only cells that cannot hold a mine.

#include "model/BoardShape.h"
#include "model/GroupSearchCache.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class TGroupSearch;

// Cells are numbered col * Rows + row.  A cell is safe to open when no
// placement of the remaining mines that agrees with every shown number and
// with the mine total puts a mine on it; a cell that holds a mine in every
// such placement is marked.  Opening and marking go on until nothing more
// can be told.  Numbers count a neighbour as often as the neighbourhood
// visits it, as the board's own counts do.
//
// Work is counted in steps: a cell opened, marked or looked at, a number
// weighed, a placement tried.  The count depends on the board alone, never
// on the machine, and a step takes about the same time on any board.
class TDeductionSolver
{
public:
    explicit TDeductionSolver(const TBoardShape &shape);

    // The placements of a group of border cells are searched one by one; a
    // group needing more than `nodes` partial placements is left undecided,
    // so a sprawling border costs a bounded time.  0 (the default) searches
    // every group to the end.
    void SetSearchLimit(long nodes) { SearchLimit = nodes; }
    // The steps one Solve may take; past them it gives up (OutOfWork).
    // 0 (the default): no limit.
    void SetWorkLimit(long steps) { WorkLimit = steps; }

    // Plays the board `isMine` (one entry per cell) after opening the cells
    // of `firstOpening`, which hold no mine.  True when every safe cell got
    // opened.  Called again with the same opening on a board that differs
    // in a few mines, it keeps what the last play told before the player
    // could see a difference, and goes on from there; groups searched
    // before are not searched again.  With a search limit, what it tells
    // then may differ from a first play of that board, but the same calls
    // always give the same answers.
    bool Solve(const std::vector<std::uint8_t> &isMine, const std::vector<int> &firstOpening);

    // After Solve: the steps it took, and whether it stopped for its limit
    // (then it returned false and what it opened is only a start).
    long WorkDone() const { return Work; }
    bool OutOfWork() const { return WorkLimit > 0 && Work > WorkLimit; }

    // After Solve: how many cells it opened or marked.
    int CellsTold() const { return Opened + Marked; }
    // After Solve: what it opened and marked.
    bool IsOpened(int cell) const { return Status[cell] == csOpened; }
    bool IsMarked(int cell) const { return Status[cell] == csMarked; }
    // After Solve: whether a still covered, unmarked cell touches an opened one.
    bool IsOnBorder(int cell) const { return Status[cell] == csCovered && OpenedNear[cell] > 0; }

    const TBoardShape &Shape() const { return BoardShape; }
    int CellCount() const { return BoardShape.CellCount(); }
    // The neighbour positions of a cell, a position visited twice listed twice.
    const std::vector<int> &Neighbours(int cell) const { return NeighbourLists[cell]; }

private:
    enum TCellStatus : std::uint8_t { csCovered, csOpened, csMarked };

    // Border cells linked through the numbers they share, and the numbers
    // (opened cells) that link them.
    struct TGroup {
        std::vector<int> Cells;
        std::vector<int> Numbers;
    };

    // Starting over, or from what the last play of a nearly equal board told.
    void Restart(const std::vector<std::uint8_t> &isMine, const std::vector<int> &firstOpening);
    std::size_t StepsStillValid(const std::vector<std::uint8_t> &isMine);
    void TakeBack(std::size_t keep);
    void ClearBoard();
    bool Spend(long steps);
    int NextStamp();

    void Open(int cell);
    void OpenOne(int cell);
    void Mark(int cell);
    void Touch(int cell);
    void DropNumber(int cell);
    int MinesLeftAround(int cell) const { return Shown[cell] - MarkedNear[cell]; }
    bool CountsACellTwice(int cell) const;
    void CoveredAround(int cell, std::vector<int> &cells) const;

    bool ApplySingles();
    bool ApplyPairs();
    void WeighPair(int a, int b, std::vector<int> &safe, std::vector<int> &mines);
    bool ApplySearch();
    void CollectGroups();
    std::shared_ptr<const TGroupSearch> SearchGroup(const TGroup &group, int mineCap);
    bool Decide(const std::vector<int> &safe, const std::vector<int> &mines);

    TBoardShape BoardShape;
    std::vector<std::vector<int>> NeighbourLists;
    std::vector<std::uint8_t> HasRepeats; // a neighbourhood visiting a cell twice
    long SearchLimit = 0;
    long WorkLimit = 0;
    long Work = 0;

    // The board being solved.
    const std::vector<std::uint8_t> *Mines = nullptr;
    std::vector<TCellStatus> Status;
    std::vector<int> Shown;       // the number an opened cell shows
    std::vector<int> CoveredNear; // neighbours neither opened nor marked
    std::vector<int> MarkedNear;
    std::vector<int> OpenedNear;
    std::vector<int> Numbers;  // opened cells with covered neighbours
    std::vector<int> NumberAt; // a cell's place in Numbers, or -1
    std::vector<int> Dirty;    // numbers changed since the last singles
    std::vector<std::uint8_t> IsDirty;
    std::vector<int> Fresh; // numbers changed since the last pairs
    std::vector<std::uint8_t> IsFresh;
    int MineTotal = 0;
    int Opened = 0;
    int Marked = 0;

    // What the last play opened (cell) and marked (~cell), in order, on
    // which board and from which opening.
    std::vector<int> Steps;
    std::vector<std::uint8_t> LastMines;
    std::vector<int> LastOpening;

    // Scratch space kept between passes.
    std::vector<int> Stamp;
    int StampValue = 0;
    std::vector<int> Parent;
    std::vector<int> GroupOf;
    std::vector<int> LocalIndex;
    std::vector<TGroup> Groups;
    TGroupSearchCache Searched;
};
