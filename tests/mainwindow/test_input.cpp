// Board input: Clear Neighbour and the
// marking cycle through the mouse, the middle button, both press modes on a
// fresh board, a press that survives "New", presses while paused, and a win
// reached in the same processing that uncovered a mine.

#include "FormFixture.h"

#include "controls/Counter.h"
#include "controls/Resources.h"
#include "records/BestForm.h"
#include "support/MessageRecorder.h"

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <QtTest>

using namespace FerroxRes;

class InputTest : public QObject
{
    Q_OBJECT

private slots:
    void clearNeighbourThroughMouse();
    void clearNeighbourWithWrongMarkLoses();
    void markingCycleWithoutQuestionMarks();
    void middleButtonDoesNothing();
    void windowsPressFirstOpeningAtRelease();
    void windowsPressOnMarkedCell();
    void pressSurvivesNewGame();
    void pausedBoardIgnoresBothPressModes();
    void winInSameProcessingAsMine();
};

namespace
{
// EasyBoard with the 3 at (2, 1) open.
const QStringList NumberBesideMines = {"**......", "**3.....", "**......", "*.......",
                                       "........", "........", "......**", "......*."};
} // namespace

void InputTest::clearNeighbourThroughMouse()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    // An open number with covered safe neighbours.
    QVERIFY(fixture.lay(NumberBesideMines));
    const int col = 2;
    const int row = 1;
    QList<QPoint> mines;
    QList<QPoint> safe;
    for (const QPoint &n : Neighbours(form, col, row)) {
        if (fixture.cell(n.x(), n.y()).IsMine)
            mines.append(n);
        else if (fixture.cell(n.x(), n.y()).State == msCovered)
            safe.append(n);
    }
    QCOMPARE(mines.size(), int(fixture.cell(col, row).MinesAround));

    // Too few marks: nothing opens.
    for (int i = 0; i + 1 < mines.size(); ++i)
        fixture.click(mines[i].x(), mines[i].y(), Qt::RightButton);
    fixture.click(col, row);
    for (const QPoint &n : safe)
        QCOMPARE(fixture.cell(n.x(), n.y()).State, msCovered);

    // Enough marks but Clear Neighbour off: nothing opens either.
    fixture.click(mines.last().x(), mines.last().y(), Qt::RightButton);
    Find<QAction>(form, "MONBour")->trigger();
    QVERIFY(!form.Game().Model().ClearNeighbours);
    fixture.click(col, row);
    for (const QPoint &n : safe)
        QCOMPARE(fixture.cell(n.x(), n.y()).State, msCovered);

    // Switched on again, the click opens every unmarked neighbour; the
    // marks and the mines counter stay.
    Find<QAction>(form, "MONBour")->trigger();
    fixture.click(col, row);
    const QImage board = BoardShot(form);
    for (const QPoint &n : safe)
        QCOMPARE(fixture.cell(n.x(), n.y()).State, msOpen);
    for (const QPoint &m : mines) {
        QCOMPARE(fixture.cell(m.x(), m.y()).State, msFlagged);
        QVERIFY(ShowsTile(form, board, m.x(), m.y(), tiMine));
    }
    QCOMPARE(Find<TCounter>(form, "MineCount")->Value(), QString::number(10 - mines.size()));
    QVERIFY(form.Game().Model().ChangedCells.isEmpty());
}

void InputTest::clearNeighbourWithWrongMarkLoses()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    // An open number with a covered safe neighbour to mark wrongly.
    QVERIFY(fixture.lay(NumberBesideMines));
    const int col = 2;
    const int row = 1;
    QList<QPoint> mines;
    QPoint wrong(-1, -1);
    for (const QPoint &n : Neighbours(form, col, row)) {
        if (fixture.cell(n.x(), n.y()).IsMine)
            mines.append(n);
        else if (fixture.cell(n.x(), n.y()).State == msCovered)
            wrong = n;
    }
    // Every mine but the first marked, and one safe cell instead of it.
    for (int i = 1; i < mines.size(); ++i)
        fixture.click(mines[i].x(), mines[i].y(), Qt::RightButton);
    fixture.click(wrong.x(), wrong.y(), Qt::RightButton);

    MessageRecorder boxes;
    fixture.click(col, row);
    QCOMPARE(form.Game().State(), quint8(gsOver));
    QVERIFY(!form.Game().IsClockRunning());
    QCOMPARE(fixture.cell(mines[0].x(), mines[0].y()).State, msExploded);
    QCOMPARE(fixture.cell(wrong.x(), wrong.y()).State, msWrongFlag);
    const QImage board = BoardShot(form);
    QVERIFY(ShowsTile(form, board, mines[0].x(), mines[0].y(), tiExploded));
    QVERIFY(ShowsTile(form, board, wrong.x(), wrong.y(), tiWrongFlag));
    for (int i = 1; i < mines.size(); ++i)
        QVERIFY(ShowsTile(form, board, mines[i].x(), mines[i].y(), tiFoundMine));
    QVERIFY(!form.Records().HasRecord());
    QVERIFY(boxes.boxes.isEmpty());
}

