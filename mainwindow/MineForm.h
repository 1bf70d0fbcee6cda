#pragma once

// The main window, unit MineMain: start-up and shutdown, layout, board
// painting and input, clock, counters, status bar, pause, menus and options.
// The methods are spread over the MineMain*.cpp files by topic.

#include "model/Mines.h"
#include "model/WallClock.h"
#include "records/BestRecords.h"

#include <QCursor>
#include <QMainWindow>
#include <QPixmap>
#include <QSize>
#include <QString>

#include <memory>
#include <optional>

class QAction;
class QActionGroup;
class QMenu;
class QPainter;
class QTimer;
class TBestForm;
class TBevelPanel;
class TCounter;
class TDRLabel;
class TMusic;
class TStatusPanels;
class TcpDrawGrid;
class TfxRepeatBtn;

// The game phase: a set of these bits.
enum TGameStateFlag : quint8 { gsPlaying = 1, gsPaused = 2, gsOver = 4, gsFresh = 8 };

// What the program takes from its surroundings at start.  The program fills
// it from the primary screen; tests set a screen, a folder, a clock and a
// generator state of their own, so no real screen or time of day is needed.
// The screen's two values are read by PrepareForScreen, the rest by the
// window's constructor.
struct TFormEnvironment {
    QSize ScreenSize{1024, 768};        // pixels
    double DotsPerInch = 96;            // the screen's (logical) pixels per inch
    QString WorkingDirectory;           // where the program's own files are; empty: current
    TWallClockSource Clock;             // empty: the system clock
    std::optional<quint32> RandomState; // replaces the seed taken from the time of day
};

// The environment of the primary screen and the current directory.
TFormEnvironment ScreenEnvironment();

// Program start, step 1, before any window exists: MaxCols and MaxRows from
// the screen size, ScaleFactor from its density.
void PrepareForScreen(const TFormEnvironment &environment);

class TMineForm : public QMainWindow
{
    Q_OBJECT

public:
    // Runs FormCreate.  PrepareForScreen must have run.
    explicit TMineForm(const TFormEnvironment &environment = TFormEnvironment(),
                       QWidget *parent = nullptr);
    // Runs FormDestroy, which writes the settings.
    ~TMineForm() override;

    // --- Start-up, layout, shutdown ---------------------------------------
    void LayoutBoard();
    void ApplySettings();

    // The design outer size of the window that LayoutBoard computed: the
    // client area is this less the frame allowance Round(6 x ScaleFactor) in
    // width, and holds the 32-pixel counter strip, the board panel and the
    // 19-pixel status bar in height under the menu bar.
    int OuterWidth = 0;
    int OuterHeight = 0;

    // --- Board painting ----------------------------------------------------
    void MineGridDrawCell(QPainter &canvas, int col, int row);
    void RepaintCell(int col, int row);
    void RepaintChanged();
    void RepaintBoard();
    // The tile the cell shows now (index into Tiles).
    int TileFor(int col, int row) const;

    // --- Board input -------------------------------------------------------
    void MGNewClick();
    void MineGridMouseDown(Qt::MouseButton button, bool shift, int x, int y);
    void MineGridMouseUp(Qt::MouseButton button, bool shift, int x, int y);
    void MineGridMouseMove(Qt::MouseButtons buttons, int x, int y);
    void MineGridMouseEnter(int col, int row);
    void MineGridMouseLeave(int col, int row);
    void MineGridMouseEnterCell(int col, int row);
    void MineGridMouseLeaveCell(int col, int row);
    void MineGridKeyPress(QChar key);
    void OpenAtPoint(int x, int y, bool shift);

    // --- Clock, counters, status bar, pause --------------------------------
    void STimerTimer();
    void DownPanelClick();
    void MOPauseClick();
    void SetBoardActive(bool active);
    void TheStatusBarDrawPanel(QPainter &painter, int panel, const QRect &rect);
    void UpPanelMouseDown(Qt::MouseButton button, Qt::MouseButtons held, QPoint pos);
    void UpPanelMouseUp(Qt::MouseButton button, Qt::MouseButtons held, QPoint pos);
    void UpPanelMouseMove(Qt::MouseButtons held, QPoint pos);
    void UpPanelClick();

    // --- Best times ----------------------------------------------------------
    bool LoadBestRecord();
    void CheckNewRecord();

    // --- Menus and options ---------------------------------------------------
    void MGEasyClick();
    void MGMediumClick();
    void MGHardClick();
    void MGCustomClick();
    void MGQuitClick();
    void MODosClick();
    void MOWindowsClick();
    void MOQuestionClick();
    void MOCrossClick();
    void MOPressClick();
    void MOBorderClick();
    void MONBourClick();
    void MUSongClick();
    void MUFileClick();
    void MMSetupClick();
    void MMVolumeClick();
    void MHAboutClick();
    void License1Click();

