#pragma once

// TMainMenu: the main window's menu bar, every item with its caption, access
// letter, shortcut and check state.

#include <QAction>
#include <QObject>

class QActionGroup;
class QMenu;
class QMenuBar;
class TMines;

// The commands of the menu bar, one for each item that does something.
enum TMenuCommand {
    mcNew,
    mcEasy,
    mcMedium,
    mcHard,
    mcCustom,
    mcQuit,
    mcPause,
    mcDos,
    mcWindows,
    mcQuestion,
    mcCross,
    mcPress,
    mcBorder,
    mcNeighbour,
    mcNoGuess,
    mcSong,
    mcFile,
    mcSetup,
    mcVolume,
    mcAbout,
    mcLicense,
    mcBestTimes,
};

// The items are created once and named after their place (objectName, for
// tests to find them).  The window connects the commands to its handlers
// and has the checks follow the game.
class TMainMenu
{
public:
    // Fills the menu bar; the actions belong to `owner`.
    void Build(QMenuBar *bar, QObject *owner);

    // Runs `handler` whenever the command is chosen.
    template <class TReceiver>
    void Connect(TMenuCommand command, TReceiver *receiver, void (TReceiver::*handler)())
    {
        QObject::connect(Item(command), &QAction::triggered, receiver, handler);
    }

    // The checks of the six options and the level's radio item (none for a
    // level other than 0..3), as the model holds them.
    void ShowOptions(const TMines &model);
    void ShowPaused(bool paused);
    // The Music item reads what it would do: "Turn Off" while music is on.
    void ShowMusicOn(bool musicOn);

private:
    QAction *Item(TMenuCommand command) const;
    void BuildGameMenu(QMenuBar *bar, QObject *owner);
    void BuildOptionsMenu(QMenuBar *bar);
    void BuildMusicMenu(QMenuBar *bar);
    void BuildHelpMenu(QMenuBar *bar);
    void CheckLevel(int level);

    QMenu *MGame = nullptr;
    QAction *MGNew = nullptr;
    QAction *MGEasy = nullptr;
    QAction *MGMedium = nullptr;
    QAction *MGHard = nullptr;
    QAction *MGCustom = nullptr;
    QAction *MGBestTimes = nullptr;
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
    QAction *MONoGuess = nullptr;
    QMenu *MSound = nullptr;
    QAction *MUSong = nullptr;
    QAction *MUFile = nullptr;
    QAction *MMSetup = nullptr;
    QAction *MMVolume = nullptr;
    QMenu *MHelp = nullptr;
    QAction *MHAbout = nullptr;
    QAction *License1 = nullptr;
};
