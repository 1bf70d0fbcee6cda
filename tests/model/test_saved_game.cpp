// A game under way kept and read back: the same game cell for cell, counter
// for counter, clock and generator included, and every damaged file refused.

#include "model/MineGame.h"
#include "model/SavedGame.h"
#include "support/BoardPicture.h"
#include "support/LaidBoard.h"

#include <QBuffer>
#include <QSignalSpy>
#include <QTest>
#include <QtEndian>

namespace
{

// A board of its own size is a custom board.
void Custom(TMines &model)
{
    model.Level = LevelCustom;
}

// The CRC-32 of zip, written apart from the game's.
quint32 Crc(QByteArrayView bytes)
{
    quint32 crc = 0xffffffffu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ 0xedb88320u : crc >> 1;
    }
    return ~crc;
}

// A changed file with a checksum that fits it again: what is left to refuse
// it is the reader's look at its content.
QByteArray Resealed(QByteArray bytes)
{
    bytes.chop(4);
    char sum[4];
    qToLittleEndian(Crc(bytes), sum);
    return bytes.append(sum, 4);
}

std::optional<QList<TSavedGame>> Read(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return ReadSavedGames(buffer);
}

// The offsets of the file's fields (see SavedGame.cpp).
constexpr int VersionAt = 8;
constexpr int CountAt = 10;
constexpr int FirstGameAt = 11;
constexpr int ColsAt = FirstGameAt + 8;
constexpr int FirstCellAt = FirstGameAt + 30;

// The seconds the game's wall clock shows; the test moves it.
struct TTestClock {
    std::shared_ptr<QDateTime> Now =
        std::make_shared<QDateTime>(QDate(2026, 1, 1), QTime(12, 0, 0), Qt::UTC);
    TGameEnvironment Environment(quint32 randomState) const
    {
        TGameEnvironment environment;
        environment.Clock = TWallClock([now = Now] { return *now; });
        environment.RandomState = randomState;
        environment.Limits = {101, 101};
        return environment;
    }
    void Pass(int seconds) { *Now = Now->addSecs(seconds); }
};

void CompareGames(const TMineGame &resumed, const TMineGame &original)
{
    const TMines &a = resumed.Model();
    const TMines &b = original.Model();
    QCOMPARE(a.BoardSize(), b.BoardSize());
    QCOMPARE(a.Level, b.Level);
    QCOMPARE(std::tuple(a.QuestionMarks, a.CrossPointer, a.Borders, a.WindowsPress,
                        a.ClearNeighbours, a.NoGuessing),
             std::tuple(b.QuestionMarks, b.CrossPointer, b.Borders, b.WindowsPress,
                        b.ClearNeighbours, b.NoGuessing));
    QCOMPARE(resumed.IsNoGuessingGame(), original.IsNoGuessingGame());
    QCOMPARE(resumed.MayNeedGuess(), original.MayNeedGuess());
    QCOMPARE(a.MinesLeft, b.MinesLeft);
    QCOMPARE(a.CoveredSafe, b.CoveredSafe);
    QCOMPARE(a.Random().State(), b.Random().State());
    QCOMPARE(resumed.ShownSeconds(), original.ShownSeconds());
    for (int col = 0; col < a.Cols; ++col)
        for (int row = 0; row < a.Rows; ++row) {
            const TMineField &x = resumed.Cell(col, row);
            const TMineField &y = original.Cell(col, row);
            QCOMPARE(std::tuple(x.IsMine, x.MinesAround, x.State, bool(x.Queued), bool(x.Revealed),
                                x.Col, x.Row),
                     std::tuple(y.IsMine, y.MinesAround, y.State, bool(y.Queued), bool(y.Revealed),
                                y.Col, y.Row));
        }
}

// The first opening and two more moves on a board laid by the game itself.
void PlaySome(TMineGame &game, TTestClock &clock)
{
    game.FirstOpening(3, 3);
    game.Open(3, 3);
    clock.Pass(7);
    game.Tick();
    for (int col = 0; col < game.Model().Cols; ++col)
        for (int row = 0; row < game.Model().Rows; ++row)
            if (game.Cell(col, row).State == msCovered && game.Cell(col, row).IsMine) {
                game.CycleMark(col, row); // flagged
                if (game.Model().MinesLeft < game.Model().Mines - 1)
                    game.CycleMark(col, row); // a question mark
                if (game.Model().MinesLeft < game.Model().Mines - 2)
                    return;
            }
}

} // namespace

