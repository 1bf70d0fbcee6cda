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

// Records the cells the grid paints, from the regions of its paint events.
class PaintRecorder : public QObject
{
public:
    explicit PaintRecorder(TMineForm &form) : grid(form.Grid()) { grid->installEventFilter(this); }
    ~PaintRecorder() override { grid->removeEventFilter(this); }
    QSet<QPoint> cells() const { return QSet<QPoint>(painted.cbegin(), painted.cend()); }

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::Paint)
            return false;
        const QRect board(0, 0, grid->ColCount() * CellSize, grid->RowCount() * CellSize);
        for (const QRect &rect : static_cast<QPaintEvent *>(event)->region()) {
            const QRect area = rect & board;
            if (area.isEmpty())
                continue;
            for (int row = area.top() / CellSize; row <= area.bottom() / CellSize; ++row)
                for (int col = area.left() / CellSize; col <= area.right() / CellSize; ++col)
                    painted.append(QPoint(col, row));
        }
        return false;
    }

    TcpDrawGrid *grid;
    QList<QPoint> painted;
};

QSet<QPoint> CellsIn(TMineForm &form, TMineState state)
{
    QSet<QPoint> result;
    for (int c = 0; c < form.Game().Model().Cols; ++c)
        for (int r = 0; r < form.Game().Model().Rows; ++r)
            if (form.Game().Model().Cells[c][r]->State == state)
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
    void tilesStayEvenAtAnyScale();
};

void PaintTest::tileForEveryStateAndPhase()
{
    struct Case {
        TMineState state;
        bool mine;
        quint8 phase;
        bool pressed;
        int tile;
    };
    const Case cases[] = {
        {msOpen, false, gsPlaying, false, tiOpen},
        {msOpen, true, gsPlaying, false, tiOpen},
        {msOpen, true, gsOver, false, tiMine},
        {msOpen, false, gsOver, false, tiOpen},
        {msCovered, false, gsPlaying, false, tiCovered},
        {msCovered, false, gsPlaying, true, tiPressed},
        {msCovered, false, gsFresh, true, tiPressed},
        {msFlagged, false, gsPlaying, false, tiMine},
        {msFlagged, true, gsPlaying, true, tiMine},
        {msQuestion, false, gsPlaying, false, tiQuestion},
        {msQuestion, false, gsPlaying, true, tiQuestionPressed},
        {msExploded, true, gsOver, false, tiExploded},
        {msWrongFlag, false, gsOver, false, tiWrongFlag},
        {msFoundMine, true, gsOver, false, tiFoundMine},
    };
    for (const Case &c : cases) {
        TMineField cell;
        cell.State = c.state;
        cell.IsMine = c.mine;
        QCOMPARE(TBoardView::TileForCell(cell, c.phase, c.pressed), c.tile);
        // The board is hidden while paused, whatever the cell holds.
        QCOMPARE(TBoardView::TileForCell(cell, c.phase | gsPaused, c.pressed), int(tiCovered));
    }
}

void PaintTest::digitColoursAndPlace()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    const QColor colours[] = {{},          {0, 0, 255},   {0, 128, 0},   {0, 255, 255},
                              {255, 0, 0}, {128, 0, 128}, {255, 255, 0}, {255, 255, 255},
                              {128, 0, 0}};
    const QImage open = Normalised(form.Grid()->Tile(tiOpen).toImage());
    for (int count = 0; count <= 8; ++count) {
        // (1, 1) open, with `count` of its neighbours mines.
        const int col = 1;
        const int row = 1;
        QStringList picture(8, "........");
        picture[7][7] = '*';
        const QPoint around[] = {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {2, 1}, {0, 2}, {1, 2}, {2, 2}};
        for (int n = 0; n < count; ++n)
            picture[around[n].y()][around[n].x()] = '*';
        picture[row][col] = QChar('0' + count);
        QVERIFY(fixture.lay(picture));
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
        form.Game().TogglePause();
        QCOMPARE(CellShot(BoardShot(form), col, row),
                 Normalised(form.Grid()->Tile(tiCovered).toImage()));
        form.Game().TogglePause();
    }

    // An open mine after the end shows the mine, with no digit over it:
    // (0, 0) has two mines around it and is shown open after the loss.
    QVERIFY(fixture.lay({"**......", "*.......", "........", "........", "........", "........",
                         "........", "........"}));
    form.Game().Open(1, 0);
    QVERIFY(form.Game().IsOver());
    QCOMPARE(fixture.cell(0, 0).State, msOpen);
    QCOMPARE(fixture.cell(0, 0).MinesAround, quint8(2));
    QVERIFY(ShowsTile(form, BoardShot(form), 0, 0, tiMine));
    Find<QAction>(form, "MGNew")->trigger();
}

