// LayoutBoard: sizes the board, the panel around it and the window.  The
// window always shows the whole board; the player cannot resize it.

#include "mainwindow/MineForm.h"

#include "controls/FormScaleUnit.h"
#include "controls/StatusPanels.h"
#include "mainwindow/BoardFrame.h"
#include "mainwindow/Layout.h"
#include "model/MineGame.h"

#include <QMenuBar>
#include <QScreen>

#include <algorithm>

void TMineForm::LayoutBoard()
{
    Frame->Layout();
    int outerWidth = Round(FrameWidthAllowance * Scale.Factor) + Frame->width();
    const int outerHeight = Round(ChromeHeightAllowance * Scale.Factor) + Frame->height();
    int panelLeft = 0;
    if (outerWidth < MinimumOuterWidth) {
        panelLeft = Round((MinimumOuterWidth - outerWidth) * 0.5);
        outerWidth = MinimumOuterWidth;
    }
    Outer = QSize(outerWidth, outerHeight);
    Frame->move(panelLeft, CounterStripHeight);
    FitWindowToBoard();
    KeepOnScreen();
    LoadBestRecord();
}

void TMineForm::FitWindowToBoard()
{
    // The frame belongs to the window system here; the client area gets the
    // design width less the frame allowance, and the height of the counter
    // strip, the panel and the status bar under the menu bar.
    int clientWidth = Outer.width() - Round(FrameWidthAllowance * Scale.Factor);
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

// The window always shows the whole board: when the board grows past the
// screen from where the window stands, the window moves back onto it.
void TMineForm::KeepOnScreen()
{
    const QScreen *screen = this->screen();
    if (!screen)
        return;
    const QRect room = screen->availableGeometry();
    QSize outer = frameGeometry().size();
    // Until the window system has shown the window its frame is unknown;
    // the design's allowance for it stands in.
    if (outer == size())
        outer = outer.expandedTo(Outer);
    const int x =
        std::clamp(pos().x(), room.left(), std::max(room.left(), room.right() + 1 - outer.width()));
    const int y =
        std::clamp(pos().y(), room.top(), std::max(room.top(), room.bottom() + 1 - outer.height()));
    move(x, y);
}
