#pragma once

// TGuessFreeLayout: mine layouts that can be finished from the first
// opening by reasoning alone.

#include "base/Random.h"
#include "model/BoardShape.h"
#include "model/DeductionSolver.h"

#include <cstdint>
#include <optional>
#include <vector>

// Cells are numbered col * Rows + row, as in TDeductionSolver.
class TGuessFreeLayout
{
public:
    // The work the game allows one laying, in the solver's steps (a cell
    // opened or looked at, a placement tried), never in time: a generator
    // state and an opening give the same board on any machine under any
    // load.  Spent in full, as on a 101 x 101 board a quarter or more of it
    // mined where no layout turns up, it takes about half a second on a
    // desktop of the 2020s (bench_guess_free shows it).
    static constexpr long GameWorkBudget = 120'000'000;

    TGuessFreeLayout(const TBoardShape &shape, int mines, long workBudget = GameWorkBudget);

    // A layout (one entry per cell, 1 for a mine) on which `first` shows a
    // 0, no cell of `probes` holds a mine, and a player who opens them can
    // tell every other safe cell by the numbers and the mine total.  Every
    // draw comes from `random`, so its state and the opening give the same
    // layout again.  Nothing when the board has no room for such an opening
    // or no layout turns up within the work budget.
    std::optional<std::vector<std::uint8_t>> Lay(int first, const std::vector<int> &probes,
                                                 TRandom &random);
    // After Lay: the steps it took; one that ran out stops just past the
    // budget.
    long WorkSpent() const { return Spent; }

private:
    enum class TOutcome { Solved, Stuck, OutOfWork };

    // Moves mines of `layout` away from where the solver sticks until it
    // finishes the board (Solved), the moves stop helping (Stuck: the
    // caller draws afresh) or the work runs out.
    TOutcome Settle(std::vector<std::uint8_t> &layout, const std::vector<int> &opening,
                    const std::vector<std::uint8_t> &kept, TRandom &random);
    // Counts steps of the laying's own; false once past the budget.
    bool Spend(long steps);
    // Moves one mine the solver could not tell from a border cell into the
    // covered cells it has not reached; false when there is no such move.
    bool LoosenBorder(std::vector<std::uint8_t> &layout, const std::vector<std::uint8_t> &kept,
                      TRandom &random);

    TDeductionSolver Solver;
    int MineCount;
    long Budget;
    long Spent = 0;
};
