#include "model/PairRule.h"

#include <algorithm>

namespace
{
// The cells of `number` that `other` does not see, at the front of `cells`;
// returns how many.
int OnlyIn(const TPairRule::TNumber &number, const TPairRule::TNumber &other, int *cells)
{
    const int *seen = other.Cells;
    const int *end = other.Cells + other.Count;
    return static_cast<int>(
        std::copy_if(number.Cells, number.Cells + number.Count, cells,
                     [&](int cell) { return std::find(seen, end, cell) == end; }) -
        cells);
}
} // namespace

long TPairRule::Weigh(const TNumber &a, const TNumber &b, std::vector<int> &safe,
                      std::vector<int> &mines)
{
    int onlyA[MaxAround];
    int onlyB[MaxAround];
    const int countOnlyA = OnlyIn(a, b, onlyA);
    const int countOnlyB = OnlyIn(b, a, onlyB);
    const int excess = a.MinesLeft - b.MinesLeft;
    if (excess == countOnlyA) {
        mines.insert(mines.end(), onlyA, onlyA + countOnlyA);
        safe.insert(safe.end(), onlyB, onlyB + countOnlyB);
    } else if (-excess == countOnlyB) {
        mines.insert(mines.end(), onlyB, onlyB + countOnlyB);
        safe.insert(safe.end(), onlyA, onlyA + countOnlyA);
    }
    return 4 * MaxAround + 2L * a.Count * b.Count;
}
