// The generator, mine laying, opening, flood fill, Clear Neighbour,
// the torus, the end of a game and the marking cycle.
#include "support/BoardPicture.h"

#include "model/Mines.h"

#include <QList>
#include <QPoint>
#include <QTest>

using BoardPicture::CountMinesAround;
using BoardPicture::Picture;
using BoardPicture::SetPicture;

using Clicks = QList<QPoint>;

class TestRules : public QObject
{
    Q_OBJECT

private slots:
    void generatorFromStateZero();
    void generatorBounds();
    void layMinesFollowsTheDrawOrder();
    void firstOpeningNeverOnAMine_data();
    void firstOpeningNeverOnAMine();
    void firstOpeningCounts();
    void reveal_data();
    void reveal();
    void floodIsDepthFirst_data();
    void floodIsDepthFirst();
    void neighbourOrderOnTheTorus();
    void probeOpensAFlagWithoutGivingItBack();
    void markingCycle();
    void elevenMarksOnEasy();
};

void TestRules::generatorFromStateZero()
{
    TRandom random;
    QList<int> drawn;
    for (int i = 0; i < 6; ++i)
        drawn << random.Below(8);
    QCOMPARE(drawn, (QList<int>{0, 0, 6, 1, 2, 5}));
    // The state is the whole generator: setting it again replays the draws.
    random.SetState(0);
    QCOMPARE(random.Below(8), 0);
    QCOMPARE(random.State(), 1u);
}

void TestRules::generatorBounds()
{
    TRandom random(0xFFFFFFFFu);
    for (int n : {1, 2, 3, 7, 101, 1000}) {
        for (int i = 0; i < 2000; ++i) {
            const int value = random.Below(n);
            QVERIFY2(value >= 0 && value < n, qPrintable(QString::number(n)));
        }
    }
}

void TestRules::layMinesFollowsTheDrawOrder()
{
    // Worked out by hand from the rules (column drawn first, redraw both on a
    // mine or the first-opened cell): from state 0, 4 mines on 5 x 4, first
    // opening at (0, 0).
    TMines model(TMines::TStoreUse::None);
    QVERIFY(SetPicture(model, {".....", ".....", ".....", "....."}));
    model.Mines = 4;
    model.Random().SetState(0);
    model.LayMines(0, 0);
    QStringList mines;
    for (int r = 0; r < model.Rows; ++r) {
        QString line;
        for (int c = 0; c < model.Cols; ++c)
            line += model.Cells[c][r]->IsMine ? '*' : '.';
        mines << line;
    }
    QCOMPARE(mines, (QStringList{".*..*", ".*...", ".*...", "....."}));
    QCOMPARE(model.Random().State(), 1828254910u);
}

void TestRules::firstOpeningNeverOnAMine_data()
{
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("mines");
    QTest::addColumn<bool>("borders");
    QTest::newRow("easy") << 8 << 8 << 10 << true;
    QTest::newRow("full 8x8, one free cell") << 8 << 8 << 63 << true;
    QTest::newRow("hard torus") << 30 << 20 << 99 << false;
    QTest::newRow("one column torus") << 1 << 9 << 4 << false;
    QTest::newRow("two columns torus") << 2 << 7 << 6 << false;
    QTest::newRow("two cells") << 2 << 1 << 1 << true;
    QTest::newRow("largest") << 101 << 101 << 2000 << true;
}

