// The screen maxima, the rounding rule, the initial model, the
// reset, the level presets, the repair of unplayable boards and the rotation.
#include "support/BoardPicture.h"

#include "model/Mines.h"

#include <QList>
#include <QPoint>
#include <QSet>
#include <QTest>

#include <vector>

using BoardPicture::CountMinesAround;
using BoardPicture::Picture;
using BoardPicture::SetPicture;

namespace
{

// The references of the board, column by column.
std::vector<const TMineField *> Layout(const TMines &model)
{
    std::vector<const TMineField *> layout;
    for (int c = 0; c < model.Cols; ++c)
        for (int r = 0; r < model.Rows; ++r)
            layout.push_back(model.Cells[c][r]);
    return layout;
}

int Mod(int value, int n)
{
    return ((value % n) + n) % n;
}

bool SlotsNumbered(const TMines &model)
{
    for (int c = 0; c < model.Cols; ++c)
        for (int r = 0; r < model.Rows; ++r)
            if (model.Cells[c][r]->Col != c || model.Cells[c][r]->Row != r)
                return false;
    return true;
}

const QList<QPoint> Directions = {{0, 1}, {0, -1}, {1, 0},  {-1, 0},
                                  {1, 1}, {-1, 1}, {1, -1}, {-1, -1}};

// A game on a screen of `width` x `height` pixels.
TGameEnvironment OnScreen(int width, int height)
{
    TGameEnvironment environment;
    environment.Limits = BoardLimitsForScreen(width, height);
    return environment;
}

} // namespace

class TestBoard : public QObject
{
    Q_OBJECT

private slots:
    void rounding_data();
    void rounding();
    void maxima_data();
    void maxima();
    void initialValues();
    void cellsExistForEverySlot();
    void resetBoard();
    void levelPresets();
    void presetLargerThanTheScreen();
    void mendBoard_data();
    void mendBoard();
    void rotation_data();
    void rotation();
    void rotateDownMovesTheBottomRowUp();
    void rotationKeepsTheTorusCounts();
    void floodAfterRotation();
};

void TestBoard::rounding_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("rounded");
    QTest::newRow("44.5 to even below") << 44.5 << 44;
    QTest::newRow("7.5 to even above") << 7.5 << 8;
    QTest::newRow("0.5") << 0.5 << 0;
    QTest::newRow("1.5") << 1.5 << 2;
    QTest::newRow("2.5") << 2.5 << 2;
    QTest::newRow("-0.5") << -0.5 << 0;
    QTest::newRow("-1.5") << -1.5 << -2;
    QTest::newRow("-2.5") << -2.5 << -2;
    QTest::newRow("53.0") << 53.0 << 53;
    QTest::newRow("12.8") << 12.8 << 13;
    QTest::newRow("116.25") << 116.25 << 116;
    QTest::newRow("44.5000001") << 44.5000001 << 45;
    QTest::newRow("-3.7") << -3.7 << -4;
}

void TestBoard::rounding()
{
    QFETCH(double, value);
    QFETCH(int, rounded);
    QCOMPARE(Round(value), rounded);
}

void TestBoard::maxima_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("rows");
    QTest::newRow("640 x 480") << 640 << 480 << 34 << 19;
    QTest::newRow("800 x 600") << 800 << 600 << 43 << 26;
    QTest::newRow("1024 x 768") << 1024 << 768 << 56 << 36;
    QTest::newRow("1280 x 1024") << 1280 << 1024 << 71 << 51;
    QTest::newRow("1790 x 1875 just fits") << 1790 << 1875 << 101 << 101;
    QTest::newRow("1920 x 1080") << 1920 << 1080 << 101 << 55;
    QTest::newRow("3840 x 2160 limited to 101") << 3840 << 2160 << 101 << 101;
    QTest::newRow("tiny screen gives 1") << 10 << 10 << 1 << 1;
}

void TestBoard::maxima()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, cols);
    QFETCH(int, rows);
    QCOMPARE(MaxColsForWidth(width), cols);
    QCOMPARE(MaxRowsForHeight(height), rows);
    QCOMPARE(BoardLimitsForScreen(width, height), (TBoardLimits{cols, rows}));
}

