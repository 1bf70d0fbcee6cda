#include "QuitSignals.h"
#include "base/Constants.h"
#include "controls/Resources.h"
#include "dialogs/MessageBoxes.h"
#include "mainwindow/MineForm.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // The board's cells are 17 pixels at every density; the fonts follow the
    // density through ScaleFactor instead.  A fractional scale (120 or 144
    // pixels per inch) therefore must not magnify the window, while a whole
    // multiple still may, so that a very dense screen stays readable.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::Floor);
    QApplication app(argc, argv);
    // A session that ends sends SIGTERM: leave every event loop (an open
    // dialog's too) so the window is released and the settings written.
    // exit, not quit: quit does nothing until the main loop runs, and a box
    // shown at start runs its own loop before that.
    TQuitSignals quitSignals;
    QObject::connect(&quitSignals, &TQuitSignals::QuitRequested, &app,
                     [] { QCoreApplication::exit(0); });

    InstallMessageBoxes();

    // The largest board and the font scale come from the screen before any
    // window exists.
    TFormEnvironment environment = ScreenEnvironment();
    environment.MediaControls = true;
    PrepareForScreen(environment);
    QApplication::setApplicationName(ProgramName);
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(FERROX_APP_ID));
    QApplication::setWindowIcon(FerroxRes::LoadMainIcon());

    TMineForm form(environment);
    if (quitSignals.WasRequested())
        return 0;
    form.show();
    return app.exec();
}
