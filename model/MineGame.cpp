#include "model/MineGame.h"

TMineGame::TMineGame(TMines::TStoreUse storeUse, QObject *parent)
    : QObject(parent), Mines(std::make_unique<TMines>(storeUse))
{
}

TMineGame::~TMineGame() = default;

void TMineGame::SetState(quint8 state)
{
    if (state == GameState)
        return;
    const bool pauseChanges = (state ^ GameState) & gsPaused;
    GameState = state;
    emit stateChanged(GameState);
    if (pauseChanges)
        emit pauseChanged(IsPaused());
}

void TMineGame::NewGame()
{
    Clock.Clear();
    ClockRunning = false;
    SetState((GameState | gsFresh) & ~(gsPlaying | gsOver | gsPaused));
    Mines->ResetBoard();
    // Cells uncovered by the last move of an ended game are on a board that
    // is gone now.
    Mines->ChangedCells.clear();
    Shown = 0;
    emit timeChanged(0);
    emit minesLeftChanged(Mines->Mines);
    emit boardChanged();
}

void TMineGame::FirstOpening(int col, int row)
{
    Mines->LayMines(col, row);
    Clock.Start();
    ClockRunning = true;
    SetState((GameState & ~gsFresh) | gsPlaying);
}

void TMineGame::BeginWithLaidBoard()
{
    Clock.Clear();
    Clock.Start();
    ClockRunning = !IsPaused();
    Shown = 0;
    SetState((GameState & ~(gsFresh | gsOver)) | gsPlaying);
    emit timeChanged(0);
    emit minesLeftChanged(Mines->MinesLeft);
    emit boardChanged();
}

QList<QPoint> TMineGame::TakeChangedCells()
{
    QList<QPoint> cells;
    cells.reserve(Mines->ChangedCells.size());
    for (const TMineField *cell : std::as_const(Mines->ChangedCells))
        cells.append(QPoint(cell->Col, cell->Row));
    Mines->ChangedCells.clear();
    return cells;
}

void TMineGame::Open(int col, int row, const QList<QPoint> &probes)
{
    for (const QPoint &probe : probes)
        Mines->Reveal(probe.x(), probe.y(), false);
    if (Mines->Reveal(col, row, true)) {
        EndOfGame();
        return;
    }
    const QList<QPoint> changed = TakeChangedCells();
    if (!changed.isEmpty())
        emit cellsChanged(changed);
}

void TMineGame::EndOfGame()
{
    Mines->MarkEndOfGame();
    Mines->ChangedCells.clear();
    ClockRunning = false;
    SetState((GameState | gsOver) & ~gsPlaying);
    emit boardChanged();
    if (Mines->IsWon())
        emit gameWon(Shown);
    else
        emit gameLost();
}

void TMineGame::CycleMark(int col, int row)
{
    if (Mines->CycleMark(col, row))
        emit minesLeftChanged(Mines->MinesLeft);
    emit cellsChanged({QPoint(col, row)});
}

void TMineGame::TogglePause()
{
    const bool resuming = IsPaused();
    if (resuming)
        Clock.Start();
    ClockRunning = resuming && IsPlaying();
    SetState(GameState ^ gsPaused);
    emit boardChanged();
}

void TMineGame::Tick()
{
    if (!ClockRunning || !Clock.Tick())
        return;
    Shown = Clock.Elapsed;
    emit timeChanged(Shown);
}

void TMineGame::MoveBoard(int dx, int dy)
{
    Mines->RotateBoard(dx, dy);
    emit boardChanged();
}

void TMineGame::SetMusicOn(bool on)
{
    Mines->MusicOn = on;
}
