// New game, the clock, the lower title panel, pause and best times: each
// hands the work to the game, the board or the best times.

#include "mainwindow/MineForm.h"

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

// --- The board ---------------------------------------------------------------

void TMineForm::MGNewClick()
{
    TheGame->NewGame();
}

// --- Clock, title panel, pause ----------------------------------------------

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
    ShowEdgeButtons();
    Grid()->SetActive(active);
}

// The edge buttons turn a board without edges, and not while it is paused.
void TMineForm::ShowEdgeButtons()
{
    Frame->SetEdgeButtonsEnabled(!TheGame->Model().Borders && !TheGame->IsPaused());
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

// --- Best times --------------------------------------------------------------

void TMineForm::ShowBestRecord(const TBestRecord &record)
{
    TheStatusBar->SetPanelText(BestTimePanel, QString::number(record.BestTime));
    TheStatusBar->SetPanelText(HolderPanel, record.Holder);
}

// The list is the game's, not the option's: a game goes on counting where
// its board was laid, whatever the option says by the time it is won (see
// TMineGame::IsNoGuessingGame).
TBestTimes &TMineForm::GameRecords() const
{
    return TheGame->IsNoGuessingGame() ? *NoGuessBestTimes : *BestTimes;
}

const TBestTimes &TMineForm::Records() const
{
    return GameRecords();
}

bool TMineForm::LoadBestRecord()
{
    const TMines &model = TheGame->Model();
    return GameRecords().Load(model.Cols, model.Rows, model.Mines);
}

void TMineForm::CheckNewRecord()
{
    TBestTimes &records = GameRecords();
    const int seconds = TheGame->ShownSeconds();
    if (!records.IsNewRecord(seconds))
        return;
    const TMines &model = TheGame->Model();
    const QString name = Windows.NewRecord().Execute(
        {model.RecordName, model.Cols, model.Rows, model.Mines, TimeCount->Value()});
    TheGame->SetRecordName(name);
    records.SetRecord(seconds, model.RecordName);
}

// The notice stays until the next new game, beside the best time that game
// plays for; where the window is too narrow for it, its tip tells it whole.
void TMineForm::ShowGuessNotice(bool shown)
{
    TheStatusBar->SetPanelShown(NoticePanel, shown);
    TheStatusBar->setToolTip(shown ? GuessNoticeCaption : QString());
}
