// Boards that need no guess: a placement counter written apart from the
// game's solver plays each generated board from its first opening, and the
// solver is held against the counter on small boards of every kind.
#include "model/DeductionSolver.h"
#include "model/GuessFreeLayout.h"
#include "model/Mines.h"

#include <QDateTime>
#include <QList>
#include <QPoint>
#include <QTest>

#include <cmath>
#include <functional>

#ifndef FERROX_SEED_SHARE
#define FERROX_SEED_SHARE 1
#endif

namespace
{

// The generator states each row plays: all of them, or a share.
constexpr int SeedShare = FERROX_SEED_SHARE;

// A generator state whose Hard board, opened at 11,7, takes many moves.
constexpr quint32 BusyState = 51;

// What a player who sees the board can be sure of, found by counting every
// placement of the mines over the covered cells that agrees with the open
// numbers and the mine total.  Nothing is marked: the numbers and the total
// are all it uses.
class TPlacementCounter
{
public:
    explicit TPlacementCounter(const TMines &model) : Model(model) {}

    // The covered cells no agreeing placement puts a mine on.
    QList<QPoint> SafeCells() const
    {
        Collect();
        std::vector<std::vector<double>> groupTotals;
        std::vector<std::vector<std::vector<double>>> groupPerCell;
        for (const std::vector<int> &group : Groups) {
            std::vector<double> totals(group.size() + 1, 0);
            std::vector<std::vector<double>> perCell(group.size(),
                                                     std::vector<double>(group.size() + 1, 0));
            std::vector<int> assigned(group.size(), 0);
            Enumerate(group, assigned, 0, 0, totals, perCell);
            groupTotals.push_back(std::move(totals));
            groupPerCell.push_back(std::move(perCell));
        }
        QList<QPoint> safe;
        for (size_t g = 0; g < Groups.size(); ++g) {
            // Placements of the other groups by their mine count.
            std::vector<double> others{1};
            for (size_t h = 0; h < Groups.size(); ++h)
                if (h != g)
                    others = Convolve(others, groupTotals[h]);
            for (size_t i = 0; i < Groups[g].size(); ++i) {
                double withMine = 0;
                for (size_t k = 0; k < groupPerCell[g][i].size(); ++k)
                    for (size_t s = 0; s < others.size(); ++s)
                        withMine += Times(Times(groupPerCell[g][i][k], others[s]),
                                          Choose(Inner.size(), Model.Mines - int(k + s)));
                if (withMine == 0)
                    safe << CellAt(Groups[g][i]);
            }
        }
        std::vector<double> all{1};
        for (const std::vector<double> &totals : groupTotals)
            all = Convolve(all, totals);
        double innerMine = 0;
        for (size_t s = 0; s < all.size(); ++s)
            innerMine += Times(all[s], Choose(int(Inner.size()) - 1, Model.Mines - int(s) - 1));
        if (innerMine == 0)
            for (int cell : Inner)
                safe << CellAt(cell);
        return safe;
    }

private:
    struct TNumber {
        int Needed;
        std::vector<int> Cells; // a cell the walk visits twice is listed twice
    };

    int Index(int col, int row) const { return col * Model.Rows + row; }
    QPoint CellAt(int index) const { return {index / Model.Rows, index % Model.Rows}; }
    bool IsCovered(int index) const
    {
        return !Model.Cells[index / Model.Rows][index % Model.Rows]->Revealed;
    }

    static double Times(double a, double b) { return a == 0 || b == 0 ? 0 : a * b; }
    static double Choose(qsizetype n, int k)
    {
        if (k < 0 || k > n)
            return 0;
        double value = 1;
        for (int i = 1; i <= k; ++i)
            value = value * double(n - k + i) / i;
        return value;
    }
    static std::vector<double> Convolve(const std::vector<double> &a, const std::vector<double> &b)
    {
        std::vector<double> sum(a.size() + b.size() - 1, 0);
        for (size_t i = 0; i < a.size(); ++i)
            for (size_t j = 0; j < b.size(); ++j)
                sum[i + j] += Times(a[i], b[j]);
        return sum;
    }

