#pragma once

// TMineGame: one game on the board model, with its phase and clock; every
// change a player can see is announced by a signal.

#include "model/Mines.h"
#include "model/TimeType.h"

#include <QList>
#include <QObject>
#include <QPoint>

#include <memory>

// The game phase: a set of these bits.
enum TGameStateFlag : quint8 { gsPlaying = 1, gsPaused = 2, gsOver = 4, gsFresh = 8 };

// The game owns the board model and the clock.  It takes no input of its
// own: the windows call its moves, and chance (the generator's state) and
// time (the wall clock the clock reads) come from outside, so a test can
// replay any board and any second.  Options and the board configuration
// are plain fields of the model that the menus set directly.
class TMineGame : public QObject
{
    Q_OBJECT

public:
    // Creates the model (which reads the settings store with LoadAndSave)
    // and the clock.  The phase is empty until the first NewGame.
    explicit TMineGame(TMines::TStoreUse storeUse = TMines::TStoreUse::LoadAndSave,
                       QObject *parent = nullptr);
    // Releases the model, which writes the settings with LoadAndSave.
    ~TMineGame() override;

    TMines &Model() { return *Mines; }
    const TMines &Model() const { return *Mines; }
    const TMineField &Cell(int col, int row) const { return *Mines->Cells[col][row]; }

    quint8 State() const { return GameState; }
    bool IsFresh() const { return GameState & gsFresh; }
    bool IsPlaying() const { return GameState & gsPlaying; }
    bool IsOver() const { return GameState & gsOver; }
    bool IsPaused() const { return GameState & gsPaused; }
    // Whether the timer's ticks advance the clock: outside a pause, exactly
    // while a game is under way.
    bool IsClockRunning() const { return ClockRunning; }
    // The seconds last announced by timeChanged: what the time counter shows.
    int ShownSeconds() const { return Shown; }

    // A fresh board: the clock cleared and stopped, a pause ended, every
    // cell covered again where it stands.
    void NewGame();
    // Lays the mines around (col, row) and starts the game and its clock.
    void FirstOpening(int col, int row);
    // Opens (col, row), queueing the probe cells first (each only once the
    // model allows it).  Ends the game when the model says it is over.
    void Open(int col, int row, const QList<QPoint> &probes = {});
    // The marking cycle of a right press on a game under way.
    void CycleMark(int col, int row);
    // Pause on or off; resuming restarts the clock only for a game under way.
    void TogglePause();
    // One tick of the window's timer: the clock counts the seconds passed.
    void Tick();
    // Rotates the board's contents by one cell (dx, dy in -1..1): mines,
    // counts, marks and open cells travel with their cells; the phase, the
    // clock and the counters stay.
    void MoveBoard(int dx, int dy);

    // Whether music is to play at the next start (MUSIC).
    void SetMusicOn(bool on);

    // For a board laid by hand (a test's picture, a replay): the game is
    // under way from now, as after a first opening, with the mines as laid.
    void BeginWithLaidBoard();

signals:
    // Cells whose look changed, when only a few did.
    void cellsChanged(const QList<QPoint> &cells);
    // Any cell may look different: new game, end of game, pause, board move.
    void boardChanged();
    void minesLeftChanged(int minesLeft);
    // The seconds of the current game; 0 at a new game.
    void timeChanged(int seconds);
    // The phase flags changed (GameState).
    void stateChanged(quint8 state);
    void pauseChanged(bool paused);
    // The game ended; seconds is the time shown at that moment.
    void gameWon(int seconds);
    void gameLost();

private:
    void SetState(quint8 state);
    void EndOfGame();
    QList<QPoint> TakeChangedCells();

    std::unique_ptr<TMines> Mines;
    TimeType Clock;
    quint8 GameState = 0;
    bool ClockRunning = false;
    int Shown = 0;
};
