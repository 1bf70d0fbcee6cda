#include "model/DeductionSolver.h"

#include <QtGlobal>

#include <algorithm>
#include <numeric>

namespace
{
// The placements of one group of border cells: cells linked through the
// numbers they share, so that no number reaches two groups.  For each count
// of mines in the group it records whether some placement has that count,
// and per cell whether such a placement put a mine on it and whether one
// left it free.
class TGroupSearch
{
public:
    struct TTerm {
        int Constraint;
        int Weight; // how often the number's neighbourhood visits the cell
    };

    TGroupSearch(int cellCount, std::vector<int> needed, std::vector<std::vector<TTerm>> terms,
                 int mineCap, long nodeLimit)
        : CellCount(cellCount), Needed(std::move(needed)), Terms(std::move(terms)),
          MineCap(mineCap), NodeLimit(nodeLimit), Sum(Needed.size(), 0), Room(Needed.size(), 0),
          Assigned(cellCount, 0), CountSeen(cellCount + 1, 0),
          Seen(static_cast<size_t>(cellCount) * (cellCount + 1), 0)
    {
        for (const std::vector<TTerm> &cellTerms : Terms)
            for (const TTerm &term : cellTerms)
                Room[term.Constraint] += term.Weight;
    }

    // False when the node limit cut the search short.
    bool Run() { return Place(0, 0); }

    bool CountOccurs(int mines) const { return CountSeen[mines]; }
    bool SeenAsMine(int cell, int mines) const { return Seen[Slot(cell, mines)] & SeenMine; }
    bool SeenAsFree(int cell, int mines) const { return Seen[Slot(cell, mines)] & SeenFree; }

private:
    static constexpr std::uint8_t SeenMine = 1;
    static constexpr std::uint8_t SeenFree = 2;

    size_t Slot(int cell, int mines) const
    {
        return static_cast<size_t>(cell) * (CellCount + 1) + mines;
    }

    bool Place(int cell, int mines)
    {
        if (NodeLimit > 0 && ++Nodes > NodeLimit)
            return false;
        if (cell == CellCount) {
            Record(mines);
            return true;
        }
        for (int mine : {0, 1}) {
            if (mine && mines == MineCap)
                continue;
            if (Assign(cell, mine) && !Place(cell + 1, mines + mine)) {
                Unassign(cell, mine);
                return false;
            }
            Unassign(cell, mine);
        }
        return true;
    }

    // Sets the cell and says whether every number it touches can still be
    // met.
    bool Assign(int cell, int mine)
    {
        Assigned[cell] = static_cast<std::uint8_t>(mine);
        bool possible = true;
        for (const TTerm &term : Terms[cell]) {
            Room[term.Constraint] -= term.Weight;
            Sum[term.Constraint] += mine * term.Weight;
            const int sum = Sum[term.Constraint];
            if (sum > Needed[term.Constraint] ||
                sum + Room[term.Constraint] < Needed[term.Constraint])
                possible = false;
        }
        return possible;
    }

    void Unassign(int cell, int mine)
    {
        for (const TTerm &term : Terms[cell]) {
            Room[term.Constraint] += term.Weight;
            Sum[term.Constraint] -= mine * term.Weight;
        }
    }

    void Record(int mines)
    {
        CountSeen[mines] = 1;
        for (int cell = 0; cell < CellCount; ++cell)
            Seen[Slot(cell, mines)] |= Assigned[cell] ? SeenMine : SeenFree;
    }

    int CellCount;
    std::vector<int> Needed;
    std::vector<std::vector<TTerm>> Terms;
    int MineCap;
    long NodeLimit;
    long Nodes = 0;
    std::vector<int> Sum;
    std::vector<int> Room;
    std::vector<std::uint8_t> Assigned;
    std::vector<std::uint8_t> CountSeen;
    std::vector<std::uint8_t> Seen;
};

// Finds the group a border cell belongs to.
int Root(std::vector<int> &parent, int cell)
{
    while (parent[cell] != cell)
        cell = parent[cell] = parent[parent[cell]];
    return cell;
}

// Which totals (0..limit) some choice of one allowed count per group adds
// up to: sums[g][t] for the first g groups.
std::vector<std::vector<std::uint8_t>>
PrefixSums(const std::vector<std::vector<std::uint8_t>> &allowed, int limit)
{
    std::vector<std::vector<std::uint8_t>> sums(allowed.size() + 1,
                                                std::vector<std::uint8_t>(limit + 1, 0));
    sums[0][0] = 1;
    for (size_t g = 0; g < allowed.size(); ++g)
        for (int total = 0; total <= limit; ++total)
            if (sums[g][total])
                for (int count = 0; count < static_cast<int>(allowed[g].size()); ++count)
                    if (allowed[g][count] && total + count <= limit)
                        sums[g + 1][total + count] = 1;
    return sums;
}
} // namespace

