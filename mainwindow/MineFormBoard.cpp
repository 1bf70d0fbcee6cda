// The board's handlers, the clock, the title panels, pause and best times:
// each hands the work to the game, the board or the best times.

#include "mainwindow/MineForm.h"

#include "base/MessageBox.h"
#include "controls/BevelPanel.h"
#include "controls/Counter.h"
#include "controls/StatusPanels.h"
#include "mainwindow/BoardFrame.h"
#include "mainwindow/BoardView.h"
#include "mainwindow/Layout.h"
#include "model/MineGame.h"
#include "music/Music.h"
#include "records/BestForm.h"
#include "records/BestTimes.h"

#include <QAction>
#include <QPainter>

namespace
{
constexpr int BestTimePanel = 1;
constexpr int HolderPanel = 3;
} // namespace

// --- The board ---------------------------------------------------------------

void TMineForm::MGNewClick()
{
    TheGame->NewGame();
}

void TMineForm::MineGridMouseDown(Qt::MouseButton button, bool shift, int x, int y)
{
    Grid()->MouseDown(button, shift, x, y);
}

void TMineForm::MineGridMouseUp(Qt::MouseButton button, bool shift, int x, int y)
{
    Grid()->MouseUp(button, shift, x, y);
}

void TMineForm::MineGridMouseMove(Qt::MouseButtons buttons, int, int)
{
    Grid()->MouseMove(buttons);
}

void TMineForm::MineGridMouseEnter(int col, int row)
{
    Grid()->MouseEnter(col, row);
}

void TMineForm::MineGridMouseLeave(int, int)
{
    Grid()->MouseLeave();
}

void TMineForm::MineGridMouseEnterCell(int col, int row)
{
    Grid()->MouseEnterCell(col, row);
}

void TMineForm::MineGridMouseLeaveCell(int col, int row)
{
    Grid()->MouseLeaveCell(col, row);
}

void TMineForm::MineGridKeyPress(QChar key)
{
    ShowMessage(TMsgType::mtInformation, QStringLiteral("%1 = (%2)").arg(key).arg(key.unicode()));
}

void TMineForm::SBDown()
{
    TheGame->MoveBoard(0, 1);
}

void TMineForm::SBUp()
{
    TheGame->MoveBoard(0, -1);
}

void TMineForm::SBLeft()
{
    TheGame->MoveBoard(-1, 0);
}

void TMineForm::SBRight()
{
    TheGame->MoveBoard(1, 0);
}

void TMineForm::SBDownRight()
{
    TheGame->MoveBoard(1, 1);
}

void TMineForm::SBDownLeft()
{
    TheGame->MoveBoard(-1, 1);
}

void TMineForm::SBUpRight()
{
    TheGame->MoveBoard(1, -1);
}

void TMineForm::SBUpLeft()
{
    TheGame->MoveBoard(-1, -1);
}

// --- Clock, title panels, pause ----------------------------------------------

void TMineForm::STimerTimer()
{
    TheGame->Tick();
    if (TitleTicks < TitleShowTicks) {
        ++TitleTicks;
        if (TitleTicks == TitleShowTicks)
            Frame->MusicPanel()->SetCaption(VersionCaption);
    }
}

void TMineForm::DownPanelClick()
{
    if (Player->IsPlaying())
        ShowTitle(Player->PlayingTitle());
}

void TMineForm::ShowTitle(const QString &title)
{
    Frame->MusicPanel()->SetCaption(title);
    TitleTicks = 0;
}

void TMineForm::MOPauseClick()
{
    TheGame->TogglePause();
}

void TMineForm::SetBoardActive(bool active)
{
    Frame->SetEdgeButtonsEnabled(active && !TheGame->Model().Borders);
    Grid()->SetActive(active);
}

void TMineForm::TheStatusBarDrawPanel(QPainter &painter, int panel, const QRect &rect)
{
    painter.setFont(TheStatusBar->font());
    painter.setPen(Qt::red);
    const QRect textBox(rect.left() + 5, rect.top() - 1, rect.width() - 5, rect.height() + 1);
    // A name longer than its panel shows that it goes on, inside the bevel.
    const QString text = painter.fontMetrics().elidedText(TheStatusBar->PanelText(panel),
                                                          Qt::ElideRight, textBox.width());
    painter.drawText(textBox, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
}

void TMineForm::UpPanelMouseDown(Qt::MouseButton button, Qt::MouseButtons, QPoint)
{
    TBevelPanel *panel = Frame->TitlePanel();
    if (button == Qt::LeftButton && panel->BevelInner() == bvNone)
        panel->SetBevelInner(bvLowered);
}

void TMineForm::UpPanelMouseUp(Qt::MouseButton button, Qt::MouseButtons, QPoint)
{
    TBevelPanel *panel = Frame->TitlePanel();
    if (button == Qt::LeftButton && panel->BevelInner() == bvLowered)
        panel->SetBevelInner(bvNone);
}

void TMineForm::UpPanelMouseMove(Qt::MouseButtons held, QPoint pos)
{
    if (!(held & Qt::LeftButton))
        return;
    TBevelPanel *panel = Frame->TitlePanel();
    const bool inside =
        pos.x() >= 0 && pos.y() >= 0 && pos.x() <= panel->width() && pos.y() <= panel->height();
    if (!inside && panel->BevelInner() == bvLowered)
        panel->SetBevelInner(bvNone);
    else if (inside && panel->BevelInner() == bvNone)
        panel->SetBevelInner(bvLowered);
}

void TMineForm::UpPanelClick()
{
    MGNewClick();
}

// --- Best times --------------------------------------------------------------

void TMineForm::ShowBestRecord(const TBestRecord &record)
{
    TheStatusBar->SetPanelText(BestTimePanel, QString::number(record.BestTime));
    TheStatusBar->SetPanelText(HolderPanel, record.Holder);
}

bool TMineForm::LoadBestRecord()
{
    const TMines &model = TheGame->Model();
    return BestTimes->Load(model.Cols, model.Rows, model.Mines);
}

void TMineForm::CheckNewRecord()
{
    const int seconds = TheGame->ShownSeconds();
    if (!BestTimes->IsNewRecord(seconds))
        return;
    TMines &model = TheGame->Model();
    TBestFormContext context;
    context.RecordName = &model.RecordName;
    context.Cols = model.Cols;
    context.Rows = model.Rows;
    context.Mines = model.Mines;
    context.TimeText = TimeCount->Value();
    Windows.NewRecord().Execute(context);
    BestTimes->SetRecord(seconds, model.RecordName);
}
