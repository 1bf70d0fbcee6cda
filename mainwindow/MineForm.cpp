// Start-up, the controls and their wiring, and shutdown of the main window.

#include "mainwindow/MineForm.h"
#include "controls/Fonts.h"

#include "base/Constants.h"
#include "controls/Counter.h"
#include "controls/DRLabel.h"
#include "controls/StatusPanels.h"
#include "mainwindow/BoardFrame.h"
#include "mainwindow/BoardView.h"
#include "mainwindow/Layout.h"
#include "model/MineGame.h"
#include "mpris/MediaControls.h"
#include "music/Music.h"
#include "records/BestTimes.h"

#include <QAction>
#include <QDBusConnection>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenuBar>
#include <QTimer>
#include <QWindow>

#include <optional>

namespace
{
// Where the window first appears, as designed.
constexpr QPoint DesignPosition(230, 103);
// How long the rest of the start waits for a window that is not exposed.
constexpr int UnexposedStartDelayMs = 1000;
} // namespace

TMineForm::TMineForm(const TFormEnvironment &environment, QWidget *parent)
    : QMainWindow(parent), Sound(*environment.Sound), Windows(this, Sound),
      WorkingDirectory(environment.WorkingDirectory.isEmpty() ? QDir::currentPath()
                                                              : environment.WorkingDirectory),
      Scale(environment.Scale()), Settings(environment.Settings),
      OfferMediaControls(environment.MediaControls), StartWaitsForPaint(environment.AfterFirstPaint)
{
    setWindowTitle(ProgramName);
    // A fixed frame: minimise and close, no maximise, since the window
    // always has exactly the size of its board.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    // The model reads the stored settings and seeds the generator.
    TheGame = std::make_unique<TMineGame>(TMines::TStoreUse::LoadAndSave, environment.Game());
    // The program's files stay in the folder it was started in, whatever a
    // file dialog later does to the current directory.
    BestTimes = new TBestTimes(WorkingDirectory, TBestList::Ordinary, this);
    NoGuessBestTimes = new TBestTimes(WorkingDirectory, TBestList::NoGuessing, this);
    CreateControls();
    Menu.Build(menuBar(), this);
    ConnectGame();
    ConnectBoard();
    ConnectMenus();
    ConnectSession();
    // Where the layout finds it: a board too large for the screen from there
    // moves it.
    move(DesignPosition);
    FormCreate();
}

TMineForm::~TMineForm()
{
    FormDestroy();
}

TBoardView *TMineForm::Grid() const
{
    return Frame->Grid();
}

void TMineForm::FormCreate()
{
    Player = std::make_unique<TMusic>(Sound, Settings);
    ConnectMusic();
    ConnectMediaControls();
    ApplySettings();
    MGNewClick();
    LayoutBoard();
    Grid()->setFocus(Qt::OtherFocusReason);
    STimer->start(TimerIntervalMs);
    if (!StartWaitsForPaint)
        FinishStart();
}

// The music, and the desktop's first sight of it (a session bus to reach,
// a name to take), cost more than the rest of the start: they wait for the
// first paint when asked to.
void TMineForm::FinishStart()
{
    StartWaitsForPaint = false;
    if (windowHandle())
        windowHandle()->removeEventFilter(this);
    // The title comes with the player's moduleChanged.
    if (LoadDefaultPlayList() && Player->WasStoredOn())
        Player->Play();
    Menu.ShowMusicOn(Player->IsSwitchedOn());
    // The desktop first sees the game as it starts: the music already on
    // or off.  Without a session bus the game goes on as before, silently.
    if (OfferMediaControls)
        Controls->Offer(QDBusConnection::sessionBus());
    emit startFinished();
}

// The window's handle exists from here on; its first exposure paints it.
// A window the desktop does not put on the screen at once (on another
// workspace) still gets its music a moment later.
void TMineForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!StartWaitsForPaint || !windowHandle())
        return;
    windowHandle()->installEventFilter(this);
    QTimer::singleShot(UnexposedStartDelayMs, this, [this] {
        if (StartWaitsForPaint)
            FinishStart();
    });
}

// The exposure paints the window and puts it on the screen before the
// event loop takes the next event: the rest of the start follows then.
bool TMineForm::eventFilter(QObject *watched, QEvent *event)
{
    if (StartWaitsForPaint && watched == windowHandle() && event->type() == QEvent::Expose &&
        windowHandle()->isExposed())
        QTimer::singleShot(0, this, [this] {
            if (StartWaitsForPaint)
                FinishStart();
        });
    return QMainWindow::eventFilter(watched, event);
}

