// Board painting speed of the main window.  The edge buttons repeat every
// 100 ms, so a rotation with its full repaint must stay well inside that on
// the largest board a 1920 x 1080 screen allows (101 x 55 cells).
//
// Runs offscreen unless a display is given (QT_QPA_PLATFORM=xcb under Xvfb
// measures the trip to an X server too).

#include "base/SettingsStore.h"
#include "bench/BenchSupport.h"
#include "mainwindow/BoardView.h"
#include "mainwindow/MineForm.h"
#include "model/MineGame.h"
#include "music/SoundModule.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <memory>

namespace
{

struct LargestBoard {
    const TBoardLimits Limits = BoardLimitsForScreen(1920, 1080);
    QTemporaryDir dir;
    TSoundModule sound;
    std::unique_ptr<TMineForm> form;

    LargestBoard()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        TFormEnvironment environment;
        environment.ScreenSize = QSize(1920, 1080);
        environment.WorkingDirectory = dir.path();
        environment.RandomState = 1u;
        environment.Sound = &sound;
        environment.Settings = TSettingsStore::UserStore();
        {
            QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Olvane"),
                            QStringLiteral("Ferrox"));
            store.setValue("SIZE", 3);
            store.setValue("COLS", Limits.MaxCols);
            store.setValue("ROWS", Limits.MaxRows);
            store.setValue("MINES", Limits.MaxCols * Limits.MaxRows / 6);
        }
        form = std::make_unique<TMineForm>(environment);
        form->show();
        QElapsedTimer shown;
        shown.start();
        while (!form->windowHandle()->isExposed() && shown.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        // A played board: open regions, numbers and covered cells to draw.
        form->Game().FirstOpening(Limits.MaxCols / 2, Limits.MaxRows / 2);
        form->Game().Open(Limits.MaxCols / 2, Limits.MaxRows / 2);
    }
};

LargestBoard &Board()
{
    static LargestBoard board;
    return board;
}

void BM_FullBoardRepaint(benchmark::State &state)
{
    TMineForm &form = *Board().form;
    for (auto _ : state)
        form.Grid()->RepaintBoard();
    state.counters["cells"] = form.Game().Model().Cols * form.Game().Model().Rows;
}
BENCHMARK(BM_FullBoardRepaint)->Unit(benchmark::kMillisecond);

void BM_RotateAndRepaint(benchmark::State &state)
{
    TMineForm &form = *Board().form;
    // One diagonal edge button's click: the game moves the board and the
    // view repaints it as announced.
    for (auto _ : state)
        form.Game().MoveBoard(1, 1);
    state.counters["cells"] = form.Game().Model().Cols * form.Game().Model().Rows;
}
BENCHMARK(BM_RotateAndRepaint)->Unit(benchmark::kMillisecond);

// The repaint after the largest opening: every safe cell of the board (a
// region riddled with the mines' holes) handed to the board view, as a flood
// fill over the whole board would.
void BM_RepaintSafeCells(benchmark::State &state)
{
    TMineForm &form = *Board().form;
    int cells = 0;
    for (auto _ : state) {
        const TMines &model = form.Game().Model();
        QList<QPoint> safeCells;
        for (int c = 0; c < model.Cols; ++c)
            for (int r = 0; r < model.Rows; ++r)
                if (!model.Cells[c][r]->IsMine)
                    safeCells.append(QPoint(c, r));
        cells = int(safeCells.size());
        form.Grid()->RepaintCells(safeCells);
    }
    state.counters["cells"] = cells;
}
BENCHMARK(BM_RepaintSafeCells)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return RunWidgetBenchmarks(argc, argv, [] { Board().form.reset(); });
}