void TestRules::firstOpeningNeverOnAMine()
{
    QFETCH(int, cols);
    QFETCH(int, rows);
    QFETCH(int, mines);
    QFETCH(bool, borders);
    TMines model(TMines::TStoreUse::None);
    model.Cols = quint8(cols);
    model.Rows = quint8(rows);
    model.Mines = mines;
    model.Borders = borders;
    for (quint32 seed = 0; seed < 40; ++seed) {
        model.Random().SetState(seed * 2654435761u);
        const int c0 = int(seed * 7 % quint32(cols));
        const int r0 = int(seed * 13 % quint32(rows));
        model.ResetBoard();
        model.LayMines(c0, r0);
        QVERIFY(!model.Cells[c0][r0]->IsMine);
        QCOMPARE(model.CoveredSafe, cols * rows - mines);
        QCOMPARE(model.MinesLeft, mines);
        // Mine count and neighbour counts against the independent rule.
        QStringList picture;
        int laid = 0;
        for (int r = 0; r < rows; ++r) {
            QString line;
            for (int c = 0; c < cols; ++c) {
                line += model.Cells[c][r]->IsMine ? '*' : '.';
                laid += model.Cells[c][r]->IsMine;
            }
            picture << line;
        }
        QCOMPARE(laid, mines);
        for (int c = 0; c < cols; ++c) {
            for (int r = 0; r < rows; ++r) {
                QCOMPARE(int(model.Cells[c][r]->MinesAround),
                         CountMinesAround(picture, cols, rows, borders, c, r));
            }
        }
        const bool ended = model.Reveal(c0, r0, true);
        QVERIFY(!model.Cells[c0][r0]->IsMine);
        QCOMPARE(model.Cells[c0][r0]->State, msOpen);
        QCOMPARE(ended, model.IsWon());
        model.ChangedCells.clear();
    }
}

void TestRules::firstOpeningCounts()
{
    TMines model(TMines::TStoreUse::None);
    model.Cols = 16;
    model.Rows = 16;
    model.Mines = 40;
    for (quint32 seed = 1; seed <= 20; ++seed) {
        model.Random().SetState(seed);
        model.ResetBoard();
        model.ChangedCells.clear();
        model.LayMines(5, 9);
        model.Reveal(5, 9, true);
        QCOMPARE(model.CoveredSafe + int(model.ChangedCells.size()), 216);
        QVERIFY(model.RevealQueue.isEmpty());
        for (TMineField *cell : model.ChangedCells)
            QVERIFY(!cell->IsMine);
    }
}

