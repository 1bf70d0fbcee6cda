#include "model/DeductionSolver.h"

#include "model/GroupSearch.h"
#include "model/PairRule.h"
#include "model/TotalFit.h"

#include <QtGlobal>

#include <algorithm>
#include <limits>

namespace
{
// A neighbourhood has at most eight positions.
constexpr int MaxAround = 8;

// Finds the group a border cell belongs to.
int Root(std::vector<int> &parent, int cell)
{
    while (parent[cell] != cell)
        cell = parent[cell] = parent[parent[cell]];
    return cell;
}
} // namespace

TDeductionSolver::TDeductionSolver(const TBoardShape &shape)
    : BoardShape(shape), NeighbourLists(shape.CellCount()), HasRepeats(shape.CellCount(), 0)
{
    const int cells = shape.CellCount();
    for (int col = 0; col < shape.Cols; ++col)
        for (int row = 0; row < shape.Rows; ++row)
            shape.ForEachNeighbour(col, row, [&](int c, int r) {
                NeighbourLists[col * shape.Rows + row].push_back(c * shape.Rows + r);
            });
    for (int cell = 0; cell < cells; ++cell) {
        std::vector<int> around = NeighbourLists[cell];
        std::sort(around.begin(), around.end());
        HasRepeats[cell] = std::adjacent_find(around.begin(), around.end()) != around.end();
    }
    Stamp.assign(cells, 0);
    Parent.assign(cells, -1);
    GroupOf.assign(cells, -1);
    LocalIndex.assign(cells, -1);
    ClearBoard();
}

bool TDeductionSolver::Solve(const std::vector<std::uint8_t> &isMine,
                             const std::vector<int> &firstOpening)
{
    Work = 0;
    Mines = &isMine;
    Restart(isMine, firstOpening);
    const int safeCells = CellCount() - MineTotal;
    while (Opened < safeCells && !OutOfWork()) {
        if (ApplySingles())
            continue;
        if (!ApplyPairs() && !ApplySearch())
            break;
    }
    LastMines = isMine;
    LastOpening = firstOpening;
    return Opened == safeCells && !OutOfWork();
}

// Moving a mine changes only the numbers around the cells it left and
// entered.  Until the last play opened one of those numbers (or marked a
// cell that changed), a player of either board saw the same and told the
// same, so the play is taken back to there and goes on.
void TDeductionSolver::Restart(const std::vector<std::uint8_t> &isMine,
                               const std::vector<int> &firstOpening)
{
    const int lastTotal = MineTotal;
    MineTotal = static_cast<int>(std::count(isMine.begin(), isMine.end(), 1));
    Spend(CellCount());
    std::size_t keep = 0;
    if (firstOpening == LastOpening && LastMines.size() == isMine.size() && lastTotal == MineTotal)
        keep = StepsStillValid(isMine);
    if (keep > 0)
        TakeBack(keep);
    else
        ClearBoard();
    for (int cell : firstOpening)
        if (!isMine[cell])
            Open(cell);
}

// Undoes the steps after the first `keep`.  The numbers next to an undone
// cell are weighed again; the others were weighed, alone and in pairs, as
// they stand, and tell nothing new.
void TDeductionSolver::TakeBack(std::size_t keep)
{
    while (Steps.size() > keep) {
        const int step = Steps.back();
        Steps.pop_back();
        const int cell = step >= 0 ? step : ~step;
        if (step >= 0) {
            --Opened;
            if (NumberAt[cell] >= 0)
                DropNumber(cell);
        } else {
            --Marked;
        }
        Status[cell] = csCovered;
        for (int next : NeighbourLists[cell]) {
            ++CoveredNear[next];
            --(step >= 0 ? OpenedNear : MarkedNear)[next];
            Touch(next);
        }
        Spend(1 + 2 * static_cast<long>(NeighbourLists[cell].size()));
    }
}

size_t TDeductionSolver::StepsStillValid(const std::vector<std::uint8_t> &isMine)
{
    const int near = NextStamp();
    const int changed = NextStamp();
    std::vector<int> moved;
    for (int cell = 0; cell < CellCount(); ++cell)
        if (isMine[cell] != LastMines[cell]) {
            moved.push_back(cell);
            Stamp[cell] = changed;
        }
    Spend(CellCount());
    for (int cell : moved)
        for (int next : NeighbourLists[cell])
            if (Stamp[next] != changed)
                Stamp[next] = near;
    for (size_t i = 0; i < Steps.size(); ++i) {
        const int step = Steps[i];
        if (step >= 0 ? Stamp[step] == near || Stamp[step] == changed : Stamp[~step] == changed)
            return i;
    }
    return Steps.size();
}

