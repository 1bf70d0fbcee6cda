#include "mainwindow/FormEnvironment.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>

TGameEnvironment TFormEnvironment::Game() const
{
    TGameEnvironment game;
    game.Limits = BoardLimitsForScreen(ScreenSize.width(), ScreenSize.height());
    game.Clock = TWallClock(Clock);
    game.RandomState = RandomState;
    game.Settings = Settings;
    return game;
}

TFormScale TFormEnvironment::Scale() const
{
    return TFormScale::ForDensity(DotsPerInch);
}

TFormEnvironment ScreenEnvironment()
{
    TFormEnvironment environment;
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        environment.ScreenSize = screen->size();
        environment.DotsPerInch = screen->logicalDotsPerInch();
    }
    environment.WorkingDirectory = QDir::currentPath();
    environment.Settings = TSettingsStore::UserStore();
    return environment;
}
