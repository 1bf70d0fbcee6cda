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
#include "records/GameHistory.h"

#include <QAction>
#include <QPainter>

// --- The board ---------------------------------------------------------------

void TMineForm::MGNewClick()
{
    TheGame->NewGame();
    Grid()->setFocus(Qt::OtherFocusReason);
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

// Neither the title nor the version: the music is on but not heard.  The
// module plays on where it stood once the server is back.
void TMineForm::ShowMusicAwaited(bool awaited)
{
    if (awaited) {
        Frame->MusicPanel()->SetCaption(MusicAwaitedCaption);
        TitleTicks = TitleShowTicks;
    } else if (Player->IsPlaying()) {
        ShowTitle(Player->PlayingTitle());
    } else {
        Frame->MusicPanel()->SetCaption(VersionCaption);
    }
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
    painter.setPen(Qt::red);
    const QRect textBox = NoticeTextBox(rect);
    // A name longer than its panel shows that it goes on, inside the bevel;
    // the notice is set smaller first, as the title panel's captions are.
    const TFittedCaption fitted =
        FitCaption(TheStatusBar->PanelText(panel), TheStatusBar->font(), textBox.width(),
                   panel == NoticePanel ? SmallestTitlePixels : 0);
    painter.setFont(fitted.Font);
    painter.drawText(textBox, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, fitted.Text);
}

QRect TMineForm::NoticeTextBox(const QRect &panel)
{
    return {panel.left() + 5, panel.top() - 1, panel.width() - 5, panel.height() + 1};
}

// --- Best times --------------------------------------------------------------

void TMineForm::ShowBestRecord(const TBestRecord &record)
{
    // The list the time comes from: a No Guessing time is no ordinary one.
    TheStatusBar->SetPanelText(BestCaptionPanel,
                               TheGame->IsNoGuessingGame() ? NoGuessBestCaption : BestCaption);
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

// A line that cannot be written costs that line and nothing more: the game
// goes on without a word.
void TMineForm::WriteHistoryLine(const TFinishedGame &game)
{
    THistoryGame line;
    static_cast<TFinishedGame &>(line) = game;
    if (game.Outcome == TGameOutcome::Won)
        line.Name = TheGame->Model().RecordName;
    AppendHistoryGame(line, WorkingDirectory);
}

// The notice stays until the next new game, beside the best time that game
// plays for.
void TMineForm::ShowGuessNotice(bool shown)
{
    ShowNoticePanel(shown ? GuessNoticeCaption : GameNotice);
}

void TMineForm::ShowNotice(const QString &text)
{
    GameNotice = text;
    ShowNoticePanel(TheGame->MayNeedGuess() ? GuessNoticeCaption : GameNotice);
}

// Where the window is too narrow for the notice even in a smaller size, the
// best time makes room for it; its tip tells it whole too.
void TMineForm::ShowNoticePanel(const QString &text)
{
    const bool shown = !text.isEmpty();
    for (int panel = 0; panel < NoticePanel; ++panel)
        TheStatusBar->SetPanelShown(panel, true);
    if (shown)
        TheStatusBar->SetPanelText(NoticePanel, text);
    TheStatusBar->SetPanelShown(NoticePanel, shown);
    const int room = NoticeTextBox(TheStatusBar->PanelRect(NoticePanel)).width();
    if (shown && FitCaption(text, TheStatusBar->font(), room, SmallestTitlePixels).Text != text)
        for (int panel = 0; panel < NoticePanel; ++panel)
            TheStatusBar->SetPanelShown(panel, false);
    TheStatusBar->setToolTip(text);
}