    // The numbers next to covered cells, the covered cells they reach split
    // into groups sharing no number, and the covered cells no number reaches.
    void Collect() const
    {
        Numbers.clear();
        Groups.clear();
        Inner.clear();
        const int cells = Model.Cols * Model.Rows;
        std::vector<std::vector<int>> numbersOf(cells);
        for (int col = 0; col < Model.Cols; ++col)
            for (int row = 0; row < Model.Rows; ++row) {
                if (IsCovered(Index(col, row)))
                    continue;
                TNumber number{Model.Cells[col][row]->MinesAround, {}};
                Model.ForEachNeighbour(col, row, [&](int c, int r) {
                    if (IsCovered(Index(c, r)))
                        number.Cells.push_back(Index(c, r));
                });
                if (number.Cells.empty())
                    continue;
                for (int cell : number.Cells)
                    numbersOf[cell].push_back(int(Numbers.size()));
                Numbers.push_back(number);
            }
        std::vector<int> groupOf(cells, -1);
        for (int start = 0; start < cells; ++start) {
            if (!IsCovered(start) || groupOf[start] >= 0)
                continue;
            if (numbersOf[start].empty()) {
                Inner.push_back(start);
                continue;
            }
            std::vector<int> group{start};
            groupOf[start] = int(Groups.size());
            for (size_t i = 0; i < group.size(); ++i)
                for (int n : numbersOf[group[i]])
                    for (int next : Numbers[n].Cells)
                        if (groupOf[next] < 0) {
                            groupOf[next] = int(Groups.size());
                            group.push_back(next);
                        }
            Groups.push_back(group);
        }
    }

    // Every assignment of the group's cells, checked against every number
    // once it is complete: slow and plain on purpose.
    void Enumerate(const std::vector<int> &group, std::vector<int> &assigned, size_t next,
                   int mines, std::vector<double> &totals,
                   std::vector<std::vector<double>> &perCell) const
    {
        if (!Agrees(group, assigned, next))
            return;
        if (next == group.size()) {
            totals[mines] += 1;
            for (size_t i = 0; i < group.size(); ++i)
                perCell[i][mines] += assigned[i];
            return;
        }
        for (int mine : {0, 1}) {
            assigned[next] = mine;
            Enumerate(group, assigned, next + 1, mines + mine, totals, perCell);
        }
        assigned[next] = 0;
    }

    // No number of the group is exceeded by the first `done` cells, and the
    // numbers whose cells are all set are met exactly.
    bool Agrees(const std::vector<int> &group, const std::vector<int> &assigned, size_t done) const
    {
        for (const TNumber &number : Numbers) {
            int sum = 0;
            bool complete = true;
            bool touches = false;
            for (int cell : number.Cells) {
                const auto at = std::find(group.begin(), group.end(), cell) - group.begin();
                if (size_t(at) == group.size())
                    continue;
                touches = true;
                if (size_t(at) < done)
                    sum += assigned[at];
                else
                    complete = false;
            }
            if (touches && (sum > number.Needed || (complete && sum != number.Needed)))
                return false;
        }
        return true;
    }

