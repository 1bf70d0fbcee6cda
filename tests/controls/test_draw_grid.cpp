#include "controls/GridCursor.h"
#include "controls/cpDrawGrid.h"

#include <QPainter>
#include <QtTest>

namespace
{

// A window with a 5 x 5 grid at (20, 20), three pixels wider than its
// cells so that a point past the last column lies inside the control.
struct Rig {
    QWidget window;
    TcpDrawGrid *grid = new TcpDrawGrid(&window);
    QStringList events;

    explicit Rig(bool assignAll = true)
    {
        window.resize(200, 160);
        grid->SetColCount(5);
        grid->SetRowCount(5);
        grid->setGeometry(20, 20, 5 * 17 + 3, 5 * 17);
        auto record = [this](const char *name) {
            return [this, name](int col, int row) {
                events << QStringLiteral("%1(%2,%3)").arg(QLatin1String(name)).arg(col).arg(row);
            };
        };
        QObject::connect(grid, &TcpDrawGrid::mouseEnterCell, &window, record("EnterCell"));
        if (assignAll) {
            QObject::connect(grid, &TcpDrawGrid::mouseLeaveCell, &window, record("LeaveCell"));
            QObject::connect(grid, &TcpDrawGrid::mouseEnter, &window, record("Enter"));
            QObject::connect(grid, &TcpDrawGrid::mouseLeave, &window, record("Leave"));
        }
        QObject::connect(grid, &TcpDrawGrid::mouseMove, &window,
                         [this](QMouseEvent *) { events << QStringLiteral("Move"); });
        window.show();
    }

    QWindow *handle() { return window.windowHandle(); }
    // A window point over the centre of a cell.
    static QPoint Cell(int col, int row) { return QPoint(20 + col * 17 + 8, 20 + row * 17 + 8); }
    static constexpr QPoint Outside{150, 130};
    static constexpr QPoint PastLastColumn{20 + 86, 30};

    QStringList take()
    {
        QStringList taken = events;
        events.clear();
        return taken;
    }
    void moveTo(QPoint at) { QTest::mouseMove(handle(), at); }
};

QStringList Seq(std::initializer_list<const char *> names)
{
    QStringList list;
    for (const char *name : names)
        list << QString::fromLatin1(name);
    return list;
}

} // namespace

class TestDrawGrid : public QObject
{
    Q_OBJECT

private slots:
    void cellUnderAPoint()
    {
        TcpDrawGrid grid;
        grid.SetColCount(4);
        grid.SetRowCount(3);
        grid.resize(100, 100);
        QCOMPARE(grid.CellAt(QPoint(0, 0)), QPoint(0, 0));
        QCOMPARE(grid.CellAt(QPoint(16, 17)), QPoint(0, 1));
        QCOMPARE(grid.CellAt(QPoint(67, 50)), QPoint(3, 2));
        QCOMPARE(grid.CellAt(QPoint(68, 10)), QPoint(-1, -1));
        QCOMPARE(grid.CellAt(QPoint(10, 51)), QPoint(-1, -1));
        QCOMPARE(grid.CellAt(QPoint(-1, 5)), QPoint(-1, -1));
        grid.FitToCells();
        QCOMPARE(grid.size(), QSize(68, 51));
    }

    void paintsEveryCellThroughItsOwner()
    {
        TcpDrawGrid grid;
        grid.SetColCount(3);
        grid.SetRowCount(2);
        grid.FitToCells();
        QList<QPoint> drawn;
        QObject::connect(&grid, &TcpDrawGrid::drawCell,
                         [&](QPainter &canvas, int col, int row, const QRect &rect) {
                             drawn << QPoint(col, row);
                             canvas.fillRect(rect, QColor(col * 100, row * 100, 7));
                         });
        const QImage shot = grid.grab().toImage();
        QCOMPARE(drawn.size(), 6);
        QCOMPARE(shot.pixelColor(2 * 17 + 16, 17), QColor(200, 100, 7));
        QCOMPARE(shot.pixelColor(0, 0), QColor(0, 0, 7));
    }

    void enterMoveWithinAndToTheNextCell()
    {
        Rig rig;
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        rig.moveTo(Rig::Outside);
        rig.take();
        rig.moveTo(Rig::Cell(3, 4));
        rig.moveTo(Rig::Cell(3, 4) + QPoint(2, 1));
        QCOMPARE(rig.take(), Seq({"Enter(3,4)", "EnterCell(3,4)", "Move", "Move"}));
        rig.moveTo(Rig::Cell(4, 4));
        QCOMPARE(rig.take(), Seq({"LeaveCell(3,4)", "EnterCell(4,4)", "Move"}));
    }