void TDeductionSolver::ClearBoard()
{
    const int cells = CellCount();
    Status.assign(cells, csCovered);
    Shown.assign(cells, 0);
    CoveredNear.resize(cells);
    for (int cell = 0; cell < cells; ++cell)
        CoveredNear[cell] = static_cast<int>(NeighbourLists[cell].size());
    MarkedNear.assign(cells, 0);
    OpenedNear.assign(cells, 0);
    Numbers.clear();
    NumberAt.assign(cells, -1);
    Dirty.clear();
    IsDirty.assign(cells, 0);
    Fresh.clear();
    IsFresh.assign(cells, 0);
    Steps.clear();
    Opened = 0;
    Marked = 0;
    Spend(cells);
}

int TDeductionSolver::NextStamp()
{
    if (StampValue == std::numeric_limits<int>::max()) {
        std::fill(Stamp.begin(), Stamp.end(), 0);
        StampValue = 0;
    }
    return ++StampValue;
}

bool TDeductionSolver::Spend(long steps)
{
    Work += steps;
    return !OutOfWork();
}

// Opens the cell, and like the board, every neighbour of an opened 0.
void TDeductionSolver::Open(int cell)
{
    if (Status[cell] != csCovered)
        return;
    std::vector<int> stack{cell};
    OpenOne(cell);
    while (!stack.empty()) {
        const int opened = stack.back();
        stack.pop_back();
        if (Shown[opened] != 0)
            continue;
        for (int next : NeighbourLists[opened])
            if (Status[next] == csCovered) {
                OpenOne(next);
                stack.push_back(next);
            }
    }
}

void TDeductionSolver::OpenOne(int cell)
{
    Q_ASSERT(!(*Mines)[cell]);
    Status[cell] = csOpened;
    ++Opened;
    Steps.push_back(cell);
    int shown = 0;
    for (int next : NeighbourLists[cell])
        shown += (*Mines)[next];
    Shown[cell] = shown;
    for (int next : NeighbourLists[cell]) {
        --CoveredNear[next];
        ++OpenedNear[next];
        Touch(next);
    }
    Touch(cell);
    Spend(1 + 2 * static_cast<long>(NeighbourLists[cell].size()));
}

void TDeductionSolver::Mark(int cell)
{
    if (Status[cell] != csCovered)
        return;
    Q_ASSERT((*Mines)[cell]);
    Status[cell] = csMarked;
    ++Marked;
    Steps.push_back(~cell);
    for (int next : NeighbourLists[cell]) {
        --CoveredNear[next];
        ++MarkedNear[next];
        Touch(next);
    }
    Spend(1 + static_cast<long>(NeighbourLists[cell].size()));
}

// An opened cell whose covered neighbours changed: a number to weigh again,
// or, with none left, no number any more.
void TDeductionSolver::Touch(int cell)
{
    if (Status[cell] != csOpened)
        return;
    const bool counts = CoveredNear[cell] > 0;
    if (counts && NumberAt[cell] < 0) {
        NumberAt[cell] = static_cast<int>(Numbers.size());
        Numbers.push_back(cell);
    } else if (!counts && NumberAt[cell] >= 0) {
        DropNumber(cell);
    }
    if (!IsDirty[cell]) {
        IsDirty[cell] = 1;
        Dirty.push_back(cell);
    }
    if (!IsFresh[cell]) {
        IsFresh[cell] = 1;
        Fresh.push_back(cell);
    }
}

void TDeductionSolver::DropNumber(int cell)
{
    const int last = Numbers.back();
    Numbers[NumberAt[cell]] = last;
    NumberAt[last] = NumberAt[cell];
    Numbers.pop_back();
    NumberAt[cell] = -1;
}

bool TDeductionSolver::CountsACellTwice(int cell) const
{
    if (!HasRepeats[cell])
        return false;
    std::vector<int> cells;
    CoveredAround(cell, cells);
    return std::adjacent_find(cells.begin(), cells.end()) != cells.end();
}

