#pragma once

// The sound layer's own set-up window: output driver, device, mixing rate
// and buffer length, each with an automatic choice, and what the device was
// running with.

#include "music/Music.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class TMusic;
class TSoundModule;

// "Sound Card Setup": created once, hidden, by the main window and shown
// modally by the Music menu's "Card Setup...".
//
// How the main window uses it (the Music item and the stored option follow
// the player's playingChanged):
//
//   void TMineForm::MMSetupClick()
//   {
//       Windows.AudioSetup().CardSetup(*Player);
//   }
//
// Tests close the modal run from a QTimer::singleShot: they take
// QApplication::activeModalWidget(), find the boxes DriverBox, DeviceBox,
// RateBox and BufferBox and the button box Buttons by object name, choose,
// and click OK or Cancel.
class TAudioSetupForm : public QDialog
{
    Q_OBJECT

public:
    // Offers the drivers and devices of sound, the sound module the player
    // plays through.
    explicit TAudioSetupForm(TSoundModule &sound, QWidget *parent = nullptr);

    // "Card Setup..." on the player (TMusic::CardSetup) with this window as
    // its dialog.
    TCardSetupResult CardSetup(TMusic &music);

    // Shows setup and inUse, modally.  The set-up chosen on OK; nothing on
    // Cancel or the close box.
    std::optional<TAudioSetup> Execute(const TAudioSetup &setup, const TAudioInUse &inUse);

    // Fills the boxes from setup and the "In use" lines from inUse.  A
    // value the lists do not offer (a device that is unplugged, a rate
    // written by hand) is added, so that OK keeps it.
    void ShowSetup(const TAudioSetup &setup, const TAudioInUse &inUse);
    // The set-up as the boxes now choose it.
    TAudioSetup ChosenSetup() const;

private:
    QWidget *CreateChoices();
    QWidget *CreateInUse();
    // Lists the devices of the chosen driver, choosing wanted when the list
    // has it (and addWhenMissing, also when not), else Automatic.  Until the
    // list comes the box offers Automatic, and wanted when it is added.
    void RefreshDevices(const QString &wanted, bool addWhenMissing);
    void ShowDevices(const QStringList &devices);
    void ShowInUse(const TAudioInUse &inUse);

    QComboBox *DriverBox = nullptr;
    QComboBox *DeviceBox = nullptr;
    QComboBox *RateBox = nullptr;
    QComboBox *BufferBox = nullptr;
    QWidget *InUseLines = nullptr;
    QLabel *InUseDriver = nullptr;
    QLabel *InUseDevice = nullptr;
    QLabel *InUseRate = nullptr;
    QLabel *InUseBuffer = nullptr;
    QLabel *ClosedNote = nullptr;      // "The sound device is closed."
    QLabel *EnvironmentNote = nullptr; // shown while SDL_AUDIODRIVER is set
    QDialogButtonBox *Buttons = nullptr;
    TSoundModule &Sound;
    QString WantedDevice;
    bool AddWanted = false;
    int DeviceRequest = 0; // the device list last asked for
};
