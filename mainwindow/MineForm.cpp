// Start-up, the controls and their wiring, and shutdown of the main window.

#include "mainwindow/MineForm.h"
#include "controls/Fonts.h"

#include "base/Random.h"
#include "controls/Counter.h"
#include "controls/DRLabel.h"
#include "controls/FormScaleUnit.h"
#include "controls/StatusPanels.h"
#include "controls/fxRepeatBtn.h"
#include "mainwindow/BoardFrame.h"
#include "mainwindow/BoardView.h"
#include "mainwindow/Layout.h"
#include "model/MineGame.h"
#include "music/Music.h"
#include "records/BestTimes.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTimer>

namespace
{
const QString DefaultPlayList = QStringLiteral("Ferrox.M3U");
const QByteArray FallbackModule = QByteArrayLiteral("Ferrox.MOD");
// Where the window first appears, as designed.
constexpr QPoint DesignPosition(230, 103);
} // namespace

TMineForm::TMineForm(const TFormEnvironment &environment, QWidget *parent)
    : QMainWindow(parent),
      WorkingDirectory(environment.WorkingDirectory.isEmpty() ? QDir::currentPath()
                                                              : environment.WorkingDirectory)
{
    InstallClock(environment);
    // The program's files stay in the folder it was started in, whatever a
    // file dialog later does to the current directory.
    SetBestRecordsDirectory(WorkingDirectory);

    setWindowTitle(QStringLiteral("Ferrox"));
    // A fixed frame: minimise and close, no maximise, since the window
    // always has exactly the size of its board.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    // The model reads the stored settings and seeds the generator.
    TheGame = std::make_unique<TMineGame>();
    BestTimes = new TBestTimes(this);
    CreateControls();
    Menu.Build(menuBar(), this);
    ConnectGame();
    ConnectBoard();
    ConnectMenus();
    FormCreate();
    if (environment.RandomState)
        SetRandomState(*environment.RandomState);
    move(DesignPosition);
}

TMineForm::~TMineForm()
{
    FormDestroy();
    if (ClockInstalled)
        SetWallClock(PreviousClock);
}

void TMineForm::InstallClock(const TFormEnvironment &environment)
{
    if (!environment.Clock)
        return;
    PreviousClock = SetWallClock(environment.Clock);
    ClockInstalled = true;
}

TBoardView *TMineForm::Grid() const
{
    return Frame->Grid();
}

void TMineForm::FormCreate()
{
    Player = std::make_unique<TMusic>();
    ConnectMusic();
    LoadDefaultPlayList();
    ApplySettings();
    MGNewClick();
    LayoutBoard();
    STimer->start(TimerIntervalMs);
}

// Without a readable default play list music stays off for this run: the
// stored option follows the player, which does not play.
void TMineForm::LoadDefaultPlayList()
{
    const QString listPath = QDir(WorkingDirectory).filePath(DefaultPlayList);
    if (!QFileInfo::exists(listPath)) {
        ShowMusicState(Player->IsPlaying());
        return;
    }
    TPlayList list;
    if (!list.LoadFromFile(listPath)) {
        // The play list could not be read (it said why); the module that
        // ships with the program is the one thing still worth offering.
        TPlayListItem fallback;
        fallback.FileName = FallbackModule;
        fallback.BaseFolder = WorkingDirectory;
        if (fallback.ReadTitle())
            list.AddCopy(fallback);
        ShowMusicState(Player->IsPlaying());
    }
    Player->ReplaceList(list, -1);
}

void TMineForm::ApplySettings()
{
    TMines &model = TheGame->Model();
    SetBoardActive(true);
    SetOptionChecks();
    Menu.MOQuestion->setChecked(model.QuestionMarks);
    // The title comes with the player's moduleChanged.
    if (model.MusicOn)
        Player->Play();
    ShowMusicState(Player->IsPlaying());
}

void TMineForm::SetOptionChecks()
{
    const TMines &model = TheGame->Model();
    Menu.MONBour->setChecked(model.ClearNeighbours);
    Menu.MOCross->setChecked(model.CrossPointer);
    Menu.MOBorder->setChecked(model.Borders);
    Menu.MOPress->setChecked(model.WindowsPress);
}