    // --- State -----------------------------------------------------------------
    std::unique_ptr<TMines> Mines;   // the game model
    std::unique_ptr<TimeType> Clock; // the game clock
    std::unique_ptr<TMusic> Music;   // the module player
    QPixmap Tiles[9];
    int PressState = 0;
    int PressedCol = 0;
    int PressedRow = 0;
    quint8 GameState = 0;
    bool ClockRunning = false;
    bool HasRecord = false;
    quint16 TitleTicks = 0;
    TBestRecord BestRecord;
    QCursor XCrossCursor;
    // The grid's current cell (moved by the input handlers).
    int CurrentCol = 0;
    int CurrentRow = 0;

    // --- Controls ----------------------------------------------------------------
    TDRLabel *DRLabel1 = nullptr;
    TCounter *TimeCount = nullptr;
    TDRLabel *DRLabel2 = nullptr;
    TCounter *MineCount = nullptr;
    TBevelPanel *MinePanel = nullptr;
    TfxRepeatBtn *SpLeftUp = nullptr;
    TfxRepeatBtn *SpUpL = nullptr;
    TfxRepeatBtn *SpUpR = nullptr;
    TfxRepeatBtn *SpRightUp = nullptr;
    TfxRepeatBtn *SpLeftU = nullptr;
    TfxRepeatBtn *SpLeftD = nullptr;
    TfxRepeatBtn *SpRightU = nullptr;
    TfxRepeatBtn *SpRightD = nullptr;
    TfxRepeatBtn *SpLeftDown = nullptr;
    TfxRepeatBtn *SpDownL = nullptr;
    TfxRepeatBtn *SpDownR = nullptr;
    TfxRepeatBtn *SpRightDown = nullptr;
    TBevelPanel *UpPanel = nullptr;
    TBevelPanel *DownPanel = nullptr;
    TBevelPanel *LeftPanel = nullptr;
    TBevelPanel *RightPanel = nullptr;
    TcpDrawGrid *MineGrid = nullptr;
    TStatusPanels *TheStatusBar = nullptr;
    QTimer *STimer = nullptr;
    TBestForm *BestForm = nullptr; // the new-record dialog, made when first needed

    QMenu *MGame = nullptr;
    QAction *MGNew = nullptr;
    QAction *MGEasy = nullptr;
    QAction *MGMedium = nullptr;
    QAction *MGHard = nullptr;
    QAction *MGCustom = nullptr;
    QAction *MGQuit = nullptr;
    QActionGroup *LevelGroup = nullptr;
    QMenu *MOptions = nullptr;
    QAction *MOPause = nullptr;
    QAction *MODos = nullptr;
    QAction *MOWindows = nullptr;
    QAction *MOQuestion = nullptr;
    QAction *MOCross = nullptr;
    QAction *MOPress = nullptr;
    QAction *MOBorder = nullptr;
    QAction *MONBour = nullptr;
    QMenu *MSound = nullptr;
    QAction *MUSong = nullptr;
    QAction *MUFile = nullptr;
    QAction *MMSetup = nullptr;
    QAction *MMVolume = nullptr;
    QMenu *MHelp = nullptr;
    QAction *MHAbout = nullptr;
    QAction *License1 = nullptr;

    // The twelve edge buttons, clockwise from the top-left corner.
    QList<TfxRepeatBtn *> EdgeButtons() const;

private:
    void FormCreate();
    void FormDestroy();
    void LoadDefaultPlayList();

    void CreateControls();
    void CreateCounterStrip(QWidget *client);
    void CreateBoardPanel(QWidget *client);
    TfxRepeatBtn *CreateEdgeButton(int arrow);
    TBevelPanel *CreateFillerPanel();
    void CreateTitlePanels();
    void CreateBoardGrid();
    void CreateStatusBar();
    void CreateMenus();
    void CreateGameMenu();
    void CreateOptionsMenu();
    void CreateMusicMenu();
    void CreateHelpMenu();
    QAction *AddCheckItem(QMenu *menu, const QString &caption, void (TMineForm::*handler)());

    void PlaceRightAndBottomPieces();
    void SetTitleFonts(int cols);
    void FitWindowToBoard();
    void CheckLevelItem();

    void ChooseLevel(int level);
    bool RunCustomDialog();
    void ApplyStylePreset(bool clearNeighbours, bool windowsPress);
    void SetOptionChecks();

    void FirstOpening(int col, int row);
    void EndOfGame();
    void ApplyMarkingCycle(int col, int row);
    void MoveCurrentCell(int col, int row);
    bool CellUnder(int x, int y, int &col, int &row) const;
    void ShowBestRecord();
    TBestForm *NewRecordDialog();

    QString WorkingDirectory;
    TWallClockSource PreviousClock;
    bool ClockInstalled = false;
    // The configuration of the last LayoutBoard, to see whether a level
    // change needs a new layout.
    int LaidCols = -1;
    int LaidRows = -1;
    int LaidMines = -1;
};