void TestBoard::initialValues()
{
    TMines model(TMines::TStoreUse::None);
    QCOMPARE(int(model.Cols), 16);
    QCOMPARE(int(model.Rows), 16);
    QCOMPARE(int(model.Level), 0);
    QCOMPARE(model.QuestionMarks, true);
    QCOMPARE(model.CrossPointer, false);
    QCOMPARE(model.Borders, true);
    QCOMPARE(model.WindowsPress, false);
    QCOMPARE(model.ClearNeighbours, true);
    QCOMPARE(model.RecordName, QString());
    QCOMPARE(model.Mines, 40);
    QCOMPARE(model.MinesLeft, 0);
    QCOMPARE(model.CoveredSafe, 0);
    QVERIFY(model.RevealQueue.isEmpty());
    QVERIFY(model.ChangedCells.isEmpty());
    // The flags share one byte: Queued is bit value 1, Revealed 2.
    TMineField cell;
    cell.Revealed = 1;
    QCOMPARE(int(reinterpret_cast<const quint8 *>(&cell)[1]), 2);
    cell.Queued = 1;
    QCOMPARE(int(reinterpret_cast<const quint8 *>(&cell)[1]), 3);
    QCOMPARE(int(sizeof(TMineField)), 6);
}

void TestBoard::cellsExistForEverySlot()
{
    TMines model(TMines::TStoreUse::None);
    QSet<TMineField *> distinct;
    for (int c = 0; c < MaxSlots; ++c) {
        for (int r = 0; r < MaxSlots; ++r) {
            TMineField *cell = model.Cells[c][r];
            QVERIFY(cell);
            QCOMPARE(int(cell->Col), c);
            QCOMPARE(int(cell->Row), r);
            QCOMPARE(cell->State, msCovered);
            QVERIFY(!cell->IsMine);
            distinct.insert(cell);
        }
    }
    QCOMPARE(int(distinct.size()), MaxSlots * MaxSlots);
}

void TestBoard::resetBoard()
{
    TMines model(TMines::TStoreUse::None);
    model.Cols = 10;
    model.Rows = 5;
    model.Random().SetState(11);
    model.LayMines(2, 2);
    model.Reveal(2, 2, true);
    model.CycleMark(9, 4);
    // A cell outside the board keeps what it holds.
    model.Cells[10][0]->State = msFlagged;
    model.Cells[0][5]->IsMine = true;
    const int minesLeft = model.MinesLeft;
    const int coveredSafe = model.CoveredSafe;

    model.ResetBoard();
    for (int c = 0; c < 10; ++c) {
        for (int r = 0; r < 5; ++r) {
            const TMineField *cell = model.Cells[c][r];
            QCOMPARE(int(cell->MinesAround), 0);
            QVERIFY(!cell->Queued);
            QVERIFY(!cell->Revealed);
            QCOMPARE(cell->State, msCovered);
            QVERIFY(!cell->IsMine);
            QCOMPARE(int(cell->Col), c);
            QCOMPARE(int(cell->Row), r);
        }
    }
    QCOMPARE(model.Cells[10][0]->State, msFlagged);
    QVERIFY(model.Cells[0][5]->IsMine);
    QCOMPARE(model.MinesLeft, minesLeft);
    QCOMPARE(model.CoveredSafe, coveredSafe);
}

void TestBoard::levelPresets()
{
    TMines model(TMines::TStoreUse::None);
    model.ApplyLevel(LevelEasy);
    QCOMPARE(QList<int>({model.Level, model.Cols, model.Rows, model.Mines}),
             QList<int>({0, 8, 8, 10}));
    model.ApplyLevel(LevelMedium);
    QCOMPARE(QList<int>({model.Level, model.Cols, model.Rows, model.Mines}),
             QList<int>({1, 16, 16, 40}));
    model.ApplyLevel(LevelHard);
    QCOMPARE(QList<int>({model.Level, model.Cols, model.Rows, model.Mines}),
             QList<int>({2, 30, 20, 99}));
    model.Cols = 12;
    model.Rows = 7;
    model.Mines = 9;
    model.ApplyLevel(LevelCustom);
    QCOMPARE(QList<int>({model.Level, model.Cols, model.Rows, model.Mines}),
             QList<int>({3, 12, 7, 9}));
}

void TestBoard::presetLargerThanTheScreen()
{
    // 34 x 19: Hard's 20 rows do not fit
    TMines model(TMines::TStoreUse::None, OnScreen(640, 480));
    model.ApplyLevel(LevelHard);
    model.MendBoard();
    QCOMPARE(int(model.Cols), 30);
    QCOMPARE(int(model.Rows), 20);
    QCOMPARE(model.Mines, 99);
    model.ResetBoard();
    model.Random().SetState(5);
    model.LayMines(29, 19);
    QVERIFY(!model.Reveal(29, 19, true) || model.IsWon());
    QCOMPARE(int(model.Cells[29][19]->Row), 19);
    QCOMPARE(model.Cells[29][19]->State, msOpen);
}