    const TMines &Model;
    mutable std::vector<TNumber> Numbers;
    mutable std::vector<std::vector<int>> Groups;
    mutable std::vector<int> Inner;
};

// Opens what the counter finds safe until nothing more is certain; true
// when the board is won that way.  A mine opened is the counter's fault.
bool FinishWithoutGuessing(TMines &model)
{
    while (!model.IsWon()) {
        const QList<QPoint> safe = TPlacementCounter(model).SafeCells();
        if (safe.isEmpty())
            return false;
        for (const QPoint &cell : safe)
            model.Reveal(cell.x(), cell.y(), false);
        model.ProcessQueue();
        for (const QPoint &cell : safe)
            if (model.Cells[cell.x()][cell.y()]->IsMine)
                qFatal("the counter opened a mine at %d,%d", cell.x(), cell.y());
    }
    return true;
}

void SetBoard(TMines &model, int cols, int rows, int mines, bool borders)
{
    model.Level = LevelCustom;
    model.Cols = quint8(cols);
    model.Rows = quint8(rows);
    model.Mines = mines;
    model.Borders = borders;
    model.ResetBoard();
}

std::vector<std::uint8_t> Layout(const TMines &model)
{
    std::vector<std::uint8_t> layout;
    for (int col = 0; col < model.Cols; ++col)
        for (int row = 0; row < model.Rows; ++row)
            layout.push_back(model.Cells[col][row]->IsMine);
    return layout;
}

} // namespace

class TestGuessFree : public QObject
{
    Q_OBJECT

private slots:
    void solverKnowsWhatCountingKnows_data();
    void solverKnowsWhatCountingKnows();
    void generatedBoardsNeedNoGuess_data();
    void generatedBoardsNeedNoGuess();
    void playGoesOnAfterAMove();
    void noRoomForAnOpeningFallsBack();
    void budgetCountsWork();
    void clockChangesNothing();
};

void TestGuessFree::solverKnowsWhatCountingKnows_data()
{
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("mines");
    QTest::addColumn<bool>("borders");
    QTest::newRow("5x5 with borders") << 5 << 5 << 5 << true;
    QTest::newRow("7x6 dense with borders") << 7 << 6 << 12 << true;
    QTest::newRow("6x5 wrapped") << 6 << 5 << 6 << false;
    QTest::newRow("4x4 wrapped") << 4 << 4 << 3 << false;
    QTest::newRow("3x5 wrapped: columns meet twice") << 3 << 5 << 3 << false;
    QTest::newRow("2x7 wrapped: neighbours counted twice") << 2 << 7 << 3 << false;
    QTest::newRow("1x9 with borders") << 1 << 9 << 2 << true;
}

// Played from the same first opening of ordinary boards, those that can be
// finished and those that cannot, the solver opens exactly what counting
// shows to be safe: nothing unsound, nothing missed.
void TestGuessFree::solverKnowsWhatCountingKnows()
{
    QFETCH(int, cols);
    QFETCH(int, rows);
    QFETCH(int, mines);
    QFETCH(bool, borders);
    TMines model(TMines::TStoreUse::None);
    TDeductionSolver solver({cols, rows, borders});
    int finished = 0;
    for (quint32 seed = 1; seed <= 300; ++seed) {
        SetBoard(model, cols, rows, mines, borders);
        model.Random().SetState(seed);
        const int col = model.Random().Below(cols);
        const int row = model.Random().Below(rows);
        model.LayMines(col, row);
        const bool solved = solver.Solve(Layout(model), {col * rows + row});
        model.Reveal(col, row, true);
        finished += FinishWithoutGuessing(model);
        for (int c = 0; c < cols; ++c)
            for (int r = 0; r < rows; ++r)
                QVERIFY2(solver.IsOpened(c * rows + r) == bool(model.Cells[c][r]->Revealed),
                         qPrintable(QStringLiteral("seed %1, cell %2,%3").arg(seed).arg(c).arg(r)));
        QCOMPARE(solved, model.IsWon());
    }
    // Both kinds of board were met.
    QVERIFY(finished > 0 && finished < 300);
}

