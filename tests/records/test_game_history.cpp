// The history of games: the lines as they land on disk, what a reader makes
// of damaged and foreign text, and the statistics of histories written as
// text here.

#include "base/FileLock.h"
#include "records/GameHistory.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <thread>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace
{

const QByteArray Header =
    "ended\tcolumns\trows\tmines\tborders\tno_guessing\toutcome\tseconds\tname\n";

THistoryGame Game(TGameOutcome outcome, int seconds, const QString &name = {},
                  TFinishedGame board = {{}, 8, 8, 10, true, false})
{
    THistoryGame game;
    static_cast<TFinishedGame &>(game) = board;
    game.Ended = QDateTime(QDate(2026, 12, 10), QTime(14, 5, 9), Qt::OffsetFromUTC, 3600);
    game.Outcome = outcome;
    game.Seconds = seconds;
    game.Name = name;
    return game;
}

// A line of an Easy game, as the file holds it.
QByteArray Easy(const char *outcome, int seconds, const char *name = "", const char *ng = "0")
{
    return "2026-12-10T14:05:09+01:00\t8\t8\t10\t1\t" + QByteArray(ng) + '\t' + outcome + '\t' +
           QByteArray::number(seconds) + '\t' + name + '\n';
}

TGameHistory ReadText(const QByteArray &text, qint64 limit = HistoryReadLimit)
{
    QByteArray bytes = text;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return TGameHistory::Read(buffer, limit);
}

const THistoryBoard EasyBoard{8, 8, 10, false};

QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class GameHistoryTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString Path() const { return HistoryPath(dir_.path()); }

private slots:
    void init()
    {
        QVERIFY(dir_.isValid());
        for (const QString &name : QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden))
            QFile::remove(dir_.filePath(name));
    }

    // The header once, then whole lines; a name's tabs, line ends and
    // control characters never land raw; a name only for a won game.
    void linesLandOnDiskAsWritten()
    {
        QVERIFY(AppendHistoryGame(Game(TGameOutcome::Won, 25,
                                       "Ann\tB\nC\r\x01"
                                       "D é"),
                                  dir_.path()));
        THistoryGame utc = Game(TGameOutcome::Lost, 7, "ignored", {{}, 30, 20, 99, false, true});
        utc.Ended = QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5), Qt::UTC);
        QVERIFY(AppendHistoryGame(utc, dir_.path()));
        QCOMPARE(FileBytes(Path()), Header + Easy("won", 25, "Ann B C  D \xc3\xa9") +
                                        "2026-01-02T03:04:05+00:00\t30\t20\t99\t0\t1\tlost\t7\t\n");
        const auto back = DecodeHistoryLine(EncodeHistoryLine(utc).chopped(1));
        QVERIFY(back);
        QCOMPARE(back->Ended, utc.Ended);
        QCOMPARE(back->Name, QString());
        QCOMPARE(THistoryBoard::Of(*back), (THistoryBoard{30, 20, 99, true}));
    }

    // Everything that is not a game of ours is read past, each line alone.
    void damagedAndForeignLinesAreReadPast()
    {
        const QByteArray text =
            Header + Easy("won", 30, "Ann") + "garbage\n" + "\n" +
            "2026-12-10T14:05:09+01:00\t8\t8\t10\t1\t0\twon\t30\n" +       // a field short
            "2026-13-10T14:05:09+01:00\t8\t8\t10\t1\t0\tlost\t3\t\n" +     // no such month
            "2026-12-10 14:05:09\t8\t8\t10\t1\t0\tlost\t3\t\n" +           // no offset
            "2026-12-10T14:05:09+01:00\t8\t8\t64\t1\t0\tlost\t3\t\n" +     // no room for the mines
            "2026-12-10T14:05:09+01:00\t8\t8\t10\t2\t0\tlost\t3\t\n" +     // borders 2
            "2026-12-10T14:05:09+01:00\t8\t8\t10\t1\t0\tdrawn\t3\t\n" +    // unknown outcome
            "2026-12-10T14:05:09+01:00\t8\t8\t10\t1\t0\tlost\t-3\t\n" +    // negative time
            "2026-12-10T14:05:09+01:00\t8\t8\t10\t1\t0\twon\t9\tA\x02\n" + // control character
            QByteArray(5000, 'x') + '\n' +                                 // far too long
            "2026-12-10T14:05:09Z\t8\t8\t10\t1\t0\tlost\t4\t\tlater\tfields\r\n" + // kept
            Easy("won", 20, "Bo").chopped(3); // cut by a writer that stopped
        const TGameHistory history = ReadText(text);
        QCOMPARE(history.GamesRead(), 2);
        QCOMPARE(history.LinesSkipped(), 12);
        QCOMPARE(history.Boards(), QList<THistoryBoard>{EasyBoard});
        const TBoardStatistics easy = history.Of(EasyBoard);
        QCOMPARE(easy.Won, 1);
        QCOMPARE(easy.Lost, 1);
        QCOMPARE(easy.BestGames.size(), 1);
        QCOMPARE(easy.BestGames.at(0).Name, QString("Ann"));
        QCOMPARE(easy.BestGames.at(0).Ended.offsetFromUtc(), 3600);
    }

    void statistics_data()
    {
        QTest::addColumn<QByteArray>("outcomes"); // W won, L lost, A abandoned, in file order
        QTest::addColumn<QList<int>>("counts");   // played, won, lost, abandoned
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("longest");
        QTest::addColumn<double>("percent");
        QTest::newRow("abandoned games end a streak")
            << QByteArray("WWAWWWLWAW") << QList<int>{10, 7, 1, 2} << 1 << 3 << 70.0;
        QTest::newRow("a streak runs to the end")
            << QByteArray("LWWW") << QList<int>{4, 3, 1, 0} << 3 << 3 << 75.0;
        QTest::newRow("only losses")
            << QByteArray("LLL") << QList<int>{3, 0, 3, 0} << 0 << 0 << 0.0;
        QTest::newRow("no games") << QByteArray() << QList<int>{0, 0, 0, 0} << 0 << 0 << 0.0;
    }

    void statistics()
    {
        QFETCH(QByteArray, outcomes);
        QFETCH(QList<int>, counts);
        QByteArray text = Header;
        int seconds = 10;
        for (char outcome : outcomes)
            text += Easy(outcome == 'W'   ? "won"
                         : outcome == 'L' ? "lost"
                                          : "abandoned",
                         seconds++, "N");
        // Another board's games and the No Guessing list's stay apart.
        text += Easy("lost", 1, "", "1") + "2026-12-10T14:05:09+01:00\t9\t8\t10\t1\t0\tlost\t1\t\n";
        const TBoardStatistics easy = ReadText(text).Of(EasyBoard);
        QCOMPARE((QList<int>{easy.Played, easy.Won, easy.Lost, easy.Abandoned}), counts);
        QTEST(easy.CurrentStreak, "current");
        QTEST(easy.LongestStreak, "longest");
        QTEST(easy.PercentWon(), "percent");
        QCOMPARE(easy.AverageWonSeconds().has_value(), easy.Won > 0);
    }

    // The ten fastest, fastest first, of equal times the earlier; the mean
    // of all wins.
    void tenBestWonGames()
    {
        QByteArray text;
        const int times[] = {50, 40, 60, 40, 30, 90, 80, 70, 20, 10, 100, 5, 45};
        for (int i = 0; i < int(std::size(times)); ++i)
            text += Easy("won", times[i], QByteArray::number(i).constData());
        const TBoardStatistics easy = ReadText(text).Of(EasyBoard);
        QList<int> best;
        QStringList names;
        for (const THistoryGame &game : easy.BestGames) {
            best << game.Seconds;
            names << game.Name;
        }
        QCOMPARE(best, (QList<int>{5, 10, 20, 30, 40, 40, 45, 50, 60, 70}));
        QCOMPARE(names.mid(4, 2), (QStringList{"1", "3"}));
        QCOMPARE(*easy.AverageWonSeconds(), 640.0 / 13);
    }

    // A writer stopped mid-line leaves a cut line: the next append ends it
    // with a mark, so it never reads as a game, and starts on a line of its own.
    void aCutLineIsEndedBeforeTheNextLine()
    {
        WriteFile(Path(), Header + Easy("won", 20, "Bo").chopped(2));
        QVERIFY(AppendHistoryGame(Game(TGameOutcome::Lost, 3), dir_.path()));
        const TGameHistory history = TGameHistory::Load(dir_.path());
        QCOMPARE(history.GamesRead(), 1);
        QCOMPARE(history.Of(EasyBoard).Lost, 1);
        QVERIFY(FileBytes(Path()).startsWith(Header + Easy("won", 20, "Bo").chopped(2)));
    }

    // Only the file's end is read from a huge one, and nothing hangs on
    // text without line ends.
    void aHugeFileIsReadByItsEnd()
    {
        QByteArray text = Header;
        for (int i = 0; i < 100; ++i)
            text += Easy("lost", i);
        text += Easy("won", 7, "Last");
        const TGameHistory tail = ReadText(text, 3 * Easy("lost", 50).size() + 10);
        QVERIFY(tail.ReadTail());
        QCOMPARE(tail.GamesRead(), 3);
        QCOMPARE(tail.Of(EasyBoard).Won, 1);

        // A sparse file of 2 GB of zeros with one game at its end.
        QFile file(Path());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(qint64(2) * 1024 * 1024 * 1024));
        QVERIFY(file.seek(file.size()));
        file.write("\n" + Easy("won", 9, "Z"));
        file.close();
        const TGameHistory huge = TGameHistory::Load(dir_.path());
        QCOMPARE(huge.GamesRead(), 1);
        QVERIFY(huge.ReadTail());
        QFile::remove(Path());
    }

    // Two writers at once (as two copies of the game would be) lose no line
    // and cut none.
    void twoWritersLoseNoLine()
    {
        constexpr int PerWriter = 150;
        auto writer = [this](int first) {
            for (int i = 0; i < PerWriter; ++i)
                AppendHistoryGame(Game(TGameOutcome::Won, first + i, "W"), dir_.path());
        };
        std::thread a(writer, 0);
        std::thread b(writer, 1000);
        a.join();
        b.join();
        const QByteArray bytes = FileBytes(Path());
        QVERIFY(bytes.startsWith(Header));
        QList<QByteArray> lines = bytes.sliced(Header.size()).split('\n');
        QCOMPARE(lines.takeLast(), QByteArray());
        QSet<int> seconds;
        for (const QByteArray &line : lines) {
            const auto game = DecodeHistoryLine(line);
            QVERIFY2(game, line.constData());
            seconds.insert(game->Seconds);
        }
        QCOMPARE(lines.size(), 2 * PerWriter);
        QCOMPARE(seconds.size(), 2 * PerWriter);
    }

    // What cannot be written costs the line and nothing else.
    void unwritableHistoryCostsOnlyTheLine()
    {
#ifdef Q_OS_UNIX
        // A pipe in its place is never waited on.
        QCOMPARE(::mkfifo(QFile::encodeName(Path()).constData(), 0600), 0);
        QVERIFY(!AppendHistoryGame(Game(TGameOutcome::Lost, 1), dir_.path()));
        QCOMPARE(TGameHistory::Load(dir_.path()).GamesRead(), 0);
        QFile::remove(Path());
        if (::geteuid() == 0)
            QSKIP("the superuser writes into read-only folders");
        WriteFile(Path(), Header + Easy("won", 5, "A"));
        QVERIFY(QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::ExeOwner));
        QString why;
        QVERIFY(!AppendHistoryGame(Game(TGameOutcome::Lost, 1), dir_.path(), &why));
        QVERIFY(!why.isEmpty());
        QVERIFY(!ForgetBoardHistory(EasyBoard, dir_.path()));
        QVERIFY(QFile::setPermissions(dir_.path(),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QCOMPARE(FileBytes(Path()), Header + Easy("won", 5, "A"));
        QCOMPARE(QDir(dir_.path()).entryList(QDir::Files), QStringList{HistoryFileName});
#endif
    }

    // Forgetting a board keeps every other byte, and touches no best times.
    void forgettingABoardKeepsEveryOtherLine()
    {
        const QByteArray other = "2026-12-10T14:05:09+01:00\t9\t9\t10\t1\t0\tlost\t1\t\n";
        const QByteArray ng = Easy("won", 4, "N", "1");
        WriteFile(Path(), Header + Easy("won", 5, "A") + other + "foreign\r\n" + Easy("lost", 6) +
                              ng + "cut");
        const QString best = dir_.filePath("Ferrox for Windows.hi");
        WriteFile(best, QByteArray(48, 'b'));
        QVERIFY(ForgetBoardHistory(EasyBoard, dir_.path()));
        QCOMPARE(FileBytes(Path()), Header + other + "foreign\r\n" + ng + "cut");
        QCOMPARE(FileBytes(best), QByteArray(48, 'b'));
        QVERIFY(ForgetBoardHistory(EasyBoard, dir_.path() + "/none"));
        QCOMPARE(QDir(dir_.path()).entryList(QDir::Files),
                 QStringList({"Ferrox for Windows.hi", HistoryFileName}));
    }
};

QTEST_GUILESS_MAIN(GameHistoryTest)
#include "test_game_history.moc"