// Without a readable default play list music stays off for this run, and
// is stored as off at the end: the player never switched it on.
bool TMineForm::LoadDefaultPlayList()
{
    const QString listPath = QDir(WorkingDirectory).filePath(DefaultPlayListName);
    if (!QFileInfo::exists(listPath))
        return false;
    TPlayList list;
    const bool read = list.LoadFromFile(listPath, Sound);
    if (!read) {
        // The play list could not be read (it said why); the module that
        // ships with the program is the one thing still worth offering.
        TPlayListItem fallback;
        fallback.FileName = FallbackModuleName.toLatin1();
        fallback.BaseFolder = WorkingDirectory;
        if (fallback.ReadTitle(Sound))
            list.AddCopy(fallback);
    }
    Player->ReplaceList(list, -1);
    return read;
}

void TMineForm::ApplySettings()
{
    SetBoardActive(true);
    FollowOptions();
    Menu.ShowMusicOn(false);
}

void TMineForm::FormDestroy()
{
    STimer->stop();
    // The settings are written before anything goes, each owner its own
    // values: the player's now, the model's as it goes.  A player whose start
    // never came has changed nothing: its stored values stay as they were.
    if (!StartWaitsForPaint)
        Player->SaveSettings();
    // A game kept to be resumed has not ended: its line is written when it
    // does, after the next start.
    if (!TheGame->IsSavedForLater())
        if (const std::optional<TFinishedGame> left = TheGame->UnfinishedGame())
            WriteHistoryLine(*left);
    // Nothing may paint from here on: the board and its tiles go first, then
    // the model, then the player, which fades the music out before the
    // process may end.
    Player->disconnect(this);
    delete takeCentralWidget();
    Frame = nullptr;
    TheGame.reset();
    Controls.reset();
    Player.reset();
}

// --- Controls ----------------------------------------------------------------

void TMineForm::CreateControls()
{
    setFont(PixelFont(QStringLiteral("Courier New"), 13, true));
    auto *client = new QWidget(this);
    setCentralWidget(client);
    CreateCounterStrip(client);
    Frame = new TBoardFrame(*TheGame, Scale, client);
    Frame->move(0, CounterStripHeight);
    CreateStatusBar();
    STimer = new QTimer(this);
    STimer->setObjectName(QStringLiteral("STimer"));
    STimer->setInterval(TimerIntervalMs);
    connect(STimer, &QTimer::timeout, this, &TMineForm::STimerTimer);
}

void TMineForm::CreateCounterStrip(QWidget *client)
{
    const QFont labelFont = PixelFont(QStringLiteral("Times New Roman"), 16, true);
    auto makeLabel = [&](const char *name, const QString &caption, QRect place) {
        auto *label = new TDRLabel(client);
        label->setObjectName(QLatin1String(name));
        label->setGeometry(place);
        label->SetFont(labelFont);
        label->SetCaption(caption);
        label->SetHiColor(Qt::blue);
        label->SetLoColor(QColor(0, 0, 128));
        label->SetBorder(boNone);
        label->SetDeep(1);
        label->move(place.topLeft());
        return label;
    };
    DRLabel1 = makeLabel("DRLabel1", QStringLiteral("Time:"), QRect(4, 4, 39, 19));
    DRLabel2 = makeLabel("DRLabel2", QStringLiteral("Mines:"), QRect(110, 4, 48, 19));

    // The order matters: the three digits set while Stretch is still off
    // give the counter its natural width of 54.
    auto makeCounter = [&](const char *name, QRect place, bool stretch, const QString &value) {
        auto *counter = new TCounter(client);
        counter->setObjectName(QLatin1String(name));
        counter->setGeometry(place);
        counter->SetCounterType(ctLed);
        counter->SetNumDigits(3);
        counter->SetStretch(stretch);
        counter->SetValue(value);
        counter->Loaded();
        return counter;
    };
    TimeCount = makeCounter("TimeCount", QRect(44, 3, 57, 24), true, QStringLiteral("000"));
    MineCount = makeCounter("MineCount", QRect(160, 3, 57, 24), false, QStringLiteral("0"));
    TimeCount->setAccessibleName(QStringLiteral("Time"));
    MineCount->setAccessibleName(QStringLiteral("Mines left"));
}

void TMineForm::CreateStatusBar()
{
    TheStatusBar = new TStatusPanels(this);
    TheStatusBar->setObjectName(QStringLiteral("TheStatusBar"));
    TheStatusBar->setFont(PixelFont(QStringLiteral("MS Sans Serif"), 13, true));
    TheStatusBar->setFixedHeight(StatusBarHeight);
    TheStatusBar->AddPanel(80, false, BestCaption);
    TheStatusBar->AddPanel(40, true, QString::number(NoRecordTime));
    TheStatusBar->AddPanel(28, false, QStringLiteral("by:"));
    TheStatusBar->AddPanel(50, true, NoRecordHolder);
    TheStatusBar->AddPanel(50, true, GuessNoticeCaption);
    TheStatusBar->SetPanelShown(NoticePanel, false);
    connect(TheStatusBar, &TStatusPanels::drawPanel, this, &TMineForm::TheStatusBarDrawPanel);
    setStatusBar(TheStatusBar);
}

// --- Wiring ------------------------------------------------------------------

