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
    InstallMessageBoxes();

    // The largest board and the font scale come from the screen before any
    // window exists.
    const TFormEnvironment environment = ScreenEnvironment();
    PrepareForScreen(environment);
    QApplication::setApplicationName(QStringLiteral("Ferrox"));
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(FERROX_APP_ID));
    QApplication::setWindowIcon(FerroxRes::LoadMainIcon());

    TMineForm form(environment);
    form.show();
    return app.exec();
}
