// Board rendering: the tile for every cell state
// and game phase, the digits' colours and place, and which cells an opening,
// a mark and a clock tick repaint.

#include "FormFixture.h"

#include "controls/Resources.h"

#include <QAction>
#include <QSet>
#include <QtTest>

using namespace FerroxRes;

namespace
{

// Records the cells the grid paints, passing each paint on to the window.
class PaintRecorder
{
public:
    explicit PaintRecorder(TMineForm &form)
        : grid(form.MineGrid), previous(form.MineGrid->OnDrawCell)
    {
        grid->OnDrawCell = [this](TcpDrawGrid *sender, QPainter &canvas, int col, int row,
                                  const QRect &rect) {
            painted.append(QPoint(col, row));
            previous(sender, canvas, col, row, rect);
        };
    }
    ~PaintRecorder() { grid->OnDrawCell = previous; }
    QSet<QPoint> cells() const { return QSet<QPoint>(painted.cbegin(), painted.cend()); }

    TcpDrawGrid *grid;
    TDrawCellEvent previous;
    QList<QPoint> painted;
};

QSet<QPoint> CellsIn(TMineForm &form, TMineState state)
{
    QSet<QPoint> result;
    for (int c = 0; c < form.Mines->Cols; ++c)
        for (int r = 0; r < form.Mines->Rows; ++r)
            if (form.Mines->Cells[c][r]->State == state)
                result.insert(QPoint(c, r));
    return result;
}

} // namespace

class PaintTest : public QObject
{
    Q_OBJECT

private slots:
    void tileForEveryStateAndPhase();
    void digitColoursAndPlace();
    void openingRepaintsOnlyUncoveredCells();
    void markingRepaintsOneCell();
    void leftoverChangedCellsAfterEnd();
};

void PaintTest::tileForEveryStateAndPhase()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    TMineField &cell = fixture.cell(2, 3);
    TMineField &other = fixture.cell(5, 3);
    struct Case {
        TMineState state;
        bool mine;
        quint8 phase;
        int press; // PressState
        bool pressedHere;
        int tile;
    };
    const Case cases[] = {
        {msOpen, false, gsPlaying, 0, false, tiOpen},
        {msOpen, true, gsPlaying, 0, false, tiOpen},
        {msOpen, true, gsOver, 0, false, tiMine},
        {msOpen, false, gsOver, 0, false, tiOpen},
        {msCovered, false, gsPlaying, 0, false, tiCovered},
        {msCovered, false, gsPlaying, 1, true, tiPressed},
        {msCovered, false, gsFresh, 1, true, tiPressed},
        {msCovered, false, gsPlaying, -1, true, tiCovered},
        {msCovered, false, gsPlaying, 1, false, tiCovered},
        {msFlagged, false, gsPlaying, 0, false, tiMine},
        {msFlagged, true, gsPlaying, 1, true, tiMine},
        {msQuestion, false, gsPlaying, 0, false, tiQuestion},
        {msQuestion, false, gsPlaying, 1, true, tiQuestionPressed},
        {msQuestion, false, gsPlaying, -1, true, tiQuestion},
        {msExploded, true, gsOver, 0, false, tiExploded},
        {msWrongFlag, false, gsOver, 0, false, tiWrongFlag},
        {msFoundMine, true, gsOver, 0, false, tiFoundMine},
    };
    for (const Case &c : cases) {
        cell.State = c.state;
        cell.IsMine = c.mine;
        form.GameState = c.phase;
        form.PressState = c.press;
        form.PressedCol = c.pressedHere ? 2 : 5;
        form.PressedRow = 3;
        other.State = msCovered;
        QCOMPARE(form.TileFor(2, 3), c.tile);
        // The board is hidden while paused, whatever the cell holds.
        form.GameState = c.phase | gsPaused;
        QCOMPARE(form.TileFor(2, 3), int(tiCovered));
    }
    form.PressState = 0;
    form.MGNew->trigger();
}

void PaintTest::digitColoursAndPlace()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    const QColor colours[] = {{},          {0, 0, 255},   {0, 128, 0},   {0, 255, 255},
                              {255, 0, 0}, {128, 0, 128}, {255, 255, 0}, {255, 255, 255},
                              {128, 0, 0}};
    const QImage open = Normalised(form.Tiles[tiOpen].toImage());
    form.GameState = gsPlaying;
    for (int count = 0; count <= 8; ++count) {
        const int col = count % 8;
        const int row = count / 8 + 2;
        TMineField &cell = fixture.cell(col, row);
        cell.State = msOpen;
        cell.MinesAround = quint8(count);
        form.RepaintCell(col, row);
        const QImage shot = CellShot(BoardShot(form), col, row);
        if (count == 0) {
            QCOMPARE(shot, open); // the open tile alone
            continue;
        }
        // The open tile left of the box; the box from 4 pixels in, on its
        // grey, the digit in its colour; no other colour but the two greys
        // and the separator's black, outside the box.
        for (int y = 0; y < CellSize; ++y)
            for (int x = 0; x < 4; ++x)
                QCOMPARE(shot.pixel(x, y), open.pixel(x, y));
        QCOMPARE(QColor(shot.pixel(4, 0)), QColor(191, 191, 191));
        bool digit = false;
        for (int y = 0; y < CellSize; ++y)
            for (int x = 4; x < CellSize; ++x)
                digit = digit || QColor(shot.pixel(x, y)) == colours[count];
        QVERIFY2(digit, qPrintable(QString("no digit %1 in its colour").arg(count)));

        // While paused: the covered tile, no digit.
        form.GameState = gsPlaying | gsPaused;
        form.RepaintCell(col, row);
        QCOMPARE(CellShot(BoardShot(form), col, row), Normalised(form.Tiles[tiCovered].toImage()));
        form.GameState = gsPlaying;
    }

    // An open mine after the end shows the mine, with no digit over it.
    TMineField &mine = fixture.cell(0, 5);
    mine.State = msOpen;
    mine.IsMine = true;
    mine.MinesAround = 2;
    form.GameState = gsOver;
    form.RepaintCell(0, 5);
    QVERIFY(ShowsTile(form, BoardShot(form), 0, 5, tiMine));
    form.MGNew->trigger();
}

