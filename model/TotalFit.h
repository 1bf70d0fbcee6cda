#pragma once

// TTotalFit: the mine counts of the border groups set against the mine
// total.

#include <cstddef>
#include <cstdint>
#include <vector>

// The mine counts of each group that some placement of the other groups
// and of the covered cells away from the border (between 0 and all of them,
// so that the groups' total lies in [low, high]) completes, and whether the
// cells away from the border must all be free (-1), all mines (+1) or may
// be either (0).
struct TTotalFit {
    std::vector<std::vector<std::uint8_t>> Fitting;
    int Interior = 0;
    long Steps = 0; // the work it took, counted as the solver counts
};

// allowed[g][count]: whether some placement of group g has that count.  The
// groups' total must lie in [low, high]: the covered cells away from the
// border take between none and all of the rest.
TTotalFit FitTotal(const std::vector<std::vector<std::uint8_t>> &allowed, int low, int high);
