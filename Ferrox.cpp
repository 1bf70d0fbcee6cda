#include "mainwindow/MessageBoxes.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    InstallMessageBoxes();
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Ferrox"));
    window.show();
    return app.exec();
}
