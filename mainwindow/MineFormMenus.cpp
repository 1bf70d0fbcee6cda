// The menu bar and its commands: levels, options, style presets, music.

#include "mainwindow/MineForm.h"

#include "controls/cpDrawGrid.h"
#include "controls/fxRepeatBtn.h"
#include "music/Music.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>

namespace
{
const QString TurnOnCaption = QStringLiteral("Turn On");
const QString TurnOffCaption = QStringLiteral("Turn Off");
// Whether the custom size dialog is part of the program yet.
constexpr bool CustomDialogBuilt = false;

QAction *AddCommand(QMenu *menu, const QString &caption, const QKeySequence &shortcut = {})
{
    QAction *action = menu->addAction(caption);
    action->setShortcut(shortcut);
    return action;
}
} // namespace

void TMineForm::CreateMenus()
{
    // The menus keep the system's font, not the window's bold Courier.
    menuBar()->setFont(QApplication::font());
    CreateGameMenu();
    CreateOptionsMenu();
    CreateMusicMenu();
    CreateHelpMenu();
}

QAction *TMineForm::AddCheckItem(QMenu *menu, const QString &caption, void (TMineForm::*handler)())
{
    QAction *action = menu->addAction(caption);
    action->setCheckable(true);
    // Qt inverts a check item before it reports the trigger; the handlers
    // invert it themselves (as they must when called directly), so the
    // toolkit's inversion is taken back first.
    connect(action, &QAction::triggered, this, [this, action, handler](bool checked) {
        action->setChecked(!checked);
        (this->*handler)();
    });
    return action;
}