void TestGuessFree::generatedBoardsNeedNoGuess_data()
{
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("mines");
    QTest::addColumn<bool>("borders");
    QTest::addColumn<bool>("probing");
    QTest::addColumn<int>("seeds");
    QTest::addColumn<bool>("counting");
    // Counting every placement is for boards of Easy's size; the larger
    // boards are played by the solver without its search limit, the solver
    // having been held against counting above.
    QTest::newRow("Easy") << 8 << 8 << 10 << true << false << 3000 << true;
    QTest::newRow("Easy wrapped") << 8 << 8 << 10 << false << false << 3000 << true;
    QTest::newRow("Easy, a probe first") << 8 << 8 << 10 << true << true << 1000 << true;
    QTest::newRow("narrow wrapped") << 2 << 12 << 4 << false << false << 1000 << true;
    QTest::newRow("Medium") << 16 << 16 << 40 << true << false << 3000 << false;
    QTest::newRow("Medium wrapped") << 16 << 16 << 40 << false << false << 3000 << false;
    QTest::newRow("Medium, a probe first") << 16 << 16 << 40 << false << true << 1000 << false;
    QTest::newRow("Hard") << 30 << 20 << 99 << true << false << 1000 << false;
    QTest::newRow("Hard wrapped") << 30 << 20 << 99 << false << false << 1000 << false;
}

// From the game's own generator and a first opening anywhere: a 0 there, no
// mine under a probe, a board finished by counting alone, and the same
// board again from the same state.
void TestGuessFree::generatedBoardsNeedNoGuess()
{
    QFETCH(int, cols);
    QFETCH(int, rows);
    QFETCH(int, mines);
    QFETCH(bool, borders);
    QFETCH(bool, probing);
    QFETCH(int, seeds);
    QFETCH(bool, counting);
    seeds /= SeedShare;
    TMines model(TMines::TStoreUse::None);
    TDeductionSolver solver({cols, rows, borders});
    for (quint32 seed = 1; seed <= quint32(seeds); ++seed) {
        SetBoard(model, cols, rows, mines, borders);
        TRandom place(seed * 2654435761u);
        const QPoint first(place.Below(cols), place.Below(rows));
        QList<QPoint> probes;
        if (probing)
            for (int d : {-3, -2, 2, 3})
                probes << QPoint((first.x() + d + cols) % cols, first.y())
                       << QPoint(first.x(), (first.y() + d + rows) % rows);
        model.Random().SetState(seed);
        const QString where =
            QStringLiteral("seed %1 at %2,%3").arg(seed).arg(first.x()).arg(first.y());
        QVERIFY2(model.LayGuessFreeMines(first.x(), first.y(), probes), qPrintable(where));
        const std::vector<std::uint8_t> laid = Layout(model);
        QCOMPARE(model.Cells[first.x()][first.y()]->MinesAround, quint8(0));
        QCOMPARE(int(std::count(laid.begin(), laid.end(), 1)), mines);
        QCOMPARE(model.CoveredSafe, cols * rows - mines);
        for (const QPoint &probe : probes)
            QVERIFY2(!model.Cells[probe.x()][probe.y()]->IsMine, qPrintable(where));
        if (counting) {
            for (const QPoint &probe : probes)
                model.Reveal(probe.x(), probe.y(), false);
            model.Reveal(first.x(), first.y(), true);
            QVERIFY2(FinishWithoutGuessing(model), qPrintable(where));
        } else {
            std::vector<int> opening{first.x() * rows + first.y()};
            for (const QPoint &probe : probes)
                opening.push_back(probe.x() * rows + probe.y());
            QVERIFY2(solver.Solve(laid, opening), qPrintable(where));
        }

        SetBoard(model, cols, rows, mines, borders);
        model.Random().SetState(seed);
        model.LayGuessFreeMines(first.x(), first.y(), probes);
        QVERIFY2(Layout(model) == laid, qPrintable(where));
    }
}

