#pragma once

// The volume window: a slider for the music volume, heard at once while it
// moves, that becomes the player's volume on OK.

#include <QDialog>

class QLabel;
class QPushButton;
class QSlider;
class TMusic;

// "Volume": created once, hidden, by the main window and shown modally from
// the Music menu's "Volume...".  The player must outlive the window's runs.
//
// How the main window uses it:
//
//   void TMineForm::MMVolumeClick()
//   {
//       if (MusicForm->Execute())
//           Music->WriteSetup();
//   }
//
// Tests close the modal run from a QTimer::singleShot: they take
// QApplication::activeModalWidget(), move TBVolume and click BitBtn1 or call
// close().
class TMusicForm : public QDialog
{
    Q_OBJECT

public:
    explicit TMusicForm(TMusic &music, QWidget *parent = nullptr);

    // The modal run.  True when closed with OK: Music.Volume then holds the
    // slider's position and the caller stores it (Music.WriteSetup).  Any
    // other way out stores nothing, and a playing module keeps the volume
    // the slider last gave it until the next module starts at Music.Volume.
    bool Execute();

    // Show handler: the slider goes to Music.Volume, and that volume is
    // given to the playing module (as every change of the slider does).
    void FormShow();
    // Every change of the slider: a playing module (Music.PlayHandle != 0)
    // sounds at the new volume at once; with none playing the sound layer
    // is not called at all.
    void TBVolumeChange(int position);
    // OK: Music.Volume := the slider's position; the window closes with OK.
    void BitBtn1Click();

    QLabel *Label1 = nullptr;
    QSlider *TBVolume = nullptr;
    QPushButton *BitBtn1 = nullptr; // OK, the default button: Enter works as OK

protected:
    void showEvent(QShowEvent *event) override;

private:
    TMusic &Music;
};