TDeductionSolver::TDeductionSolver(const TBoardShape &shape)
    : BoardShape(shape), NeighbourLists(shape.CellCount())
{
    for (int col = 0; col < shape.Cols; ++col)
        for (int row = 0; row < shape.Rows; ++row)
            shape.ForEachNeighbour(col, row, [&](int c, int r) {
                NeighbourLists[col * shape.Rows + row].push_back(c * shape.Rows + r);
            });
}

bool TDeductionSolver::Solve(const std::vector<std::uint8_t> &isMine,
                             const std::vector<int> &firstOpening)
{
    Mines = &isMine;
    Status.assign(CellCount(), csCovered);
    Shown.assign(CellCount(), 0);
    IsDirty.assign(CellCount(), 0);
    Dirty.clear();
    MineTotal = static_cast<int>(std::count(isMine.begin(), isMine.end(), 1));
    Opened = 0;
    Marked = 0;
    for (int cell : firstOpening)
        if (!isMine[cell])
            Open(cell);
    const int safeCells = CellCount() - MineTotal;
    while (Opened < safeCells) {
        if (ApplySingles())
            continue;
        if (!ApplyPairs() && !ApplySearch())
            break;
    }
    return Opened == safeCells;
}

bool TDeductionSolver::IsOnBorder(int cell) const
{
    if (Status[cell] != csCovered)
        return false;
    const std::vector<int> &around = NeighbourLists[cell];
    return std::any_of(around.begin(), around.end(),
                       [this](int next) { return Status[next] == csOpened; });
}

// Opens the cell, and like the board, every neighbour of an opened 0.
void TDeductionSolver::Open(int cell)
{
    std::vector<int> stack;
    auto push = [&](int next) {
        if (Status[next] != csCovered)
            return;
        Q_ASSERT(!(*Mines)[next]);
        Status[next] = csOpened;
        ++Opened;
        stack.push_back(next);
    };
    push(cell);
    while (!stack.empty()) {
        const int opened = stack.back();
        stack.pop_back();
        int shown = 0;
        for (int next : NeighbourLists[opened])
            shown += (*Mines)[next];
        Shown[opened] = shown;
        MarkDirtyAround(opened);
        if (shown == 0)
            for (int next : NeighbourLists[opened])
                push(next);
    }
}

void TDeductionSolver::Mark(int cell)
{
    if (Status[cell] != csCovered)
        return;
    Q_ASSERT((*Mines)[cell]);
    Status[cell] = csMarked;
    ++Marked;
    MarkDirtyAround(cell);
}

void TDeductionSolver::MarkDirtyAround(int cell)
{
    auto dirty = [this](int next) {
        if (Status[next] == csOpened && !IsDirty[next]) {
            IsDirty[next] = 1;
            Dirty.push_back(next);
        }
    };
    dirty(cell);
    for (int next : NeighbourLists[cell])
        dirty(next);
}

TDeductionSolver::TConstraint TDeductionSolver::ConstraintOf(int cell) const
{
    TConstraint constraint;
    constraint.Cell = cell;
    constraint.MinesLeft = Shown[cell];
    for (int next : NeighbourLists[cell]) {
        if (Status[next] == csMarked)
            --constraint.MinesLeft;
        else if (Status[next] == csCovered)
            constraint.Cells.push_back(next);
    }
    std::sort(constraint.Cells.begin(), constraint.Cells.end());
    return constraint;
}

