// Board input: presses, releases and moves on the board grid, new game,
// first opening, opening with the cross-pointer probes, end of game.

#include "mainwindow/MineForm.h"

#include "controls/Counter.h"
#include "controls/cpDrawGrid.h"
#include "model/MessageBox.h"

#include <QAction>

namespace
{
// The cross pointer's four arms end this far from its hot spot, diagonally.
constexpr int ProbeReach = 5;
} // namespace

bool TMineForm::CellUnder(int x, int y, int &col, int &row) const
{
    if (x < 0 || y < 0 || x >= Mines->Cols * CellSize || y >= Mines->Rows * CellSize)
        return false;
    col = x / CellSize;
    row = y / CellSize;
    return true;
}

void TMineForm::MoveCurrentCell(int col, int row)
{
    // Like a grid moving its focus: both cells are repainted once the event
    // has been handled, by which time a released press is no longer tracked.
    MineGrid->update(MineGrid->CellRect(CurrentCol, CurrentRow));
    CurrentCol = col;
    CurrentRow = row;
    MineGrid->update(MineGrid->CellRect(col, row));
}

void TMineForm::MGNewClick()
{
    Clock->Clear();
    ClockRunning = false;
    GameState |= gsFresh;
    GameState &= ~(gsPlaying | gsOver);
    if (GameState & gsPaused) {
        GameState &= ~gsPaused;
        SetBoardActive(true);
    }
    MOPause->setChecked(false);
    Mines->ResetBoard();
    TimeCount->SetValue(QStringLiteral("000"));
    MineCount->SetValue(QString::number(Mines->Mines));
    RepaintBoard();
}

void TMineForm::FirstOpening(int col, int row)
{
    Mines->LayMines(col, row);
    GameState &= ~gsFresh;
    GameState |= gsPlaying;
    Clock->Start();
    ClockRunning = true;
}

void TMineForm::ApplyMarkingCycle(int col, int row)
{
    if (Mines->CycleMark(col, row))
        MineCount->SetValue(QString::number(Mines->MinesLeft));
}

void TMineForm::MineGridMouseDown(Qt::MouseButton button, bool shift, int x, int y)
{
    if (button == Qt::RightButton && (GameState & gsOver)) {
        MGNewClick();
        return;
    }
    if ((GameState & gsPaused) || !(GameState & (gsPlaying | gsFresh)))
        return;
    int col = 0;
    int row = 0;
    if (!CellUnder(x, y, col, row))
        return;
    PressedCol = col;
    PressedRow = row;
    if (button == Qt::RightButton) {
        if (!(GameState & gsFresh))
            ApplyMarkingCycle(col, row);
        RepaintCell(col, row);
        return;
    }
    if (button != Qt::LeftButton)
        return;
    if (!Mines->WindowsPress) {
        const TMineState state = Mines->Cells[col][row]->State;
        if ((state == msCovered || state == msQuestion) && (GameState & gsFresh))
            FirstOpening(col, row);
        if (Mines->Cells[col][row]->State != msFlagged)
            OpenAtPoint(x, y, shift);
        return;
    }
    PressState = 1;
    RepaintCell(col, row);
}

void TMineForm::MineGridMouseUp(Qt::MouseButton button, bool shift, int x, int y)
{
    if (GameState & (gsPaused | gsOver)) {
        // The board ignores the release, but the press it ends is over: a
        // press left tracked would make the pressed look follow the pointer
        // with no button held once the pause ends.
        if (button == Qt::LeftButton)
            PressState = 0;
        return;
    }
    if (!Mines->WindowsPress) {
        MoveCurrentCell(PressedCol, PressedRow);
        return;
    }
    if (button != Qt::LeftButton || PressState == 0)
        return;
    int col = 0;
    int row = 0;
    if (CellUnder(x, y, col, row)) {
        MoveCurrentCell(col, row);
        PressedCol = col;
        PressedRow = row;
        if (GameState & gsFresh)
            FirstOpening(col, row);
        if (Mines->Cells[col][row]->State != msFlagged)
            OpenAtPoint(x, y, shift);
        RepaintCell(CurrentCol, CurrentRow);
    }
    PressState = 0;
}

void TMineForm::MineGridMouseMove(Qt::MouseButtons buttons, int, int)
{
    if (PressState == -1 && !(buttons & Qt::LeftButton))
        PressState = 0;
}

void TMineForm::MineGridMouseEnterCell(int col, int row)
{
    if (PressState != 1)
        return;
    PressedCol = col;
    PressedRow = row;
    MoveCurrentCell(col, row);
    RepaintCell(col, row);
}

void TMineForm::MineGridMouseLeaveCell(int col, int row)
{
    if (PressState != 1)
        return;
    // The cell is shown unpressed while the press itself goes on.
    PressState = 0;
    RepaintCell(col, row);
    PressState = 1;
}

void TMineForm::MineGridMouseLeave(int, int)
{
    if (PressState == 1)
        PressState = -1;
}

void TMineForm::MineGridMouseEnter(int col, int row)
{
    if (PressState != -1)
        return;
    PressState = 1;
    PressedCol = col;
    PressedRow = row;
    MoveCurrentCell(col, row);
    RepaintCell(col, row);
}

void TMineForm::OpenAtPoint(int x, int y, bool shift)
{
    int col = 0;
    int row = 0;
    if (!CellUnder(x, y, col, row))
        return;
    if (Mines->CrossPointer && shift) {
        const QPoint probes[] = {{x - ProbeReach, y - ProbeReach},
                                 {x + ProbeReach, y - ProbeReach},
                                 {x - ProbeReach, y + ProbeReach},
                                 {x + ProbeReach, y + ProbeReach}};
        for (const QPoint &probe : probes) {
            int probeCol = 0;
            int probeRow = 0;
            if (CellUnder(probe.x(), probe.y(), probeCol, probeRow) &&
                (probeCol != col || probeRow != row))
                Mines->Reveal(probeCol, probeRow, false);
        }
    }
    if (!Mines->Reveal(col, row, true)) {
        RepaintChanged();
        return;
    }
    EndOfGame();
}

void TMineForm::EndOfGame()
{
    Mines->MarkEndOfGame();
    GameState |= gsOver;
    GameState &= ~gsPlaying;
    ClockRunning = false;
    RepaintBoard();
    if (Mines->IsWon())
        CheckNewRecord();
}

void TMineForm::MineGridKeyPress(QChar key)
{
    ShowMessage(TMsgType::mtInformation, QStringLiteral("%1 = (%2)").arg(key).arg(key.unicode()));
}
