#pragma once

// TDlgCustom: "Custom Size", where the player chooses the columns, rows and
// mines of a custom board.

#include <QDialog>

class QLabel;
class QPushButton;
class TMines;
class TSpinEdit;

// The three fields are TSpinEdits named "SECols", "SERows" and "SEMines"
// (their object names).  The mine bounds follow the board's area at every
// change of the column or row text, even halfway through typing a number:
// round(n x 0.05) .. round(n x 0.5), halves to the even neighbour.
//
// Created once, hidden, by the main window and run from "Custom..." with
//
//   MGCustom->setChecked(true);
//   Mines->Level = LevelCustom;
//   if (!DlgCustom->Execute(*Mines))
//       return;                // cancelled, or OK without a change
//   // else: the model holds the new Cols, Rows and Mines
//
// Tests close the modal run from a QTimer::singleShot, with key events to
// QApplication::activeModalWidget() or its buttons "BtnOK" and "BtnCancel".
class TDlgCustom : public QDialog
{
    Q_OBJECT

public:
    explicit TDlgCustom(QWidget *parent = nullptr);

    // Shows the dialog modally, starting from the model's Cols, Rows and
    // Mines.  True when it was closed with OK and the values differ from the
    // model's: then they have been written into the model (each within its
    // field's bounds, and always a playable board).  False after Cancel,
    // Escape, the close box, or OK without a change; the model is untouched.
    bool Execute(TMines &mines);

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    void FormShow();
    void SEColRowChange();
    void BtnOKClick();

private:
    void CreateFields();
    void CreateButtons();

    TMines *mines_ = nullptr; // only while Execute runs
    QLabel *LabCols = nullptr;
    QLabel *LabRows = nullptr;
    QLabel *LabMines = nullptr;
    TSpinEdit *SECols = nullptr;
    TSpinEdit *SERows = nullptr;
    TSpinEdit *SEMines = nullptr;
    QPushButton *BtnOK = nullptr;
    QPushButton *BtnCancel = nullptr;
    QPushButton *BtnHelp = nullptr;
};
