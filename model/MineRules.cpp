// The rules of a game on the board.
#include "model/Mines.h"

#include "model/GuessFreeLayout.h"

#include <algorithm>

void TMines::LayMines(int col, int row)
{
    TMineField *first = Cells[col][row];
    // The first-opened cell holds a mine for the time of the laying, so that
    // it is never drawn.
    first->IsMine = true;
    const int count = MinesToLay();
    for (int i = 0; i < count; ++i) {
        int x = 0;
        int y = 0;
        do {
            x = Generator.Below(Cols);
            y = Generator.Below(Rows);
        } while (Cells[x][y]->IsMine);
        PlaceMine(x, y);
    }
    first->IsMine = false;
    FinishLaying();
}

// Mines >= Cols*Rows would redraw for ever; MendBoard keeps the stored board
// playable, and this guard keeps a bad caller from hanging.
int TMines::MinesToLay() const
{
    return std::clamp(Mines, 0, Cols * Rows - 1);
}

void TMines::PlaceMine(int col, int row)
{
    Cells[col][row]->IsMine = true;
    ForEachNeighbour(col, row, [this](int c, int r) { ++Cells[c][r]->MinesAround; });
}

void TMines::FinishLaying()
{
    CoveredSafe = Cols * Rows - MinesToLay();
    MinesLeft = Mines;
}

bool TMines::LayGuessFreeMines(int col, int row, const QList<QPoint> &probes)
{
    auto index = [this](int c, int r) { return c * Rows + r; };
    std::vector<int> probeCells;
    for (const QPoint &probe : probes)
        if (probe.x() >= 0 && probe.x() < Cols && probe.y() >= 0 && probe.y() < Rows)
            probeCells.push_back(index(probe.x(), probe.y()));
    TGuessFreeLayout guessFree(Shape(), MinesToLay());
    const auto layout = guessFree.Lay(index(col, row), probeCells, Generator);
    if (!layout) {
        LayMines(col, row);
        return false;
    }
    for (int c = 0; c < Cols; ++c)
        for (int r = 0; r < Rows; ++r)
            if ((*layout)[index(c, r)])
                PlaceMine(c, r);
    FinishLaying();
    return true;
}

void TMines::PushIfOpenable(TMineField *cell)
{
    if (cell->Queued || cell->Revealed || cell->State == msFlagged)
        return;
    cell->Queued = 1;
    RevealQueue.append(cell);
}

bool TMines::Reveal(int col, int row, bool process)
{
    TMineField *cell = Cells[col][row];
    // The state is not looked at: the caller decides whether a marked cell
    // may be opened (the cross-pointer probes open flags too).
    if (!cell->Queued && !cell->Revealed) {
        cell->Queued = 1;
        RevealQueue.append(cell);
    }
    if (cell->State == msOpen && ClearNeighbours &&
        CountFlagsAround(col, row) == cell->MinesAround) {
        ForEachInBlock(col, row, [this](int c, int r) { PushIfOpenable(Cells[c][r]); });
    }
    if (process && !RevealQueue.isEmpty())
        return ProcessQueue();
    return false;
}

bool TMines::ProcessQueue()
{
    bool ended = false;
    while (!RevealQueue.isEmpty()) {
        TMineField *cell = RevealQueue.takeLast(); // last in, first out: depth-first
        cell->Revealed = 1;
        if (cell->IsMine) {
            // Processing goes on: everything already queued is still uncovered.
            cell->State = msExploded;
            ended = true;
            continue;
        }
        --CoveredSafe;
        cell->State = msOpen; // a probe-opened flag goes without giving back its mark
        ChangedCells.append(cell);
        if (cell->MinesAround == 0) {
            // From the cell's own Col/Row, which RenumberCells keeps equal to
            // its slot after every rotation.
            ForEachNeighbour(cell->Col, cell->Row,
                             [this](int c, int r) { PushIfOpenable(Cells[c][r]); });
        }
    }
    if (CoveredSafe == 0)
        ended = true;
    return ended;
}

int TMines::CountFlagsAround(int col, int row) const
{
    int flags = 0;
    ForEachInBlock(col, row, [&](int c, int r) {
        if (Cells[c][r]->State == msFlagged)
            ++flags;
    });
    return flags;
}

bool TMines::IsWon() const
{
    return CoveredSafe == 0;
}

bool TMines::CycleMark(int col, int row)
{
    TMineField *cell = Cells[col][row];
    switch (cell->State) {
    case msCovered:
        cell->State = msFlagged;
        --MinesLeft;
        return true;
    case msFlagged:
        cell->State = QuestionMarks ? msQuestion : msCovered;
        ++MinesLeft;
        return true;
    case msQuestion:
        cell->State = msCovered;
        return false;
    default:
        return false;
    }
}

void TMines::MarkEndOfGame()
{
    const bool won = IsWon();
    for (int col = 0; col < Cols; ++col) {
        for (int row = 0; row < Rows; ++row) {
            TMineField *cell = Cells[col][row];
            if (cell->State == msFlagged || won) {
                if (cell->IsMine)
                    cell->State = msFoundMine;
                else if (cell->State == msFlagged)
                    cell->State = msWrongFlag;
            }
            if ((cell->State == msCovered || cell->State == msFlagged ||
                 cell->State == msQuestion) &&
                cell->IsMine)
                cell->State = msOpen;
        }
    }
}