void PaintTest::openingRepaintsOnlyUncoveredCells()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    QVERIFY(fixture.lay(EasyBoard));

    // An empty covered cell: its opening uncovers a region of several cells.
    const int col = 4;
    const int row = 4;
    const QSet<QPoint> coveredBefore = CellsIn(form, msCovered);
    const QPoint point = fixture.cellPoint(col, row);
    fixture.move(point);
    QCoreApplication::processEvents();

    PaintRecorder paints(form);
    fixture.press(point);
    const QSet<QPoint> uncovered = coveredBefore - CellsIn(form, msCovered);
    QVERIFY(uncovered.size() > 1);
    QVERIFY(form.Game().Model().ChangedCells.isEmpty());
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
    fixture.tick();
    QCoreApplication::processEvents();
    QVERIFY(paints.painted.isEmpty());
}

void PaintTest::markingRepaintsOneCell()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    QVERIFY(fixture.lay(EasyBoard));
    const int col = 5;
    const int row = 5;
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

    // A covered safe cell at column 8 with a covered mine to its right: a
    // shift-click near their common side opens both, and the game is lost
    // with the safe cell still waiting in ChangedCells.
    QVERIFY(fixture.lay(
        {".........*......", "................", "................", "................",
         "................", "................", "................", "................",
         "................", "................", "................", "................",
         "................", "****************", "****************", "*******........."}));
    const int col = 8;
    const int row = 0;
    const QPoint point = fixture.cellPoint(col, row, {16, 8});
    fixture.move(point);
    fixture.press(point, Qt::LeftButton, Qt::ShiftModifier);
    fixture.release(point, Qt::LeftButton, Qt::ShiftModifier);
    QCOMPARE(form.Game().State(), quint8(gsOver));
    QCOMPARE(fixture.cell(col + 1, row).State, msExploded);
    // The cells the last opening uncovered are part of the ended game's
    // board, which is painted whole: nothing is left to repaint later.
    QVERIFY(form.Game().Model().ChangedCells.isEmpty());

    // A smaller board's next opening paints nothing wrong.
    Find<QAction>(form, "MGEasy")->trigger();
    QCOMPARE(form.Game().Model().Cols, quint8(8));
    fixture.click(3, 3);
    QCOMPARE(form.Game().State() & gsOver, 0);
    QVERIFY(form.Game().Model().ChangedCells.isEmpty());
    const QImage board = BoardShot(form);
    for (int c = 0; c < 8; ++c)
        for (int r = 0; r < 8; ++r)
            if (fixture.cell(c, r).State == msCovered)
                QVERIFY(ShowsTile(form, board, c, r, tiCovered));
}

// At 1.5 screen pixels per pixel the cells cover 25 and 26 pixels by
// turns; every covered tile must still show its light left edge equally
// wide, and the board must end where the cells end.
void PaintTest::tilesStayEvenAtAnyScale()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    for (qreal ratio : {1.0, 1.25, 1.5, 2.0}) {
        QImage board(form.Grid()->size() * ratio, QImage::Format_RGB32);
        board.setDevicePixelRatio(ratio);
        board.fill(Qt::magenta);
        form.Grid()->render(&board);
        // The white runs across the middle of the first row of cells: one
        // light left edge per covered tile.
        const int y = qRound(CellSize * ratio / 2);
        QList<int> runs;
        for (int x = 0; x < board.width(); ++x) {
            const bool white = board.pixel(x, y) == qRgb(255, 255, 255);
            if (white && (x == 0 || board.pixel(x - 1, y) != qRgb(255, 255, 255)))
                runs << 0;
            if (white)
                ++runs.last();
        }
        QCOMPARE(runs.size(), 8);
        QCOMPARE(QSet<int>(runs.begin(), runs.end()).size(), 1);
        QVERIFY(board.pixel(board.width() - 1, y) != QColor(Qt::magenta).rgb());
    }
}

QTEST_MAIN(PaintTest)
#include "test_paint.moc"
