// Playing on the main window with the mouse: painting, openings, marks,
// the press modes, the cross-pointer probes and the end of a game.

#include "FormFixture.h"

#include "controls/BevelPanel.h"
#include "controls/Counter.h"
#include "controls/Resources.h"
#include "controls/StatusPanels.h"
#include "controls/fxRepeatBtn.h"
#include "records/BestForm.h"
#include "records/BestRecords.h"
#include "support/MessageRecorder.h"

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace FerroxRes;

namespace
{

int OpenCells(TMineForm &form)
{
    int open = 0;
    for (int c = 0; c < form.Game().Model().Cols; ++c)
        for (int r = 0; r < form.Game().Model().Rows; ++r)
            open += form.Game().Model().Cells[c][r]->State == msOpen ? 1 : 0;
    return open;
}

} // namespace

class GameTest : public QObject
{
    Q_OBJECT

private slots:
    void freshBoardShowsCoveredTiles();
    void firstClickLaysMinesAndStartsClock();
    void openNumberShowsDigit();
    void markingCycleAndMinesCounter();
    void wonGameThroughMouse();
    void lostGameThroughMouse();
    void windowsPressFollowsPointer();
    void windowsPressReleasedOffBoard();
    void crossPointerProbes();
    void noGuessingGamesKeepTheirOwnTimes();
};

void GameTest::freshBoardShowsCoveredTiles()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    const QImage board = BoardShot(form);
    QCOMPARE(board.size(), QSize(136, 136));
    for (int c = 0; c < 8; ++c)
        for (int r = 0; r < 8; ++r)
            QVERIFY(ShowsTile(form, board, c, r, tiCovered));
}

void GameTest::firstClickLaysMinesAndStartsClock()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();

    // A right press on a fresh board changes nothing.
    fixture.click(3, 3, Qt::RightButton);
    QCOMPARE(fixture.cell(3, 3).State, msCovered);
    QCOMPARE(Find<TCounter>(form, "MineCount")->Value(), QString("10"));

    fixture.click(3, 3);
    QCOMPARE(fixture.cell(3, 3).State, msOpen);
    QVERIFY(!fixture.cell(3, 3).IsMine);
    QCOMPARE(form.Game().State(), quint8(gsPlaying));
    QVERIFY(form.Game().IsClockRunning());
    QVERIFY(form.Game().Model().ChangedCells.isEmpty());
    const QImage board = BoardShot(form);
    for (int c = 0; c < 8; ++c)
        for (int r = 0; r < 8; ++r) {
            const TMineField &cell = fixture.cell(c, r);
            if (cell.State == msCovered)
                QVERIFY(ShowsTile(form, board, c, r, tiCovered));
            else if (cell.MinesAround == 0)
                QVERIFY(ShowsTile(form, board, c, r, tiOpen));
        }
}

void GameTest::openNumberShowsDigit()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    QVERIFY(fixture.lay(EasyBoard));
    const int col = 2; // two mines around
    const int row = 0;
    fixture.click(col, row);
    const QColor colours[] = {{},          {0, 0, 255},   {0, 128, 0},   {0, 255, 255},
                              {255, 0, 0}, {128, 0, 128}, {255, 255, 0}, {255, 255, 255},
                              {128, 0, 0}};
    const QImage cell = CellShot(BoardShot(form), col, row);
    const QImage open = Normalised(form.Grid()->Tile(tiOpen).toImage());
    // Left of the digit's box the open tile shows; the box starts 4 pixels in
    // on its grey background and holds the digit in its colour.
    for (int y = 0; y < CellSize; ++y)
        for (int x = 0; x < 4; ++x)
            QCOMPARE(cell.pixel(x, y), open.pixel(x, y));
    QCOMPARE(QColor(cell.pixel(4, 0)), QColor(191, 191, 191));
    bool digitSeen = false;
    for (int y = 0; y < CellSize; ++y)
        for (int x = 4; x < CellSize; ++x)
            digitSeen = digitSeen ||
                        QColor(cell.pixel(x, y)) == colours[fixture.cell(col, row).MinesAround];
    QVERIFY(digitSeen);
}