// One opening (or several probes and one click) on a board picture.  All
// clicks but the last only queue (Reveal with process false, as the cross
// pointer's probes do); the last processes.  "marked" is the board after the
// end-of-game marking, given only when the game ends.
void TestRules::reveal_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<bool>("borders");
    QTest::addColumn<bool>("clearNeighbours");
    QTest::addColumn<Clicks>("clicks");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<bool>("ended");
    QTest::addColumn<bool>("won");
    QTest::addColumn<QStringList>("marked");

    // The pictures are laid out by hand.
    // clang-format off
    // --- flood fill ---
    QTest::newRow("flood opens the empty region and its rim")
        << QStringList{".....",
                       ".....",
                       "....*",
                       "....."}
        << true << true << Clicks{{0, 0}}
        << QStringList{"00000",
                       "00011",
                       "0001*",
                       "0001."}
        << false << false << QStringList{};
    QTest::newRow("flood passes through question marks")
        << QStringList{".?...",
                       "...?.",
                       "....*",
                       "?...."}
        << true << true << Clicks{{4, 0}}
        << QStringList{"00000",
                       "00011",
                       "0001*",
                       "0001."}
        << false << false << QStringList{};
    QTest::newRow("flood stopped by flags")
        << QStringList{"..f..",
                       "..f..",
                       "..f.*"}
        << true << true << Clicks{{0, 0}}
        << QStringList{"00f..",
                       "00f..",
                       "00f.*"}
        << false << false << QStringList{};
    QTest::newRow("a number opens alone")
        << QStringList{".....",
                       ".....",
                       "....*",
                       "....."}
        << true << true << Clicks{{3, 1}}
        << QStringList{".....",
                       "...1.",
                       "....*",
                       "....."}
        << false << false << QStringList{};
    QTest::newRow("an open cell with Clear Neighbour off does nothing")
        << QStringList{"F.F.",
                       ".2..",
                       "...*"}
        << true << false << Clicks{{1, 1}}
        << QStringList{"F.F.",
                       ".2..",
                       "...*"}
        << false << false << QStringList{};

    // --- Clear Neighbour on an open 2 ---
    QTest::newRow("clear neighbour, right marks")
        << QStringList{"F.F.",
                       ".2..",
                       "...*"}
        << true << true << Clicks{{1, 1}}
        << QStringList{"F2F.",
                       "122.",
                       "001*"}
        << false << false << QStringList{};
    QTest::newRow("clear neighbour, too few marks")
        << QStringList{"F.*.",
                       ".2..",
                       "...*"}
        << true << true << Clicks{{1, 1}}
        << QStringList{"F.*.",
                       ".2..",
                       "...*"}
        << false << false << QStringList{};
    QTest::newRow("clear neighbour, too many marks")
        << QStringList{"F.F.",
                       "f2..",
                       "...*"}
        << true << true << Clicks{{1, 1}}
        << QStringList{"F.F.",
                       "f2..",
                       "...*"}
        << false << false << QStringList{};
    QTest::newRow("clear neighbour, a wrong mark loses")
        << QStringList{"Ff*.",
                       ".2..",
                       "...*"}
        << true << true << Clicks{{1, 1}}
        << QStringList{"FfX.",
                       "122.",
                       "001*"}
        << true << false
        << QStringList{"MWX.",
                       "122.",
                       "001O"};

    // --- the torus ---
    QTest::newRow("torus: column 0 counts the last column")
        << QStringList{"....",
                       "...*",
                       "...."}
        << false << true << Clicks{{1, 1}}
        << QStringList{"101.",
                       "101*",
                       "101."}
        << false << false << QStringList{};
    QTest::newRow("torus: flood continues across the left edge")
        << QStringList{"..*.f.",
                       "..*...",
                       "..*..."}
        << false << true << Clicks{{0, 1}}
        << QStringList{"03*3f0",
                       "03*300",
                       "03*300"}
        << false << false << QStringList{};
    QTest::newRow("borders: the same board stops at the edge")
        << QStringList{"..*.f.",
                       "..*...",
                       "..*..."}
        << true << true << Clicks{{0, 1}}
        << QStringList{"02*.f.",
                       "03*...",
                       "02*..."}
        << false << false << QStringList{};
    QTest::newRow("torus: one column wide, each neighbour three times")
        << QStringList{".", ".", "*", ".", "."}
        << false << true << Clicks{{0, 0}}
        << QStringList{"0", "3", "*", "3", "0"}
        << true << true << QStringList{"0", "3", "M", "3", "0"};
    QTest::newRow("torus: two columns wide")
        << QStringList{"..", "..", "*.", "..", ".."}
        << false << true << Clicks{{0, 0}}
        << QStringList{"00", "12", "*.", "12", "00"}
        << false << false << QStringList{};
    QTest::newRow("torus: 2 x 2, the mine counted four times")
        << QStringList{"..", ".*"}
        << false << true << Clicks{{0, 0}}
        << QStringList{"4.", ".*"}
        << false << false << QStringList{};
    QTest::newRow("torus: 1 x 2, the mine counted six times")
        << QStringList{".", "*"}
        << false << true << Clicks{{0, 0}}
        << QStringList{"6", "*"}
        << true << true << QStringList{"6", "M"};
    QTest::newRow("borders: one column")
        << QStringList{".", ".", "*", ".", "."}
        << true << true << Clicks{{0, 0}}
        << QStringList{"0", "1", "*", ".", "."}
        << false << false << QStringList{};

    // --- end of a game ---
    QTest::newRow("win takes precedence over a mine in the same processing")
        << QStringList{"*.."}
        << true << true << Clicks{{0, 0}, {2, 0}}
        << QStringList{"X10"}
        << true << true << QStringList{"M10"};
    QTest::newRow("win: every mine found")
        << QStringList{"F12Q",
                       "11.*"}
        << true << true << Clicks{{2, 1}}
        << QStringList{"F12Q",
                       "112*"}
        << true << true
        << QStringList{"M12M",
                       "112M"};
    QTest::newRow("loss: marks after uncovering a mine")
        << QStringList{"F.?Q",
                       "f..*"}
        << true << true << Clicks{{3, 1}}
        << QStringList{"F.?Q",
                       "f..X"}
        << true << false
        << QStringList{"M.?O",
                       "W..X"};
    QTest::newRow("probes: everything queued is uncovered, mine or not")
        << QStringList{"*...",
                       "....",
                       "...*"}
        << true << true << Clicks{{0, 0}, {1, 0}, {3, 1}}
        << QStringList{"X1..",
                       "...1",
                       "...*"}
        << true << false
        << QStringList{"X1..",
                       "...1",
                       "...O"};
    // clang-format on
}