void TestBoard::mendBoard_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("mines");
    QTest::addColumn<QList<int>>("mended"); // cols, rows, mines
    // The limits are 56 x 36 in this test.
    QTest::newRow("playable custom board unchanged") << 3 << 6 << 4 << 5 << QList<int>{6, 4, 5};
    QTest::newRow("columns 0") << 3 << 0 << 10 << 5 << QList<int>{1, 10, 5};
    QTest::newRow("rows 0") << 3 << 10 << 0 << 5 << QList<int>{10, 1, 5};
    QTest::newRow("columns above the maximum") << 3 << 200 << 10 << 5 << QList<int>{56, 10, 5};
    QTest::newRow("rows above the maximum") << 3 << 10 << 99 << 5 << QList<int>{10, 36, 5};
    QTest::newRow("mines 0") << 3 << 10 << 10 << 0 << QList<int>{10, 10, 1};
    QTest::newRow("mines negative") << 3 << 10 << 10 << -7 << QList<int>{10, 10, 1};
    QTest::newRow("mines fill the board") << 3 << 10 << 10 << 100 << QList<int>{10, 10, 99};
    QTest::newRow("mines beyond the board") << 3 << 10 << 10 << 5000 << QList<int>{10, 10, 99};
    QTest::newRow("one cell grows to two") << 3 << 1 << 1 << 1 << QList<int>{2, 1, 1};
    QTest::newRow("0 x 0") << 3 << 0 << 0 << 0 << QList<int>{2, 1, 1};
    QTest::newRow("preset kept") << 2 << 30 << 20 << 99 << QList<int>{30, 20, 99};
}

void TestBoard::mendBoard()
{
    QFETCH(int, level);
    QFETCH(int, cols);
    QFETCH(int, rows);
    QFETCH(int, mines);
    QFETCH(QList<int>, mended);
    TMines model(TMines::TStoreUse::None, OnScreen(1024, 768));
    model.Level = quint8(level);
    model.Cols = quint8(cols);
    model.Rows = quint8(rows);
    model.Mines = mines;
    model.MendBoard();
    QCOMPARE(QList<int>({model.Cols, model.Rows, model.Mines}), mended);
}

void TestBoard::rotation_data()
{
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("rows");
    QTest::newRow("1 x 1") << 1 << 1;
    QTest::newRow("1 x 5") << 1 << 5;
    QTest::newRow("5 x 1") << 5 << 1;
    QTest::newRow("2 x 3") << 2 << 3;
    QTest::newRow("3 x 2") << 3 << 2;
    QTest::newRow("8 x 8") << 8 << 8;
    QTest::newRow("16 x 16") << 16 << 16;
    QTest::newRow("30 x 20") << 30 << 20;
    QTest::newRow("7 x 13") << 7 << 13;
    QTest::newRow("101 x 101") << 101 << 101;
}

// Every direction against the definition new[x][y] = old[(x-dx) mod C]
// [(y-dy) mod R]; opposite moves cancel; a diagonal equals its horizontal
// move followed by its vertical one; Col/Row always equal the slot; slots
// outside the board are not touched.
void TestBoard::rotation()
{
    QFETCH(int, cols);
    QFETCH(int, rows);
    TMines model(TMines::TStoreUse::None);
    model.Borders = false;
    model.Cols = quint8(cols);
    model.Rows = quint8(rows);
    model.ResetBoard();
    // Scramble first, so the test does not start from the identity layout.
    model.RotateBoard(1, 1);
    model.RotateBoard(1, 0);

    TMineField *outside[2] = {cols < MaxSlots ? model.Cells[cols][0] : nullptr,
                              rows < MaxSlots ? model.Cells[0][rows] : nullptr};
    const int mines = model.Mines;
    for (const QPoint &dir : Directions) {
        const int dx = dir.x();
        const int dy = dir.y();
        const std::vector<const TMineField *> before = Layout(model);
        TMineField *old[MaxSlots][MaxSlots];
        std::copy(&model.Cells[0][0], &model.Cells[0][0] + MaxSlots * MaxSlots, &old[0][0]);

        model.RotateBoard(dx, dy);
        for (int x = 0; x < cols; ++x)
            for (int y = 0; y < rows; ++y)
                QCOMPARE(model.Cells[x][y], old[Mod(x - dx, cols)][Mod(y - dy, rows)]);
        QVERIFY(SlotsNumbered(model));

        // The opposite move gives back the arrangement.
        model.RotateBoard(-dx, -dy);
        QVERIFY(Layout(model) == before);
        QVERIFY(SlotsNumbered(model));

        // A diagonal equals its two straight moves, in either order.
        if (dx != 0 && dy != 0) {
            model.RotateBoard(dx, dy);
            const std::vector<const TMineField *> diagonal = Layout(model);
            model.RotateBoard(-dx, -dy);
            model.RotateBoard(dx, 0);
            model.RotateBoard(0, dy);
            QVERIFY(Layout(model) == diagonal);
            model.RotateBoard(-dx, -dy);
            model.RotateBoard(0, dy);
            model.RotateBoard(dx, 0);
            QVERIFY(Layout(model) == diagonal);
            model.RotateBoard(-dx, -dy);
            QVERIFY(Layout(model) == before);
        }
    }
    // A full turn in one direction is the identity.
    const std::vector<const TMineField *> start = Layout(model);
    for (int i = 0; i < cols; ++i)
        model.RotateBoard(-1, 0);
    for (int i = 0; i < rows; ++i)
        model.RotateBoard(0, 1);
    QVERIFY(Layout(model) == start);
    if (cols < MaxSlots)
        QCOMPARE(model.Cells[cols][0], outside[0]);
    if (rows < MaxSlots)
        QCOMPARE(model.Cells[0][rows], outside[1]);
    QCOMPARE(model.Mines, mines);
}

