// The menu commands: levels, options, style presets, music and the windows.

#include "mainwindow/MineForm.h"

#include "dialogs/DlgCustom.h"
#include "dialogs/LicenseForm.h"
#include "dialogs/MAboutForm.h"
#include "mainwindow/BoardView.h"
#include "model/MineGame.h"
#include "music/AudioSetupForm.h"
#include "music/Music.h"
#include "music/MusicForm.h"
#include "music/PlayForm.h"

#include <QAction>

// --- Game menu ---------------------------------------------------------------

void TMineForm::ChooseLevel(int level)
{
    QAction *items[] = {Menu.MGEasy, Menu.MGMedium, Menu.MGHard};
    items[level]->setChecked(true);
    TMines &model = TheGame->Model();
    model.ApplyLevel(level);
    if (model.Cols != LaidCols || model.Rows != LaidRows || model.Mines != LaidMines)
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
    return Windows.Custom().Execute(TheGame->Model());
}

void TMineForm::MGCustomClick()
{
    TMines &model = TheGame->Model();
    Menu.MGCustom->setChecked(true);
    model.Level = LevelCustom;
    if (!RunCustomDialog())
        return;
    for (int level : {LevelEasy, LevelMedium, LevelHard}) {
        const TLevelPreset &preset = LevelPresets[level];
        if (model.Cols == preset.Cols && model.Rows == preset.Rows && model.Mines == preset.Mines) {
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
    TMines &model = TheGame->Model();
    if (!model.Borders)
        MGNewClick();
    model.ClearNeighbours = clearNeighbours;
    model.CrossPointer = false;
    model.Borders = true;
    model.WindowsPress = windowsPress;
    SetOptionChecks();
    SetBoardActive(!TheGame->IsPaused());
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
    Menu.MOQuestion->setChecked(!Menu.MOQuestion->isChecked());
    TheGame->Model().QuestionMarks = Menu.MOQuestion->isChecked();
}

void TMineForm::MOCrossClick()
{
    Menu.MOCross->setChecked(!Menu.MOCross->isChecked());
    TheGame->Model().CrossPointer = Menu.MOCross->isChecked();
    // At once, even while paused: the pointer shows the option, not the phase.
    Grid()->ShowPointerOption();
}

void TMineForm::MOPressClick()
{
    Menu.MOPress->setChecked(!Menu.MOPress->isChecked());
    TheGame->Model().WindowsPress = Menu.MOPress->isChecked();
}

void TMineForm::MOBorderClick()
{
    Menu.MOBorder->setChecked(!Menu.MOBorder->isChecked());
    MGNewClick();
    TheGame->Model().Borders = Menu.MOBorder->isChecked();
    SetBoardActive(!TheGame->IsPaused());
}

void TMineForm::MONBourClick()
{
    Menu.MONBour->setChecked(!Menu.MONBour->isChecked());
    TheGame->Model().ClearNeighbours = Menu.MONBour->isChecked();
}

// --- Music menu --------------------------------------------------------------

// The Music item, the stored option and the title panel follow the
// player's signals (ConnectMusic); the commands only ask the player.

void TMineForm::MUSongClick()
{
    if (Player->IsPlaying())
        Player->Stop(false);
    else
        Player->Play();
}

void TMineForm::MUFileClick()
{
    Windows.PlayList().Execute(*Player);
}

void TMineForm::MMSetupClick()
{
    Windows.AudioSetup().CardSetup(*Player);
}

void TMineForm::MMVolumeClick()
{
    Windows.Volume(*Player).Execute();
}

// --- Help menu ---------------------------------------------------------------

void TMineForm::MHAboutClick()
{
    Windows.About().Execute();
}

void TMineForm::License1Click()
{
    Windows.License().Execute();
}
