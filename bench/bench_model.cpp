// The game model on the largest board, 101 x 101:
// laying the mines plus one opening that floods most of the board, and one
// rotation with renumbering, which must take well under 1 % of the 100 ms
// repeat interval of the edge buttons (that is, well under 1 ms).
#include "model/Mines.h"

#include <benchmark/benchmark.h>

namespace
{

constexpr int Side = 101;
constexpr int SparseMines = Side * Side / 50; // 204: the first opening floods most of the board
constexpr quint32 Seed = 1;

// Lays the mines from a state and opens the middle cell; returns the cells opened.
int NewGameAndOpen(TMines &model, quint32 seed)
{
    model.ResetBoard();
    model.ChangedCells.clear();
    model.Random().SetState(seed);
    model.LayMines(Side / 2, Side / 2);
    model.Reveal(Side / 2, Side / 2, true);
    return int(model.ChangedCells.size());
}

// The first generator state from which the first opening floods at least 90 %
// of the safe cells (the middle cell must show no number for that).
quint32 FloodingSeed(TMines &model)
{
    const int safe = Side * Side - model.Mines;
    quint32 seed = 1;
    while (NewGameAndOpen(model, seed) < safe * 9 / 10)
        ++seed;
    return seed;
}

void PrepareLargest(TMines &model, int mines)
{
    model.Level = LevelCustom;
    model.Cols = Side;
    model.Rows = Side;
    model.Mines = mines;
}

// New game and first opening: reset, lay the mines, open the middle cell.
void BM_LayMinesAndFlood(benchmark::State &state)
{
    TMines model(TMines::TStoreUse::None);
    PrepareLargest(model, int(state.range(0)));
    const quint32 seed = FloodingSeed(model);
    int opened = 0;
    for (auto _ : state) {
        opened = NewGameAndOpen(model, seed);
        benchmark::DoNotOptimize(opened);
    }
    state.counters["opened_cells"] = opened;
    state.counters["safe_cells"] = Side * Side - model.Mines;
}
BENCHMARK(BM_LayMinesAndFlood)->Arg(SparseMines)->Unit(benchmark::kMicrosecond);

// The same without the opening, to tell laying from flooding.
void BM_LayMines(benchmark::State &state)
{
    TMines model(TMines::TStoreUse::None);
    PrepareLargest(model, int(state.range(0)));
    for (auto _ : state) {
        model.ResetBoard();
        model.Random().SetState(Seed);
        model.LayMines(Side / 2, Side / 2);
        benchmark::DoNotOptimize(model.CoveredSafe);
    }
}
BENCHMARK(BM_LayMines)->Arg(SparseMines)->Arg(Side *Side / 2)->Unit(benchmark::kMicrosecond);

// One press of an edge button: the move plus RenumberCells.
void BM_RotateWithRenumber(benchmark::State &state)
{
    TMines model(TMines::TStoreUse::None);
    PrepareLargest(model, SparseMines);
    model.Borders = false;
    model.ResetBoard();
    model.Random().SetState(Seed);
    model.LayMines(0, 0);
    const int dx = int(state.range(0));
    const int dy = int(state.range(1));
    for (auto _ : state) {
        model.RotateBoard(dx, dy);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RotateWithRenumber)
    ->Args({0, 1})   // SBDown
    ->Args({0, -1})  // SBUp
    ->Args({1, 0})   // SBRight
    ->Args({-1, 0})  // SBLeft
    ->Args({1, 1})   // SBDownRight
    ->Args({-1, -1}) // SBUpLeft
    ->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
