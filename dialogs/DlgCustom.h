#pragma once

// TDlgCustom: "Custom Size", where the player chooses the columns, rows and
// mines of a custom board.

#include "model/Mines.h"

#include <QDialog>

#include <optional>

class QLabel;
class QPushButton;
class TSpinEdit;

// The three fields are TSpinEdits named "SECols", "SERows" and "SEMines"
// (their object names).  The mine bounds follow the board's area at every
// change of the column or row text, even halfway through typing a number:
// round(n x 0.05) .. round(n x 0.5), halves to the even neighbour.
//
// The main window makes it when "Custom..." is first chosen, and hands what
// it returns to the game:
//
//   if (const std::optional<TBoardSize> size = Windows.Custom().Execute(model.BoardSize()))
//       TheGame->SetCustomBoard(*size);
//
// Tests close the modal run from a QTimer::singleShot, with key events to
// QApplication::activeModalWidget() or its buttons "BtnOK" and "BtnCancel".
class TDlgCustom : public QDialog
{
    Q_OBJECT

public:
    explicit TDlgCustom(QWidget *parent = nullptr);

    // Shows the dialog modally, starting from `current`.  The board chosen
    // when it was closed with OK and differs from `current` (each number
    // within its field's bounds); nothing after Cancel, Escape, the close
    // box, or OK without a change.  Columns and rows go up to `limits`.
    std::optional<TBoardSize> Execute(const TBoardSize &current, const TBoardLimits &limits = {});

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    void FormShow();
    void SEColRowChange();
    void BtnOKClick();

private:
    void CreateFields();
    void CreateButtons();

    TBoardSize current_;
    TBoardLimits limits_;
    std::optional<TBoardSize> chosen_;
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