// A number whose mines are all marked frees the rest of its cells; one with
// as many mines left as covered cells marks them all.
bool TDeductionSolver::ApplySingles()
{
    bool progress = false;
    while (!Dirty.empty()) {
        const int cell = Dirty.back();
        Dirty.pop_back();
        IsDirty[cell] = 0;
        const TConstraint constraint = ConstraintOf(cell);
        if (constraint.Cells.empty())
            continue;
        if (constraint.MinesLeft == 0)
            progress |= Decide(constraint.Cells, {});
        else if (constraint.MinesLeft == static_cast<int>(constraint.Cells.size()))
            progress |= Decide({}, constraint.Cells);
    }
    return progress;
}

// Two overlapping numbers: when the cells only one of them sees must hold
// all the mines by which it exceeds the other, those cells are mines and
// the cells only the other sees are free.  Settles the common border
// patterns without a search.
bool TDeductionSolver::ApplyPairs()
{
    std::vector<TConstraint> constraints;
    std::vector<int> constraintAt(CellCount(), -1);
    for (int cell = 0; cell < CellCount(); ++cell) {
        if (Status[cell] != csOpened)
            continue;
        TConstraint constraint = ConstraintOf(cell);
        // A cell counted twice does not fit the pair rule; the search
        // weighs it.
        if (constraint.Cells.empty() ||
            std::adjacent_find(constraint.Cells.begin(), constraint.Cells.end()) !=
                constraint.Cells.end())
            continue;
        constraintAt[cell] = static_cast<int>(constraints.size());
        constraints.push_back(std::move(constraint));
    }
    std::vector<int> safe;
    std::vector<int> mines;
    std::vector<int> onlyA;
    std::vector<int> onlyB;
    for (const TConstraint &a : constraints)
        for (int shared : a.Cells)
            for (int other : NeighbourLists[shared]) {
                if (other <= a.Cell || constraintAt[other] < 0)
                    continue;
                const TConstraint &b = constraints[constraintAt[other]];
                onlyA.clear();
                onlyB.clear();
                std::set_difference(a.Cells.begin(), a.Cells.end(), b.Cells.begin(), b.Cells.end(),
                                    std::back_inserter(onlyA));
                std::set_difference(b.Cells.begin(), b.Cells.end(), a.Cells.begin(), a.Cells.end(),
                                    std::back_inserter(onlyB));
                const int excess = a.MinesLeft - b.MinesLeft;
                if (excess == static_cast<int>(onlyA.size())) {
                    mines.insert(mines.end(), onlyA.begin(), onlyA.end());
                    safe.insert(safe.end(), onlyB.begin(), onlyB.end());
                } else if (-excess == static_cast<int>(onlyB.size())) {
                    mines.insert(mines.end(), onlyB.begin(), onlyB.end());
                    safe.insert(safe.end(), onlyA.begin(), onlyA.end());
                }
            }
    return Decide(safe, mines);
}

