#pragma once

// "Playlist": the window that edits the player's play list on a copy.

#include "controls/UpDown.h"
#include "music/PlayListEditor.h"

#include <QDialog>

#include <memory>

class QAction;
class QComboBox;
class QItemSelection;
class QLabel;
class QListWidget;
class QMenu;
class QMenuBar;
class QPushButton;
class TMusic;
class TRandom;
class TPlayListDialogs;
class TSoundModule;

// Three views of the same entries, equal in length and order: the working
// copy EditList (held by the editor), the multi-selection list PlayList
// with each entry's title and selection mark, and the drop-down PlayCombo,
// whose chosen item is the start entry.  Every command works on the copy;
// only OK hands it to the player.
//
// How the main window uses it (created once, hidden, and reused; the title
// of the module the player moves on to comes with its moduleChanged):
//
//   void TMineForm::MUFileClick()
//   {
//       Windows.PlayList().Execute(*Player, TheGame->Random());
//   }
//
// Tests close the modal run from a QTimer::singleShot: they find the
// controls by object name (PlayList, PlayCombo, BitBtn1 ... , UpDown1 and
// the menu items byTitle1 ...), and answer the file dialogs through
// SetFileDialogs.
class TPlayForm : public QDialog
{
    Q_OBJECT

public:
    // The titles of the modules and play lists chosen are read with sound's
    // decoder, and the module dialog offers the formats it reads.
    explicit TPlayForm(TSoundModule &sound, QWidget *parent = nullptr);
    ~TPlayForm() override;

    // Shows the window modally on the player's list.  True when it closed
    // with OK: the player's list is then replaced by the copy with the start
    // entry (TMusic::ReplaceList), and when music was playing the start
    // entry's module plays.  Cancel, Esc, "&Close" and the close box change
    // nothing.  "&Randomize" draws from `random`, the game's generator.
    bool Execute(TMusic &music, TRandom &random);

    // The dialogs Add, "&Load playlist..." and "&Save playlist" ask; the
    // toolkit's file dialogs unless replaced.
    void SetFileDialogs(std::unique_ptr<TPlayListDialogs> dialogs);

    // The working copy, its selection marks and start entry as they stand.
    const TPlayListEditor &Editor() const { return Edit; }

public slots:
    void FormShow();
    void MFClearClick();
    void MFLoadClick();
    void MFSaveClick();
    void MFCloseClick();
    void MEAllClick();
    void MEInvertClick();
    void MUnselectClick();
    void byTitle1Click();
    void byFilename1Click();
    void byPathandFilename1Click();
    void Randomize1Click();
    void Reverse1Click();
    void BitBtn5Click();
    void BitBtn4Click();
    void UpDown1Click(TUDBtnType button);
    void PlayListDblClick();
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void CreateMenus();
    void CreateControls(QWidget *client);
    QAction *AddItem(QMenu *menu, const char *name, const char *caption,
                     const QKeySequence &shortcut, void (TPlayForm::*handler)());
    // Mirrors the editor into the two list views.
    void ShowEntries();
    void ShowSelection();
    void TakeSelection(const QItemSelection &selected, const QItemSelection &deselected);
    void TakeStart(int index);

    TPlayListEditor Edit;
    std::unique_ptr<TPlayListDialogs> Dialogs;
    TMusic *Music = nullptr; // the player of the current run
    TRandom *Random = nullptr;
    bool Mirroring = false; // the views are being set from the editor

    QMenuBar *MainMenu = nullptr;
    QListWidget *PlayList = nullptr;
    QLabel *Label1 = nullptr;
    QComboBox *PlayCombo = nullptr;
    QPushButton *BitBtn4 = nullptr; // Remove
    QPushButton *BitBtn5 = nullptr; // Add
    TUpDown *UpDown1 = nullptr;
    QPushButton *BitBtn1 = nullptr; // OK
    QPushButton *BitBtn2 = nullptr; // Cancel
    QPushButton *BitBtn3 = nullptr; // Help
};
