// A game played on the game object alone, with no window: boards laid as
// pictures, the wall clock set by the test, and every announcement recorded
// in the order it came.

#include "model/MineGame.h"
#include "support/BoardPicture.h"
#include "support/LaidBoard.h"

#include <QSignalSpy>
#include <QTest>

#include <functional>

namespace
{

// Every signal of a game as one line, in order.
class Announcements : public QObject
{
public:
    explicit Announcements(TMineGame &game)
    {
        connect(&game, &TMineGame::cellsChanged, this, [this](const QList<QPoint> &cells) {
            QStringList names;
            for (const QPoint &cell : cells)
                names << QStringLiteral("%1,%2").arg(cell.x()).arg(cell.y());
            lines << QStringLiteral("cells ") + names.join(' ');
        });
        connect(&game, &TMineGame::boardChanged, this, [this] { lines << "board"; });
        connect(&game, &TMineGame::minesLeftChanged, this,
                [this](int left) { lines << QStringLiteral("mines %1").arg(left); });
        connect(&game, &TMineGame::timeChanged, this,
                [this](int seconds) { lines << QStringLiteral("time %1").arg(seconds); });
        connect(&game, &TMineGame::pauseChanged, this,
                [this](bool paused) { lines << (paused ? "paused" : "resumed"); });
        connect(&game, &TMineGame::gameWon, this,
                [this](int seconds) { lines << QStringLiteral("won %1").arg(seconds); });
        connect(&game, &TMineGame::optionsChanged, this, [this] { lines << "options"; });
        connect(&game, &TMineGame::boardResized, this, [this] { lines << "resized"; });
    }
    QStringList take()
    {
        QStringList taken = lines;
        lines.clear();
        return taken;
    }
    QStringList lines;
};

bool Lay(TMineGame &game, const QStringList &picture,
         const std::function<void(TMines &)> &first = {})
{
    return TLaidBoard::Lay(game, picture, first);
}

// Plays board input written as words: L, R or S (Shift with the left button,
// the diagonal neighbours as the cross pointer's arms) press at "col,row";
// l, r or s release there; M moves a held press there; "-" for the place is
// off the board; P pauses or resumes.
void Play(TMineGame &game, const QString &steps)
{
    for (const QString &step : steps.split(' ', Qt::SkipEmptyParts)) {
        const QChar kind = step.at(0);
        if (kind == 'P') {
            game.TogglePause();
            continue;
        }
        TBoardPress press;
        if (step.mid(1) != "-") {
            const QStringList place = step.mid(1).split(',');
            press.Cell = QPoint(place.at(0).toInt(), place.at(1).toInt());
        }
        if (kind == 'M') {
            game.MovePress(press.Cell);
            continue;
        }
        press.Button = kind.toLower() == 'r' ? Qt::RightButton : Qt::LeftButton;
        press.Shift = kind.toLower() == 's';
        if (press.Shift)
            for (const QPoint arm : {QPoint(-1, -1), QPoint(1, -1), QPoint(-1, 1), QPoint(1, 1)}) {
                const QPoint cell = *press.Cell + arm;
                if (cell.x() >= 0 && cell.y() >= 0 && cell.x() < game.Model().Cols &&
                    cell.y() < game.Model().Rows)
                    press.Arms.append(cell);
            }
        if (kind.isUpper())
            game.Press(press);
        else
            game.Release(press);
    }
}

QStringList Lines(std::initializer_list<const char *> lines)
{
    QStringList list;
    for (const char *line : lines)
        list << QString::fromLatin1(line);
    return list;
}

} // namespace

class GameObjectTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        now = QDateTime(QDate(2026, 3, 29), QTime(12, 0, 0));
        environment = TGameEnvironment();
        environment.Clock = TWallClock([this] { return now; });
    }

    void newGameIsFreshAndAnnouncesTheCounters()
    {
        TMineGame game(TMines::TStoreUse::None, environment);
        Announcements heard(game);
        game.NewGame();
        QCOMPARE(game.State(), quint8(gsFresh));
        QCOMPARE(heard.take(), Lines({"time 0", "mines 40", "board"}));
        QVERIFY(!game.IsClockRunning());
    }

    void firstOpeningStartsTheGameAndItsClock()
    {
        TMineGame game(TMines::TStoreUse::None, environment);
        game.ChooseLevel(LevelEasy);
        game.Random().SetState(7);
        Announcements heard(game);
        game.FirstOpening(3, 3);
        QCOMPARE(heard.take(), QStringList());
        QCOMPARE(game.State(), quint8(gsPlaying));
        QVERIFY(game.IsClockRunning());
        game.Open(3, 3);
        QVERIFY(!game.Cell(3, 3).IsMine);
        QCOMPARE(game.Cell(3, 3).State, msOpen);
        const QStringList lines = heard.take();
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines.at(0).startsWith("cells "));
        QVERIFY(lines.at(0).split(' ').contains("3,3"));
        QVERIFY(game.Model().ChangedCells.isEmpty());
    }

    void wonGameAnnouncesTheEndOnceInOrder()
    {
        TMineGame game(TMines::TStoreUse::None, environment);
        // Every safe cell is a number, so each opening uncovers one cell.
        QVERIFY(Lay(game, {"*.*", "...", "*.*"}));
        Announcements heard(game);
        QSignalSpy won(&game, &TMineGame::gameWon);

        game.Open(1, 0);
        QCOMPARE(heard.take(), Lines({"cells 1,0"}));
        now = now.addSecs(4);
        game.Tick();
        QCOMPARE(heard.take(), Lines({"time 4"}));
        game.Open(0, 1);
        game.Open(1, 1);
        game.Open(2, 1);
        QCOMPARE(heard.take(), Lines({"cells 0,1", "cells 1,1", "cells 2,1"}));
        // The last safe cell ends the game.
        game.Open(1, 2);
        QCOMPARE(heard.take(), Lines({"board", "won 4"}));
        QCOMPARE(game.State(), quint8(gsOver));
        QCOMPARE(won.count(), 1);
        QCOMPARE(BoardPicture::Picture(game.Model()), QStringList({"M2M", "242", "M2M"}));
        QVERIFY(!game.IsClockRunning());
        // The clock stays where it stood.
        now = now.addSecs(3);
        game.Tick();
        QCOMPARE(heard.take(), QStringList());
    }

    void lostGameMarksTheBoard()
    {
        TMineGame game(TMines::TStoreUse::None, environment);
        QVERIFY(Lay(game, {"F*.", "f..", "..."}));
        Announcements heard(game);
        game.Open(1, 0);
        QCOMPARE(heard.take(), Lines({"board"}));
        QCOMPARE(BoardPicture::Picture(game.Model()), QStringList({"MX.", "W..", "..."}));
        QVERIFY(game.IsOver());
    }

    void probesAreOpenedWithTheCell()
    {
        TMineGame game(TMines::TStoreUse::None, environment);
        game.SetClearNeighbours(false);
        QVERIFY(Lay(game, {"....", ".*..", "...*"}));
        Announcements heard(game);
        // A probe on a mine ends the game like the cell itself.
        game.Open(0, 0, {QPoint(3, 2)});
        QCOMPARE(heard.take(), Lines({"board"}));
        QVERIFY(game.IsOver());
    }

    // What a press of the board does, on a board under way: each row one
    // rule.  Options: w Windows press, c cross pointer.
    void pressRules_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QStringList>("board");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("pressed"); // the cell shown pressed, "-" none
        const QStringList board = {"*.*", "...", "..."};
        const QStringList opened = {"*.*", "121", "000"};
        auto row = [&](const char *name, const char *options, const QStringList &before,
                       const char *steps, const QStringList &after, int state,
                       const char *pressed = "-") {
            QTest::newRow(name) << options << before << steps << after << state << pressed;
        };
        row("left opens", "", board, "L1,2 l1,2", opened, gsPlaying);
        row("a flag keeps its cell shut", "", {"*f*", "...", "..."}, "L1,0", {"*f*", "...", "..."},
            gsPlaying);
        row("a question mark opens", "", {"*?*", "...", "..."}, "L1,0", {"*2*", "...", "..."},
            gsPlaying);
        row("right marks", "", board, "R1,0 r1,0", {"*f*", "...", "..."}, gsPlaying);
        row("after the end left does nothing", "", board, "L0,0 L1,2", {"X.O", "...", "..."},
            gsOver);
        row("after the end right starts anew", "", board, "L0,0 R2,2", {"...", "...", "..."},
            gsFresh);
        row("Windows press opens at the release", "w", board, "L1,2", board, gsPlaying, "1,2");
        row("Windows press released", "w", board, "L1,2 l1,2", opened, gsPlaying);
        row("slid onto another cell", "w", board, "L1,0 M0,1 M1,2 l1,2", opened, gsPlaying);
        row("slid off the board", "w", board, "L1,2 M- l-", board, gsPlaying);
        row("slid off and back", "w", board, "L1,2 M- M1,0", board, gsPlaying, "1,0");
        row("released during a pause", "w", board, "L1,2 P l1,2 P M1,0", board, gsPlaying);
        row("no press while paused", "", board, "P L1,2 l1,2 P", board, gsPlaying);
        row("Shift opens the arms", "c", {"*..*", "...."}, "S1,0 s1,0", {"*1.*", "1.1."},
            gsPlaying);
        row("Shift without the cross pointer", "", {"*..*", "...."}, "S1,0 s1,0", {"*1.*", "...."},
            gsPlaying);
    }
    void pressRules()
    {
        QFETCH(QString, options);
        QFETCH(QStringList, board);
        QFETCH(QString, steps);
        QFETCH(QStringList, after);
        QFETCH(int, state);
        QFETCH(QString, pressed);
        TMineGame game(TMines::TStoreUse::None);
        game.SetWindowsPress(options.contains('w'));
        game.SetCrossPointer(options.contains('c'));
        QVERIFY(Lay(game, board));
        Play(game, steps);
        QCOMPARE(BoardPicture::Picture(game.Model()), after);
        QCOMPARE(game.State(), quint8(state));
        const std::optional<QPoint> shown = game.PressedCell();
        QCOMPARE(shown ? QString("%1,%2").arg(shown->x()).arg(shown->y()) : QString("-"), pressed);
    }

    // On a fresh board the first left press lays the mines around its cell
    // and opens it; a right press has no mines to mark yet.
    void aFreshBoardWaitsForTheFirstOpening()
    {
        TMineGame game(TMines::TStoreUse::None);
        game.ChooseLevel(LevelEasy);
        Play(game, "R3,3 r3,3");
        QCOMPARE(game.State(), quint8(gsFresh));
        QCOMPARE(game.Cell(3, 3).State, msCovered);
        Play(game, "L3,3 l3,3");
        QCOMPARE(game.State(), quint8(gsPlaying));
        QCOMPARE(game.Cell(3, 3).State, msOpen);
        QCOMPARE(game.Model().MinesLeft, 10);
    }

    void markingCycleAnnouncesTheCellAndTheCounter()
    {
        TMineGame game(TMines::TStoreUse::None, environment);
        QVERIFY(Lay(game, {"*.", ".."}));
        Announcements heard(game);
        game.CycleMark(1, 1);
        QCOMPARE(heard.take(), Lines({"mines 0", "cells 1,1"}));
        game.CycleMark(1, 1); // to the question mark
        QCOMPARE(heard.take(), Lines({"mines 1", "cells 1,1"}));
        game.CycleMark(1, 1); // back to covered: the count stays
        QCOMPARE(heard.take(), Lines({"cells 1,1"}));
    }

    void pauseStopsTheClockAndNewGameEndsIt()
    {
        TMineGame game(TMines::TStoreUse::None, environment);
        QVERIFY(Lay(game, {"*..", "...", "..."}));
        Announcements heard(game);
        now = now.addSecs(2);
        game.Tick();
        game.TogglePause();
        QCOMPARE(heard.take(), Lines({"time 2", "paused", "board"}));
        QVERIFY(!game.IsClockRunning());
        now = now.addSecs(10);
        game.Tick();
        game.TogglePause();
        QCOMPARE(heard.take(), Lines({"resumed", "board"}));
        now = now.addSecs(1);
        game.Tick();
        QCOMPARE(heard.take(), Lines({"time 3"}));

        game.TogglePause();
        heard.take();
        game.NewGame();
        QCOMPARE(heard.take(), Lines({"resumed", "time 0", "mines 1", "board"}));
        QVERIFY(!game.IsPaused());
    }

    void pauseOnAFreshBoardLeavesTheClockStopped()
    {
        TMineGame game(TMines::TStoreUse::None, environment);
        game.NewGame();
        game.TogglePause();
        game.TogglePause();
        QVERIFY(!game.IsClockRunning());
        Announcements heard(game);
        now = now.addSecs(5);
        game.Tick();
        QCOMPARE(heard.take(), QStringList());
    }

    void boardMovesCarryTheCellsWithThem()
    {
        TMineGame game(TMines::TStoreUse::None, environment);
        game.SetBorders(false);
        QVERIFY(Lay(game, {"*....", ".....", "....*", "....."}));
        const QStringList before = BoardPicture::Picture(game.Model());
        Announcements heard(game);
        game.MoveBoard(0, 1);
        QCOMPARE(heard.take(), Lines({"board"}));
        QCOMPARE(BoardPicture::Picture(game.Model()),
                 QStringList({".....", "*....", ".....", "....*"}));
        // Opening the cell now shown at a place opens that cell, with its
        // own count as laid on the wrapped board.
        const int expected = game.Cell(1, 2).MinesAround;
        game.Open(1, 2);
        QCOMPARE(game.Cell(1, 2).State, msOpen);
        QCOMPARE(int(game.Cell(1, 2).MinesAround), expected);
        QCOMPARE(game.Cell(1, 2).Col, quint8(1));
        QCOMPARE(game.Cell(1, 2).Row, quint8(2));
        // The phase and the clock are untouched by moves.
        QCOMPARE(game.State(), quint8(gsPlaying));
        QVERIFY(game.IsClockRunning());
    }

    void boardMovesRestoreTheBoard_data()
    {
        QTest::addColumn<int>("cols");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("dx");
        QTest::addColumn<int>("dy");
        QTest::addColumn<int>("moves");
        QTest::newRow("16 x 16 down") << 16 << 16 << 0 << 1 << 16;
        QTest::newRow("30 x 20 diagonal") << 30 << 20 << 1 << 1 << 60;
        QTest::newRow("30 x 20 up-left") << 30 << 20 << -1 << -1 << 60;
        QTest::newRow("7 x 3 right") << 7 << 3 << 1 << 0 << 7;
    }
    void boardMovesRestoreTheBoard()
    {
        QFETCH(int, cols);
        QFETCH(int, rows);
        QFETCH(int, dx);
        QFETCH(int, dy);
        QFETCH(int, moves);
        TMineGame game(TMines::TStoreUse::None, environment);
        game.SetBorders(false);
        game.SetCustomBoard({cols, rows, cols * rows / 5});
        game.Random().SetState(99);
        game.FirstOpening(0, 0);
        game.Open(0, 0);
        const QStringList before = BoardPicture::Picture(game.Model());
        for (int i = 1; i <= moves; ++i) {
            game.MoveBoard(dx, dy);
            QCOMPARE(BoardPicture::Picture(game.Model()) == before, i == moves);
        }
    }

    void diagonalEqualsItsTwoStraightMoves()
    {
        TMineGame diagonal(TMines::TStoreUse::None, environment);
        TMineGame straight(TMines::TStoreUse::None, environment);
        for (TMineGame *game : {&diagonal, &straight}) {
            game->SetBorders(false);
            game->SetCustomBoard({30, 20, 99}); // the Hard level's board
            game->Random().SetState(5);
            game->FirstOpening(4, 4);
            game->Open(4, 4);
        }
        diagonal.MoveBoard(1, 1);
        straight.MoveBoard(1, 0);
        straight.MoveBoard(0, 1);
        QCOMPARE(BoardPicture::Picture(diagonal.Model()), BoardPicture::Picture(straight.Model()));
        // After 20 moves the rows are back but the columns are shifted by 20.
        for (int i = 1; i < 20; ++i)
            diagonal.MoveBoard(1, 1);
        for (int i = 1; i < 20; ++i) {
            straight.MoveBoard(1, 0);
            straight.MoveBoard(0, 1);
        }
        const QStringList shifted = BoardPicture::Picture(straight.Model());
        for (int i = 0; i < 20; ++i)
            straight.MoveBoard(0, 1);
        QCOMPARE(BoardPicture::Picture(straight.Model()), shifted);
        QCOMPARE(BoardPicture::Picture(diagonal.Model()), BoardPicture::Picture(straight.Model()));
    }

    // Each option setter announces a change once, and only a change.
    void optionSettersAnnounceChanges()
    {
        TMineGame game(TMines::TStoreUse::None, environment);
        game.NewGame();
        const struct {
            void (TMineGame::*set)(bool);
            bool TMines::*field;
        } options[] = {{&TMineGame::SetQuestionMarks, &TMines::QuestionMarks},
                       {&TMineGame::SetCrossPointer, &TMines::CrossPointer},
                       {&TMineGame::SetWindowsPress, &TMines::WindowsPress},
                       {&TMineGame::SetClearNeighbours, &TMines::ClearNeighbours},
                       {&TMineGame::SetNoGuessing, &TMines::NoGuessing}};
        Announcements heard(game);
        for (const auto &option : options) {
            const bool was = game.Model().*option.field;
            (game.*option.set)(!was);
            QCOMPARE(game.Model().*option.field, !was);
            (game.*option.set)(!was);
            QCOMPARE(heard.take(), Lines({"options"}));
        }
        QCOMPARE(game.State(), quint8(gsFresh));
    }

    // A board under way keeps its edges: switching them starts a new game
    // before the option changes; the presets do so only when they switch
    // the borders on.  Question marks and No Guessing are no preset's.
    void bordersChangeOnANewGame_data()
    {
        QTest::addColumn<int>("change"); // 0 Borders off, 1 DOS, 2 Windows
        QTest::addColumn<bool>("bordersBefore");
        QTest::addColumn<bool>("newGame");
        QTest::newRow("Borders off") << 0 << true << true;
        QTest::newRow("DOS Style, borders off") << 1 << false << true;
        QTest::newRow("Windows Style, borders on") << 2 << true << false;
    }
    void bordersChangeOnANewGame()
    {
        QFETCH(int, change);
        QFETCH(bool, bordersBefore);
        QFETCH(bool, newGame);
        TMineGame game(TMines::TStoreUse::None, environment);
        game.SetBorders(bordersBefore);
        game.SetCrossPointer(true);
        game.SetQuestionMarks(false);
        game.SetNoGuessing(true);
        QVERIFY(Lay(game, {"*..", "...", "..."}));
        Announcements heard(game);
        if (change == 0)
            game.SetBorders(false);
        else
            game.ApplyStylePreset(change == 1 ? spDos : spWindows);
        QStringList expected = newGame ? Lines({"time 0", "mines 1", "board"}) : QStringList();
        QCOMPARE(heard.take(), expected << "options");
        QCOMPARE(game.State(), quint8(newGame ? gsFresh : gsPlaying));
        const TMines &model = game.Model();
        QCOMPARE(model.Borders, change != 0);
        if (change == 0)
            return;
        QCOMPARE(model.ClearNeighbours, change == 1);
        QCOMPARE(model.WindowsPress, change == 2);
        QVERIFY(!model.CrossPointer);
        QVERIFY(!model.QuestionMarks);
        QVERIFY(model.NoGuessing);
    }

    // A game is what its board was laid as: the option as the first opening
    // found it.  A board not laid yet follows the option.
    void aGameIsWhatItsBoardWasLaidAs()
    {
        TMineGame game(TMines::TStoreUse::None, environment);
        game.ChooseLevel(LevelEasy);
        QSignalSpy changes(&game, &TMineGame::noGuessingGameChanged);
        game.SetNoGuessing(true);
        QVERIFY(game.IsNoGuessingGame());
        Play(game, "L3,3 l3,3");
        game.SetNoGuessing(false);
        QVERIFY(game.IsNoGuessingGame());
        game.NewGame();
        QVERIFY(!game.IsNoGuessingGame());
        QCOMPARE(changes.size(), 2);
        QCOMPARE(changes.at(0).at(0).toBool(), true);
        QCOMPARE(changes.at(1).at(0).toBool(), false);
    }

    // The first opening lays what the option asks for, from the game's own
    // generator: with it off the very board of the plain laying, with it on
    // the guess-free one, a Shift probe's arms kept free.
    void firstOpeningLaysWhatTheOptionAsks_data()
    {
        QTest::addColumn<bool>("noGuessing");
        QTest::addColumn<bool>("probe");
        QTest::newRow("off") << false << false;
        QTest::newRow("off, a probe") << false << true;
        QTest::newRow("on") << true << false;
        QTest::newRow("on, a probe") << true << true;
    }
    void firstOpeningLaysWhatTheOptionAsks()
    {
        QFETCH(bool, noGuessing);
        QFETCH(bool, probe);
        environment.RandomState = 4711;
        const QList<QPoint> arms{{10, 5}, {12, 5}, {11, 4}, {11, 6}};
        TMines expected(TMines::TStoreUse::None, environment);
        expected.ApplyLevel(LevelHard);
        expected.ResetBoard();
        if (noGuessing)
            QVERIFY(expected.LayGuessFreeMines(11, 5, probe ? arms : QList<QPoint>{}));
        else
            expected.LayMines(11, 5);

        TMineGame game(TMines::TStoreUse::None, environment);
        game.ChooseLevel(LevelHard);
        game.SetCrossPointer(true);
        game.SetNoGuessing(noGuessing);
        game.Press({Qt::LeftButton, QPoint(11, 5), probe, arms});
        for (int col = 0; col < 30; ++col)
            for (int row = 0; row < 20; ++row)
                QCOMPARE(game.Cell(col, row).IsMine, expected.Cells[col][row]->IsMine);
        // Probed, or next to a first opening that shows a 0.
        if (probe || noGuessing)
            for (const QPoint &arm : arms)
                QCOMPARE(game.Cell(arm.x(), arm.y()).State, msOpen);
    }

    // Eight safe cells cannot hold the 3 x 3 block of a first opening that
    // shows a 0: No Guessing lays an ordinary board and says so until the
    // next new game.
    void noGuessFreeBoardIsAnnounced()
    {
        TMineGame game(TMines::TStoreUse::None, environment);
        game.SetCustomBoard({4, 4, 8});
        game.SetNoGuessing(true);
        QSignalSpy notice(&game, &TMineGame::guessNoticeChanged);
        Play(game, "L1,1 l1,1");
        QCOMPARE(game.Model().MinesLeft, 8);
        QVERIFY(!game.Cell(1, 1).IsMine);
        QVERIFY(game.MayNeedGuess());
        game.NewGame();
        QVERIFY(!game.MayNeedGuess());
        QCOMPARE(notice.size(), 2);
        QCOMPARE(notice.at(0).at(0).toBool(), true);
        QCOMPARE(notice.at(1).at(0).toBool(), false);
    }

    // A level or a custom board announces the level and a new configuration
    // before its new game; a preset's own numbers choose the preset.
    void levelsAndCustomBoards()
    {
        TMineGame game(TMines::TStoreUse::None, environment);
        game.ChooseLevel(LevelEasy);
        QVERIFY(Lay(game, {"*.......", "........", "........", "........", "........", "........",
                           "........", "........"}));
        Announcements heard(game);
        game.ChooseCustomLevel();
        QCOMPARE(heard.take(), Lines({"options"}));
        QCOMPARE(game.State(), quint8(gsPlaying)); // the game goes on

        game.SetCustomBoard({8, 8, 20});
        QCOMPARE(heard.take(), Lines({"resized", "time 0", "mines 20", "board"}));
        game.ChooseLevel(LevelEasy);
        QCOMPARE(heard.take(), Lines({"options", "resized", "time 0", "mines 10", "board"}));
        game.ChooseLevel(LevelEasy);
        QCOMPARE(heard.take(), Lines({"time 0", "mines 10", "board"}));

        game.ChooseCustomLevel();
        game.SetCustomBoard({16, 16, 40});
        QCOMPARE(game.Model().Level, quint8(LevelMedium));
        QCOMPARE(heard.take(),
                 Lines({"options", "options", "resized", "time 0", "mines 40", "board"}));

        // A screen too small for 8 x 8 leaves numbers without room for a mine.
        environment.Limits = BoardLimitsForScreen(116, 201); // 3 x 3
        TMineGame cramped(TMines::TStoreUse::None, environment);
        cramped.SetCustomBoard({3, 3, 0});
        QCOMPARE(cramped.Model().BoardSize(), (TBoardSize{3, 3, 1}));
        QCOMPARE(cramped.Model().Level, quint8(LevelCustom));
    }

    // Each game whose mines were laid ends once: won (after gameWon), lost,
    // or abandoned by whatever starts a new game, with the board it was laid
    // on even when a level change has set the next board's numbers already.
    void everyLaidGameEndsOnceWithItsBoard()
    {
        TMineGame game(TMines::TStoreUse::None, environment);
        QStringList ends;
        connect(&game, &TMineGame::gameWon, &game, [&ends] { ends << "gameWon"; });
        connect(&game, &TMineGame::gameEnded, &game, [&ends](const TFinishedGame &end) {
            const char *outcome[] = {"won", "lost", "abandoned"};
            ends << QStringLiteral("%1 %2x%3/%4 b%5 ng%6 %7s %8")
                        .arg(outcome[int(end.Outcome)])
                        .arg(end.Cols)
                        .arg(end.Rows)
                        .arg(end.Mines)
                        .arg(end.Borders)
                        .arg(end.NoGuessing)
                        .arg(end.Seconds)
                        .arg(end.Ended.toString(Qt::ISODate));
        });
        game.ChooseLevel(LevelEasy);
        game.NewGame(); // nothing laid: nothing ends
        QVERIFY(!game.UnfinishedGame());
        QVERIFY(Lay(game, {"*.*", "...", "*.*"}));
        now = now.addSecs(4);
        game.Tick();
        for (const QPoint cell : {QPoint(1, 0), QPoint(0, 1), QPoint(1, 1), QPoint(2, 1)})
            game.Open(cell.x(), cell.y());
        game.Open(1, 2);
        game.NewGame(); // after the end: nothing more
        QCOMPARE(ends, QStringList({"gameWon", "won 3x3/4 b1 ng0 4s 2026-03-29T12:00:04"}));

        ends.clear();
        QVERIFY(Lay(game, {"*..", "...", "..."}));
        game.Open(0, 0);
        QCOMPARE(ends, QStringList({"lost 3x3/1 b1 ng0 0s 2026-03-29T12:00:04"}));

        ends.clear();
        QVERIFY(Lay(game, {"*..", "...", "..."}, [](TMines &model) { model.NoGuessing = true; }));
        game.TogglePause();
        QCOMPARE(game.UnfinishedGame()->Outcome, TGameOutcome::Abandoned);
        game.ChooseLevel(LevelHard);
        QCOMPARE(ends, QStringList({"abandoned 3x3/1 b1 ng1 0s 2026-03-29T12:00:04"}));
        QVERIFY(!game.UnfinishedGame());

        ends.clear();
        QVERIFY(Lay(game, {"*..", "...", "..."}));
        game.SetBorders(false);
        QVERIFY(Lay(game, {"*..", "...", "..."}));
        game.ApplyStylePreset(spDos);
        QCOMPARE(ends.size(), 2);
        QVERIFY(ends.at(0).startsWith("abandoned 3x3/1 b1"));
        QVERIFY(ends.at(1).startsWith("abandoned 3x3/1 b0"));
    }

    void recordNameKeepsThirtyCharacters()
    {
        TMineGame game(TMines::TStoreUse::None, environment);
        game.SetRecordName(QString(31, 'x'));
        QCOMPARE(game.Model().RecordName, QString(30, 'x'));
    }

    // Each game lives in its own environment: one's clock, generator and
    // screen are nothing to the other, even in one thread.
    void twoGamesInOneProcessKeepApart()
    {
        QDateTime otherNow = now;
        TGameEnvironment other;
        other.Clock = TWallClock([&otherNow] { return otherNow; });
        other.Limits = BoardLimitsForScreen(640, 480); // 34 x 19
        other.RandomState = 7;
        environment.RandomState = 7;
        TMineGame first(TMines::TStoreUse::None, environment);
        TMineGame second(TMines::TStoreUse::None, other);
        QCOMPARE(first.Model().Limits(), (TBoardLimits{56, 36}));
        QCOMPARE(second.Model().Limits(), (TBoardLimits{34, 19}));
        for (TMineGame *game : {&first, &second}) {
            game->ChooseLevel(LevelMedium);
            game->NewGame();
        }
        // The second lays its mines and draws once more before the first
        // lays its own: the first still lays the board its state gives.
        second.FirstOpening(3, 3);
        second.Random().Below(100);
        first.FirstOpening(3, 3);
        QCOMPARE(BoardPicture::Picture(first.Model()), BoardPicture::Picture(second.Model()));
        QCOMPARE(second.Random().State(), first.Random().State() * 134775813u + 1u);

        QSignalSpy firstTime(&first, &TMineGame::timeChanged);
        QSignalSpy secondTime(&second, &TMineGame::timeChanged);
        otherNow = otherNow.addSecs(9);
        second.Tick();
        first.Tick();
        QCOMPARE(secondTime.takeFirst().at(0).toInt(), 9);
        QVERIFY(firstTime.isEmpty());
        now = now.addSecs(2);
        first.Tick();
        QCOMPARE(firstTime.takeFirst().at(0).toInt(), 2);
    }

private:
    QDateTime now;
    TGameEnvironment environment;
};

QTEST_GUILESS_MAIN(GameObjectTest)
#include "test_game.moc"