// The full reasoning: every placement of each border group that meets its
// numbers, combined with the mine total and the covered cells away from the
// border.  A cell free in every placement that fits is opened, a cell
// mined in every one is marked.
bool TDeductionSolver::ApplySearch()
{
    const int minesLeft = MineTotal - Marked;
    std::vector<int> parent(CellCount(), -1);
    std::vector<TConstraint> constraints;
    for (int cell = 0; cell < CellCount(); ++cell) {
        if (Status[cell] != csOpened)
            continue;
        TConstraint constraint = ConstraintOf(cell);
        if (constraint.Cells.empty())
            continue;
        for (int covered : constraint.Cells)
            if (parent[covered] < 0)
                parent[covered] = covered;
        for (int covered : constraint.Cells)
            parent[Root(parent, covered)] = Root(parent, constraint.Cells.front());
        constraints.push_back(std::move(constraint));
    }

    // The groups, each cell listed in the order a search meets it: along
    // the numbers, so that each number is settled soon after its first cell.
    std::vector<int> groupOf(CellCount(), -1);
    std::vector<int> localIndex(CellCount(), -1);
    std::vector<std::vector<int>> groupCells;
    std::vector<std::vector<int>> groupConstraints;
    std::vector<int> interior;
    for (int cell = 0; cell < CellCount(); ++cell)
        if (Status[cell] == csCovered && parent[cell] < 0)
            interior.push_back(cell);
    for (size_t c = 0; c < constraints.size(); ++c) {
        const int root = Root(parent, constraints[c].Cells.front());
        if (groupOf[root] < 0) {
            groupOf[root] = static_cast<int>(groupCells.size());
            groupCells.emplace_back();
            groupConstraints.emplace_back();
        }
        const int group = groupOf[root];
        groupConstraints[group].push_back(static_cast<int>(c));
        for (int covered : constraints[c].Cells)
            if (localIndex[covered] < 0) {
                localIndex[covered] = static_cast<int>(groupCells[group].size());
                groupCells[group].push_back(covered);
            }
    }

    const int groups = static_cast<int>(groupCells.size());
    std::vector<TGroupSearch> searches;
    std::vector<std::uint8_t> complete(groups, 0);
    std::vector<std::vector<std::uint8_t>> allowed(groups);
    searches.reserve(groups);
    for (int g = 0; g < groups; ++g) {
        const int size = static_cast<int>(groupCells[g].size());
        std::vector<int> needed;
        std::vector<std::vector<TGroupSearch::TTerm>> terms(size);
        for (int c : groupConstraints[g]) {
            const int index = static_cast<int>(needed.size());
            needed.push_back(constraints[c].MinesLeft);
            for (int covered : constraints[c].Cells) {
                std::vector<TGroupSearch::TTerm> &cellTerms = terms[localIndex[covered]];
                if (!cellTerms.empty() && cellTerms.back().Constraint == index)
                    ++cellTerms.back().Weight;
                else
                    cellTerms.push_back({index, 1});
            }
        }
        searches.emplace_back(size, std::move(needed), std::move(terms), minesLeft, SearchLimit);
        complete[g] = searches[g].Run();
        allowed[g].assign(size + 1, 1);
        if (complete[g])
            for (int count = 0; count <= size; ++count)
                allowed[g][count] = searches[g].CountOccurs(count);
    }

    // The covered cells away from the border take what the groups leave:
    // between 0 and all of them, so the groups' total lies in [low, high].
    const int interiorCount = static_cast<int>(interior.size());
    const int high = minesLeft;
    const int low = minesLeft - interiorCount;
    if (high < 0)
        return false;
    const auto prefix = PrefixSums(allowed, high);
    std::vector<std::vector<std::uint8_t>> reversed(allowed.rbegin(), allowed.rend());
    const auto suffix = PrefixSums(reversed, high);

    std::vector<int> safe;
    std::vector<int> mines;
    for (int g = 0; g < groups; ++g) {
        if (!complete[g])
            continue;
        const std::vector<std::uint8_t> &before = prefix[g];
        const std::vector<std::uint8_t> &after = suffix[groups - 1 - g];
        // afterUpTo[t]: totals of the later groups up to t.
        std::vector<int> afterUpTo(high + 2, 0);
        for (int t = 0; t <= high; ++t)
            afterUpTo[t + 1] = afterUpTo[t] + after[t];
        auto fits = [&](int count) {
            for (int s = 0; s + count <= high; ++s) {
                if (!before[s])
                    continue;
                const int from = std::max(0, low - s - count);
                const int to = high - s - count;
                if (from <= to && afterUpTo[to + 1] - afterUpTo[from] > 0)
                    return true;
            }
            return false;
        };
        const int size = static_cast<int>(groupCells[g].size());
        std::vector<int> fitting;
        for (int count = 0; count <= size; ++count)
            if (allowed[g][count] && fits(count))
                fitting.push_back(count);
        for (int cell = 0; cell < size; ++cell) {
            bool canBeMine = false;
            bool canBeFree = false;
            for (int count : fitting) {
                canBeMine |= searches[g].SeenAsMine(cell, count);
                canBeFree |= searches[g].SeenAsFree(cell, count);
            }
            if (!canBeMine)
                safe.push_back(groupCells[g][cell]);
            else if (!canBeFree)
                mines.push_back(groupCells[g][cell]);
        }
    }
    if (interiorCount > 0) {
        const std::vector<std::uint8_t> &totals = prefix[groups];
        auto anyTotal = [&](int from, int to) {
            for (int t = std::max(0, from); t <= std::min(to, high); ++t)
                if (totals[t])
                    return true;
            return false;
        };
        if (!anyTotal(low, high - 1))
            safe.insert(safe.end(), interior.begin(), interior.end());
        else if (!anyTotal(low + 1, high))
            mines.insert(mines.end(), interior.begin(), interior.end());
    }
    return Decide(safe, mines);
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
