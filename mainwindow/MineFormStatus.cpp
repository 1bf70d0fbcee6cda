// Clock, counters, status bar, title panels, pause and board activity.

#include "mainwindow/MineForm.h"

#include "controls/Counter.h"
#include "controls/cpDrawGrid.h"
#include "controls/fxRepeatBtn.h"
#include "controls/StatusPanels.h"
#include "controls/BevelPanel.h"
#include "music/Music.h"
#include "records/BestForm.h"

#include <QAction>
#include <QPainter>

namespace
{
constexpr quint16 TitleShowTicks = 20; // 5 seconds of 250 ms ticks
constexpr int BestTimePanel = 1;
constexpr int HolderPanel = 3;
} // namespace

void TMineForm::STimerTimer()
{
    if (ClockRunning && Clock->Tick())
        TimeCount->SetValue(QString::number(Clock->Elapsed));
    if (Music->IsPlaying() && Music->CheckSongEnd())
        DownPanelClick();
    if (TitleTicks < TitleShowTicks) {
        ++TitleTicks;
        if (TitleTicks == TitleShowTicks)
            DownPanel->SetCaption(VersionCaption);
    }
}

void TMineForm::DownPanelClick()
{
    if (!Music->IsPlaying())
        return;
    DownPanel->SetCaption(Music->CurrentTitle());
    TitleTicks = 0;
}

void TMineForm::MOPauseClick()
{
    MOPause->setChecked(!MOPause->isChecked());
    const bool resuming = !MOPause->isChecked();
    if (resuming)
        Clock->Start();
    ClockRunning = resuming && (GameState & gsPlaying);
    GameState ^= gsPaused;
    SetBoardActive(!(GameState & gsPaused));
    RepaintBoard();
}

void TMineForm::SetBoardActive(bool active)
{
    for (TfxRepeatBtn *button : EdgeButtons())
        button->setEnabled(active && !Mines->Borders);
    if (active && Mines->CrossPointer)
        MineGrid->setCursor(XCrossCursor);
    else
        MineGrid->setCursor(Qt::ArrowCursor);
}

void TMineForm::TheStatusBarDrawPanel(QPainter &painter, int panel, const QRect &rect)
{
    painter.setFont(TheStatusBar->font());
    painter.setPen(Qt::red);
    const QRect textBox(rect.left() + 5, rect.top() - 1, rect.width() - 5, rect.height() + 1);
    painter.drawText(textBox, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                     TheStatusBar->PanelText(panel));
}

void TMineForm::UpPanelMouseDown(Qt::MouseButton button, Qt::MouseButtons, QPoint)
{
    if (button == Qt::LeftButton && UpPanel->BevelInner() == bvNone)
        UpPanel->SetBevelInner(bvLowered);
}

void TMineForm::UpPanelMouseUp(Qt::MouseButton button, Qt::MouseButtons, QPoint)
{
    if (button == Qt::LeftButton && UpPanel->BevelInner() == bvLowered)
        UpPanel->SetBevelInner(bvNone);
}

void TMineForm::UpPanelMouseMove(Qt::MouseButtons held, QPoint pos)
{
    if (!(held & Qt::LeftButton))
        return;
    const bool inside =
        pos.x() >= 0 && pos.y() >= 0 && pos.x() <= UpPanel->width() && pos.y() <= UpPanel->height();
    if (!inside && UpPanel->BevelInner() == bvLowered)
        UpPanel->SetBevelInner(bvNone);
    else if (inside && UpPanel->BevelInner() == bvNone)
        UpPanel->SetBevelInner(bvLowered);
}

void TMineForm::UpPanelClick()
{
    MGNewClick();
}

void TMineForm::ShowBestRecord()
{
    TheStatusBar->SetPanelText(BestTimePanel, QString::number(BestRecord.BestTime));
    TheStatusBar->SetPanelText(HolderPanel, BestRecord.Holder);
}

TBestForm *TMineForm::NewRecordDialog()
{
    // Made at the first record rather than at start-up: building a dialog
    // with stock button icons costs a noticeable part of the time to the
    // first painted window, and most runs never set a record.  Once made it
    // is kept and reused.
    if (!BestForm)
        BestForm = new TBestForm(this);
    return BestForm;
}

bool TMineForm::LoadBestRecord()
{
    const bool found = ::LoadBestRecord(BestRecord, Mines->Cols, Mines->Rows, Mines->Mines);
    ShowBestRecord();
    return found;
}

void TMineForm::CheckNewRecord()
{
    const int seconds = SecondsFromTimeText(TimeCount->Value());
    if (!IsNewRecord(HasRecord, BestRecord, seconds))
        return;
    TBestFormContext context;
    context.RecordName = &Mines->RecordName;
    context.Record = &BestRecord;
    context.Cols = Mines->Cols;
    context.Rows = Mines->Rows;
    context.Mines = Mines->Mines;
    context.TimeText = TimeCount->Value();
    NewRecordDialog()->Execute(context);
    BestRecord.BestTime = seconds;
    SaveBestRecord(BestRecord);
    HasRecord = true;
    ShowBestRecord();
}
