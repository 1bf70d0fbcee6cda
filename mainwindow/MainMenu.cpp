#include "mainwindow/MainMenu.h"

#include "model/Mines.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>

namespace
{
const char *const TurnOnCaption = "Turn On";
const char *const TurnOffCaption = "Turn Off";

QAction *AddItem(QMenu *menu, const char *name, const QString &caption,
                 const QKeySequence &shortcut = {})
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(shortcut);
    return action;
}

QAction *AddCheckItem(QMenu *menu, const char *name, const QString &caption, bool checked)
{
    QAction *action = AddItem(menu, name, caption);
    action->setCheckable(true);
    action->setChecked(checked);
    return action;
}

QMenu *AddMenu(QMenuBar *bar, const char *name, const QString &caption)
{
    QMenu *menu = bar->addMenu(caption);
    menu->setObjectName(QLatin1String(name));
    return menu;
}
} // namespace

void TMainMenu::Build(QMenuBar *bar, QObject *owner)
{
    // The menus keep the system's font, not the window's bold Courier.
    bar->setFont(QApplication::font());
    BuildGameMenu(bar, owner);
    BuildOptionsMenu(bar);
    BuildMusicMenu(bar);
    BuildHelpMenu(bar);
}

void TMainMenu::BuildGameMenu(QMenuBar *bar, QObject *owner)
{
    MGame = AddMenu(bar, "MGame", QStringLiteral("&Game"));
    MGNew = AddItem(MGame, "MGNew", QStringLiteral("New"), QKeySequence(Qt::CTRL | Qt::Key_N));
    MGame->addSeparator();

    LevelGroup = new QActionGroup(owner);
    LevelGroup->setExclusive(true);
    auto addLevel = [&](const char *name, const QString &caption, const QKeySequence &shortcut) {
        QAction *action = AddItem(MGame, name, caption, shortcut);
        action->setCheckable(true);
        LevelGroup->addAction(action);
        return action;
    };
    MGEasy = addLevel("MGEasy", QStringLiteral("Easy"), QKeySequence(Qt::CTRL | Qt::Key_E));
    MGMedium = addLevel("MGMedium", QStringLiteral("Medium"), QKeySequence(Qt::CTRL | Qt::Key_M));
    MGHard = addLevel("MGHard", QStringLiteral("Hard"), QKeySequence(Qt::CTRL | Qt::Key_H));
    MGCustom = addLevel("MGCustom", QStringLiteral("Custom..."), {});
    MGEasy->setChecked(true);
    MGBestTimes = AddItem(MGame, "MGBestTimes", QStringLiteral("Best &Times..."));
    MGame->addSeparator();

    MGQuit = AddItem(MGame, "MGQuit", QStringLiteral("&Quit"), QKeySequence(Qt::ALT | Qt::Key_F4));
}

void TMainMenu::BuildOptionsMenu(QMenuBar *bar)
{
    MOptions = AddMenu(bar, "MOptions", QStringLiteral("&Options"));
    MOPause = AddCheckItem(MOptions, "MOPause", QStringLiteral("Pause"), false);
    MOPause->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    MOptions->addSeparator();
    MODos = AddItem(MOptions, "MODos", QStringLiteral("&DOS Style"),
                    QKeySequence(Qt::CTRL | Qt::Key_D));
    MOWindows = AddItem(MOptions, "MOWindows", QStringLiteral("&Windows Style"),
                        QKeySequence(Qt::CTRL | Qt::Key_W));
    MOptions->addSeparator();
    MOQuestion = AddCheckItem(MOptions, "MOQuestion", QStringLiteral("&Questionmark"), true);
    MOCross = AddCheckItem(MOptions, "MOCross", QStringLiteral("&Cross pointer"), false);
    MOPress = AddCheckItem(MOptions, "MOPress", QStringLiteral("Windows &press"), false);
    MOBorder = AddCheckItem(MOptions, "MOBorder", QStringLiteral("&Borders"), true);
    MONBour = AddCheckItem(MOptions, "MONBour", QStringLiteral("Clear &Neighbour"), false);
    // Not one of the presets' options: it changes the boards, not the play.
    MOptions->addSeparator();
    MONoGuess = AddCheckItem(MOptions, "MONoGuess", QStringLiteral("No &Guessing"), false);
}

void TMainMenu::BuildMusicMenu(QMenuBar *bar)
{
    MSound = AddMenu(bar, "MSound", QStringLiteral("&Music"));
    MUSong =
        AddItem(MSound, "MUSong", QLatin1String(TurnOnCaption), QKeySequence(Qt::CTRL | Qt::Key_S));
    MUFile = AddItem(MSound, "MUFile", QStringLiteral("File..."));
    MSound->addSeparator();
    MMSetup = AddItem(MSound, "MMSetup", QStringLiteral("Card Setup..."));
    MMVolume = AddItem(MSound, "MMVolume", QStringLiteral("Volume..."));
}

void TMainMenu::BuildHelpMenu(QMenuBar *bar)
{
    MHelp = AddMenu(bar, "MHelp", QStringLiteral("&Help"));
    MHAbout = AddItem(MHelp, "MHAbout", QStringLiteral("&About"));
    MHelp->addSeparator();
    License1 = AddItem(MHelp, "License1", QStringLiteral("&License"));
}

QAction *TMainMenu::Item(TMenuCommand command) const
{
    QAction *const items[] = {MGNew,    MGEasy,  MGMedium,  MGHard,     MGCustom, MGQuit,
                              MOPause,  MODos,   MOWindows, MOQuestion, MOCross,  MOPress,
                              MOBorder, MONBour, MONoGuess, MUSong,     MUFile,   MMSetup,
                              MMVolume, MHAbout, License1,  MGBestTimes};
    return items[command];
}

void TMainMenu::ShowOptions(const TMines &model)
{
    MOQuestion->setChecked(model.QuestionMarks);
    MOCross->setChecked(model.CrossPointer);
    MOPress->setChecked(model.WindowsPress);
    MOBorder->setChecked(model.Borders);
    MONBour->setChecked(model.ClearNeighbours);
    MONoGuess->setChecked(model.NoGuessing);
    CheckLevel(model.Level);
}

void TMainMenu::CheckLevel(int level)
{
    QAction *items[] = {MGEasy, MGMedium, MGHard, MGCustom};
    if (level >= 0 && level < 4) {
        items[level]->setChecked(true);
        return;
    }
    // Any other level checks nothing; an exclusive group cannot clear its
    // last check, so exclusivity is lifted for a moment.
    LevelGroup->setExclusive(false);
    for (QAction *item : items)
        item->setChecked(false);
    LevelGroup->setExclusive(true);
}

void TMainMenu::ShowPaused(bool paused)
{
    MOPause->setChecked(paused);
}

void TMainMenu::ShowMusicOn(bool musicOn)
{
    MUSong->setText(QLatin1String(musicOn ? TurnOffCaption : TurnOnCaption));
}
