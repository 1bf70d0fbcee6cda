#include "model/TotalFit.h"

#include <algorithm>

namespace
{
// Which totals (0..limit) some choice of one allowed count per group adds
// up to: sums[g][t] for the first g groups.
std::vector<std::vector<std::uint8_t>>
PrefixSums(const std::vector<std::vector<std::uint8_t>> &allowed, int limit)
{
    std::vector<std::vector<std::uint8_t>> sums(allowed.size() + 1,
                                                std::vector<std::uint8_t>(limit + 1, 0));
    sums[0][0] = 1;
    for (std::size_t g = 0; g < allowed.size(); ++g)
        for (int total = 0; total <= limit; ++total)
            if (sums[g][total])
                for (int count = 0; count < static_cast<int>(allowed[g].size()); ++count)
                    if (allowed[g][count] && total + count <= limit)
                        sums[g + 1][total + count] = 1;
    return sums;
}

// The usual case: the total leaves every group free to take any count it
// allows, because the covered cells away from the border can take up the
// rest.  Nothing then needs the totals one by one.
bool FitLoosely(const std::vector<std::vector<std::uint8_t>> &allowed, int low, int high,
                TTotalFit &fit)
{
    int least = 0;
    int most = 0;
    for (const std::vector<std::uint8_t> &counts : allowed) {
        const auto first = std::find(counts.begin(), counts.end(), 1);
        const auto last = std::find(counts.rbegin(), counts.rend(), 1);
        least += static_cast<int>(first - counts.begin());
        most += static_cast<int>(counts.rend() - last) - 1;
        fit.Steps += static_cast<long>(counts.size());
    }
    if (least < low || most > high)
        return false;
    fit.Fitting = allowed;
    fit.Interior = least == high ? -1 : most == low ? 1 : 0;
    return true;
}

// Every combination of the groups' counts against the total.
void FitExactly(const std::vector<std::vector<std::uint8_t>> &allowed, int low, int high,
                TTotalFit &fit)
{
    const int groups = static_cast<int>(allowed.size());
    const auto prefix = PrefixSums(allowed, high);
    std::vector<std::vector<std::uint8_t>> reversed(allowed.rbegin(), allowed.rend());
    const auto suffix = PrefixSums(reversed, high);
    fit.Fitting.assign(groups, {});
    for (int g = 0; g < groups; ++g) {
        const std::vector<std::uint8_t> &before = prefix[g];
        const std::vector<std::uint8_t> &after = suffix[groups - 1 - g];
        // afterUpTo[t]: totals of the later groups up to t.
        std::vector<int> afterUpTo(high + 2, 0);
        for (int t = 0; t <= high; ++t)
            afterUpTo[t + 1] = afterUpTo[t] + after[t];
        auto fits = [&](int count) {
            for (int s = 0; s + count <= high; ++s) {
                fit.Steps += 1;
                if (!before[s])
                    continue;
                const int from = std::max(0, low - s - count);
                const int to = high - s - count;
                if (from <= to && afterUpTo[to + 1] - afterUpTo[from] > 0)
                    return true;
            }
            return false;
        };
        const int size = static_cast<int>(allowed[g].size());
        fit.Fitting[g].assign(size, 0);
        for (int count = 0; count < size; ++count)
            fit.Fitting[g][count] = allowed[g][count] && fits(count);
        fit.Steps += 4L * (high + 1) * size;
    }
    const std::vector<std::uint8_t> &totals = prefix[groups];
    auto anyTotal = [&](int from, int to) {
        for (int t = std::max(0, from); t <= std::min(to, high); ++t)
            if (totals[t])
                return true;
        return false;
    };
    fit.Interior = !anyTotal(low, high - 1) ? -1 : !anyTotal(low + 1, high) ? 1 : 0;
}
} // namespace

TTotalFit FitTotal(const std::vector<std::vector<std::uint8_t>> &allowed, int low, int high)
{
    TTotalFit fit;
    if (!FitLoosely(allowed, low, high, fit))
        FitExactly(allowed, low, high, fit);
    return fit;
}