#pragma once

// TDeductionSolver: plays a laid board from its first opening the way a
// careful player does, opening only cells that cannot hold a mine.

#include "model/BoardShape.h"

#include <cstdint>
#include <vector>

// Cells are numbered col * Rows + row.  A cell is safe to open when no
// placement of the remaining mines that agrees with every shown number and
// with the mine total puts a mine on it; a cell that holds a mine in every
// such placement is marked.  Opening and marking go on until nothing more
// can be told.  Numbers count a neighbour as often as the neighbourhood
// visits it, as the board's own counts do.
class TDeductionSolver
{
public:
    explicit TDeductionSolver(const TBoardShape &shape);

    // The placements of a group of border cells are searched one by one; a
    // group needing more than `nodes` steps is left undecided, so a sprawling
    // border costs a bounded time.  0 (the default) searches every group to
    // the end.
    void SetSearchLimit(long nodes) { SearchLimit = nodes; }

    // Plays the board `isMine` (one entry per cell) after opening the cells
    // of `firstOpening`, which hold no mine.  True when every safe cell got
    // opened.
    bool Solve(const std::vector<std::uint8_t> &isMine, const std::vector<int> &firstOpening);

    // After Solve: what it opened and marked.
    bool IsOpened(int cell) const { return Status[cell] == csOpened; }
    bool IsMarked(int cell) const { return Status[cell] == csMarked; }
    // After Solve: whether a still covered, unmarked cell touches an opened one.
    bool IsOnBorder(int cell) const;

    const TBoardShape &Shape() const { return BoardShape; }
    int CellCount() const { return BoardShape.CellCount(); }
    // The neighbour positions of a cell, a position visited twice listed twice.
    const std::vector<int> &Neighbours(int cell) const { return NeighbourLists[cell]; }

private:
    enum TCellStatus : std::uint8_t { csCovered, csOpened, csMarked };

    // A shown number and the covered cells around it that are neither
    // opened nor marked, with how many mines must be among them.
    struct TConstraint {
        int Cell = 0;
        int MinesLeft = 0;
        std::vector<int> Cells; // sorted; a cell visited twice appears twice
    };

    void Open(int cell);
    void Mark(int cell);
    void MarkDirtyAround(int cell);
    TConstraint ConstraintOf(int cell) const;
    bool ApplySingles();
    bool ApplyPairs();
    bool ApplySearch();
    bool Decide(const std::vector<int> &safe, const std::vector<int> &mines);

    TBoardShape BoardShape;
    std::vector<std::vector<int>> NeighbourLists;
    long SearchLimit = 0;

    // The board being solved.
    const std::vector<std::uint8_t> *Mines = nullptr;
    std::vector<TCellStatus> Status;
    std::vector<int> Shown; // the number an opened cell shows
    std::vector<int> Dirty; // opened cells whose covered neighbours changed
    std::vector<std::uint8_t> IsDirty;
    int MineTotal = 0;
    int Opened = 0;
    int Marked = 0;
};