// The one place where the Music item and the stored option are set, from
// the player's state.
void TMineForm::ShowMusicState(bool playing)
{
    Menu.MUSong->setText(QLatin1String(playing ? TurnOffCaption : TurnOnCaption));
    TheGame->SetMusicOn(playing);
}

void TMineForm::FormDestroy()
{
    STimer->stop();
    // Nothing may paint from here on: the board and its tiles go first, then
    // the model, which writes the settings, then the player, which fades the
    // music out before the process may end.
    Player->disconnect(this);
    delete takeCentralWidget();
    Frame = nullptr;
    TheGame.reset();
    Player.reset();
}

// --- Controls ----------------------------------------------------------------

void TMineForm::CreateControls()
{
    setFont(PixelFont(QStringLiteral("Courier New"), 13, true));
    auto *client = new QWidget(this);
    setCentralWidget(client);
    CreateCounterStrip(client);
    Frame = new TBoardFrame(*TheGame, client);
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

    // Applied in the order a form designer applies them: the three digits
    // set while Stretch is still off give the natural width of 54.
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
}

void TMineForm::CreateStatusBar()
{
    TheStatusBar = new TStatusPanels(this);
    TheStatusBar->setObjectName(QStringLiteral("TheStatusBar"));
    TheStatusBar->setFont(PixelFont(QStringLiteral("MS Sans Serif"), 13, true));
    TheStatusBar->setFixedHeight(StatusBarHeight);
    TheStatusBar->AddPanel(80, false, QStringLiteral("Best Time:"));
    TheStatusBar->AddPanel(40, true, QString::number(NoRecordTime));
    TheStatusBar->AddPanel(28, false, QStringLiteral("by:"));
    TheStatusBar->AddPanel(50, true, NoRecordHolder);
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
        Menu.MOPause->setChecked(paused);
        SetBoardActive(!paused);
    });
    connect(game, &TMineGame::gameWon, this, &TMineForm::CheckNewRecord);
    connect(BestTimes, &TBestTimes::recordChanged, this, &TMineForm::ShowBestRecord);
}

void TMineForm::ConnectBoard()
{
    TBoardView *grid = Frame->Grid();
    auto shift = [](QMouseEvent *event) { return bool(event->modifiers() & Qt::ShiftModifier); };
    connect(grid, &TcpDrawGrid::mouseDown, this, [this, shift](QMouseEvent *event) {
        const QPoint pos = event->position().toPoint();
        MineGridMouseDown(event->button(), shift(event), pos.x(), pos.y());
    });
    connect(grid, &TcpDrawGrid::mouseUp, this, [this, shift](QMouseEvent *event) {
        const QPoint pos = event->position().toPoint();
        MineGridMouseUp(event->button(), shift(event), pos.x(), pos.y());
    });
    connect(grid, &TcpDrawGrid::mouseMove, this, [this](QMouseEvent *event) {
        const QPoint pos = event->position().toPoint();
        MineGridMouseMove(event->buttons(), pos.x(), pos.y());
    });
    connect(grid, &TcpDrawGrid::keyPressed, this, &TMineForm::MineGridKeyPress);
    connect(grid, &TcpDrawGrid::mouseEnter, this, &TMineForm::MineGridMouseEnter);
    connect(grid, &TcpDrawGrid::mouseLeave, this, &TMineForm::MineGridMouseLeave);
    connect(grid, &TcpDrawGrid::mouseEnterCell, this, &TMineForm::MineGridMouseEnterCell);
    connect(grid, &TcpDrawGrid::mouseLeaveCell, this, &TMineForm::MineGridMouseLeaveCell);

    TBevelPanel *upPanel = Frame->TitlePanel();
    connect(upPanel, &TBevelPanel::mousePressed, this, &TMineForm::UpPanelMouseDown);
    connect(upPanel, &TBevelPanel::mouseReleased, this, &TMineForm::UpPanelMouseUp);
    connect(upPanel, &TBevelPanel::mouseMoved, this, &TMineForm::UpPanelMouseMove);
    connect(upPanel, &TBevelPanel::clicked, this, &TMineForm::UpPanelClick);
    connect(Frame->MusicPanel(), &TBevelPanel::clicked, this, &TMineForm::DownPanelClick);

    const struct {
        const char *button;
        void (TMineForm::*handler)();
    } moves[] = {
        {"SpLeftUp", &TMineForm::SBDownRight}, {"SpUpL", &TMineForm::SBDown},
        {"SpUpR", &TMineForm::SBDown},         {"SpRightUp", &TMineForm::SBDownLeft},
        {"SpLeftU", &TMineForm::SBRight},      {"SpLeftD", &TMineForm::SBRight},
        {"SpRightU", &TMineForm::SBLeft},      {"SpRightD", &TMineForm::SBLeft},
        {"SpLeftDown", &TMineForm::SBUpRight}, {"SpDownL", &TMineForm::SBUp},
        {"SpDownR", &TMineForm::SBUp},         {"SpRightDown", &TMineForm::SBUpLeft},
    };
    for (const auto &move : moves) {
        auto *button = Frame->findChild<TfxRepeatBtn *>(QLatin1String(move.button));
        connect(button, &TfxRepeatBtn::clicked, this, move.handler);
    }
}

