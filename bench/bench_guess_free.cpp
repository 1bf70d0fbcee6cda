// Laying boards that need no guess: how long the first opening waits on the
// three level boards, with borders and wrapped, its spread over 3,000 Hard
// openings, on denser boards how often no such board turns up within the
// game's work budget, and the worst wait on the largest boards, where a
// fallback spends the whole budget.  Times are the thread's own.
#include "model/Mines.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <vector>

namespace
{

// The thread's own time: other programs on a shared machine do not add
// to it.
double ThreadMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

constexpr TBoardSize LevelSizes[] = {{8, 8, 10}, {16, 16, 40}, {30, 20, 99}};

struct TLaying {
    double Milliseconds = 0;
    bool GuessFree = false;
};

TLaying LayOnce(TMines &model, quint32 seed, int col, int row)
{
    model.ResetBoard();
    model.Random().SetState(seed);
    const double start = ThreadMilliseconds();
    const bool guessFree = model.LayGuessFreeMines(col, row, {});
    return {ThreadMilliseconds() - start, guessFree};
}

void SetBoard(TMines &model, const TBoardSize &size, bool borders)
{
    model.Level = LevelCustom;
    model.Cols = quint8(size.Cols);
    model.Rows = quint8(size.Rows);
    model.Mines = size.Mines;
    model.Borders = borders;
}

// The share of the sorted times at or below which `fraction` of them lie.
double Percentile(std::vector<double> times, double fraction)
{
    std::sort(times.begin(), times.end());
    const size_t at = std::min(times.size() - 1, size_t(fraction * double(times.size())));
    return times[at];
}

void Report(benchmark::State &state, const std::vector<TLaying> &layings)
{
    std::vector<double> times;
    int fellBack = 0;
    for (const TLaying &laying : layings) {
        times.push_back(laying.Milliseconds);
        fellBack += laying.GuessFree ? 0 : 1;
    }
    state.counters["median_ms"] = Percentile(times, 0.5);
    state.counters["p99_ms"] = Percentile(times, 0.99);
    state.counters["worst_ms"] = *std::max_element(times.begin(), times.end());
    state.counters["fallback_pct"] = 100.0 * fellBack / double(layings.size());
}

// Arguments: level (0 Easy, 1 Medium, 2 Hard), borders (1) or wrapped (0).
// Each iteration is a new generator state.
void BM_GuessFreeLevel(benchmark::State &state)
{
    TMines model(TMines::TStoreUse::None);
    SetBoard(model, LevelSizes[state.range(0)], state.range(1) != 0);
    std::vector<TLaying> layings;
    quint32 seed = 1;
    for (auto _ : state)
        layings.push_back(LayOnce(model, seed++, model.Cols / 2, model.Rows / 2));
    Report(state, layings);
}
BENCHMARK(BM_GuessFreeLevel)
    ->ArgsProduct({{0, 1, 2}, {1, 0}})
    ->ArgNames({"level", "borders"})
    ->Iterations(1000)
    ->Unit(benchmark::kMillisecond);

// Arguments: level size, mines per hundred cells, borders.  Twenty states
// each; a fallback spends the whole work budget.
void BM_GuessFreeDensity(benchmark::State &state)
{
    TBoardSize size = LevelSizes[state.range(0)];
    const int cells = size.Cols * size.Rows;
    size.Mines = std::min(cells - 10, int(cells * state.range(1) / 100));
    TMines model(TMines::TStoreUse::None);
    SetBoard(model, size, state.range(2) != 0);
    std::vector<TLaying> layings;
    for (auto _ : state)
        for (quint32 seed = 1; seed <= 20; ++seed)
            layings.push_back(LayOnce(model, seed, size.Cols / 2, size.Rows / 2));
    Report(state, layings);
    state.counters["mines"] = size.Mines;
}
BENCHMARK(BM_GuessFreeDensity)
    ->ArgsProduct({{0, 1, 2}, {20, 30, 40, 50, 60}, {1, 0}})
    ->ArgNames({"level", "density", "borders"})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// The spread a player feels on Hard: 3,000 generator states, each opened
// first at a cell of its own, timed one by one.
void BM_GuessFreeHardSpread(benchmark::State &state)
{
    TMines model(TMines::TStoreUse::None);
    SetBoard(model, LevelSizes[LevelHard], true);
    std::vector<TLaying> layings;
    for (auto _ : state)
        for (quint32 seed = 1; seed <= 3000; ++seed) {
            TRandom place(seed * 2654435761u);
            const int col = place.Below(model.Cols);
            const int row = place.Below(model.Rows);
            layings.push_back(LayOnce(model, seed, col, row));
        }
    Report(state, layings);
}
BENCHMARK(BM_GuessFreeHardSpread)->Iterations(1)->Unit(benchmark::kMillisecond);

// The slowest first openings there are: the largest board a screen allows
// (101 x 101), densely mined.  At 40 % no layout turns up, so each laying
// spends the whole work budget: the longest any first opening waits.
// Arguments: mines per hundred cells, borders.
void BM_GuessFreeLargest(benchmark::State &state)
{
    const int cells = MaxSlots * MaxSlots;
    const TBoardSize size{MaxSlots, MaxSlots, int(cells * state.range(0) / 100)};
    TMines model(TMines::TStoreUse::None);
    SetBoard(model, size, state.range(1) != 0);
    std::vector<TLaying> layings;
    for (auto _ : state)
        for (quint32 seed = 1; seed <= 10; ++seed)
            layings.push_back(LayOnce(model, seed, MaxSlots / 2, MaxSlots / 2));
    Report(state, layings);
}
BENCHMARK(BM_GuessFreeLargest)
    ->ArgsProduct({{20, 25, 40}, {1, 0}})
    ->ArgNames({"density", "borders"})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