void GameTest::markingCycleAndMinesCounter()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    QVERIFY(fixture.lay(EasyBoard));
    const int col = 5;
    const int row = 5;

    fixture.click(col, row, Qt::RightButton);
    QCOMPARE(fixture.cell(col, row).State, msFlagged);
    QCOMPARE(Find<TCounter>(form, "MineCount")->Value(), QString("9"));
    QVERIFY(ShowsTile(form, BoardShot(form), col, row, tiMine));
    // A left press on a marked cell opens nothing.
    fixture.click(col, row);
    QCOMPARE(fixture.cell(col, row).State, msFlagged);

    fixture.click(col, row, Qt::RightButton);
    QCOMPARE(fixture.cell(col, row).State, msQuestion);
    QCOMPARE(Find<TCounter>(form, "MineCount")->Value(), QString("10"));
    QVERIFY(ShowsTile(form, BoardShot(form), col, row, tiQuestion));
    fixture.click(col, row, Qt::RightButton);
    QCOMPARE(fixture.cell(col, row).State, msCovered);

    // Eleven flags on ten mines.
    int flags = 0;
    for (int c = 0; c < 8 && flags < 11; ++c)
        for (int r = 0; r < 8 && flags < 11; ++r)
            if (fixture.cell(c, r).State == msCovered) {
                fixture.click(c, r, Qt::RightButton);
                ++flags;
            }
    QCOMPARE(flags, 11);
    QCOMPARE(Find<TCounter>(form, "MineCount")->Value(), QString("-1"));
}

void GameTest::wonGameThroughMouse()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    RecordDialogCloser closer;
    QVERIFY(fixture.lay(EasyBoard));
    fixture.advanceSeconds(7);
    fixture.tick();
    QCOMPARE(Find<TCounter>(form, "TimeCount")->Value(), QString("7"));

    // One correct flag shows as found, like every other mine after a win.
    fixture.click(0, 0, Qt::RightButton);

    for (int c = 0; c < 8; ++c)
        for (int r = 0; r < 8; ++r)
            if (!fixture.cell(c, r).IsMine && fixture.cell(c, r).State == msCovered)
                fixture.click(c, r);

    QVERIFY(form.Game().Model().IsWon());
    QCOMPARE(form.Game().State(), quint8(gsOver));
    QVERIFY(!form.Game().IsClockRunning());
    QCOMPARE(closer.closed, 1);
    const QImage board = BoardShot(form);
    for (int c = 0; c < 8; ++c)
        for (int r = 0; r < 8; ++r)
            if (fixture.cell(c, r).IsMine)
                QVERIFY(ShowsTile(form, board, c, r, tiFoundMine));

    // The first win of the configuration is its record.
    QVERIFY(form.Records().HasRecord());
    QCOMPARE(Find<TStatusPanels>(form, "TheStatusBar")->PanelText(1), QString("7"));
    TBestRecord stored;
    QVERIFY(::LoadBestRecord(stored, 8, 8, 10, fixture.dir.path()));
    QCOMPARE(stored.BestTime, 7);

    // After the end only "New" changes the board; a right press is one.
    fixture.click(0, 0);
    QCOMPARE(form.Game().State(), quint8(gsOver));
    fixture.click(0, 0, Qt::RightButton);
    QCOMPARE(form.Game().State(), quint8(gsFresh));
    QCOMPARE(Find<TCounter>(form, "TimeCount")->Value(), QString("000"));
}

void GameTest::lostGameThroughMouse()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    QVERIFY(fixture.lay(EasyBoard));

    const int mineCol = 1, mineRow = 1, flagCol = 0, flagRow = 0, wrongCol = 5, wrongRow = 5;
    fixture.click(flagCol, flagRow, Qt::RightButton);
    fixture.click(wrongCol, wrongRow, Qt::RightButton);

    MessageRecorder boxes;
    fixture.click(mineCol, mineRow);
    QCOMPARE(form.Game().State(), quint8(gsOver));
    QVERIFY(!form.Records().HasRecord());
    QVERIFY(!QFile::exists(fixture.dir.filePath(BestRecordsFileName)));

    const QImage board = BoardShot(form);
    QVERIFY(ShowsTile(form, board, mineCol, mineRow, tiExploded));
    QVERIFY(ShowsTile(form, board, flagCol, flagRow, tiFoundMine));
    QVERIFY(ShowsTile(form, board, wrongCol, wrongRow, tiWrongFlag));
    for (int c = 0; c < 8; ++c)
        for (int r = 0; r < 8; ++r)
            if (fixture.cell(c, r).IsMine && fixture.cell(c, r).State == msOpen)
                QVERIFY(ShowsTile(form, board, c, r, tiMine));

    // Left presses do nothing now; the clock has stopped.
    const int open = OpenCells(form);
    fixture.click(wrongCol, wrongRow);
    QCOMPARE(OpenCells(form), open);
    QVERIFY(!form.Game().IsClockRunning());

    fixture.click(0, 0, Qt::RightButton);
    const QImage fresh = BoardShot(form);
    for (int c = 0; c < 8; ++c)
        for (int r = 0; r < 8; ++r)
            QVERIFY(ShowsTile(form, fresh, c, r, tiCovered));
    QVERIFY(boxes.boxes.isEmpty());
}

