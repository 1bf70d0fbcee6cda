#pragma once

// TMineGame: one game on the board model, with its phase, clock, options and
// board configuration; the only way to change any of them, and every change
// a player can see is announced by a signal.

#include "model/FinishedGame.h"
#include "model/Mines.h"
#include "model/SavedGame.h"
#include "model/TimeType.h"

#include <QList>
#include <QObject>
#include <QPoint>

#include <functional>
#include <memory>
#include <optional>

// The game phase: a set of these bits.
enum TGameStateFlag : quint8 { gsPlaying = 1, gsPaused = 2, gsOver = 4, gsFresh = 8 };

// The two presets of the options: "DOS Style" and "Windows Style".
enum TStylePreset { spDos, spWindows };

// A left press held with "Windows press" on: over the board, or held while
// the pointer has left it.
enum class TPressState { psNone, psPressed, psLeftBoard };

// A mouse button pressed or released on the board, as the board's view saw
// it: the cell under the pointer (none off the board), whether Shift was
// held, and the other cells under the cross pointer's four arms.
struct TBoardPress {
    Qt::MouseButton Button = Qt::LeftButton;
    std::optional<QPoint> Cell;
    bool Shift = false;
    QList<QPoint> Arms;
};

// The game owns the board model and the clock.  It takes no input of its
// own: the windows call its moves and setters, and chance (the generator's
// state) and time (the wall clock the clock reads) come from outside, so a
// test can replay any board and any second.  Everyone else reads the model
// and listens.
class TMineGame : public QObject
{
    Q_OBJECT

public:
    // Creates the model (which reads the settings store with LoadAndSave)
    // and the clock, both living in their own copy of the environment.  The
    // phase is empty until the first NewGame.
    explicit TMineGame(TMines::TStoreUse storeUse = TMines::TStoreUse::LoadAndSave,
                       const TGameEnvironment &environment = {}, QObject *parent = nullptr);
    // Releases the model, which writes the settings with LoadAndSave.
    ~TMineGame() override;

    const TMines &Model() const { return *Mines; }
    const TMineField &Cell(int col, int row) const { return *Mines->Cells[col][row]; }
    // The game's generator, for the play-list shuffle, which draws from it too.
    TRandom &Random() { return Mines->Random(); }

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
    // Whether the game on the board is a No Guessing game: the option as it
    // stood when the board was laid.  A board not laid yet follows the
    // option, since its first opening will lay it so.
    bool IsNoGuessingGame() const { return NoGuessingGame; }
    // The game under way (mines laid, not ended) as it would be recorded if
    // it were abandoned now; nothing on a fresh board or after the end.
    // The window asks it when the program ends with a game under way.
    std::optional<TFinishedGame> UnfinishedGame() const;
    // Whether No Guessing found no guess-free board for this game and laid
    // an ordinary one, which may need a guess.  Until the next new game.
    bool MayNeedGuess() const { return GuessNotice; }

    // --- moves -------------------------------------------------------------

    // A fresh board: the clock cleared and stopped, a pause ended, every
    // cell covered again where it stands.
    void NewGame();
    // Lays the mines around (col, row) and starts the game and its clock.
    // With No Guessing on the board needs no guess from this opening, whose
    // `probes` (the cross pointer's arms) hold no mine either.
    void FirstOpening(int col, int row, const QList<QPoint> &probes = {});
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

    // --- a game kept from one run to the next ---------------------------------

    // The game under way (mines laid, not over, paused or not), with the
    // seconds the clock shows; nothing for a fresh board or a game over.
    std::optional<TSavedGame> GameUnderWay() const;
    // Goes on with a saved game: its board, options, counters, generator
    // and seconds, shown paused (the board covered) until the pause ends, by
    // the Pause command or by a press on the board.  `game` must fit the
    // limits and be a game under way, as ReadSavedGames gives it.
    void ResumeGame(const TSavedGame &game);
    // The game under way was kept to be resumed at a later start: its end
    // with the program is no abandonment.  Until the next new game.
    void MarkSavedForLater() { SavedForLater = true; }
    bool IsSavedForLater() const { return SavedForLater; }

    // --- the board's input: the game decides what a press does -------------

