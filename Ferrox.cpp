#include "controls/Resources.h"
#include "mainwindow/MessageBoxes.h"
#include "mainwindow/MineMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    InstallMessageBoxes();

    // The largest board and the font scale come from the screen before any
    // window exists.
    const TFormEnvironment environment = ScreenEnvironment();
    PrepareForScreen(environment);
    QApplication::setApplicationName(QStringLiteral("Ferrox"));
    QApplication::setWindowIcon(FerroxRes::LoadMainIcon());

    TMineForm form(environment);
    form.show();
    return app.exec();
}
