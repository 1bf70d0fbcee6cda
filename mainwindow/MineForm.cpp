// Start-up, settings and shutdown of the main window.

#include "mainwindow/MineForm.h"

#include "controls/Resources.h"
#include "controls/cpDrawGrid.h"
#include "controls/FormScaleUnit.h"
#include "music/Music.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

namespace
{
const QString DefaultPlayList = QStringLiteral("Ferrox.M3U");
const QByteArray FallbackModule = QByteArrayLiteral("Ferrox.MOD");

// Faces to use where the named ones are missing.  "MS Sans Serif" is a
// narrow bitmap face; the system's usual fallback is a much wider sans serif
// that no longer fits the status bar's panels, so the nearest narrow faces
// are named first.  The metric twins of the other faces are named too: a
// face found by name is quicker to load at start than one found through the
// system's fallback search.
void InstallFontSubstitutes()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Microsoft Sans Serif"),
                                QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    QFont::insertSubstitutions(QStringLiteral("Courier New"), {QStringLiteral("Liberation Mono")});
    QFont::insertSubstitutions(QStringLiteral("Times New Roman"),
                               {QStringLiteral("Liberation Serif")});
    QFont::insertSubstitutions(QStringLiteral("Stucco 555"), {QStringLiteral("DejaVu Sans")});
}
} // namespace

TFormEnvironment ScreenEnvironment()
{
    TFormEnvironment environment;
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        environment.ScreenSize = screen->size();
        environment.DotsPerInch = screen->logicalDotsPerInch();
    }
    environment.WorkingDirectory = QDir::currentPath();
    return environment;
}

void PrepareForScreen(const TFormEnvironment &environment)
{
    ComputeMaxBoard(environment.ScreenSize.width(), environment.ScreenSize.height());
    ComputeScaleFactor(environment.DotsPerInch);
}

TMineForm::TMineForm(const TFormEnvironment &environment, QWidget *parent)
    : QMainWindow(parent),
      WorkingDirectory(environment.WorkingDirectory.isEmpty() ? QDir::currentPath()
                                                              : environment.WorkingDirectory)
{
    if (environment.Clock) {
        PreviousClock = SetWallClock(environment.Clock);
        ClockInstalled = true;
    }
    // The program's files stay in the folder it was started in, whatever a
    // file dialog later does to the current directory.
    SetBestRecordsDirectory(WorkingDirectory);

    setWindowTitle(QStringLiteral("Ferrox"));
    // A fixed frame: minimise and close, no maximise, since the window
    // always has exactly the size of its board.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    InstallFontSubstitutes();
    CreateControls();
    CreateMenus();
    FormCreate();
    if (environment.RandomState)
        SetRandomState(*environment.RandomState);
    move(230, 103);
}

TMineForm::~TMineForm()
{
    FormDestroy();
    if (ClockInstalled)
        SetWallClock(PreviousClock);
}

void TMineForm::FormCreate()
{
    PressState = 0;
    GameState = 0;
    ClockRunning = false;

    const QList<QPixmap> tiles = FerroxRes::LoadTiles();
    for (int i = 0; i < tiles.size() && i < 9; ++i)
        Tiles[i] = tiles.at(i).copy();

    Mines = std::make_unique<TMines>();
    Clock = std::make_unique<TimeType>();
    Music = std::make_unique<TMusic>();

    LoadDefaultPlayList();

    QFont boardFont(QStringLiteral("Courier New"));
    boardFont.setBold(true);
    boardFont.setPointSize(ScaledPoints(10));
    MineGrid->setFont(boardFont);

    XCrossCursor = FerroxRes::LoadXCrossCursor();

    ApplySettings();
    MGNewClick();
    LayoutBoard();
    STimer->start(TimerIntervalMs);
}

void TMineForm::LoadDefaultPlayList()
{
    const QString listPath = QDir(WorkingDirectory).filePath(DefaultPlayList);
    if (!QFileInfo::exists(listPath)) {
        Mines->MusicOn = false;
        return;
    }
    if (Music->ModuleList.LoadFromFile(listPath))
        return;
    // The play list could not be read (it said why); the module that ships
    // with the program is the one thing still worth offering.
    TPlayListItem fallback;
    fallback.FileName = FallbackModule;
    fallback.BaseFolder = WorkingDirectory;
    if (fallback.ReadTitle())
        Music->ModuleList.AddCopy(fallback);
    Mines->MusicOn = false;
}

void TMineForm::ApplySettings()
{
    SetBoardActive(true);
    SetOptionChecks();
    MOQuestion->setChecked(Mines->QuestionMarks);
    if (Mines->MusicOn && !Music->Play())
        Mines->MusicOn = false;
    if (Mines->MusicOn) {
        DownPanelClick();
        MUSong->setText(QStringLiteral("Turn Off"));
    } else {
        MUSong->setText(QStringLiteral("Turn On"));
    }
}

void TMineForm::SetOptionChecks()
{
    MONBour->setChecked(Mines->ClearNeighbours);
    MOCross->setChecked(Mines->CrossPointer);
    MOBorder->setChecked(Mines->Borders);
    MOPress->setChecked(Mines->WindowsPress);
}

void TMineForm::FormDestroy()
{
    STimer->stop();
    // Nothing may paint from here on: the tiles and the model go away.
    MineGrid->OnDrawCell = nullptr;
    for (QPixmap &tile : Tiles)
        tile = QPixmap();
    // Releasing the model releases its cells and writes the settings.
    Mines.reset();
    Clock.reset();
    Music.reset();
}
