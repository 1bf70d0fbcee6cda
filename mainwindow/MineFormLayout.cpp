// LayoutBoard: sizes the board, the panel around it and the window.  The
// window always shows the whole board; the player cannot resize it.

#include "mainwindow/MineForm.h"

#include "controls/FormScaleUnit.h"
#include "controls/StatusPanels.h"
#include "mainwindow/BoardFrame.h"
#include "mainwindow/Layout.h"
#include "model/MineGame.h"

#include <QAction>
#include <QActionGroup>
#include <QMenuBar>

#include <algorithm>

void TMineForm::LayoutBoard()
{
    const TMines &model = TheGame->Model();
    Frame->Layout();
    int outerWidth = Round(FrameWidthAllowance * ScaleFactor) + Frame->width();
    const int outerHeight = Round(ChromeHeightAllowance * ScaleFactor) + Frame->height();
    int panelLeft = 0;
    if (outerWidth < MinimumOuterWidth) {
        panelLeft = Round((MinimumOuterWidth - outerWidth) * 0.5);
        outerWidth = MinimumOuterWidth;
    }
    Outer = QSize(outerWidth, outerHeight);
    Frame->move(panelLeft, CounterStripHeight);
    FitWindowToBoard();

    CheckLevelItem();
    LoadBestRecord();
    LaidCols = model.Cols;
    LaidRows = model.Rows;
    LaidMines = model.Mines;
}

void TMineForm::FitWindowToBoard()
{
    // The frame belongs to the window system here; the client area gets the
    // design width less the frame allowance, and the height of the counter
    // strip, the panel and the status bar under the menu bar.
    int clientWidth = Outer.width() - Round(FrameWidthAllowance * ScaleFactor);
    // With large fonts the four menus need more room than a narrow board's
    // window gives them; the window widens rather than hiding a menu behind
    // an overflow mark, and the board stays centred.
    const int menusWidth = menuBar()->sizeHint().width();
    if (menusWidth > clientWidth) {
        Frame->move(Frame->x() + (menusWidth - clientWidth) / 2, Frame->y());
        clientWidth = menusWidth;
    }
    const int clientHeight = CounterStripHeight + Frame->height();
    centralWidget()->setFixedSize(clientWidth, clientHeight);
    int menuHeight = menuBar()->heightForWidth(clientWidth);
    if (menuHeight < 0)
        menuHeight = menuBar()->sizeHint().height();
    setFixedSize(clientWidth, menuHeight + clientHeight + TheStatusBar->height());
}

void TMineForm::CheckLevelItem()
{
    QAction *items[] = {Menu.MGEasy, Menu.MGMedium, Menu.MGHard, Menu.MGCustom};
    const int level = TheGame->Model().Level;
    if (level >= 0 && level < 4) {
        items[level]->setChecked(true);
        return;
    }
    // Any other level checks nothing; an exclusive group cannot clear its
    // last check, so exclusivity is lifted for a moment.
    Menu.LevelGroup->setExclusive(false);
    for (QAction *item : items)
        item->setChecked(false);
    Menu.LevelGroup->setExclusive(true);
}