void InputTest::markingCycleWithoutQuestionMarks()
{
    FormFixture fixture;
    fixture.store("QUESTION", 0);
    TMineForm &form = fixture.start();
    QVERIFY(fixture.lay(EasyBoard));
    const int col = 5;
    const int row = 5;
    fixture.click(col, row, Qt::RightButton);
    QCOMPARE(fixture.cell(col, row).State, msFlagged);
    QCOMPARE(Find<TCounter>(form, "MineCount")->Value(), QString("9"));
    fixture.click(col, row, Qt::RightButton);
    QCOMPARE(fixture.cell(col, row).State, msCovered);
    QCOMPARE(Find<TCounter>(form, "MineCount")->Value(), QString("10"));
    QVERIFY(ShowsTile(form, BoardShot(form), col, row, tiCovered));

    // A question mark set while the option was on leaves at the next press.
    Find<QAction>(form, "MOQuestion")->trigger();
    QVERIFY(form.Game().Model().QuestionMarks);
    fixture.click(col, row, Qt::RightButton);
    fixture.click(col, row, Qt::RightButton);
    QCOMPARE(fixture.cell(col, row).State, msQuestion);
    Find<QAction>(form, "MOQuestion")->trigger();
    QVERIFY(!form.Game().Model().QuestionMarks);
    QCOMPARE(fixture.cell(col, row).State, msQuestion);
    fixture.click(col, row, Qt::RightButton);
    QCOMPARE(fixture.cell(col, row).State, msCovered);
    QCOMPARE(Find<TCounter>(form, "MineCount")->Value(), QString("10"));
}

void InputTest::middleButtonDoesNothing()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    fixture.click(3, 3, Qt::MiddleButton);
    QCOMPARE(form.Game().State(), quint8(gsFresh));
    QCOMPARE(fixture.cell(3, 3).State, msCovered);
    QVERIFY(!form.Game().IsClockRunning());

    QVERIFY(fixture.lay(EasyBoard));
    fixture.click(5, 5, Qt::MiddleButton);
    QCOMPARE(fixture.cell(5, 5).State, msCovered);
    QCOMPARE(Find<TCounter>(form, "MineCount")->Value(), QString("10"));
}

void InputTest::windowsPressFirstOpeningAtRelease()
{
    FormFixture fixture;
    fixture.store("WINPRESS", 1);
    TMineForm &form = fixture.start();
    const QPoint pressed = fixture.cellPoint(1, 1);
    const QPoint released = fixture.cellPoint(6, 5);

    // A right press on the fresh board neither marks nor starts anything.
    fixture.click(6, 5, Qt::RightButton);
    QCOMPARE(fixture.cell(6, 5).State, msCovered);
    QCOMPARE(form.Game().State(), quint8(gsFresh));

    fixture.move(pressed);
    fixture.press(pressed);
    QCOMPARE(form.Game().State(), quint8(gsFresh)); // the mines wait for the release
    QVERIFY(!form.Game().IsClockRunning());
    fixture.move(released);
    fixture.release(released);
    QCOMPARE(form.Game().State(), quint8(gsPlaying));
    QVERIFY(form.Game().IsClockRunning());
    QVERIFY(!fixture.cell(6, 5).IsMine);
    QCOMPARE(fixture.cell(6, 5).State, msOpen);
    int mines = 0;
    for (int c = 0; c < 8; ++c)
        for (int r = 0; r < 8; ++r)
            mines += fixture.cell(c, r).IsMine ? 1 : 0;
    QCOMPARE(mines, 10);
}

