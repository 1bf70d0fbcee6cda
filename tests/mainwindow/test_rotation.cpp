// The edge buttons around the board: which way each one turns the board,
// their repeating while held, and when they can be used at all.

#include "FormFixture.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

namespace
{

// The picture turned by (dx, dy): new[x][y] = old[x - dx][y - dy], wrapped.
QStringList Turned(const QStringList &picture, int dx, int dy)
{
    const int rows = int(picture.size());
    const int cols = int(picture.at(0).size());
    QStringList turned = picture;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < cols; ++x)
            turned[y][x] =
                picture[((y - dy) % rows + rows) % rows][((x - dx) % cols + cols) % cols];
    return turned;
}

// An 8 x 8 board with no two rows or columns alike, played a little.
const QStringList Board = {"*.......", "..*.....", "........", ".....*..",
                           "........", "*......*", "...*....", "........"};

} // namespace

class RotationTest : public QObject
{
    Q_OBJECT

private slots:
    void eachButtonTurnsTheBoardItsWay_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("dx");
        QTest::addColumn<int>("dy");
        QTest::newRow("SpLeftUp") << "SpLeftUp" << 1 << 1;
        QTest::newRow("SpUpL") << "SpUpL" << 0 << 1;
        QTest::newRow("SpUpR") << "SpUpR" << 0 << 1;
        QTest::newRow("SpRightUp") << "SpRightUp" << -1 << 1;
        QTest::newRow("SpLeftU") << "SpLeftU" << 1 << 0;
        QTest::newRow("SpLeftD") << "SpLeftD" << 1 << 0;
        QTest::newRow("SpRightU") << "SpRightU" << -1 << 0;
        QTest::newRow("SpRightD") << "SpRightD" << -1 << 0;
        QTest::newRow("SpLeftDown") << "SpLeftDown" << 1 << -1;
        QTest::newRow("SpDownL") << "SpDownL" << 0 << -1;
        QTest::newRow("SpDownR") << "SpDownR" << 0 << -1;
        QTest::newRow("SpRightDown") << "SpRightDown" << -1 << -1;
    }
    void eachButtonTurnsTheBoardItsWay()
    {
        QFETCH(QString, button);
        QFETCH(int, dx);
        QFETCH(int, dy);
        FormFixture fixture;
        fixture.store("BORDERS", 0);
        TMineForm &form = fixture.start();
        QVERIFY(fixture.lay(Board));
        form.Game().Open(2, 2);
        form.Game().CycleMark(0, 0);
        const QStringList before = fixture.picture();
        const QImage shotBefore = BoardShot(form);

        auto *edge = Find<TfxRepeatBtn>(form, qPrintable(button));
        const QPoint centre = edge->mapTo(&form, edge->rect().center());
        QTest::mousePress(form.windowHandle(), Qt::LeftButton, {}, centre);
        QTest::mouseRelease(form.windowHandle(), Qt::LeftButton, {}, centre);
        QCOMPARE(fixture.picture(), Turned(before, dx, dy));
        // The tiles on the screen moved with their cells.
        const QImage shotAfter = BoardShot(form);
        for (int col = 0; col < 8; ++col)
            for (int row = 0; row < 8; ++row)
                QCOMPARE(CellShot(shotAfter, (col + dx + 8) % 8, (row + dy + 8) % 8),
                         CellShot(shotBefore, col, row));
        // Nothing else changes: the phase, the clock and the counters.
        QCOMPARE(form.Game().State(), quint8(gsPlaying));
        QCOMPARE(Find<TCounter>(form, "MineCount")->Value(), QString("5"));
    }

    void aHeldButtonRepeatsAndTheUpperLeftOneDoesNot()
    {
        FormFixture fixture;
        fixture.store("BORDERS", 0);
        TMineForm &form = fixture.start();
        QVERIFY(fixture.lay(Board));
        const QStringList start = fixture.picture();
        QSignalSpy moves(&form.Game(), &TMineGame::boardChanged);

        auto *right = Find<TfxRepeatBtn>(form, "SpRightD");
        const QPoint over = right->mapTo(&form, right->rect().center());
        QElapsedTimer held;
        held.start();
        QTest::mousePress(form.windowHandle(), Qt::LeftButton, {}, over);
        // Repeats at 200, 300, ... 1000 ms; a busy machine may be late, never early.
        QTRY_COMPARE_WITH_TIMEOUT(moves.count(), 9, 10000);
        QVERIFY2(held.elapsed() >= 1000, qPrintable(QString::number(held.elapsed())));
        QTest::mouseRelease(form.windowHandle(), Qt::LeftButton, {}, over);
        QCOMPARE(moves.count(), 10);
        QCOMPARE(fixture.picture(), Turned(start, -10, 0));

        moves.clear();
        auto *leftUpper = Find<TfxRepeatBtn>(form, "SpLeftU");
        const QPoint there = leftUpper->mapTo(&form, leftUpper->rect().center());
        QTest::mousePress(form.windowHandle(), Qt::LeftButton, {}, there);
        QTest::qWait(1050);
        QCOMPARE(moves.count(), 0);
        QTest::mouseRelease(form.windowHandle(), Qt::LeftButton, {}, there);
        QCOMPARE(moves.count(), 1);
        QCOMPARE(fixture.picture(), Turned(start, -9, 0));
    }

    void theButtonsWorkExactlyWithoutBordersAndUnpaused()
    {
        FormFixture fixture;
        TMineForm &form = fixture.start();
        auto enabledCount = [&] {
            int enabled = 0;
            for (TfxRepeatBtn *button : EdgeButtons(form))
                enabled += button->isEnabled() ? 1 : 0;
            return enabled;
        };
        QCOMPARE(enabledCount(), 0); // Borders on
        Find<QAction>(form, "MOBorder")->trigger();
        QCOMPARE(enabledCount(), 12); // on a fresh board
        Find<QAction>(form, "MOPause")->trigger();
        QCOMPARE(enabledCount(), 0);
        Find<QAction>(form, "MOPause")->trigger();
        QCOMPARE(enabledCount(), 12);
        QVERIFY(fixture.lay(Board));
        form.Game().Open(0, 0); // lost: the board can still be turned to look at it
        QVERIFY(form.Game().IsOver());
        QCOMPARE(enabledCount(), 12);
        Find<QAction>(form, "MODos")->trigger();
        QCOMPARE(enabledCount(), 0);
    }

    void aNewGameKeepsEarlierMoves()
    {
        FormFixture fixture;
        fixture.store("BORDERS", 0);
        TMineForm &form = fixture.start();
        emit Find<TfxRepeatBtn>(form, "SpUpL")->clicked();
        const TMineField *first = &fixture.cell(0, 0);
        fixture.handle("MGNewClick");
        QCOMPARE(&fixture.cell(0, 0), first);
        QCOMPARE(first->Row, quint8(0));
    }
};

QTEST_MAIN(RotationTest)
#include "test_rotation.moc"
