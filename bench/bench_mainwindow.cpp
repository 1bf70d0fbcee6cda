// Board painting speed of the main window.  The edge buttons repeat every
// 100 ms, so a rotation with its full repaint must stay well inside that on
// the largest board a 1920 x 1080 screen allows (101 x 55 cells).
//
// Runs offscreen unless a display is given (QT_QPA_PLATFORM=xcb under Xvfb
// measures the trip to an X server too).

#include "controls/cpDrawGrid.h"
#include "mainwindow/MineForm.h"

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
    QTemporaryDir dir;
    std::unique_ptr<TMineForm> form;

    LargestBoard()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        TFormEnvironment environment;
        environment.ScreenSize = QSize(1920, 1080);
        environment.WorkingDirectory = dir.path();
        environment.RandomState = 1u;
        PrepareForScreen(environment);
        {
            QSettings store(QSettings::NativeFormat, QSettings::UserScope, "Olvane", "Ferrox");
            store.setValue("SIZE", 3);
            store.setValue("COLS", MaxCols);
            store.setValue("ROWS", MaxRows);
            store.setValue("MINES", MaxCols * MaxRows / 6);
        }
        form = std::make_unique<TMineForm>(environment);
        form->show();
        QElapsedTimer shown;
        shown.start();
        while (!form->windowHandle()->isExposed() && shown.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        // A played board: open regions, numbers and covered cells to draw.
        form->MineGridMouseDown(Qt::LeftButton, false, MaxCols * CellSize / 2,
                                MaxRows * CellSize / 2);
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
        form.RepaintBoard();
    state.counters["cells"] = form.Mines->Cols * form.Mines->Rows;
}
BENCHMARK(BM_FullBoardRepaint)->Unit(benchmark::kMillisecond);

void BM_RotateAndRepaint(benchmark::State &state)
{
    TMineForm &form = *Board().form;
    for (auto _ : state) {
        form.Mines->RotateBoard(1, 1);
        form.RepaintBoard();
    }
    state.counters["cells"] = form.Mines->Cols * form.Mines->Rows;
}
BENCHMARK(BM_RotateAndRepaint)->Unit(benchmark::kMillisecond);

// The repaint after the largest opening: every safe cell of the board (a
// region riddled with the mines' holes) handed to RepaintChanged, as a flood
// fill over the whole board would.
void BM_RepaintChangedSafeCells(benchmark::State &state)
{
    TMineForm &form = *Board().form;
    int cells = 0;
    for (auto _ : state) {
        cells = 0;
        for (int c = 0; c < form.Mines->Cols; ++c)
            for (int r = 0; r < form.Mines->Rows; ++r)
                if (!form.Mines->Cells[c][r]->IsMine) {
                    form.Mines->ChangedCells.append(form.Mines->Cells[c][r]);
                    ++cells;
                }
        form.RepaintChanged();
    }
    state.counters["cells"] = cells;
}
BENCHMARK(BM_RepaintChangedSafeCells)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Board().form.reset();
    return 0;
}
