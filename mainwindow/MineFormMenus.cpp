// The menu commands: levels, options, style presets, music and the windows.

#include "mainwindow/MineForm.h"

#include "dialogs/DlgCustom.h"
#include "dialogs/LicenseForm.h"
#include "dialogs/MAboutForm.h"
#include "dialogs/WaitingWindows.h"
#include "mainwindow/BoardFrame.h"
#include "mainwindow/BoardView.h"
#include "model/MineGame.h"
#include "mpris/MediaControls.h"
#include "music/AudioSetupForm.h"
#include "music/Music.h"
#include "music/MusicForm.h"
#include "music/PlayForm.h"
#include "records/BestTimesForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>

#include <optional>

// --- Game menu ---------------------------------------------------------------

// The level's check, the layout for a new board and the new game follow the
// game's announcements.
void TMineForm::MGEasyClick()
{
    TheGame->ChooseLevel(LevelEasy);
}

void TMineForm::MGMediumClick()
{
    TheGame->ChooseLevel(LevelMedium);
}

void TMineForm::MGHardClick()
{
    TheGame->ChooseLevel(LevelHard);
}

void TMineForm::MGCustomClick()
{
    TheGame->ChooseCustomLevel();
    if (const std::optional<TBoardSize> size =
            Windows.Custom().Execute(TheGame->Model().BoardSize(), TheGame->Model().Limits()))
        TheGame->SetCustomBoard(*size);
}

// The board on screen is chosen in it, in the list of the game on it.
void TMineForm::MGBestTimesClick()
{
    const TMines &model = TheGame->Model();
    Windows.BestTimes().Execute(WorkingDirectory,
                                {model.Cols, model.Rows, model.Mines, TheGame->IsNoGuessingGame()});
}

void TMineForm::MGQuitClick()
{
    close();
}

// --- Options menu ------------------------------------------------------------

// The checks, the edge buttons and the pointer follow the game's
// announcement of the options (FollowOptions).
void TMineForm::MODosClick()
{
    TheGame->ApplyStylePreset(spDos);
}

void TMineForm::MOWindowsClick()
{
    TheGame->ApplyStylePreset(spWindows);
}

void TMineForm::MOQuestionClick()
{
    TheGame->SetQuestionMarks(!TheGame->Model().QuestionMarks);
}

void TMineForm::MOCrossClick()
{
    TheGame->SetCrossPointer(!TheGame->Model().CrossPointer);
}

void TMineForm::MOPressClick()
{
    TheGame->SetWindowsPress(!TheGame->Model().WindowsPress);
}

void TMineForm::MOBorderClick()
{
    TheGame->SetBorders(!TheGame->Model().Borders);
}

void TMineForm::MONBourClick()
{
    TheGame->SetClearNeighbours(!TheGame->Model().ClearNeighbours);
}

void TMineForm::MONoGuessClick()
{
    TheGame->SetNoGuessing(!TheGame->Model().NoGuessing);
}

void TMineForm::FollowOptions()
{
    Menu.ShowOptions(TheGame->Model());
    ShowEdgeButtons();
}

// --- Music menu --------------------------------------------------------------

// The Music item and the title panel follow the player's signals
// (ConnectMusic); the commands only ask the player, which owns the switch
// and stores it.

// The one switch of the music, for the item, Ctrl+S and the media controls:
// music waiting for its device or for the sound server is switched on, so
// this switches it off and it stays off when the server returns.
void TMineForm::MUSongClick()
{
    if (Player->IsSwitchedOn())
        Player->Stop(false);
    else
        Player->Play();
}

void TMineForm::MUFileClick()
{
    Windows.PlayList().Execute(*Player, TheGame->Random());
}

void TMineForm::MMSetupClick()
{
    Windows.AudioSetup().CardSetup(*Player);
}

void TMineForm::MMVolumeClick()
{
    Windows.Volume(*Player).Execute();
}

// --- The desktop's media controls -----------------------------------------

// The Music item's own command, at the times it can be chosen: not while a
// window of the game waits for an answer ("Card Setup..." has given the
// sound device back meanwhile, and opens it again when it is done).
void TMineForm::SwitchMusicFromDesktop()
{
    if (!QApplication::activeModalWidget())
        MUSongClick();
}

// While a window of the game waits for an answer the desktop's media panel
// offers no command: none of them would be carried out.
bool TMineForm::event(QEvent *event)
{
    if (Controls &&
        (event->type() == QEvent::WindowBlocked || event->type() == QEvent::WindowUnblocked))
        Controls->SetAnswerAwaited(event->type() == QEvent::WindowBlocked);
    // Back from a dialog, the keys go to the board again.
    if (event->type() == QEvent::WindowActivate && Frame)
        Grid()->setFocus(Qt::ActiveWindowFocusReason);
    return QMainWindow::event(event);
}

void TMineForm::RaiseWindow()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

// A new record keeps the name typed so far, the other windows drop their
// edits; the main window closes only once the code that opened them has run
// on (the record is saved by then).  The main loop ends even where closing
// the window would not end it (a window hidden or minimised).
void TMineForm::CloseFromDesktop()
{
    CloseWaitingWindows(this, [this] {
        if (close())
            QCoreApplication::quit();
    });
}

// However the main window is asked to close while a window of the game waits
// for an answer (the window manager, the session's end), that window is
// closed first, as from the desktop.  Left open, it would keep the game
// running without its main window, or lose what it holds.
void TMineForm::closeEvent(QCloseEvent *event)
{
    if (QApplication::activeModalWidget()) {
        event->ignore();
        CloseFromDesktop();
        return;
    }
    QMainWindow::closeEvent(event);
}

// The session manager may end the program without another word once the
// session has saved itself: what a waiting window holds is kept now (a new
// record is saved with its name).  The game goes on, since a session may
// save itself without ending; the settings are written when it ends.
void TMineForm::KeepForSessionEnd()
{
    CloseWaitingWindows(this, [] {});
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