void TMineForm::CreateGameMenu()
{
    MGame = menuBar()->addMenu(QStringLiteral("&Game"));
    MGNew = AddCommand(MGame, QStringLiteral("New"), QKeySequence(Qt::CTRL | Qt::Key_N));
    connect(MGNew, &QAction::triggered, this, &TMineForm::MGNewClick);
    MGame->addSeparator();

    LevelGroup = new QActionGroup(this);
    LevelGroup->setExclusive(true);
    auto addLevel = [&](const QString &caption, const QKeySequence &shortcut,
                        void (TMineForm::*handler)()) {
        QAction *action = AddCommand(MGame, caption, shortcut);
        action->setCheckable(true);
        LevelGroup->addAction(action);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    MGEasy = addLevel(QStringLiteral("Easy"), QKeySequence(Qt::CTRL | Qt::Key_E),
                      &TMineForm::MGEasyClick);
    MGMedium = addLevel(QStringLiteral("Medium"), QKeySequence(Qt::CTRL | Qt::Key_M),
                        &TMineForm::MGMediumClick);
    MGHard = addLevel(QStringLiteral("Hard"), QKeySequence(Qt::CTRL | Qt::Key_H),
                      &TMineForm::MGHardClick);
    MGCustom = addLevel(QStringLiteral("Custom..."), {}, &TMineForm::MGCustomClick);
    MGEasy->setChecked(true);
    MGame->addSeparator();

    MGQuit = AddCommand(MGame, QStringLiteral("&Quit"), QKeySequence(Qt::ALT | Qt::Key_F4));
    connect(MGQuit, &QAction::triggered, this, &TMineForm::MGQuitClick);
}

void TMineForm::CreateOptionsMenu()
{
    MOptions = menuBar()->addMenu(QStringLiteral("&Options"));
    MOPause = AddCheckItem(MOptions, QStringLiteral("Pause"), &TMineForm::MOPauseClick);
    MOPause->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    MOptions->addSeparator();
    MODos = AddCommand(MOptions, QStringLiteral("&DOS Style"), QKeySequence(Qt::CTRL | Qt::Key_D));
    connect(MODos, &QAction::triggered, this, &TMineForm::MODosClick);
    MOWindows =
        AddCommand(MOptions, QStringLiteral("&Windows Style"), QKeySequence(Qt::CTRL | Qt::Key_W));
    connect(MOWindows, &QAction::triggered, this, &TMineForm::MOWindowsClick);
    MOptions->addSeparator();
    MOQuestion =
        AddCheckItem(MOptions, QStringLiteral("&Questionmark"), &TMineForm::MOQuestionClick);
    MOQuestion->setChecked(true);
    MOCross = AddCheckItem(MOptions, QStringLiteral("&Cross pointer"), &TMineForm::MOCrossClick);
    MOPress = AddCheckItem(MOptions, QStringLiteral("Windows &press"), &TMineForm::MOPressClick);
    MOBorder = AddCheckItem(MOptions, QStringLiteral("&Borders"), &TMineForm::MOBorderClick);
    MOBorder->setChecked(true);
    MONBour = AddCheckItem(MOptions, QStringLiteral("Clear &Neighbour"), &TMineForm::MONBourClick);
}

void TMineForm::CreateMusicMenu()
{
    MSound = menuBar()->addMenu(QStringLiteral("&Music"));
    MUSong = AddCommand(MSound, TurnOnCaption, QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(MUSong, &QAction::triggered, this, &TMineForm::MUSongClick);
    MUFile = AddCommand(MSound, QStringLiteral("File..."));
    connect(MUFile, &QAction::triggered, this, &TMineForm::MUFileClick);
    MSound->addSeparator();
    MMSetup = AddCommand(MSound, QStringLiteral("Card Setup..."));
    connect(MMSetup, &QAction::triggered, this, &TMineForm::MMSetupClick);
    MMVolume = AddCommand(MSound, QStringLiteral("Volume..."));
    connect(MMVolume, &QAction::triggered, this, &TMineForm::MMVolumeClick);
}

void TMineForm::CreateHelpMenu()
{
    MHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    MHAbout = AddCommand(MHelp, QStringLiteral("&About"));
    connect(MHAbout, &QAction::triggered, this, &TMineForm::MHAboutClick);
    MHelp->addSeparator();
    License1 = AddCommand(MHelp, QStringLiteral("&License"));
    connect(License1, &QAction::triggered, this, &TMineForm::License1Click);
}

// --- Game menu -------------------------------------------------------------

void TMineForm::ChooseLevel(int level)
{
    QAction *items[] = {MGEasy, MGMedium, MGHard};
    items[level]->setChecked(true);
    Mines->ApplyLevel(level);
    if (Mines->Cols != LaidCols || Mines->Rows != LaidRows || Mines->Mines != LaidMines)
        LayoutBoard();
    MGNewClick();
}

void TMineForm::MGEasyClick()
{
    ChooseLevel(LevelEasy);
}

void TMineForm::MGMediumClick()
{
    ChooseLevel(LevelMedium);
}

void TMineForm::MGHardClick()
{
    ChooseLevel(LevelHard);
}

bool TMineForm::RunCustomDialog()
{
    // The custom size dialog is not part of the program yet: every run
    // counts as cancelled.
    return false;
}

void TMineForm::MGCustomClick()
{
    if (!CustomDialogBuilt) {
        // With no dialog to choose a size, "Custom..." checked over a preset
        // board (and stored as the level) would misdescribe the board; the
        // group's own check moves back to the level that is in play.
        CheckLevelItem();
        return;
    }
    MGCustom->setChecked(true);
    Mines->Level = LevelCustom;
    if (!RunCustomDialog())
        return;
    for (int level : {LevelEasy, LevelMedium, LevelHard}) {
        const TLevelPreset &preset = LevelPresets[level];
        if (Mines->Cols == preset.Cols && Mines->Rows == preset.Rows &&
            Mines->Mines == preset.Mines) {
            ChooseLevel(level);
            return;
        }
    }
    LayoutBoard();
    MGNewClick();
}

void TMineForm::MGQuitClick()
{
    close();
}

// --- Options menu ------------------------------------------------------------

void TMineForm::ApplyStylePreset(bool clearNeighbours, bool windowsPress)
{
    if (!Mines->Borders)
        MGNewClick();
    Mines->ClearNeighbours = clearNeighbours;
    Mines->CrossPointer = false;
    Mines->Borders = true;
    Mines->WindowsPress = windowsPress;
    SetOptionChecks();
    SetBoardActive(!(GameState & gsPaused));
}

void TMineForm::MODosClick()
{
    ApplyStylePreset(true, false);
}

void TMineForm::MOWindowsClick()
{
    ApplyStylePreset(false, true);
}

void TMineForm::MOQuestionClick()
{
    MOQuestion->setChecked(!MOQuestion->isChecked());
    Mines->QuestionMarks = MOQuestion->isChecked();
}

void TMineForm::MOCrossClick()
{
    MOCross->setChecked(!MOCross->isChecked());
    Mines->CrossPointer = MOCross->isChecked();
    // At once, even while paused: the pointer shows the option, not the phase.
    MineGrid->setCursor(Mines->CrossPointer ? XCrossCursor : QCursor(Qt::ArrowCursor));
}

void TMineForm::MOPressClick()
{
    MOPress->setChecked(!MOPress->isChecked());
    Mines->WindowsPress = MOPress->isChecked();
}

void TMineForm::MOBorderClick()
{
    MOBorder->setChecked(!MOBorder->isChecked());
    MGNewClick();
    Mines->Borders = MOBorder->isChecked();
    for (TfxRepeatBtn *button : EdgeButtons())
        button->setEnabled(!Mines->Borders);
}

void TMineForm::MONBourClick()
{
    MONBour->setChecked(!MONBour->isChecked());
    Mines->ClearNeighbours = MONBour->isChecked();
}

// --- Music menu ----------------------------------------------------------------

void TMineForm::MUSongClick()
{
    if (MUSong->text() == TurnOnCaption) {
        if (!Music->Play())
            return;
        MUSong->setText(TurnOffCaption);
        Mines->MusicOn = true;
        DownPanelClick();
        return;
    }
    Music->Stop(false);
    MUSong->setText(TurnOnCaption);
    Mines->MusicOn = false;
}

// The windows these commands open are not part of the program yet.
void TMineForm::MUFileClick() {}
void TMineForm::MMSetupClick() {}
void TMineForm::MMVolumeClick() {}
void TMineForm::MHAboutClick() {}
void TMineForm::License1Click() {}
