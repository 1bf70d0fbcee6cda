#pragma once

// TMainMenu: the main window's menu bar, every item with its caption, access
// letter, shortcut and check state.

class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;
class QObject;

// The items are created once, named after their place (objectName), and
// connected to the window's handlers by the window.
struct TMainMenu {
    // Fills the menu bar; the actions belong to `owner`.
    void Build(QMenuBar *bar, QObject *owner);

    QMenu *MGame = nullptr;
    QAction *MGNew = nullptr;
    QAction *MGEasy = nullptr;
    QAction *MGMedium = nullptr;
    QAction *MGHard = nullptr;
    QAction *MGCustom = nullptr;
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
    QMenu *MSound = nullptr;
    QAction *MUSong = nullptr;
    QAction *MUFile = nullptr;
    QAction *MMSetup = nullptr;
    QAction *MMVolume = nullptr;
    QMenu *MHelp = nullptr;
    QAction *MHAbout = nullptr;
    QAction *License1 = nullptr;

private:
    void BuildGameMenu(QMenuBar *bar, QObject *owner);
    void BuildOptionsMenu(QMenuBar *bar);
    void BuildMusicMenu(QMenuBar *bar);
    void BuildHelpMenu(QMenuBar *bar);
};

// The Music item's two captions: the item reads what it would do.
extern const char *const TurnOnCaption;
extern const char *const TurnOffCaption;
