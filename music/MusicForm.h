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
// How the main window uses it (the player stores the volume on OK):
//
//   void TMineForm::MMVolumeClick()
//   {
//       Windows.Volume(*Player).Execute();
//   }
//
// Tests close the modal run from a QTimer::singleShot: they take
// QApplication::activeModalWidget(), find the slider TBVolume and the OK
// button BitBtn1 by object name, move the one and click the other, or call
// close().
class TMusicForm : public QDialog
{
    Q_OBJECT

public:
    explicit TMusicForm(TMusic &music, QWidget *parent = nullptr);

    // The modal run.  True when closed with OK: the slider's position is
    // then the player's volume, stored (SetVolume).  Any other way out
    // stores nothing, and a playing module keeps the volume the slider last
    // gave it until the next module starts at the player's volume.
    bool Execute();

    // Show handler: the slider goes to the player's volume, and that volume
    // is heard (as every change of the slider is).
    void FormShow();
    // Every change of the slider: a playing module sounds at the new volume
    // at once (PreviewVolume); with none playing nothing happens.
    void TBVolumeChange(int position);
    // OK: the player's volume := the slider's position; the window closes
    // with OK.
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    TMusic &Music;
    QLabel *Label1 = nullptr;
    QSlider *TBVolume = nullptr;
    QPushButton *BitBtn1 = nullptr; // OK, the default button: Enter works as OK
};