void GameTest::windowsPressFollowsPointer()
{
    FormFixture fixture;
    fixture.store("WINPRESS", 1);
    TMineForm &form = fixture.start();
    // Two covered numbered neighbours: opening one leaves the other covered.
    QVERIFY(fixture.lay({"*..*....", "........", "........", "........", "........", "........",
                         "........", "********"}));
    const int col = 1;
    const int row = 0;

    const QPoint first = fixture.cellPoint(col, row);
    const QPoint second = fixture.cellPoint(col + 1, row);
    fixture.move(first);
    fixture.press(first);
    QCOMPARE(form.Game().PressState(), TPressState::psPressed);
    QCOMPARE(fixture.cell(col, row).State, msCovered); // opens at the release
    QVERIFY(ShowsTile(form, BoardShot(form), col, row, tiPressed));

    fixture.move(second);
    QImage board = BoardShot(form);
    QVERIFY(ShowsTile(form, board, col, row, tiCovered));
    QVERIFY(ShowsTile(form, board, col + 1, row, tiPressed));

    fixture.release(second);
    QCOMPARE(form.Game().PressState(), TPressState::psNone);
    QCOMPARE(fixture.cell(col + 1, row).State, msOpen);
    QCOMPARE(fixture.cell(col, row).State, msCovered);
    QCoreApplication::processEvents();
    board = BoardShot(form);
    QVERIFY(ShowsTile(form, board, col, row, tiCovered));
}

void GameTest::windowsPressReleasedOffBoard()
{
    FormFixture fixture;
    fixture.store("WINPRESS", 1);
    TMineForm &form = fixture.start();
    const QPoint inside = fixture.cellPoint(2, 2);
    const QPoint outside(40, -20); // over the title panel above the board

    fixture.move(inside);
    fixture.press(inside);
    fixture.move(outside);
    QCOMPARE(form.Game().PressState(), TPressState::psLeftBoard);
    QVERIFY(ShowsTile(form, BoardShot(form), 2, 2, tiCovered));

    // Coming back with the button held presses again.
    fixture.move(inside);
    QCOMPARE(form.Game().PressState(), TPressState::psPressed);
    QVERIFY(ShowsTile(form, BoardShot(form), 2, 2, tiPressed));

    fixture.move(outside);
    fixture.release(outside);
    QCOMPARE(form.Game().PressState(), TPressState::psNone);
    QCOMPARE(form.Game().State(), quint8(gsFresh));
    QCOMPARE(OpenCells(form), 0);
    QCoreApplication::processEvents();
    const QImage board = BoardShot(form);
    for (int c = 0; c < 8; ++c)
        for (int r = 0; r < 8; ++r)
            QVERIFY(ShowsTile(form, board, c, r, tiCovered));

    // A press released while paused is over too: after the pause the
    // pressed look does not follow a pointer with no button held.
    fixture.move(inside);
    fixture.press(inside);
    Find<QAction>(form, "MOPause")->trigger();
    fixture.release(inside);
    Find<QAction>(form, "MOPause")->trigger();
    QCOMPARE(form.Game().PressState(), TPressState::psNone);
    fixture.move(fixture.cellPoint(3, 2));
    QVERIFY(ShowsTile(form, BoardShot(form), 3, 2, tiCovered));
}

