// A game played on the game object alone, with no window: boards laid as
// pictures, the wall clock set by the test, and every announcement recorded
// in the order it came.

#include "base/Random.h"
#include "base/WallClock.h"
#include "model/MineGame.h"
#include "support/BoardPicture.h"

#include <QSignalSpy>
#include <QTest>

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
        connect(&game, &TMineGame::stateChanged, this,
                [this](quint8 state) { lines << QStringLiteral("state %1").arg(state); });
        connect(&game, &TMineGame::pauseChanged, this,
                [this](bool paused) { lines << (paused ? "paused" : "resumed"); });
        connect(&game, &TMineGame::gameWon, this,
                [this](int seconds) { lines << QStringLiteral("won %1").arg(seconds); });
        connect(&game, &TMineGame::gameLost, this, [this] { lines << "lost"; });
    }
    QStringList take()
    {
        QStringList taken = lines;
        lines.clear();
        return taken;
    }
    QStringList lines;
};

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
        previousClock = SetWallClock([this] { return now; });
    }
    void cleanup() { SetWallClock(previousClock); }

    void newGameIsFreshAndAnnouncesTheCounters()
    {
        TMineGame game(TMines::TStoreUse::None);
        Announcements heard(game);
        game.NewGame();
        QCOMPARE(game.State(), quint8(gsFresh));
        QCOMPARE(heard.take(), Lines({"state 8", "time 0", "mines 40", "board"}));
        QVERIFY(!game.IsClockRunning());
    }

    void firstOpeningStartsTheGameAndItsClock()
    {
        TMineGame game(TMines::TStoreUse::None);
        game.Model().ApplyLevel(LevelEasy);
        game.NewGame();
        SetRandomState(7);
        Announcements heard(game);
        game.FirstOpening(3, 3);
        QCOMPARE(heard.take(), Lines({"state 1"}));
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
        TMineGame game(TMines::TStoreUse::None);
        // Every safe cell is a number, so each opening uncovers one cell.
        QVERIFY(BoardPicture::SetPicture(game.Model(), {"*.*", "...", "*.*"}));
        game.BeginWithLaidBoard();
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
        QCOMPARE(heard.take(), Lines({"state 4", "board", "won 4"}));
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
        TMineGame game(TMines::TStoreUse::None);
        QVERIFY(BoardPicture::SetPicture(game.Model(), {"F*.", "f..", "..."}));
        game.BeginWithLaidBoard();
        Announcements heard(game);
        game.Open(1, 0);
        QCOMPARE(heard.take(), Lines({"state 4", "board", "lost"}));
        QCOMPARE(BoardPicture::Picture(game.Model()), QStringList({"MX.", "W..", "..."}));
        QVERIFY(game.IsOver());
    }

    void probesAreOpenedWithTheCell()
    {
        TMineGame game(TMines::TStoreUse::None);
        QVERIFY(BoardPicture::SetPicture(game.Model(), {"....", ".*..", "...*"}));
        game.Model().ClearNeighbours = false;
        game.BeginWithLaidBoard();
        Announcements heard(game);
        // A probe on a mine ends the game like the cell itself.
        game.Open(0, 0, {QPoint(3, 2)});
        QCOMPARE(heard.take(), Lines({"state 4", "board", "lost"}));
    }

    void markingCycleAnnouncesTheCellAndTheCounter()
    {
        TMineGame game(TMines::TStoreUse::None);
        QVERIFY(BoardPicture::SetPicture(game.Model(), {"*.", ".."}));
        game.BeginWithLaidBoard();
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
        TMineGame game(TMines::TStoreUse::None);
        QVERIFY(BoardPicture::SetPicture(game.Model(), {"*..", "...", "..."}));
        game.BeginWithLaidBoard();
        Announcements heard(game);
        now = now.addSecs(2);
        game.Tick();
        game.TogglePause();
        QCOMPARE(heard.take(), Lines({"time 2", "state 3", "paused", "board"}));
        QVERIFY(!game.IsClockRunning());
        now = now.addSecs(10);
        game.Tick();
        game.TogglePause();
        QCOMPARE(heard.take(), Lines({"state 1", "resumed", "board"}));
        now = now.addSecs(1);
        game.Tick();
        QCOMPARE(heard.take(), Lines({"time 3"}));

        game.TogglePause();
        heard.take();
        game.NewGame();
        QCOMPARE(heard.take(), Lines({"state 8", "resumed", "time 0", "mines 1", "board"}));
        QVERIFY(!game.IsPaused());
    }

    void pauseOnAFreshBoardLeavesTheClockStopped()
    {
        TMineGame game(TMines::TStoreUse::None);
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
        TMineGame game(TMines::TStoreUse::None);
        game.Model().Borders = false;
        QVERIFY(BoardPicture::SetPicture(game.Model(), {"*....", ".....", "....*", "....."}));
        game.BeginWithLaidBoard();
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
        TMineGame game(TMines::TStoreUse::None);
        game.Model().Borders = false;
        game.Model().Cols = quint8(cols);
        game.Model().Rows = quint8(rows);
        game.Model().Mines = cols * rows / 5;
        game.NewGame();
        SetRandomState(99);
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
        TMineGame diagonal(TMines::TStoreUse::None);
        TMineGame straight(TMines::TStoreUse::None);
        for (TMineGame *game : {&diagonal, &straight}) {
            game->Model().Borders = false;
            game->Model().Cols = 30;
            game->Model().Rows = 20;
            game->Model().Mines = 99;
            game->NewGame();
            SetRandomState(5);
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

private:
    QDateTime now;
    TWallClockSource previousClock;
};

QTEST_GUILESS_MAIN(GameObjectTest)
#include "test_game.moc"