void PaintTest::openingRepaintsOnlyUncoveredCells()
{
    FormFixture fixture;
    fixture.store("SIZE", 1);
    TMineForm &form = fixture.start();
    fixture.click(0, 0);

    // An empty covered cell: its opening uncovers a region of several cells.
    int col = 0;
    int row = 0;
    QVERIFY(FindCell(
        form,
        [&](int c, int r) {
            const TMineField &cell = fixture.cell(c, r);
            return cell.State == msCovered && !cell.IsMine && cell.MinesAround == 0;
        },
        col, row));
    const QSet<QPoint> coveredBefore = CellsIn(form, msCovered);
    const QPoint point = fixture.cellPoint(col, row);
    fixture.move(point);
    QCoreApplication::processEvents();

    PaintRecorder paints(form);
    fixture.press(point);
    const QSet<QPoint> uncovered = coveredBefore - CellsIn(form, msCovered);
    QVERIFY(uncovered.size() > 1);
    QVERIFY(form.Mines->ChangedCells.isEmpty());
    // Each uncovered cell is painted once, and nothing else is.
    QCOMPARE(paints.cells(), uncovered);
    QCOMPARE(paints.painted.size(), uncovered.size());
    const QImage board = BoardShot(form);
    for (const QPoint &cell : uncovered)
        if (fixture.cell(cell.x(), cell.y()).MinesAround == 0)
            QVERIFY(ShowsTile(form, board, cell.x(), cell.y(), tiOpen));
    fixture.release(point);

    // A clock tick paints no cell.
    paints.painted.clear();
    fixture.advanceSeconds(1);
    form.STimerTimer();
    QCoreApplication::processEvents();
    QVERIFY(paints.painted.isEmpty());
}

void PaintTest::markingRepaintsOneCell()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    fixture.click(0, 0);
    int col = 0;
    int row = 0;
    QVERIFY(FindCell(
        form, [&](int c, int r) { return fixture.cell(c, r).State == msCovered; }, col, row));
    const QPoint point = fixture.cellPoint(col, row);
    fixture.move(point);
    QCoreApplication::processEvents();

    PaintRecorder paints(form);
    fixture.press(point, Qt::RightButton);
    QCOMPARE(paints.painted, QList<QPoint>({QPoint(col, row)}));
    QCOMPARE(fixture.cell(col, row).State, msFlagged);
    QVERIFY(ShowsTile(form, BoardShot(form), col, row, tiMine));
    fixture.release(point, Qt::RightButton);
}

void PaintTest::leftoverChangedCellsAfterEnd()
{
    FormFixture fixture;
    fixture.store("SIZE", 1);
    fixture.store("CROSS", 1);
    TMineForm &form = fixture.start();
    fixture.click(8, 8);

    // A covered safe cell at column 8 or more with a covered mine to its
    // right: a shift-click near their common side opens both, and the game
    // is lost with the safe cell still waiting in ChangedCells.
    int col = 0;
    int row = 0;
    QVERIFY(FindCell(
        form,
        [&](int c, int r) {
            return c >= 8 && c + 1 < 16 && fixture.cell(c, r).State == msCovered &&
                   !fixture.cell(c, r).IsMine && fixture.cell(c + 1, r).State == msCovered &&
                   fixture.cell(c + 1, r).IsMine;
        },
        col, row));
    const QPoint point = fixture.cellPoint(col, row, {16, 8});
    fixture.move(point);
    fixture.press(point, Qt::LeftButton, Qt::ShiftModifier);
    fixture.release(point, Qt::LeftButton, Qt::ShiftModifier);
    QCOMPARE(form.GameState, quint8(gsOver));
    QCOMPARE(fixture.cell(col + 1, row).State, msExploded);
    QVERIFY(!form.Mines->ChangedCells.isEmpty());

    // The next repaint of changed cells, on a smaller board where they lie
    // outside, takes them out and paints nothing wrong.
    form.MGEasy->trigger();
    QCOMPARE(form.Mines->Cols, quint8(8));
    fixture.click(3, 3);
    QCOMPARE(form.GameState & gsOver, 0);
    QVERIFY(form.Mines->ChangedCells.isEmpty());
    const QImage board = BoardShot(form);
    for (int c = 0; c < 8; ++c)
        for (int r = 0; r < 8; ++r)
            if (fixture.cell(c, r).State == msCovered)
                QVERIFY(ShowsTile(form, board, c, r, tiCovered));
}

QTEST_MAIN(PaintTest)
#include "test_paint.moc"
