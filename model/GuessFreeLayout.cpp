#include "model/GuessFreeLayout.h"

#include <algorithm>

namespace
{
// A layout on which this many moves in a row told no more cells than the
// best before them is stuck where moving mines does not help: on Hard,
// layouts that settle at all settle within a dozen moves.
constexpr int MovesWithoutGain = 20;

// Picks one of the cells for which `pick` holds, evenly; -1 when none does.
template <typename Pick> int DrawCell(int cellCount, TRandom &random, Pick &&pick)
{
    int count = 0;
    for (int cell = 0; cell < cellCount; ++cell)
        count += pick(cell) ? 1 : 0;
    if (count == 0)
        return -1;
    int chosen = random.Below(count);
    for (int cell = 0; cell < cellCount; ++cell)
        if (pick(cell) && chosen-- == 0)
            return cell;
    return -1;
}
} // namespace

TGuessFreeLayout::TGuessFreeLayout(const TBoardShape &shape, int mines, long workBudget)
    : Solver(shape), MineCount(mines), Budget(workBudget)
{
    // A sprawling border is left for the next layout rather than searched
    // at length: most layouts settle in a few hundred steps.
    Solver.SetSearchLimit(20000);
}

std::optional<std::vector<std::uint8_t>>
TGuessFreeLayout::Lay(int first, const std::vector<int> &probes, TRandom &random)
{
    Spent = 0;
    const int cells = Solver.CellCount();
    // The first cell's block stays free so that it shows a 0; the probes
    // are opened too, so they stay free as well.
    std::vector<std::uint8_t> kept(cells, 0);
    kept[first] = 1;
    for (int next : Solver.Neighbours(first))
        kept[next] = 1;
    for (int probe : probes)
        kept[probe] = 1;
    std::vector<int> open;
    for (int cell = 0; cell < cells; ++cell)
        if (!kept[cell])
            open.push_back(cell);
    if (MineCount > static_cast<int>(open.size()))
        return std::nullopt;

    std::vector<int> opening{first};
    opening.insert(opening.end(), probes.begin(), probes.end());
    while (Spend(cells + MineCount)) {
        // A partial shuffle of the cells that may hold a mine.
        std::vector<std::uint8_t> layout(cells, 0);
        for (int i = 0; i < MineCount; ++i) {
            const int j = i + random.Below(static_cast<int>(open.size()) - i);
            std::swap(open[i], open[j]);
            layout[open[i]] = 1;
        }
        switch (Settle(layout, opening, kept, random)) {
        case TOutcome::Solved:
            return layout;
        case TOutcome::OutOfWork:
            return std::nullopt;
        case TOutcome::Stuck:
            break;
        }
    }
    return std::nullopt;
}

// Each move only changes the numbers around two cells: the solver goes on
// from what it told before it met them.
TGuessFreeLayout::TOutcome TGuessFreeLayout::Settle(std::vector<std::uint8_t> &layout,
                                                    const std::vector<int> &opening,
                                                    const std::vector<std::uint8_t> &kept,
                                                    TRandom &random)
{
    // However well it goes, a layout is moved about once per mine at most.
    const int movesPerLayout = std::max(MovesWithoutGain, MineCount);
    int mostTold = -1;
    int movesSinceMost = 0;
    for (int move = 0; move <= movesPerLayout; ++move) {
        if (Spent >= Budget)
            return TOutcome::OutOfWork;
        Solver.SetWorkLimit(Budget - Spent);
        const bool solved = Solver.Solve(layout, opening);
        Spend(Solver.WorkDone());
        if (Solver.OutOfWork())
            return TOutcome::OutOfWork;
        if (solved)
            return TOutcome::Solved;
        if (Solver.CellsTold() > mostTold) {
            mostTold = Solver.CellsTold();
            movesSinceMost = 0;
        } else if (++movesSinceMost > MovesWithoutGain) {
            return TOutcome::Stuck;
        }
        if (!LoosenBorder(layout, kept, random))
            return TOutcome::Stuck;
    }
    return TOutcome::Stuck;
}

bool TGuessFreeLayout::Spend(long steps)
{
    Spent += steps;
    return Spent <= Budget;
}

bool TGuessFreeLayout::LoosenBorder(std::vector<std::uint8_t> &layout,
                                    const std::vector<std::uint8_t> &kept, TRandom &random)
{
    const int cells = Solver.CellCount();
    // Each draw looks at every cell twice.
    Spend(4L * cells);
    const int from =
        DrawCell(cells, random, [&](int cell) { return layout[cell] && Solver.IsOnBorder(cell); });
    if (from < 0)
        return false;
    auto unreached = [&](int cell) {
        return !layout[cell] && !kept[cell] && !Solver.IsOpened(cell) && !Solver.IsMarked(cell) &&
               !Solver.IsOnBorder(cell);
    };
    int to = DrawCell(cells, random, unreached);
    if (to < 0) {
        Spend(2L * cells);
        to = DrawCell(cells, random, [&](int cell) {
            return !layout[cell] && !kept[cell] && !Solver.IsOpened(cell) && cell != from;
        });
    }
    if (to < 0)
        return false;
    layout[from] = 0;
    layout[to] = 1;
    return true;
}