void TestRules::reveal()
{
    QFETCH(QStringList, before);
    QFETCH(bool, borders);
    QFETCH(bool, clearNeighbours);
    QFETCH(Clicks, clicks);
    QFETCH(QStringList, after);
    QFETCH(bool, ended);
    QFETCH(bool, won);
    QFETCH(QStringList, marked);

    TMines model(TMines::TStoreUse::None);
    model.Borders = borders;
    model.ClearNeighbours = clearNeighbours;
    QVERIFY(SetPicture(model, before));
    const int minesLeft = model.MinesLeft;
    const int coveredBefore = model.CoveredSafe;

    bool result = false;
    for (qsizetype i = 0; i < clicks.size(); ++i) {
        const bool last = i + 1 == clicks.size();
        result = model.Reveal(clicks[i].x(), clicks[i].y(), last);
        if (!last)
            QVERIFY(!result);
    }
    QCOMPARE(Picture(model), after);
    QCOMPARE(result, ended);
    QCOMPARE(model.IsWon(), won);
    QVERIFY(model.RevealQueue.isEmpty());
    QCOMPARE(model.MinesLeft, minesLeft); // opening never touches the mines counter
    // Every cell uncovered now is in ChangedCells, once; mines never are.
    QCOMPARE(int(model.ChangedCells.size()), coveredBefore - model.CoveredSafe);
    for (TMineField *cell : model.ChangedCells) {
        QVERIFY(!cell->IsMine);
        QCOMPARE(cell->State, msOpen);
        QCOMPARE(model.ChangedCells.count(cell), 1);
    }
    if (ended) {
        model.MarkEndOfGame();
        QCOMPARE(Picture(model), marked);
    }
}

// The queue is a stack: the last cell pushed is uncovered first, which shows
// in the order of ChangedCells.
void TestRules::floodIsDepthFirst_data()
{
    QTest::addColumn<QStringList>("board");
    QTest::addColumn<QPoint>("click");
    QTest::addColumn<QList<QPoint>>("order");
    QTest::newRow("a row") << QStringList{"....."} << QPoint(2, 0)
                           << QList<QPoint>{{2, 0}, {3, 0}, {4, 0}, {1, 0}, {0, 0}};
    QTest::newRow("a block, pushed columns outer")
        << QStringList{"...", "...", "..."} << QPoint(1, 1)
        << QList<QPoint>{{1, 1}, {2, 2}, {2, 1}, {2, 0}, {1, 2}, {1, 0}, {0, 2}, {0, 1}, {0, 0}};
}

void TestRules::floodIsDepthFirst()
{
    QFETCH(QStringList, board);
    QFETCH(QPoint, click);
    QFETCH(QList<QPoint>, order);
    TMines model(TMines::TStoreUse::None);
    QVERIFY(SetPicture(model, board));
    QVERIFY(model.Reveal(click.x(), click.y(), true)); // no mines: every cell opens, a win
    QList<QPoint> opened;
    for (const TMineField *cell : model.ChangedCells)
        opened << QPoint(cell->Col, cell->Row);
    QCOMPARE(opened, order);
}