void InputTest::windowsPressOnMarkedCell()
{
    FormFixture fixture;
    fixture.store("WINPRESS", 1);
    TMineForm &form = fixture.start();
    QVERIFY(fixture.lay(EasyBoard));
    const int col = 5;
    const int row = 5;
    fixture.click(col, row, Qt::RightButton);
    QCOMPARE(fixture.cell(col, row).State, msFlagged);

    const QPoint point = fixture.cellPoint(col, row);
    fixture.move(point);
    fixture.press(point);
    QCOMPARE(form.Game().PressState(), TPressState::psPressed);
    QVERIFY(ShowsTile(form, BoardShot(form), col, row, tiMine));
    fixture.release(point);
    QCOMPARE(form.Game().PressState(), TPressState::psNone);
    QCOMPARE(fixture.cell(col, row).State, msFlagged);
    QCOMPARE(form.Game().State(), quint8(gsPlaying));

    // A question mark under the press shows the pressed question tile.
    fixture.click(col, row, Qt::RightButton);
    QCOMPARE(fixture.cell(col, row).State, msQuestion);
    fixture.press(point);
    QVERIFY(ShowsTile(form, BoardShot(form), col, row, tiQuestionPressed));
    fixture.release(point);
    QCOMPARE(fixture.cell(col, row).State, msOpen);
}

void InputTest::pressSurvivesNewGame()
{
    FormFixture fixture;
    fixture.store("WINPRESS", 1);
    TMineForm &form = fixture.start();
    fixture.click(0, 0);
    QCOMPARE(form.Game().State(), quint8(gsPlaying));

    const QPoint point = fixture.cellPoint(5, 6);
    fixture.move(point);
    fixture.press(point);
    QCOMPARE(form.Game().PressState(), TPressState::psPressed);
    Find<QAction>(form, "MGNew")->trigger();
    QCOMPARE(form.Game().State(), quint8(gsFresh));
    QCOMPARE(form.Game().PressState(), TPressState::psPressed);
    // The new board shows the held press.
    QVERIFY(ShowsTile(form, BoardShot(form), 5, 6, tiPressed));

    // Its release is the new game's first opening.
    fixture.release(point);
    QCOMPARE(form.Game().State(), quint8(gsPlaying));
    QCOMPARE(fixture.cell(5, 6).State, msOpen);
    QVERIFY(!fixture.cell(5, 6).IsMine);
}

void InputTest::pausedBoardIgnoresBothPressModes()
{
    for (const bool windowsPress : {false, true}) {
        FormFixture fixture;
        fixture.store("WINPRESS", windowsPress ? 1 : 0);
        TMineForm &form = fixture.start();
        QVERIFY(fixture.lay(EasyBoard));
        const int col = 5;
        const int row = 5;

        Find<QAction>(form, "MOPause")->trigger();
        const QImage hidden = BoardShot(form);
        fixture.click(col, row);
        QCOMPARE(form.Game().PressState(), TPressState::psNone);
        fixture.click(col, row, Qt::RightButton);
        QCOMPARE(fixture.cell(col, row).State, msCovered);
        QCOMPARE(Find<TCounter>(form, "MineCount")->Value(), QString("10"));
        QCOMPARE(form.Game().State(), quint8(gsPlaying | gsPaused));
        QCoreApplication::processEvents();
        QCOMPARE(BoardShot(form), hidden);
        Find<QAction>(form, "MOPause")->trigger();
    }
}

void InputTest::winInSameProcessingAsMine()
{
    FormFixture fixture;
    fixture.store("CROSS", 1);
    TMineForm &form = fixture.start();
    RecordDialogCloser closer;
    // The last covered safe cell, (1, 1), next to a covered mine.
    const int col = 1;
    const int row = 1;
    const QPoint mine(0, 0);
    QVERIFY(fixture.lay({"*ooooooo", "o.oooooo", "oooooooo", "oooooooo", "oooooooo", "oooooooo",
                         "oooooooo", "ooooooo*"}));
    QCOMPARE(form.Game().Model().CoveredSafe, 1);

    // A shift-click in the safe cell near the mine's side: the probes queue
    // the mine, the click the last safe cell.
    auto towards = [](int from, int to) { return to > from ? 16 : to < from ? 0 : 8; };
    const QPoint point =
        fixture.cellPoint(col, row, {towards(col, mine.x()), towards(row, mine.y())});
    fixture.move(point);
    fixture.press(point, Qt::LeftButton, Qt::ShiftModifier);
    fixture.release(point, Qt::LeftButton, Qt::ShiftModifier);

    QVERIFY(form.Game().Model().IsWon());
    QCOMPARE(form.Game().State(), quint8(gsOver));
    QVERIFY(!form.Game().IsClockRunning());
    QCOMPARE(closer.closed, 1);
    QVERIFY(form.Records().HasRecord());
    const QImage board = BoardShot(form);
    for (int c = 0; c < 8; ++c)
        for (int r = 0; r < 8; ++r)
            if (fixture.cell(c, r).IsMine) {
                QCOMPARE(fixture.cell(c, r).State, msFoundMine);
                QVERIFY(ShowsTile(form, board, c, r, tiFoundMine));
            }
}

QTEST_MAIN(InputTest)
#include "test_input.moc"