    void leavingAndComingBack()
    {
        Rig rig;
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        rig.moveTo(Rig::Outside);
        rig.moveTo(Rig::Cell(4, 4));
        rig.take();
        rig.moveTo(Rig::Outside);
        QCOMPARE(rig.take(), Seq({"LeaveCell(4,4)", "Leave(4,4)"}));
        QCOMPARE(rig.grid->RememberedCell(), QPoint(4, 4));
        rig.moveTo(Rig::Cell(4, 4));
        QCOMPARE(rig.take(), Seq({"Enter(4,4)", "EnterCell(4,4)", "Move"}));
    }

    // Should a move arrive before the Enter that goes with it, the move
    // counts as the entry, and the late Enter does not repeat it.
    void aMoveBeforeItsEnterStillEnters()
    {
        Rig rig;
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        rig.moveTo(Rig::Outside);
        rig.moveTo(Rig::Cell(4, 4));
        rig.moveTo(Rig::Outside);
        rig.take();
        const QPoint local = Rig::Cell(4, 4) - rig.grid->pos();
        QMouseEvent move(QEvent::MouseMove, local, rig.grid->mapToGlobal(local), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(rig.grid, &move);
        QEnterEvent enter(local, local, rig.grid->mapToGlobal(local));
        QCoreApplication::sendEvent(rig.grid, &enter);
        QCOMPARE(rig.take(), Seq({"Enter(4,4)", "EnterCell(4,4)", "Move"}));
    }

    void noCellNoEvents()
    {
        Rig rig;
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        rig.moveTo(Rig::Outside);
        rig.moveTo(Rig::PastLastColumn);
        rig.moveTo(Rig::Outside);
        QCOMPARE(rig.take(), Seq({"Move"})); // leaving before any cell fires nothing

        rig.moveTo(Rig::Cell(4, 0));
        rig.take();
        rig.moveTo(Rig::PastLastColumn);
        QCOMPARE(rig.grid->RememberedCell(), QPoint(4, 0));
        rig.moveTo(Rig::Cell(4, 0));
        QCOMPARE(rig.take(), Seq({"Move", "Move"}));
    }

    void dragOutAndBackInWithTheButtonHeld()
    {
        Rig rig;
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        rig.moveTo(Rig::Outside);
        rig.moveTo(Rig::Cell(1, 1));
        QTest::mousePress(rig.handle(), Qt::LeftButton, {}, Rig::Cell(1, 1));
        rig.take();
        rig.moveTo(Rig::Cell(2, 1));
        QCOMPARE(rig.take(), Seq({"LeaveCell(1,1)", "EnterCell(2,1)", "Move"}));
        rig.moveTo(Rig::Outside);
        QCOMPARE(rig.take(), Seq({"LeaveCell(2,1)", "Leave(2,1)", "Move"}));
        rig.moveTo(Rig::Outside + QPoint(5, 5));
        QCOMPARE(rig.take(), Seq({"Move"}));
        rig.moveTo(Rig::Cell(2, 3));
        QCOMPARE(rig.take(), Seq({"Enter(2,3)", "EnterCell(2,3)", "Move"}));
        // Out again and released there: Qt's late Leave repeats nothing.
        rig.moveTo(Rig::Outside);
        QTest::mouseRelease(rig.handle(), Qt::LeftButton, {}, Rig::Outside);
        rig.moveTo(Rig::Outside + QPoint(3, 0));
        QCOMPARE(rig.take(), Seq({"LeaveCell(2,3)", "Leave(2,3)", "Move"}));
        rig.moveTo(Rig::Cell(0, 0));
        QCOMPARE(rig.take(), Seq({"Enter(0,0)", "EnterCell(0,0)", "Move"}));
    }

    void releasedInsideAfterADragKeepsTracking()
    {
        Rig rig;
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        rig.moveTo(Rig::Outside);
        rig.moveTo(Rig::Cell(0, 0));
        QTest::mousePress(rig.handle(), Qt::LeftButton, {}, Rig::Cell(0, 0));
        rig.moveTo(Rig::Outside);
        rig.moveTo(Rig::Cell(3, 3));
        QTest::mouseRelease(rig.handle(), Qt::LeftButton, {}, Rig::Cell(3, 3));
        rig.take();
        rig.moveTo(Rig::Cell(3, 2));
        QCOMPARE(rig.take(), Seq({"LeaveCell(3,3)", "EnterCell(3,2)", "Move"}));
        rig.moveTo(Rig::Outside);
        QCOMPARE(rig.take(), Seq({"LeaveCell(3,2)", "Leave(3,2)"}));
    }

    void unassignedEventsAreSkipped()
    {
        Rig rig(false);
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        rig.moveTo(Rig::Outside);
        rig.moveTo(Rig::Cell(1, 2));
        rig.moveTo(Rig::Cell(2, 2));
        rig.moveTo(Rig::Outside);
        QCOMPARE(rig.take(), Seq({"EnterCell(1,2)", "Move", "EnterCell(2,2)", "Move"}));
    }

    // On a 5 x 4 grid: each step once in the middle, at its edge with and
    // without wrapping, and the line's ends.
    void cursorSteps()
    {
        const QSize grid(5, 4);
        auto step = [&](QPoint from, int key, bool wraps) {
            return TGridCursor::Step(from, *TGridCursor::StepForKey(key), grid, wraps);
        };
        QCOMPARE(step({2, 1}, Qt::Key_Left, false), QPoint(1, 1));
        QCOMPARE(step({2, 1}, Qt::Key_Down, false), QPoint(2, 2));
        QCOMPARE(step({0, 1}, Qt::Key_Left, false), QPoint(0, 1));
        QCOMPARE(step({0, 1}, Qt::Key_Left, true), QPoint(4, 1));
        QCOMPARE(step({4, 1}, Qt::Key_Right, false), QPoint(4, 1));
        QCOMPARE(step({4, 1}, Qt::Key_Right, true), QPoint(0, 1));
        QCOMPARE(step({2, 0}, Qt::Key_Up, false), QPoint(2, 0));
        QCOMPARE(step({2, 0}, Qt::Key_Up, true), QPoint(2, 3));
        QCOMPARE(step({2, 3}, Qt::Key_Down, false), QPoint(2, 3));
        QCOMPARE(step({2, 3}, Qt::Key_Down, true), QPoint(2, 0));
        QCOMPARE(step({2, 1}, Qt::Key_Home, true), QPoint(0, 1));
        QCOMPARE(step({2, 1}, Qt::Key_End, false), QPoint(4, 1));
        QCOMPARE(step({2, 1}, Qt::Key_PageUp, true), QPoint(2, 0));
        QCOMPARE(step({2, 1}, Qt::Key_PageDown, false), QPoint(2, 3));
        QVERIFY(!TGridCursor::StepForKey(Qt::Key_Space));
    }

    // The frame shows on the cell and nowhere else, and goes when the
    // pointer moves over the grid, but not for a move where it stands.
    void cursorFrameAndThePointer()
    {
        Rig rig;
        QObject::connect(
            rig.grid, &TcpDrawGrid::drawCell, &rig.window,
            [](QPainter &canvas, int, int, const QRect &rect) { canvas.fillRect(rect, Qt::gray); });
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        QList<std::optional<QPoint>> moves;
        QObject::connect(rig.grid, &TcpDrawGrid::cursorMoved, &rig.window,
                         [&](std::optional<QPoint> cell) { moves << cell; });
        rig.moveTo(Rig::Cell(0, 0));
        rig.grid->SetCursorCell(QPoint(2, 3));
        const QImage shot = rig.grid->grab().toImage();
        QCOMPARE(QColor(shot.pixel(2 * 17, 3 * 17)), QColor(Qt::black));
        QCOMPARE(QColor(shot.pixel(2 * 17 + 1, 3 * 17 + 8)), QColor(Qt::white));
        QCOMPARE(QColor(shot.pixel(2 * 17 + 8, 3 * 17 + 8)), QColor(Qt::gray));
        QCOMPARE(QColor(shot.pixel(1 * 17, 3 * 17)), QColor(Qt::gray));
        rig.moveTo(Rig::Cell(0, 0));
        QCOMPARE(rig.grid->CursorCell(), std::optional<QPoint>(QPoint(2, 3)));
        rig.moveTo(Rig::Cell(1, 0));
        QCOMPARE(rig.grid->CursorCell(), std::nullopt);
        QCOMPARE(QColor(rig.grid->grab().toImage().pixel(2 * 17, 3 * 17)), QColor(Qt::gray));
        QCOMPARE(moves, (QList<std::optional<QPoint>>{QPoint(2, 3), std::nullopt}));
    }
};

QTEST_MAIN(TestDrawGrid)
#include "test_draw_grid.moc"