void TMineForm::ConnectGame()
{
    TMineGame *game = TheGame.get();
    connect(game, &TMineGame::timeChanged, this, [this](int seconds) {
        // A new game shows three zeros; later seconds are padded by the counter.
        TimeCount->SetValue(seconds == 0 ? QStringLiteral("000") : QString::number(seconds));
    });
    connect(game, &TMineGame::minesLeftChanged, this,
            [this](int minesLeft) { MineCount->SetValue(QString::number(minesLeft)); });
    connect(game, &TMineGame::pauseChanged, this, [this](bool paused) {
        Menu.ShowPaused(paused);
        SetBoardActive(!paused);
    });
    connect(game, &TMineGame::optionsChanged, this, &TMineForm::FollowOptions);
    connect(game, &TMineGame::boardResized, this, &TMineForm::LayoutBoard);
    connect(game, &TMineGame::gameWon, this, &TMineForm::CheckNewRecord);
    connect(game, &TMineGame::gameEnded, this, &TMineForm::WriteHistoryLine);
    connect(game, &TMineGame::noGuessingGameChanged, this, &TMineForm::LoadBestRecord);
    connect(game, &TMineGame::guessNoticeChanged, this, &TMineForm::ShowGuessNotice);
    // A notice for one game goes with it.
    connect(game, &TMineGame::newGameStarted, this, [this] {
        if (!GameNotice.isEmpty())
            ShowNotice(QString());
    });
    // Only the list of the game on the board is shown.
    for (TBestTimes *times : {BestTimes, NoGuessBestTimes})
        connect(times, &TBestTimes::recordChanged, this, [this, times](const TBestRecord &record) {
            if (times == &GameRecords())
                ShowBestRecord(record);
        });
}

void TMineForm::ConnectBoard()
{
    connect(Frame, &TBoardFrame::moveRequested, TheGame.get(),
            [this](QPoint direction) { TheGame->MoveBoard(direction.x(), direction.y()); });
    connect(Frame, &TBoardFrame::newGameClicked, this, &TMineForm::MGNewClick);
    connect(Frame->MusicPanel(), &TBevelPanel::clicked, this, &TMineForm::DownPanelClick);
}

void TMineForm::ConnectMusic()
{
    connect(Player.get(), &TMusic::switchChanged, this,
            [this](bool switchedOn) { Menu.ShowMusicOn(switchedOn); });
    connect(Player.get(), &TMusic::awaitingServerChanged, this, &TMineForm::ShowMusicAwaited);
    connect(Player.get(), &TMusic::moduleChanged, this,
            [this](int, const QString &title) { ShowTitle(title); });
}

// The desktop's media controls switch the music as the Music menu does,
// and raise and close the window as its frame does.
void TMineForm::ConnectMediaControls()
{
    Controls = std::make_unique<TMediaControls>(*Player);
    connect(Controls.get(), &TMediaControls::musicSwitchRequested, this,
            &TMineForm::SwitchMusicFromDesktop);
    connect(Controls.get(), &TMediaControls::raiseRequested, this, &TMineForm::RaiseWindow);
    connect(Controls.get(), &TMediaControls::quitRequested, this, &TMineForm::CloseFromDesktop);
}

// Where the desktop saves its session through the session manager, Qt asks
// the program to commit its data first.
void TMineForm::ConnectSession()
{
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, &TMineForm::KeepForSessionEnd);
}

void TMineForm::ConnectMenus()
{
    const std::pair<TMenuCommand, void (TMineForm::*)()> commands[] = {
        {mcNew, &TMineForm::MGNewClick},         {mcEasy, &TMineForm::MGEasyClick},
        {mcMedium, &TMineForm::MGMediumClick},   {mcHard, &TMineForm::MGHardClick},
        {mcCustom, &TMineForm::MGCustomClick},   {mcQuit, &TMineForm::MGQuitClick},
        {mcPause, &TMineForm::MOPauseClick},     {mcDos, &TMineForm::MODosClick},
        {mcWindows, &TMineForm::MOWindowsClick}, {mcQuestion, &TMineForm::MOQuestionClick},
        {mcCross, &TMineForm::MOCrossClick},     {mcPress, &TMineForm::MOPressClick},
        {mcBorder, &TMineForm::MOBorderClick},   {mcNeighbour, &TMineForm::MONBourClick},
        {mcNoGuess, &TMineForm::MONoGuessClick}, {mcSong, &TMineForm::MUSongClick},
        {mcFile, &TMineForm::MUFileClick},       {mcSetup, &TMineForm::MMSetupClick},
        {mcVolume, &TMineForm::MMVolumeClick},   {mcAbout, &TMineForm::MHAboutClick},
        {mcLicense, &TMineForm::License1Click},  {mcBestTimes, &TMineForm::MGBestTimesClick},
    };
    for (const auto &[command, handler] : commands)
        Menu.Connect(command, this, handler);
}
