#pragma once

// TPairRule: what two overlapping numbers tell together.

#include <vector>

struct TPairRule {
    static constexpr int MaxAround = 8;

    // A shown number's covered neighbours (at most eight) and the mines it
    // still asks for among them.
    struct TNumber {
        int Cells[MaxAround] = {};
        int Count = 0;
        int MinesLeft = 0;
    };

    // When the cells only one of the two sees must hold all the mines by
    // which it exceeds the other, those cells are mines and the cells only
    // the other sees are free: they are added to `mines` and `safe`.
    // Returns the work done, counted as the solver counts it.
    static long Weigh(const TNumber &a, const TNumber &b, std::vector<int> &safe,
                      std::vector<int> &mines);
};