void TestBoard::rotateDownMovesTheBottomRowUp()
{
    TMines model(TMines::TStoreUse::None);
    model.Cols = 16;
    model.Rows = 16;
    model.ResetBoard();
    TMineField *cell = model.Cells[3][15];
    model.RotateBoard(0, 1);
    QCOMPARE(model.Cells[3][0], cell);
    QCOMPARE(int(cell->Col), 3);
    QCOMPARE(int(cell->Row), 0);

    // Up-left then down-right on 30 x 20 gives back the arrangement.
    model.Cols = 30;
    model.Rows = 20;
    model.ResetBoard();
    const std::vector<const TMineField *> before = Layout(model);
    model.RotateBoard(-1, -1);
    QVERIFY(Layout(model) != before);
    model.RotateBoard(1, 1);
    QVERIFY(Layout(model) == before);
    QVERIFY(SlotsNumbered(model));

    // Left puts the first column at the right.
    TMineField *first = model.Cells[0][7];
    model.RotateBoard(-1, 0);
    QCOMPARE(model.Cells[29][7], first);
}

void TestBoard::rotationKeepsTheTorusCounts()
{
    TMines model(TMines::TStoreUse::None);
    model.Borders = false;
    model.Cols = 9;
    model.Rows = 6;
    model.Mines = 12;
    model.ResetBoard();
    model.Random().SetState(42);
    model.LayMines(4, 3);
    const int minesLeft = model.MinesLeft;
    const int coveredSafe = model.CoveredSafe;
    for (int step = 0; step < 40; ++step) {
        const QPoint dir = Directions[step * 5 % Directions.size()];
        model.RotateBoard(dir.x(), dir.y());
        QStringList mines;
        for (int r = 0; r < model.Rows; ++r) {
            QString line;
            for (int c = 0; c < model.Cols; ++c)
                line += model.Cells[c][r]->IsMine ? '*' : '.';
            mines << line;
        }
        for (int c = 0; c < model.Cols; ++c)
            for (int r = 0; r < model.Rows; ++r)
                QCOMPARE(int(model.Cells[c][r]->MinesAround),
                         CountMinesAround(mines, model.Cols, model.Rows, false, c, r));
    }
    QCOMPARE(model.MinesLeft, minesLeft);
    QCOMPARE(model.CoveredSafe, coveredSafe);
}

// The rules read neighbours from the cell's own Col/Row: after rotations an
// opening uncovers the same cells as on the unrotated board.
void TestBoard::floodAfterRotation()
{
    const QStringList board = {"......*.", "..*.....", "........",
                               ".....*..", "*.......", "........"};
    TMines plain(TMines::TStoreUse::None);
    plain.Borders = false;
    QVERIFY(SetPicture(plain, board));
    plain.Reveal(3, 5, true);
    const QStringList expected = Picture(plain);

    TMines turned(TMines::TStoreUse::None);
    turned.Borders = false;
    QVERIFY(SetPicture(turned, board));
    TMineField *clicked = turned.Cells[3][5];
    turned.RotateBoard(1, 1);
    turned.RotateBoard(1, 0);
    turned.RotateBoard(0, -1);
    turned.RotateBoard(1, -1); // net: three right, one up
    QCOMPARE(turned.Cells[6][4], clicked);
    turned.Reveal(clicked->Col, clicked->Row, true);
    for (int i = 0; i < 3; ++i)
        turned.RotateBoard(-1, 0);
    turned.RotateBoard(0, 1);
    QCOMPARE(Picture(turned), expected);
    QCOMPARE(turned.CoveredSafe, plain.CoveredSafe);
}

QTEST_APPLESS_MAIN(TestBoard)
#include "test_board.moc"