// Sorted, a cell visited twice listed twice.
void TDeductionSolver::CoveredAround(int cell, std::vector<int> &cells) const
{
    cells.clear();
    for (int next : NeighbourLists[cell])
        if (Status[next] == csCovered)
            cells.push_back(next);
    std::sort(cells.begin(), cells.end());
}

// A number whose mines are all marked frees the rest of its cells; one with
// as many mines left as covered cells marks them all.
bool TDeductionSolver::ApplySingles()
{
    bool progress = false;
    std::vector<int> cells;
    while (!Dirty.empty()) {
        const int cell = Dirty.back();
        Dirty.pop_back();
        IsDirty[cell] = 0;
        Spend(1);
        if (Status[cell] != csOpened || CoveredNear[cell] == 0)
            continue;
        const int left = MinesLeftAround(cell);
        if (left != 0 && left != CoveredNear[cell])
            continue;
        CoveredAround(cell, cells);
        for (int next : cells)
            left == 0 ? Open(next) : Mark(next);
        progress = true;
    }
    return progress;
}

// Two overlapping numbers: when the cells only one of them sees must hold
// all the mines by which it exceeds the other, those cells are mines and
// the cells only the other sees are free.  Settles the common border
// patterns without a search.  A pair of numbers neither of which changed
// since the last look tells nothing new, so only changed ones are weighed.
bool TDeductionSolver::ApplyPairs()
{
    std::vector<int> changed;
    changed.swap(Fresh);
    for (int cell : changed)
        IsFresh[cell] = 0;
    std::vector<int> safe;
    std::vector<int> mines;
    for (int a : changed) {
        // A cell counted twice does not fit the pair rule; the search
        // weighs it.
        if (Status[a] != csOpened || CoveredNear[a] == 0 || CountsACellTwice(a))
            continue;
        const int weighed = NextStamp();
        for (int shared : NeighbourLists[a]) {
            if (Status[shared] != csCovered)
                continue;
            Spend(static_cast<long>(NeighbourLists[shared].size()));
            for (int b : NeighbourLists[shared]) {
                if (b == a || Status[b] != csOpened || Stamp[b] == weighed)
                    continue;
                Stamp[b] = weighed;
                if (!CountsACellTwice(b))
                    WeighPair(a, b, safe, mines);
            }
        }
    }
    return Decide(safe, mines);
}

void TDeductionSolver::WeighPair(int a, int b, std::vector<int> &safe, std::vector<int> &mines)
{
    TPairRule::TNumber numbers[2];
    for (int k : {0, 1}) {
        const int cell = k == 0 ? a : b;
        numbers[k].MinesLeft = MinesLeftAround(cell);
        for (int next : NeighbourLists[cell])
            if (Status[next] == csCovered)
                numbers[k].Cells[numbers[k].Count++] = next;
    }
    Spend(TPairRule::Weigh(numbers[0], numbers[1], safe, mines));
}

// The full reasoning: every placement of each border group that meets its
// numbers, combined with the mine total and the covered cells away from the
// border.  A cell free in every placement that fits is opened, a cell
// mined in every one is marked.
bool TDeductionSolver::ApplySearch()
{
    const int minesLeft = MineTotal - Marked;
    CollectGroups();
    const int groups = static_cast<int>(Groups.size());
    std::vector<std::shared_ptr<const TGroupSearch>> searches;
    searches.reserve(groups);
    std::vector<std::uint8_t> complete(groups, 0);
    std::vector<std::vector<std::uint8_t>> allowed(groups);
    int borderCells = 0;
    for (int g = 0; g < groups && !OutOfWork(); ++g) {
        const int size = static_cast<int>(Groups[g].Cells.size());
        borderCells += size;
        searches.push_back(SearchGroup(Groups[g], minesLeft));
        complete[g] = searches[g]->Finished();
        allowed[g].assign(size + 1, 1);
        if (complete[g])
            for (int count = 0; count <= size; ++count)
                allowed[g][count] = searches[g]->CountOccurs(count);
    }
    const int interiorCount = CellCount() - Opened - Marked - borderCells;
    std::vector<int> safe;
    std::vector<int> mines;
    if (!OutOfWork() && minesLeft >= 0) {
        const TTotalFit fit = FitTotal(allowed, minesLeft - interiorCount, minesLeft);
        Spend(fit.Steps);
        for (int g = 0; g < groups; ++g) {
            if (!complete[g])
                continue;
            for (int cell = 0; cell < searches[g]->CellCount(); ++cell) {
                bool canBeMine = false;
                bool canBeFree = false;
                for (int count = 0; count <= searches[g]->CellCount(); ++count) {
                    if (!fit.Fitting[g][count])
                        continue;
                    canBeMine |= searches[g]->SeenAsMine(cell, count);
                    canBeFree |= searches[g]->SeenAsFree(cell, count);
                }
                if (!canBeMine)
                    safe.push_back(Groups[g].Cells[cell]);
                else if (!canBeFree)
                    mines.push_back(Groups[g].Cells[cell]);
            }
        }
        if (interiorCount > 0 && fit.Interior != 0) {
            Spend(CellCount());
            for (int cell = 0; cell < CellCount(); ++cell)
                if (Status[cell] == csCovered && Parent[cell] < 0)
                    (fit.Interior < 0 ? safe : mines).push_back(cell);
        }
    }
    for (const TGroup &group : Groups)
        for (int cell : group.Cells) {
            Parent[cell] = -1;
            GroupOf[cell] = -1;
            LocalIndex[cell] = -1;
        }
    return Decide(safe, mines);
}

