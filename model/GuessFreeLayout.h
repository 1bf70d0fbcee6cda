#pragma once

// TGuessFreeLayout: mine layouts that can be finished from the first
// opening by reasoning alone.

#include "base/Random.h"
#include "model/BoardShape.h"
#include "model/DeductionSolver.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

// Cells are numbered col * Rows + row, as in TDeductionSolver.
class TGuessFreeLayout
{
public:
    using TClock = std::chrono::steady_clock;

    TGuessFreeLayout(const TBoardShape &shape, int mines);

    // A layout (one entry per cell, 1 for a mine) on which `first` shows a
    // 0, no cell of `probes` holds a mine, and a player who opens them can
    // tell every other safe cell by the numbers and the mine total.  Every
    // draw comes from `random`, so its state and the opening give the same
    // layout again.  Nothing when the board has no room for such an opening
    // or no layout turns up before `deadline`.
    std::optional<std::vector<std::uint8_t>> Lay(int first, const std::vector<int> &probes,
                                                 TRandom &random, TClock::time_point deadline);

private:
    // Moves one mine the solver could not tell from a border cell into the
    // covered cells it has not reached; false when there is no such move.
    bool LoosenBorder(std::vector<std::uint8_t> &layout, const std::vector<std::uint8_t> &kept,
                      TRandom &random);

    TDeductionSolver Solver;
    int MineCount;
};