void TestRules::neighbourOrderOnTheTorus()
{
    TMines model(TMines::TStoreUse::None);
    model.Cols = 8;
    model.Rows = 8;
    model.Borders = false;
    QList<QPoint> visited;
    model.ForEachNeighbour(0, 0, [&](int c, int r) { visited << QPoint(c, r); });
    QCOMPARE(visited,
             (QList<QPoint>{{7, 7}, {7, 0}, {7, 1}, {0, 7}, {0, 1}, {1, 7}, {1, 0}, {1, 1}}));

    model.Borders = true;
    visited.clear();
    model.ForEachNeighbour(0, 0, [&](int c, int r) { visited << QPoint(c, r); });
    QCOMPARE(visited, (QList<QPoint>{{0, 1}, {1, 0}, {1, 1}}));

    // One cell: every wrapped position is the cell itself.
    model.Cols = 1;
    model.Rows = 1;
    model.Borders = false;
    visited.clear();
    model.ForEachNeighbour(0, 0, [&](int c, int r) { visited << QPoint(c, r); });
    QVERIFY(visited.isEmpty());

    // CountFlagsAround includes the cell itself, and on a torus one row high
    // a mark in the block is met three times.
    model.Cols = 3;
    model.Rows = 1;
    QVERIFY(SetPicture(model, {"fF."}));
    QCOMPARE(model.CountFlagsAround(1, 0), 6);
    model.Borders = true;
    QCOMPARE(model.CountFlagsAround(1, 0), 2);
    QCOMPARE(model.CountFlagsAround(2, 0), 1);
}

void TestRules::probeOpensAFlagWithoutGivingItBack()
{
    TMines model(TMines::TStoreUse::None);
    QVERIFY(SetPicture(model, {"f..", "...", "..*"}));
    QCOMPARE(model.MinesLeft, 0);
    QVERIFY(!model.Reveal(0, 0, false));
    model.Reveal(2, 0, true);
    QCOMPARE(model.Cells[0][0]->State, msOpen);
    QCOMPARE(model.MinesLeft, 0);
}

void TestRules::markingCycle()
{
    TMines model(TMines::TStoreUse::None);
    model.ApplyLevel(LevelEasy);
    model.ResetBoard();
    model.Random().SetState(7);
    model.LayMines(0, 0);
    QCOMPARE(model.MinesLeft, 10);
    TMineField *cell = model.Cells[4][4];

    model.QuestionMarks = true;
    QVERIFY(model.CycleMark(4, 4));
    QCOMPARE(cell->State, msFlagged);
    QCOMPARE(model.MinesLeft, 9);
    QVERIFY(model.CycleMark(4, 4));
    QCOMPARE(cell->State, msQuestion);
    QCOMPARE(model.MinesLeft, 10);
    QVERIFY(!model.CycleMark(4, 4));
    QCOMPARE(cell->State, msCovered);
    QCOMPARE(model.MinesLeft, 10);

    model.QuestionMarks = false;
    QVERIFY(model.CycleMark(4, 4));
    QCOMPARE(cell->State, msFlagged);
    QCOMPARE(model.MinesLeft, 9);
    QVERIFY(model.CycleMark(4, 4));
    QCOMPARE(cell->State, msCovered);
    QCOMPARE(model.MinesLeft, 10);

    // A question mark made earlier leaves at the next press.
    cell->State = msQuestion;
    QVERIFY(!model.CycleMark(4, 4));
    QCOMPARE(cell->State, msCovered);

    // Open and end-of-game states do not cycle.
    for (TMineState state : {msOpen, msExploded, msWrongFlag, msFoundMine}) {
        cell->State = state;
        QVERIFY(!model.CycleMark(4, 4));
        QCOMPARE(cell->State, state);
        QCOMPARE(model.MinesLeft, 10);
    }
}

void TestRules::elevenMarksOnEasy()
{
    TMines model(TMines::TStoreUse::None);
    model.ApplyLevel(LevelEasy);
    model.ResetBoard();
    model.Random().SetState(3);
    model.LayMines(7, 7);
    for (int i = 0; i < 11; ++i)
        model.CycleMark(i % 8, i / 8);
    QCOMPARE(model.MinesLeft, -1);
}

QTEST_APPLESS_MAIN(TestRules)
#include "test_rules.moc"
