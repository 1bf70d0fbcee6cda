#pragma once

// The sound layer's own set-up window: output driver, device, mixing rate
// and buffer length, each with an automatic choice, and what the device was
// running with.

#include "music/CardSetup.h"
#include "music/ModuleAudio.h"

#include <QDialog>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class TMusic;

// "Sound Card Setup": created once, hidden, by the main window and shown
// modally by the Music menu's "Card Setup...".
//
// How the main window uses it (the caption and MusicOn follow the player):
//
//   void TMineForm::MMSetupClick()
//   {
//       const TCardSetupResult result = AudioSetupForm->CardSetup(*Music);
//       if (result != TCardSetupResult::csrNotRestarted) {
//           const bool on = result == TCardSetupResult::csrRestarted;
//           MUSong->setText(on ? TurnOffCaption : TurnOnCaption);
//           Mines->MusicOn = on;
//       }
//   }
//
// Tests close the modal run from a QTimer::singleShot: they take
// QApplication::activeModalWidget(), choose in the boxes and click the OK or
// Cancel button of Buttons.
class TAudioSetupForm : public QDialog
{
    Q_OBJECT

public:
    explicit TAudioSetupForm(QWidget *parent = nullptr);

    // The card set-up (RunCardSetup) with this window as its dialog.
    TCardSetupResult CardSetup(TMusic &music);

    // Shows audio's set-up and inUse, modally.  On OK sets audio's set-up
    // (it takes effect when the device opens next) and returns true; the
    // caller stores it.  Cancel and the close box change nothing.
    bool Execute(TModuleAudio &audio, const TAudioInUse &inUse);

    // Fills the boxes from setup and the "In use" lines from inUse.  A
    // value the lists do not offer (a device that is unplugged, a rate
    // written by hand) is added, so that OK keeps it.
    void ShowSetup(const TAudioSetup &setup, const TAudioInUse &inUse);
    // The set-up as the boxes now choose it.
    TAudioSetup ChosenSetup() const;

    QComboBox *DriverBox = nullptr;
    QComboBox *DeviceBox = nullptr;
    QComboBox *RateBox = nullptr;
    QComboBox *BufferBox = nullptr;
    QLabel *InUseDriver = nullptr;
    QLabel *InUseDevice = nullptr;
    QLabel *InUseRate = nullptr;
    QLabel *InUseBuffer = nullptr;
    QLabel *ClosedNote = nullptr;      // "The sound device is closed."
    QLabel *EnvironmentNote = nullptr; // shown while SDL_AUDIODRIVER is set
    QDialogButtonBox *Buttons = nullptr;

private:
    QWidget *CreateChoices();
    QWidget *CreateInUse();
    // Lists the devices of the chosen driver, keeping the chosen device
    // when the new list has it, else going back to Automatic.
    void RefreshDevices(const QString &keepDevice);
    void ShowInUse(const TAudioInUse &inUse);

    QWidget *InUseLines = nullptr;
};