class SavedGameTest : public QObject
{
    Q_OBJECT

private slots:
    // The game goes on exactly: the same board, counters, clock and
    // generator, shown paused; after the pause the clock runs on from the
    // saved seconds and the same moves give the same game.
    void resumedGameIsTheSameGame_data()
    {
        QTest::addColumn<bool>("borders");
        QTest::addColumn<bool>("noGuessing");
        QTest::addColumn<int>("turns"); // edge-button turns of the board
        QTest::newRow("borders") << true << false << 0;
        QTest::newRow("no borders, turned") << false << false << 3;
        QTest::newRow("no guessing") << true << true << 0;
    }

    void resumedGameIsTheSameGame()
    {
        QFETCH(bool, borders);
        QFETCH(bool, noGuessing);
        QFETCH(int, turns);
        const int mines = 20;
        TTestClock clock;
        TMineGame original(TMines::TStoreUse::None, clock.Environment(12345));
        original.SetCustomBoard({12, 9, mines});
        original.SetBorders(borders);
        original.SetNoGuessing(noGuessing);
        original.SetCrossPointer(true);
        original.NewGame();
        PlaySome(original, clock);
        for (int turn = 0; turn < turns; ++turn)
            original.MoveBoard(1, turn % 2 ? -1 : 1);
        QVERIFY(original.IsPlaying());
        QVERIFY(!original.MayNeedGuess());

        const std::optional<TSavedGame> saved = original.GameUnderWay();
        QVERIFY(saved);
        const std::optional<QList<TSavedGame>> read = Read(EncodeSavedGames({*saved}));
        QVERIFY(read);
        QCOMPARE(read->size(), 1);
        QCOMPARE(read->first(), *saved);
        // A No Guessing game that got an ordinary board keeps its notice; an
        // ordinary game said to have fallen back is no game this program saves.
        // (The laying itself is a matter of the guess-free tests.)
        TSavedGame fellBack = *saved;
        fellBack.MayNeedGuess = true;
        const std::optional<QList<TSavedGame>> noticedRead = Read(EncodeSavedGames({fellBack}));
        QCOMPARE(bool(noticedRead), noGuessing);
        if (noticedRead) {
            TMineGame noticed(TMines::TStoreUse::None, clock.Environment(1));
            noticed.ResumeGame(noticedRead->first());
            QVERIFY(noticed.MayNeedGuess());
        }

        TTestClock laterClock;
        laterClock.Pass(3600 + 13);
        TMineGame resumed(TMines::TStoreUse::None, laterClock.Environment(999));
        resumed.ResumeGame(read->first());
        QCOMPARE(resumed.State(), quint8(gsPlaying | gsPaused));
        QVERIFY(!resumed.IsClockRunning());
        CompareGames(resumed, original);

        // The break is not counted.
        laterClock.Pass(30);
        resumed.Tick();
        QCOMPARE(resumed.ShownSeconds(), 7);
        resumed.TogglePause();
        laterClock.Pass(2);
        resumed.Tick();
        QCOMPARE(resumed.ShownSeconds(), 9);
        clock.Pass(2);
        original.Tick();
        // The next moves, on both: the same game from here on, won in the
        // time before the break and after it.
        QSignalSpy won(&resumed, &TMineGame::gameWon);
        QSignalSpy ended(&resumed, &TMineGame::gameEnded);
        for (int col = 0; col < original.Model().Cols; ++col)
            for (int row = 0; row < original.Model().Rows; ++row)
                if (!original.Cell(col, row).IsMine && original.Cell(col, row).State == msCovered) {
                    original.Open(col, row);
                    resumed.Open(col, row);
                }
        CompareGames(resumed, original);
        QVERIFY(resumed.IsOver() && original.IsOver());
        QCOMPARE(won.size(), 1);
        QCOMPARE(won.first().first().toInt(), 9);
        // One game for the history, on the board it was laid on.
        QCOMPARE(ended.size(), 1);
        const auto game = ended.first().first().value<TFinishedGame>();
        QCOMPARE(game.Outcome, TGameOutcome::Won);
        QCOMPARE(game.Seconds, 9);
        QCOMPARE(QList<int>({game.Cols, game.Rows, game.Mines}), QList<int>({12, 9, mines}));
        QCOMPARE(game.Borders, borders);
        QCOMPARE(game.NoGuessing, noGuessing);
    }

