// Start-up and shutdown of the program.
#include "app/Program.h"

#include "app/GameKeeper.h"
#include "app/PlayFolder.h"
#include "app/QuitSignals.h"
#include "app/SavedGameFile.h"
#include "base/Constants.h"
#include "base/MessageBox.h"
#include "controls/Resources.h"
#include "dialogs/MessageBoxes.h"
#include "dialogs/WaitingWindows.h"
#include "mainwindow/AccessibleBoard.h"
#include "mainwindow/MineForm.h"
#include "music/SoundModule.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

#include <cstdio>

namespace
{

const QString SavedGameUnreadableCaption =
    QStringLiteral("The saved game could not be read: it was moved to \"%1\".")
        .arg(QLatin1String(BadSavedGameFileName));

// The folder given on the command line, or else the player's play folder,
// the same from a menu and from a terminal.
bool EnterChosenFolder(const QString &chosen)
{
    QString folder = chosen;
    QString error;
    if (folder.isEmpty()) {
        const QString data =
            qEnvironmentVariable("FERROX_DATA_DIR", QCoreApplication::applicationDirPath() +
                                                        QStringLiteral("/" FERROX_DATA_FROM_BIN));
        folder = PreparePlayFolder(data, error);
    }
    if (!folder.isEmpty() && EnterPlayFolder(folder, error))
        return true;
    // Typed in a terminal, the reason shows where it was typed too.
    std::fprintf(stderr, "ferrox: %s\n", qUtf8Printable(error));
    ShowMessage(TMsgType::mtError, error);
    return false;
}

} // namespace

int RunProgram(int &argc, char *argv[])
{
    // The board's cells are 17 pixels at every density; the fonts follow the
    // density through the window's scale instead.  A fractional scale (120 or 144
    // pixels per inch) therefore must not magnify the window, while a whole
    // multiple still may, so that a very dense screen stays readable.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::Floor);
    QApplication app(argc, argv);
    QApplication::setApplicationName(ProgramName);
    // Screen readers ask about the board and panels from the first window on.
    TAccessibleBoard::InstallFactory();

    QCommandLineParser options;
    options.setApplicationDescription(
        QStringLiteral("Mine-sweeping puzzle with tracker music.  Plays in the play folder "
                       "(XDG_DATA_HOME/Ferrox) unless told otherwise."));
    options.addHelpOption();
    const QCommandLineOption folderOption(
        QStringLiteral("folder"),
        QStringLiteral("Keep the best times, play list and tune in <folder> instead."),
        QStringLiteral("folder"));
    options.addOption(folderOption);
    options.process(app);

    // A session that ends sends SIGTERM, a closed terminal SIGHUP, Ctrl+C
    // SIGINT: each ends the game as the desktop's Quit does, so that the
    // window waiting for an answer keeps what it holds and the settings are
    // written.  Before the main window exists, only a box shown at start can
    // wait; it is closed, and the game does not start.
    TQuitSignals quitSignals;
    TMineForm *game = nullptr;
    QObject::connect(&quitSignals, &TQuitSignals::QuitRequested, &app, [&game, &quitSignals] {
        if (game)
            game->CloseFromDesktop();
        else
            CloseWaitingWindows(&quitSignals, [] {});
    });

    InstallMessageBoxes();
    if (!EnterChosenFolder(options.value(folderOption)))
        return 1;

    // The largest board and the font scale come from the screen, the files
    // from the folder just entered.  The sound module, loaded when music is
    // first wanted, outlives the window: the window's player fades out as
    // the window goes, and the module then closes the device before the
    // program ends.
    TSoundModule sound;
    TFormEnvironment environment = ScreenEnvironment();
    environment.MediaControls = true;
    environment.Sound = &sound;
    environment.AfterFirstPaint = true;
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(FERROX_APP_ID));

    TMineForm form(environment);
    // The frame's icon is no part of the first paint either.
    QObject::connect(&form, &TMineForm::startFinished, &form,
                     [] { QApplication::setWindowIcon(FerroxRes::LoadMainIcon()); });
    if (quitSignals.WasRequested())
        return 0;
    // The game left under way at the last end comes back as it was, paused;
    // every way of ending keeps the one under way now.  The session keeps it
    // as it saves itself too: it may end the program without another word.
    TGameKeeper keeper(environment.WorkingDirectory);
    if (keeper.ResumeNewest(form.Game(), environment.Game().Limits))
        form.ShowNotice(SavedGameUnreadableCaption);
    QObject::connect(qGuiApp, &QGuiApplication::commitDataRequest, &keeper,
                     [&keeper, &form] { keeper.Keep(form.Game()); });
    game = &form;
    form.show();
    const int status = app.exec();
    keeper.Keep(form.Game());
    return status;
}