    // Right after the end: a new game.  On a resumed game still paused since
    // it came back: the pause ends.  On a game under way or fresh: right
    // marks (once the mines are laid); left opens unless flagged, the first
    // opening laying the mines, or with "Windows press" on starts a press
    // that opens at its release.
    void Press(const TBoardPress &press);
    // The end of a press: with "Windows press" on, opens the cell under the
    // pointer as a left press would (nothing off the board).
    void Release(const TBoardPress &release);
    // The pointer moved with a press held, onto `cell` or off the board: the
    // pressed look follows it.
    void MovePress(std::optional<QPoint> cell);
    TPressState PressState() const { return Track; }
    // The cell shown pressed, if any.
    std::optional<QPoint> PressedCell() const;

    // --- options: each announces optionsChanged when it changes one --------

    void SetQuestionMarks(bool on);
    void SetCrossPointer(bool on);
    void SetWindowsPress(bool on);
    void SetClearNeighbours(bool on);
    // Lays the boards from the next first opening on; a board laid already
    // stays the game it is (see IsNoGuessingGame).
    void SetNoGuessing(bool on);
    // A board under way keeps its edges: a change of Borders starts a new
    // game first.
    void SetBorders(bool on);
    // Clear-neighbour and Windows-press as the preset says, borders on (a new
    // game first when they were off), cross pointer off; question marks and
    // No Guessing stay.
    void ApplyStylePreset(TStylePreset preset);

    // --- board configuration -----------------------------------------------

    // Easy, Medium or Hard: the preset's board, then a new game.
    void ChooseLevel(int level);
    // "Custom...": the level is custom from now; board and game stay.
    void ChooseCustomLevel();
    // The custom dialog's numbers: a preset's own numbers choose that level,
    // any others a custom board (made playable), then a new game.
    void SetCustomBoard(const TBoardSize &size);

    // The name last entered for a best time, cut to RecordNameLength.
    void SetRecordName(const QString &name);

signals:
    // Cells whose look changed, when only a few did.
    void cellsChanged(const QList<QPoint> &cells);
    // Any cell may look different: new game, end of game, pause, board move.
    void boardChanged();
    // A new game began on a fresh board (after the board's reset).
    void newGameStarted();
    void minesLeftChanged(int minesLeft);
    // The seconds of the current game; 0 at a new game.
    void timeChanged(int seconds);
    void pauseChanged(bool paused);
    // A game was won; seconds is the time shown at that moment.
    void gameWon(int seconds);
    // A game whose mines were laid ended: won or lost (right after gameWon
    // has been handled, so a record's name is known by then), or abandoned
    // by a new game, which announces it before the board changes for it.
    // The end of the program is not announced: see UnfinishedGame.
    void gameEnded(const TFinishedGame &game);
    // An option or the level changed (read them from the model).
    void optionsChanged();
    // The board's columns, rows or mines changed; the new game follows.
    void boardResized();
    // IsNoGuessingGame changed: a new game, or the option on a board not laid yet.
    void noGuessingGameChanged(bool noGuessing);
    // MayNeedGuess changed: a first opening that fell back, or a new game.
    void guessNoticeChanged(bool mayNeedGuess);

private:
    // Laying a chosen board is for tests only: they reach it through
    // TLaidBoard (tests/support/LaidBoard.h), which the program never defines.
    friend class TLaidBoard;
    // `lay` sets the cells, counters and size of the model; then the game is
    // under way from now, as after a first opening, with the mines as laid.
    void BeginWithLaidBoard(const std::function<void(TMines &)> &lay);

    void SetState(quint8 state);
    void SetNoGuessingGame(bool on);
    void SetGuessNotice(bool on);
    void OpenUnlessFlagged(const TBoardPress &press);
    // The press state and cell, announcing the cells whose look changes.
    void TrackPress(TPressState track, QPoint cell);
    void EndOfGame();
    // The board of the game just begun, for the announcement of its end.
    void NoteLaidBoard();
    TFinishedGame Summary(TGameOutcome outcome) const;
    QList<QPoint> TakeChangedCells();
    // Runs `change` on the model and announces what it changed.
    void Change(const std::function<void(TMines &)> &change);

    std::unique_ptr<TMines> Mines;
    TimeType Clock;
    TWallClock WallClock;
    TFinishedGame LaidBoard;
    quint8 GameState = 0;
    bool ClockRunning = false;
    int Shown = 0;
    TPressState Track = TPressState::psNone;
    QPoint PressedAt{0, 0};
    bool NoGuessingGame = false;
    bool GuessNotice = false;
    bool ResumedPaused = false;
    bool SavedForLater = false;
};
