// LayoutBoard: sizes the board, the panel around it and the window.  The
// window always shows the whole board; the player cannot resize it.

#include "mainwindow/MineForm.h"

#include "controls/cpDrawGrid.h"
#include "controls/fxRepeatBtn.h"
#include "controls/FormScaleUnit.h"
#include "controls/StatusPanels.h"
#include "controls/BevelPanel.h"

#include <QAction>
#include <QActionGroup>
#include <QMenuBar>

#include <algorithm>

namespace
{
constexpr int EdgeButtonSize = 25; // B
constexpr int CounterStripHeight = 32;
constexpr int MinimumOuterWidth = 300;

// A board of fewer than three cells a side (only possible through a
// hand-edited settings store) would give the title panels a negative size.
int AtLeastZero(int value)
{
    return std::max(0, value);
}
} // namespace

void TMineForm::LayoutBoard()
{
    const int cols = Mines->Cols;
    const int rows = Mines->Rows;
    const int b = EdgeButtonSize;

    MineGrid->SetColCount(cols);
    MineGrid->SetRowCount(rows);
    MineGrid->resize(cols * CellSize, rows * CellSize);
    const int gridWidth = MineGrid->width();
    const int gridHeight = MineGrid->height();

    MinePanel->resize(gridWidth + 2 * b + 2, gridHeight + 2 * b + 2);
    LeftPanel->resize(b, AtLeastZero(gridHeight - 2 * b));
    RightPanel->resize(b, AtLeastZero(gridHeight - 2 * b));
    UpPanel->resize(AtLeastZero(gridWidth - 2 * b), b);
    DownPanel->resize(AtLeastZero(gridWidth - 2 * b), b);
    PlaceRightAndBottomPieces();
    SetTitleFonts(cols);

    OuterHeight = Round(93 * ScaleFactor) + MinePanel->height();
    OuterWidth = Round(6 * ScaleFactor) + MinePanel->width();
    int panelLeft = 0;
    if (OuterWidth < MinimumOuterWidth) {
        panelLeft = Round((MinimumOuterWidth - OuterWidth) * 0.5);
        OuterWidth = MinimumOuterWidth;
    }
    MinePanel->move(panelLeft, CounterStripHeight);
    FitWindowToBoard();

    CheckLevelItem();
    HasRecord = LoadBestRecord();
    LaidCols = cols;
    LaidRows = rows;
    LaidMines = Mines->Mines;
}

void TMineForm::PlaceRightAndBottomPieces()
{
    // Lower pieces: each goes right under the one above it.
    SpLeftD->move(1, LeftPanel->y() + LeftPanel->height());
    SpLeftDown->move(1, SpLeftD->y() + SpLeftD->height());
    const int bottom = SpLeftDown->y();

    // Right-hand pieces: each goes right beside the one to its left.
    SpUpR->move(UpPanel->x() + UpPanel->width(), 1);
    SpRightUp->move(SpUpR->x() + SpUpR->width(), 1);
    const int right = SpRightUp->x();
    SpRightU->move(right, 26);
    RightPanel->move(right, 51);
    SpRightD->move(right, SpLeftD->y());
    SpRightDown->move(right, bottom);

    SpDownL->move(26, bottom);
    DownPanel->move(51, bottom);
    SpDownR->move(SpUpR->x(), bottom);
}

void TMineForm::SetTitleFonts(int cols)
{
    QFont upFont = UpPanel->font();
    upFont.setPointSize(cols <= 8 ? ScaledPoints(cols + 5) : ScaledPoints(16));
    UpPanel->setFont(upFont);
    // Only narrow boards shrink the lower caption; a wider board later keeps
    // the smaller font.
    if (cols < 7) {
        QFont downFont = DownPanel->font();
        downFont.setPointSize(std::max(1, ScaledPoints(cols + 2)));
        DownPanel->setFont(downFont);
    }
}

void TMineForm::FitWindowToBoard()
{
    // The frame belongs to the window system here; the client area gets the
    // design width less the frame allowance, and the height of the counter
    // strip, the panel and the status bar under the menu bar.
    const int clientWidth = OuterWidth - Round(6 * ScaleFactor);
    const int clientHeight = CounterStripHeight + MinePanel->height();
    centralWidget()->setFixedSize(clientWidth, clientHeight);
    int menuHeight = menuBar()->heightForWidth(clientWidth);
    if (menuHeight < 0)
        menuHeight = menuBar()->sizeHint().height();
    setFixedSize(clientWidth, menuHeight + clientHeight + TheStatusBar->height());
}

void TMineForm::CheckLevelItem()
{
    QAction *items[] = {MGEasy, MGMedium, MGHard, MGCustom};
    const int level = Mines->Level;
    if (level >= 0 && level < 4) {
        items[level]->setChecked(true);
        return;
    }
    // Any other level checks nothing; an exclusive group cannot clear its
    // last check, so exclusivity is lifted for a moment.
    LevelGroup->setExclusive(false);
    for (QAction *item : items)
        item->setChecked(false);
    LevelGroup->setExclusive(true);
}