// A solver that played a board and then meets it with one mine moved goes
// on from what it had told: it tells what a solver meeting that board
// first tells, move after move.
void TestGuessFree::playGoesOnAfterAMove()
{
    const TBoardShape shape{16, 16, true};
    TMines model(TMines::TStoreUse::None);
    for (quint32 seed = 1; seed <= quint32(200 / SeedShare); ++seed) {
        SetBoard(model, 16, 16, 40, true);
        model.Random().SetState(seed);
        model.LayMines(8, 8);
        std::vector<std::uint8_t> board = Layout(model);
        const std::vector<int> opening{8 * 16 + 8};
        TDeductionSolver goingOn(shape);
        TRandom random(seed);
        for (int move = 0; move < 10; ++move) {
            const bool solved = goingOn.Solve(board, opening);
            TDeductionSolver first(shape);
            QCOMPARE(solved, first.Solve(board, opening));
            for (int cell = 0; cell < shape.CellCount(); ++cell)
                QVERIFY2(
                    goingOn.IsOpened(cell) == first.IsOpened(cell) &&
                        goingOn.IsMarked(cell) == first.IsMarked(cell),
                    qPrintable(
                        QStringLiteral("seed %1, move %2, cell %3").arg(seed).arg(move).arg(cell)));
            int from = 0;
            int to = 0;
            do {
                from = random.Below(shape.CellCount());
                to = random.Below(shape.CellCount());
            } while (!board[from] || board[to] || to == opening[0]);
            std::swap(board[from], board[to]);
        }
    }
}

// Nine free cells cannot be found around the first opening: an ordinary
// board at once, with all its mines.
void TestGuessFree::noRoomForAnOpeningFallsBack()
{
    TMines model(TMines::TStoreUse::None);
    SetBoard(model, 4, 4, 9, true);
    model.Random().SetState(7);
    QVERIFY(!model.LayGuessFreeMines(1, 1, {}));
    const std::vector<std::uint8_t> laid = Layout(model);
    QCOMPARE(int(std::count(laid.begin(), laid.end(), 1)), 9);
    QVERIFY(!model.Cells[1][1]->IsMine);
    QCOMPARE(model.CoveredSafe, 7);
}

// The laying is bounded by the work it does: with exactly the work a
// layout took it is found again, the very same, and one step less gives up.
// A state whose first layouts stick, so that mines are moved and the solver
// goes on from its last play.
void TestGuessFree::budgetCountsWork()
{
    const TBoardShape hard{30, 20, true};
    const int first = 11 * 20 + 7;
    auto lay = [&](long budget, long *spent = nullptr) {
        TRandom random(BusyState);
        TGuessFreeLayout layout(hard, 99, budget);
        auto laid = layout.Lay(first, {}, random);
        if (spent)
            *spent = layout.WorkSpent();
        return laid;
    };
    long work = 0;
    const auto laid = lay(TGuessFreeLayout::GameWorkBudget, &work);
    QVERIFY(laid);
    QVERIFY2(work > 200000, "a state that keeps the laying busy");
    QVERIFY(lay(work) == laid);
    QVERIFY(!lay(work - 1));
}

// Nothing the clock says changes the board: a clock racing an hour ahead at
// every look lays what a stopped clock lays.
void TestGuessFree::clockChangesNothing()
{
    qint64 hours = 0;
    TGameEnvironment racing;
    racing.Clock =
        TWallClock([&hours] { return QDateTime::fromSecsSinceEpoch(3600 * ++hours, Qt::UTC); });
    TGameEnvironment stopped;
    stopped.Clock = TWallClock([] { return QDateTime::fromSecsSinceEpoch(0, Qt::UTC); });
    TMines hurried(TMines::TStoreUse::None, racing);
    TMines calm(TMines::TStoreUse::None, stopped);
    for (quint32 seed : {quint32(BusyState), 1u, 2u, 3u}) {
        for (TMines *model : {&hurried, &calm}) {
            SetBoard(*model, 30, 20, 99, true);
            model->Random().SetState(seed);
            QVERIFY(model->LayGuessFreeMines(11, 7, {}));
        }
        QVERIFY(Layout(hurried) == Layout(calm));
    }
}

QTEST_APPLESS_MAIN(TestGuessFree)
#include "test_guess_free.moc"
