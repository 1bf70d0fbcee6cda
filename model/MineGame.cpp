#include "model/MineGame.h"

#include <algorithm>
#include <tuple>

TMineGame::TMineGame(TMines::TStoreUse storeUse, const TGameEnvironment &environment,
                     QObject *parent)
    : QObject(parent), Mines(std::make_unique<TMines>(storeUse, environment)),
      Clock(environment.Clock), WallClock(environment.Clock), NoGuessingGame(Mines->NoGuessing)
{
}

// The model writes its settings as it goes.
TMineGame::~TMineGame() = default;

void TMineGame::SetState(quint8 state)
{
    const bool pauseChanges = (state ^ GameState) & gsPaused;
    GameState = state;
    if (pauseChanges)
        emit pauseChanged(IsPaused());
}

void TMineGame::SetNoGuessingGame(bool on)
{
    if (on == NoGuessingGame)
        return;
    NoGuessingGame = on;
    emit noGuessingGameChanged(on);
}

void TMineGame::SetGuessNotice(bool on)
{
    if (on == GuessNotice)
        return;
    GuessNotice = on;
    emit guessNoticeChanged(on);
}

void TMineGame::NewGame()
{
    if (const std::optional<TFinishedGame> left = UnfinishedGame())
        emit gameEnded(*left);
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
    SetGuessNotice(false);
    SetNoGuessingGame(Mines->NoGuessing);
    ResumedPaused = false;
    SavedForLater = false;
    emit newGameStarted();
}

// The board laid here decides what game this is, whatever the option says
// later on: a time won on it counts among the times of boards laid alike.
void TMineGame::FirstOpening(int col, int row, const QList<QPoint> &probes)
{
    SetNoGuessingGame(Mines->NoGuessing);
    if (Mines->NoGuessing) {
        SetGuessNotice(!Mines->LayGuessFreeMines(col, row, probes));
    } else {
        Mines->LayMines(col, row);
        SetGuessNotice(false);
    }
    Clock.Start();
    ClockRunning = true;
    SetState((GameState & ~gsFresh) | gsPlaying);
    NoteLaidBoard();
}

void TMineGame::BeginWithLaidBoard(const std::function<void(TMines &)> &lay)
{
    Change(lay);
    SetNoGuessingGame(Mines->NoGuessing);
    SetGuessNotice(false);
    Clock.Clear();
    Clock.Start();
    ClockRunning = !IsPaused();
    Shown = 0;
    SetState((GameState & ~(gsFresh | gsOver)) | gsPlaying);
    NoteLaidBoard();
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
    const bool won = Mines->IsWon();
    if (won)
        emit gameWon(Shown);
    emit gameEnded(Summary(won ? TGameOutcome::Won : TGameOutcome::Lost));
}

// A level or board change sets the new numbers before its new game starts,
// so the abandoned game's board is taken from when it was laid.
void TMineGame::NoteLaidBoard()
{
    LaidBoard.Cols = Mines->Cols;
    LaidBoard.Rows = Mines->Rows;
    LaidBoard.Mines = Mines->Mines;
    LaidBoard.Borders = Mines->Borders;
    LaidBoard.NoGuessing = NoGuessingGame;
}

TFinishedGame TMineGame::Summary(TGameOutcome outcome) const
{
    TFinishedGame game = LaidBoard;
    game.Ended = WallClock.Now();
    game.Outcome = outcome;
    game.Seconds = Shown;
    return game;
}

std::optional<TFinishedGame> TMineGame::UnfinishedGame() const
{
    if (!IsPlaying())
        return std::nullopt;
    return Summary(TGameOutcome::Abandoned);
}

void TMineGame::CycleMark(int col, int row)
{
    if (Mines->CycleMark(col, row))
        emit minesLeftChanged(Mines->MinesLeft);
    emit cellsChanged({QPoint(col, row)});
}

