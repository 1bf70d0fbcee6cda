#include "mainwindow/FormEnvironment.h"

#include "controls/FormScaleUnit.h"
#include "model/Mines.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>

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