void TMineForm::ConnectMusic()
{
    connect(Player.get(), &TMusic::playingChanged, this, &TMineForm::ShowMusicState);
    connect(Player.get(), &TMusic::moduleChanged, this,
            [this](int, const QString &title) { ShowTitle(title); });
}

void TMineForm::ConnectCheckItem(QAction *action, void (TMineForm::*handler)())
{
    // Qt inverts a check item before it reports the trigger; the handlers
    // invert it themselves (as they must when called directly), so the
    // toolkit's inversion is taken back first.
    connect(action, &QAction::triggered, this, [this, action, handler](bool checked) {
        action->setChecked(!checked);
        (this->*handler)();
    });
}

void TMineForm::ConnectMenus()
{
    connect(Menu.MGNew, &QAction::triggered, this, &TMineForm::MGNewClick);
    connect(Menu.MGEasy, &QAction::triggered, this, &TMineForm::MGEasyClick);
    connect(Menu.MGMedium, &QAction::triggered, this, &TMineForm::MGMediumClick);
    connect(Menu.MGHard, &QAction::triggered, this, &TMineForm::MGHardClick);
    connect(Menu.MGCustom, &QAction::triggered, this, &TMineForm::MGCustomClick);
    connect(Menu.MGQuit, &QAction::triggered, this, &TMineForm::MGQuitClick);
    ConnectCheckItem(Menu.MOPause, &TMineForm::MOPauseClick);
    connect(Menu.MODos, &QAction::triggered, this, &TMineForm::MODosClick);
    connect(Menu.MOWindows, &QAction::triggered, this, &TMineForm::MOWindowsClick);
    ConnectCheckItem(Menu.MOQuestion, &TMineForm::MOQuestionClick);
    ConnectCheckItem(Menu.MOCross, &TMineForm::MOCrossClick);
    ConnectCheckItem(Menu.MOPress, &TMineForm::MOPressClick);
    ConnectCheckItem(Menu.MOBorder, &TMineForm::MOBorderClick);
    ConnectCheckItem(Menu.MONBour, &TMineForm::MONBourClick);
    connect(Menu.MUSong, &QAction::triggered, this, &TMineForm::MUSongClick);
    connect(Menu.MUFile, &QAction::triggered, this, &TMineForm::MUFileClick);
    connect(Menu.MMSetup, &QAction::triggered, this, &TMineForm::MMSetupClick);
    connect(Menu.MMVolume, &QAction::triggered, this, &TMineForm::MMVolumeClick);
    connect(Menu.MHAbout, &QAction::triggered, this, &TMineForm::MHAboutClick);
    connect(Menu.License1, &QAction::triggered, this, &TMineForm::License1Click);
}