void TMineGame::TogglePause()
{
    ResumedPaused = false;
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

// --- A game kept from one run to the next ----------------------------------------

std::optional<TSavedGame> TMineGame::GameUnderWay() const
{
    if (!IsPlaying())
        return std::nullopt;
    TSavedGame game = SaveBoard(*Mines, Shown);
    game.NoGuessingGame = NoGuessingGame;
    game.MayNeedGuess = GuessNotice;
    return game;
}

// The clock takes the saved seconds and stays stopped: resuming from the
// pause starts it from there, so the break is not counted.
void TMineGame::ResumeGame(const TSavedGame &game)
{
    NewGame();
    Change([&game](TMines &model) { RestoreBoard(model, game); });
    SetNoGuessingGame(game.NoGuessingGame);
    SetGuessNotice(game.MayNeedGuess);
    // The game goes on: when it ends it is one game, on the board it was laid.
    NoteLaidBoard();
    Clock.Clear();
    Clock.Elapsed = game.Seconds;
    Shown = game.Seconds;
    ClockRunning = false;
    SetState(gsPlaying | gsPaused);
    ResumedPaused = true;
    emit timeChanged(Shown);
    emit minesLeftChanged(Mines->MinesLeft);
    emit boardChanged();
}

// --- The board's input ---------------------------------------------------------

void TMineGame::Press(const TBoardPress &press)
{
    if (press.Button == Qt::RightButton && IsOver()) {
        NewGame();
        return;
    }
    if (ResumedPaused && press.Button == Qt::LeftButton) {
        TogglePause();
        return;
    }
    if (IsPaused() || !(IsPlaying() || IsFresh()) || !press.Cell)
        return;
    const QPoint cell = *press.Cell;
    if (press.Button == Qt::RightButton) {
        // A fresh board has no mines to mark yet.
        if (!IsFresh())
            CycleMark(cell.x(), cell.y());
        return;
    }
    if (press.Button != Qt::LeftButton)
        return;
    if (Mines->WindowsPress)
        TrackPress(TPressState::psPressed, cell);
    else
        OpenUnlessFlagged(press);
}

void TMineGame::Release(const TBoardPress &release)
{
    if (release.Button != Qt::LeftButton || Track == TPressState::psNone)
        return;
    // A press released while paused or after the end is over too: left
    // tracked, its look would follow the pointer with no button held.
    TrackPress(TPressState::psNone, PressedAt);
    if (!release.Cell || IsPaused() || IsOver())
        return;
    OpenUnlessFlagged(release);
}

void TMineGame::MovePress(std::optional<QPoint> cell)
{
    if (Track == TPressState::psNone)
        return;
    if (cell)
        TrackPress(TPressState::psPressed, *cell);
    else
        TrackPress(TPressState::psLeftBoard, PressedAt);
}

std::optional<QPoint> TMineGame::PressedCell() const
{
    if (Track != TPressState::psPressed)
        return std::nullopt;
    return PressedAt;
}

void TMineGame::TrackPress(TPressState track, QPoint cell)
{
    const std::optional<QPoint> shown = PressedCell();
    Track = track;
    PressedAt = cell;
    if (PressedCell() == shown)
        return;
    QList<QPoint> changed;
    for (const std::optional<QPoint> &look : {shown, PressedCell()})
        if (look)
            changed.append(*look);
    emit cellsChanged(changed);
}

// The first opening lays the mines; a flag keeps its cell shut, though the
// cross pointer's probes may open flagged cells around it.
void TMineGame::OpenUnlessFlagged(const TBoardPress &press)
{
    const QPoint cell = *press.Cell;
    const QList<QPoint> probes = Mines->CrossPointer && press.Shift ? press.Arms : QList<QPoint>{};
    if (IsFresh())
        FirstOpening(cell.x(), cell.y(), probes);
    if (Cell(cell.x(), cell.y()).State == msFlagged)
        return;
    Open(cell.x(), cell.y(), probes);
}

// --- Options and board configuration ------------------------------------------

namespace
{
// What optionsChanged announces: the menu's checks and the level.
auto Options(const TMines &model)
{
    return std::tuple(model.QuestionMarks, model.CrossPointer, model.Borders, model.WindowsPress,
                      model.ClearNeighbours, model.NoGuessing, model.Level);
}
} // namespace

void TMineGame::Change(const std::function<void(TMines &)> &change)
{
    const auto options = Options(*Mines);
    const TBoardSize size = Mines->BoardSize();
    change(*Mines);
    if (Options(*Mines) != options)
        emit optionsChanged();
    if (Mines->BoardSize() != size)
        emit boardResized();
}

void TMineGame::SetQuestionMarks(bool on)
{
    Change([on](TMines &model) { model.QuestionMarks = on; });
}

void TMineGame::SetCrossPointer(bool on)
{
    Change([on](TMines &model) { model.CrossPointer = on; });
}

void TMineGame::SetWindowsPress(bool on)
{
    Change([on](TMines &model) { model.WindowsPress = on; });
}

void TMineGame::SetClearNeighbours(bool on)
{
    Change([on](TMines &model) { model.ClearNeighbours = on; });
}

void TMineGame::SetNoGuessing(bool on)
{
    Change([on](TMines &model) { model.NoGuessing = on; });
    // A board not laid yet is laid by the option its first opening finds.
    if (!(GameState & (gsPlaying | gsOver)))
        SetNoGuessingGame(on);
}

void TMineGame::SetBorders(bool on)
{
    if (on == Mines->Borders)
        return;
    NewGame();
    Change([on](TMines &model) { model.Borders = on; });
}

void TMineGame::ApplyStylePreset(TStylePreset preset)
{
    if (!Mines->Borders)
        NewGame();
    Change([preset](TMines &model) {
        model.ClearNeighbours = preset == spDos;
        model.CrossPointer = false;
        model.Borders = true;
        model.WindowsPress = preset == spWindows;
    });
}

void TMineGame::ChooseLevel(int level)
{
    Change([level](TMines &model) { model.ApplyLevel(level); });
    NewGame();
}

void TMineGame::ChooseCustomLevel()
{
    Change([](TMines &model) { model.Level = LevelCustom; });
}

void TMineGame::SetCustomBoard(const TBoardSize &size)
{
    for (int level : {LevelEasy, LevelMedium, LevelHard})
        if (size == LevelPresets[level]) {
            ChooseLevel(level);
            return;
        }
    Change([size](TMines &model) {
        model.Level = LevelCustom;
        model.Cols = static_cast<quint8>(std::clamp(size.Cols, 1, MaxSlots));
        model.Rows = static_cast<quint8>(std::clamp(size.Rows, 1, MaxSlots));
        model.Mines = size.Mines;
        // Only a screen too small for an 8 x 8 board gives numbers without
        // room for their mines.
        model.MendBoard();
    });
    NewGame();
}

void TMineGame::SetRecordName(const QString &name)
{
    Mines->RecordName = name.left(RecordNameLength);
}