void GameTest::crossPointerProbes()
{
    FormFixture fixture;
    fixture.store("CROSS", 1);
    TMineForm &form = fixture.start();
    QCOMPARE(form.Grid()->cursor().shape(), Qt::BitmapCursor);
    // Rows 1 and 2 are numbered cells all along.
    QVERIFY(fixture.lay({".*..*..*", "........", "........", ".*..*..*", "........", "........",
                         "........", "****...."}));
    int col = 2;
    int row = 1;

    // One pixel from the common corner of the four cells.
    const QPoint nearCorner = fixture.cellPoint(col, row, {16, 16});
    fixture.move(nearCorner);
    fixture.press(nearCorner, Qt::LeftButton, Qt::ShiftModifier);
    fixture.release(nearCorner, Qt::LeftButton, Qt::ShiftModifier);
    QCOMPARE(fixture.cell(col, row).State, msOpen);
    QCOMPARE(fixture.cell(col + 1, row).State, msOpen);
    QCOMPARE(fixture.cell(col, row + 1).State, msOpen);
    QCOMPARE(fixture.cell(col + 1, row + 1).State, msOpen);

    // Without Shift only the clicked cell opens.
    col = 5;
    const QPoint plain = fixture.cellPoint(col, row, {16, 16});
    fixture.move(plain);
    fixture.press(plain);
    fixture.release(plain);
    QCOMPARE(fixture.cell(col, row).State, msOpen);
    QCOMPARE(fixture.cell(col + 1, row).State, msCovered);
    QCOMPARE(fixture.cell(col + 1, row + 1).State, msCovered);

    // A mine under one arm ends the game.
    col = 0;
    row = 2;
    const QPoint towardsMine = fixture.cellPoint(col, row, {15, 15});
    fixture.move(towardsMine);
    fixture.press(towardsMine, Qt::LeftButton, Qt::ShiftModifier);
    fixture.release(towardsMine, Qt::LeftButton, Qt::ShiftModifier);
    QCOMPARE(form.Game().State(), quint8(gsOver));
    QCOMPARE(fixture.cell(col + 1, row + 1).State, msExploded);
}

// The status bar and a record follow the list of the game on the board: a
// board not laid yet follows the option, a board laid keeps its list.
void GameTest::noGuessingGamesKeepTheirOwnTimes()
{
    FormFixture fixture;
    QVERIFY(SaveBestRecord({8, 8, 10, 42, "Eve"}, fixture.dir.path()));
    QVERIFY(SaveBestRecord({8, 8, 10, 30, "Nia"}, fixture.dir.path(), TBestList::NoGuessing));
    TMineForm &form = fixture.start();
    RecordDialogCloser closer;
    auto *bar = Find<TStatusPanels>(form, "TheStatusBar");
    QCOMPARE(bar->PanelText(3), QString("Eve"));
    Find<QAction>(form, "MONoGuess")->trigger();
    QCOMPARE(bar->PanelText(3), QString("Nia"));

    QVERIFY(fixture.lay(EasyBoard));
    Find<QAction>(form, "MONoGuess")->trigger();
    QCOMPARE(bar->PanelText(3), QString("Nia"));
    // The option is off now: the caption says whose time it still is.
    QCOMPARE(bar->PanelText(0), QString("NG Best:"));
    fixture.advanceSeconds(7);
    fixture.tick();
    for (int c = 0; c < 8; ++c)
        for (int r = 0; r < 8; ++r)
            if (!fixture.cell(c, r).IsMine && fixture.cell(c, r).State == msCovered)
                fixture.click(c, r);
    QVERIFY(form.Game().Model().IsWon());
    QCOMPARE(closer.closed, 1);
    QCOMPARE(bar->PanelText(1), QString("7"));
    TBestRecord stored;
    QVERIFY(::LoadBestRecord(stored, 8, 8, 10, fixture.dir.path(), TBestList::NoGuessing));
    QCOMPARE(stored.BestTime, 7);
    QVERIFY(::LoadBestRecord(stored, 8, 8, 10, fixture.dir.path()));
    QCOMPARE(stored.BestTime, 42);

    Find<QAction>(form, "MGNew")->trigger();
    QCOMPARE(bar->PanelText(0), QString("Best Time:"));
    QCOMPARE(bar->PanelText(1), QString("42"));
    QCOMPARE(bar->PanelText(3), QString("Eve"));
}

QTEST_MAIN(GameTest)
#include "test_game.moc"