// The groups, each cell listed in the order a search meets it: along the
// numbers, taken by position, so that each number is settled soon after
// its first cell.
void TDeductionSolver::CollectGroups()
{
    std::vector<int> numbers = Numbers;
    std::sort(numbers.begin(), numbers.end());
    Spend(static_cast<long>(numbers.size()) * (MaxAround + 1));
    std::vector<int> cells;
    for (int number : numbers) {
        CoveredAround(number, cells);
        for (int covered : cells)
            if (Parent[covered] < 0)
                Parent[covered] = covered;
        for (int covered : cells)
            Parent[Root(Parent, covered)] = Root(Parent, cells.front());
    }
    Groups.clear();
    for (int number : numbers) {
        CoveredAround(number, cells);
        const int root = Root(Parent, cells.front());
        if (GroupOf[root] < 0) {
            GroupOf[root] = static_cast<int>(Groups.size());
            Groups.emplace_back();
        }
        TGroup &group = Groups[GroupOf[root]];
        group.Numbers.push_back(number);
        for (int covered : cells)
            if (LocalIndex[covered] < 0) {
                LocalIndex[covered] = static_cast<int>(group.Cells.size());
                group.Cells.push_back(covered);
            }
    }
}

// A move changes the numbers in one corner of the board; the groups
// elsewhere are the ones searched before, so their placements are kept,
// known by what the search is given: each number, the mines it still asks
// for and its covered cells (a cap of mines the group cannot reach changes
// nothing).
std::shared_ptr<const TGroupSearch> TDeductionSolver::SearchGroup(const TGroup &group, int mineCap)
{
    const int size = static_cast<int>(group.Cells.size());
    std::vector<int> key{std::min(mineCap, size + 1)};
    std::vector<int> cells;
    for (int number : group.Numbers) {
        CoveredAround(number, cells);
        key.push_back(~MinesLeftAround(number));
        key.insert(key.end(), cells.begin(), cells.end());
    }
    Spend(static_cast<long>(key.size()) * 2 + size);
    if (auto known = Searched.Find(key))
        return known;

    std::vector<int> needed;
    std::vector<std::vector<TGroupSearch::TTerm>> terms(size);
    for (int number : group.Numbers) {
        const int index = static_cast<int>(needed.size());
        needed.push_back(MinesLeftAround(number));
        CoveredAround(number, cells);
        for (int covered : cells) {
            std::vector<TGroupSearch::TTerm> &cellTerms = terms[LocalIndex[covered]];
            if (!cellTerms.empty() && cellTerms.back().Constraint == index)
                ++cellTerms.back().Weight;
            else
                cellTerms.push_back({index, 1});
        }
    }
    auto search = std::make_shared<TGroupSearch>(size, std::move(needed), std::move(terms), mineCap,
                                                 SearchLimit);
    search->Run();
    Spend(search->Steps());
    Searched.Keep(std::move(key), search);
    return search;
}

bool TDeductionSolver::Decide(const std::vector<int> &safe, const std::vector<int> &mines)
{
    const int before = Opened + Marked;
    for (int cell : safe)
        Open(cell);
    for (int cell : mines)
        Mark(cell);
    return Opened + Marked != before;
}
