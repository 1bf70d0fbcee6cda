#pragma once

// TMineForm: the main window.  It forwards the player's input to the game
// and the music player and shows what they announce.

#include "base/SettingsStore.h"
#include "mainwindow/FormEnvironment.h"
#include "mainwindow/MainMenu.h"
#include "mainwindow/SecondaryWindows.h"
#include "model/FinishedGame.h"

#include <QMainWindow>

#include <memory>

class QCloseEvent;
class QShowEvent;
class QPainter;
class QTimer;
class TBestTimes;
class TBoardFrame;
class TBoardView;
class TCounter;
class TDRLabel;
class TMediaControls;
class TMineGame;
class TMusic;
class TSoundModule;
class TStatusPanels;
struct TBestRecord;

class TMineForm : public QMainWindow
{
    Q_OBJECT

public:
    // Builds the window and starts the program in it, with everything it
    // takes from its surroundings in `environment` (its Sound is required).
    explicit TMineForm(const TFormEnvironment &environment, QWidget *parent = nullptr);
    // Stops the timer and the music and writes the settings.
    ~TMineForm() override;

    // What the window shows, for those who look at it from outside.  Every
    // control and menu item is also named after its place (objectName).
    TMineGame &Game() { return *TheGame; }
    const TMineGame &Game() const { return *TheGame; }
    TMusic &Music() { return *Player; }
    // The music as the desktop's media controls see and drive it.
    TMediaControls &MediaControls() { return *Controls; }
    TBoardView *Grid() const;
    // The best times of the game on the board: a No Guessing game has a list
    // of its own.
    const TBestTimes &Records() const;
    // The window's design size from the last layout, frame included.
    int OuterWidth() const { return Outer.width(); }
    int OuterHeight() const { return Outer.height(); }

    // Shows `text` in the status bar's notice panel for the game on the
    // board, until the next new game.
    void ShowNotice(const QString &text);

signals:
    // The start is complete: the play list read, the music playing if it is
    // on, the media controls offered.  Right at the end of the window's
    // making, or just after its first paint (TFormEnvironment::AfterFirstPaint).
    void startFinished();

public slots:
    // Ends the game as its close box does, when the desktop asks (a signal
    // at the session's end, the media controls' Quit): a window of the game
    // that waits for an answer is closed first as its own close box would
    // close it.
    void CloseFromDesktop();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    // Sees the window's first exposure, when the start waits for it.
    bool eventFilter(QObject *watched, QEvent *event) override;
    // A window of the game that waits for an answer blocks this one.
    bool event(QEvent *event) override;

private slots:
    // Start-up, layout
    void LayoutBoard();
    void ApplySettings();
    // The play list, the music and the media controls.  Music stored as on
    // starts only when the default play list was read.
    void FinishStart();

    // The board
    void MGNewClick();

    // Clock, counters, status bar, pause
    void STimerTimer();
    void DownPanelClick();
    // Puts a title into the lower title panel for 20 ticks.
    void ShowTitle(const QString &title);
    // The lower title panel says that the music waits for the sound server
    // for as long as it does.
    void ShowMusicAwaited(bool awaited);
    void MOPauseClick();
    void SetBoardActive(bool active);
    void ShowEdgeButtons();
    void TheStatusBarDrawPanel(QPainter &painter, int panel, const QRect &rect);

    // Best times
    bool LoadBestRecord();
    void CheckNewRecord();
    // The one place a game's end is written to the history: a won game with
    // the record name as it stands after the New Record window.
    void WriteHistoryLine(const TFinishedGame &game);
    // The status bar's notice that this game's board may need a guess.
    void ShowGuessNotice(bool shown);
    // Where a status panel's text is drawn.
    static QRect NoticeTextBox(const QRect &panel);

    // Menus
    void MGEasyClick();
    void MGMediumClick();
    void MGHardClick();
    void MGCustomClick();
    void MGBestTimesClick();
    void MGQuitClick();
    void MODosClick();
    void MOWindowsClick();
    void MOQuestionClick();
    void MOCrossClick();
    void MOPressClick();
    void MOBorderClick();
    void MONBourClick();
    void MONoGuessClick();
    void MUSongClick();
    void MUFileClick();
    void MMSetupClick();
    void MMVolumeClick();
    void MHAboutClick();
    void License1Click();

    // The desktop's media controls
    void SwitchMusicFromDesktop();
    void RaiseWindow();
    void KeepForSessionEnd();

    // What the game announces
    void FollowOptions();

private:
    void FormCreate();
    void FormDestroy();
    bool LoadDefaultPlayList();

    void CreateControls();
    void CreateCounterStrip(QWidget *client);
    void CreateStatusBar();
    void ConnectGame();
    void ConnectBoard();
    void ConnectMenus();
    void ConnectMusic();
    void ConnectMediaControls();
    void ConnectSession();

    void FitWindowToBoard();
    void KeepOnScreen();
    void ShowBestRecord(const TBestRecord &record);
    // The notice panel with `text`, hidden when it is empty.
    void ShowNoticePanel(const QString &text);
    TBestTimes &GameRecords() const;

    std::unique_ptr<TMineGame> TheGame;
    std::unique_ptr<TMusic> Player;
    std::unique_ptr<TMediaControls> Controls;
    TBestTimes *BestTimes = nullptr;
    TBestTimes *NoGuessBestTimes = nullptr;
    TMainMenu Menu;
    TBoardFrame *Frame = nullptr;
    TDRLabel *DRLabel1 = nullptr;
    TCounter *TimeCount = nullptr;
    TDRLabel *DRLabel2 = nullptr;
    TCounter *MineCount = nullptr;
    TStatusPanels *TheStatusBar = nullptr;
    QTimer *STimer = nullptr;
    TSoundModule &Sound;
    TSecondaryWindows Windows;

    quint16 TitleTicks = 0;
    QString WorkingDirectory;
    QString GameNotice;
    TFormScale Scale;
    TSettingsStore Settings;
    bool OfferMediaControls = false;
    bool StartWaitsForPaint = false;
    QSize Outer;
};