    // A press on the board ends the pause of a resumed game, and opens
    // nothing: the covered board showed nothing to aim at.  Only a game
    // under way is kept.
    void resumedGameWaitsForThePlayer()
    {
        TTestClock clock;
        TMineGame game(TMines::TStoreUse::None, clock.Environment(1));
        QVERIFY(!game.GameUnderWay());
        QVERIFY(TLaidBoard::Lay(game, {"1*..", "11..", "...."}, Custom));
        const TSavedGame saved = *game.GameUnderWay();
        game.Open(3, 2);
        QVERIFY(game.IsOver());
        QVERIFY(!game.GameUnderWay());

        game.ResumeGame(saved);
        QVERIFY(game.IsPaused());
        game.Press({Qt::LeftButton, QPoint(3, 2), false, {}});
        QVERIFY(!game.IsPaused());
        QVERIFY(game.IsClockRunning());
        QCOMPARE(game.Cell(3, 2).State, msCovered);
        // Once resumed, the pause is the ordinary one again.
        game.TogglePause();
        game.Press({Qt::LeftButton, QPoint(3, 2), false, {}});
        QVERIFY(game.IsPaused());
    }

    // The file holds the newest games first, ten at most.
    void fileKeepsTenGames()
    {
        TTestClock clock;
        TMineGame game(TMines::TStoreUse::None, clock.Environment(1));
        QVERIFY(TLaidBoard::Lay(game, {"1*..", "11..", "...."}, Custom));
        QList<TSavedGame> games;
        for (int i = 0; i < 12; ++i) {
            games.append(*game.GameUnderWay());
            games.last().Keeper = quint64(i + 1);
        }
        const std::optional<QList<TSavedGame>> read = Read(EncodeSavedGames(games));
        QVERIFY(read);
        QCOMPARE(*read, games.first(MaxSavedGames));
    }

    // Cut anywhere, any byte changed, another version, a board past the
    // storage or a game that cannot be under way: refused whole.
    void damagedFileIsRefused()
    {
        TTestClock clock;
        TMineGame game(TMines::TStoreUse::None, clock.Environment(1));
        QVERIFY(TLaidBoard::Lay(game, {"1*..", "11f.", "..?."}, Custom));
        const TSavedGame saved = *game.GameUnderWay();
        const QByteArray good = EncodeSavedGames({saved, saved});
        QVERIFY(Read(good));
        QVERIFY(Read(Resealed(good))); // the test's checksum is the file's

        for (int length = 0; length < good.size(); ++length)
            QVERIFY2(!Read(good.first(length)), qPrintable(QString::number(length)));
        QVERIFY(!Read(good + 'x'));
        QVERIFY(
            !Read(Resealed(good.first(good.size() - 4) + "xx" + "sum."))); // bytes after the games
        for (int at = 0; at < good.size(); ++at)
            for (const char flip : {'\x01', '\x80', '\xff'}) {
                QByteArray bad = good;
                bad[at] = char(bad[at] ^ flip);
                QVERIFY2(!Read(bad), qPrintable(QString("byte %1 ^ %2").arg(at).arg(int(flip))));
            }

        auto patched = [&good](int at, char value) {
            QByteArray bytes = good;
            bytes[at] = value;
            return Resealed(bytes);
        };
        QVERIFY(!Read(patched(VersionAt, 2)));            // a later format
        QVERIFY(!Read(patched(CountAt, 0)));              // no game
        QVERIFY(!Read(patched(CountAt, 11)));             // more than ten
        QVERIFY(!Read(patched(ColsAt, char(102))));       // past the cell storage
        QVERIFY(!Read(patched(ColsAt, 0)));               // no board
        QVERIFY(!Read(patched(FirstCellAt, '\x02')));     // a count that is no count of its mines
        QVERIFY(!Read(patched(FirstCellAt + 3, '\x40'))); // an open mine: the game was lost
        QVERIFY(!Read(patched(FirstCellAt + 3, '\x10'))); // a mine less than the board has

        // A board larger than any screen's, well formed: a start must not
        // take it (TSavedGame::Fits), the reader gives it.
        TMineGame large(TMines::TStoreUse::None, clock.Environment(1));
        large.SetCustomBoard({101, 101, 3000});
        large.FirstOpening(50, 50);
        large.Open(50, 50);
        QVERIFY(large.IsPlaying());
        const std::optional<QList<TSavedGame>> read =
            Read(EncodeSavedGames({*large.GameUnderWay()}));
        QVERIFY(read);
        QVERIFY(!read->first().Fits({100, 101}));
        QVERIFY(read->first().Fits({101, 101}));
    }
};

QTEST_GUILESS_MAIN(SavedGameTest)
#include "test_saved_game.moc"
