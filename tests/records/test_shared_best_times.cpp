// Copies of the game sharing one best-times file, or one history of games:
// each save or append runs in a process of its own (best_records_writer),
// some are killed part way, and the file must never lose a record or a line
// nor be cut or mixed.

#include "records/BestRecords.h"
#include "records/GameHistory.h"
#include "support/FileKinds.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace
{

constexpr int SeedRecords = 20000;
constexpr int Rounds = 200;
constexpr int FirstA = 100000;
constexpr int FirstB = 200000;

// Records with keys 1..SeedRecords and names of any bytes, junk after them.
QByteArray SeedFile()
{
    QRandomGenerator random(4);
    QByteArray bytes(SeedRecords * BestRecordSize, '\0');
    random.fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
    for (int i = 0; i < SeedRecords; ++i)
        qToLittleEndian<qint32>(1 + i, bytes.data() + i * BestRecordSize);
    return bytes;
}

QString Writer()
{
    return QStringLiteral(FERROX_RECORDS_WRITER);
}

// The keys a writer reported as saved (or the seconds it reported appended).
QSet<int> SavedKeys(QProcess &writer, const QByteArray &word = "saved ")
{
    QSet<int> keys;
    for (const QByteArray &line : writer.readAllStandardOutput().split('\n'))
        if (line.startsWith(word))
            keys.insert(line.mid(word.size()).toInt());
    return keys;
}

// Each save flushes its file to the disk: on a real disk two hundred rounds
// would take a minute, in memory they keep their races and take seconds.
QString FastFolderTemplate()
{
    const QFileInfo memory(QStringLiteral("/dev/shm"));
    const bool fast = memory.isDir() && memory.isWritable();
    return (fast ? memory.filePath() : QDir::tempPath()) + QStringLiteral("/ferrox-shared-XXXXXX");
}

} // namespace

class SharedBestTimesTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir_{FastFolderTemplate()};

    QString FilePath() const { return BestRecordsPath(dir_.path()); }

    QByteArray FileBytes() const
    {
        QFile file(FilePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // A whole number of records, the seed first and unchanged, every other
    // record one a writer made whole.  Gives the keys of the others.
    QSet<int> CheckFile(const QByteArray &seed) const
    {
        const QByteArray bytes = FileBytes();
        QSet<int> keys;
        [&] {
            QCOMPARE(bytes.size() % BestRecordSize, 0);
            QVERIFY(bytes.startsWith(seed));
            for (qsizetype at = seed.size(); at < bytes.size(); at += BestRecordSize) {
                const TBestRecord record = *DecodeBestRecord(bytes.mid(at, BestRecordSize));
                const QString name = record.KeyCols >= FirstB ? "B" : "A";
                QCOMPARE(EncodeBestRecord(record), bytes.mid(at, BestRecordSize));
                QCOMPARE(record.Holder, name);
                QVERIFY(!keys.contains(record.KeyCols));
                keys.insert(record.KeyCols);
            }
        }();
        return keys;
    }

    void StartSaving(QProcess &writer, int first, int count, const char *name) const
    {
        writer.start(Writer(),
                     {"save", dir_.path(), QString::number(first), QString::number(count), name});
        QVERIFY(writer.waitForStarted());
    }

private slots:
    void init()
    {
        QVERIFY(dir_.isValid());
        for (const QString &name : EntriesIn(dir_.path()))
            QFile::remove(dir_.filePath(name));
    }

    // Each round two copies save a record each into a large file at the
    // same moment; in every other round one of them is killed wherever it
    // stands.
    void twoCopiesSavingAtOnceOneKilledAtRandom()
    {
        const QByteArray seed = SeedFile();
        QFile file(FilePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(seed);
        file.close();

        const quint32 seedOfKills = QRandomGenerator::global()->generate();
        QRandomGenerator random(seedOfKills);
        QSet<int> saved;
        int kills = 0;
        for (int round = 0; round < Rounds && !QTest::currentTestFailed(); ++round) {
            QProcess a;
            QProcess b;
            StartSaving(a, FirstA + round, 1, "A");
            StartSaving(b, FirstB + round, 1, "B");
            const bool kill = random.bounded(2) == 1;
            if (kill) {
                QTest::qSleep(random.bounded(12));
                b.kill(); // SIGKILL; reaped at once below
                ++kills;
            }
            QVERIFY(a.waitForFinished());
            QVERIFY(b.waitForFinished());
            const QSet<int> savedA = SavedKeys(a);
            QCOMPARE(savedA, QSet<int>{FirstA + round});
            const QSet<int> savedB = SavedKeys(b);
            QVERIFY(kill || savedB == QSet<int>{FirstB + round});
            saved += savedA + savedB;
            QVERIFY(CheckFile(seed).contains(saved));
        }
        if (QTest::currentTestFailed())
            qWarning("random seed of the kills: %u", seedOfKills);
        QVERIFY(kills > 0);
        const QStringList left = EntriesIn(dir_.path()).filter(BestRecordsTempFileName);
        qInfo("%d copies killed: %d after saving, %d in the middle of a save", kills,
              int(saved.size() - Rounds - (Rounds - kills)), int(left.size()));
        // What the killed ones left is only their own temporary files.
        for (const QString &name : EntriesIn(dir_.path()))
            if (name != BestRecordsFileName)
                QVERIFY2(name.startsWith(BestRecordsTempFileName) || name.endsWith(".ferrox-lock"),
                         qPrintable(name));
    }

    // Two copies append to the history at once, one of them killed at a
    // random moment in every other round: every line either reported is
    // there once, whole, and nothing but our lines and the header is.
    void twoCopiesAppendingToTheHistoryOneKilledAtRandom()
    {
        const quint32 seedOfKills = QRandomGenerator::global()->generate();
        QRandomGenerator random(seedOfKills);
        QSet<int> appended;
        int kills = 0;
        constexpr int PerRound = 20;
        for (int round = 0; round < Rounds / 4 && !QTest::currentTestFailed(); ++round) {
            QProcess a;
            QProcess b;
            for (auto [writer, first] : {std::pair(&a, FirstA), std::pair(&b, FirstB)}) {
                writer->start(Writer(),
                              {"append", dir_.path(), QString::number(first + round * PerRound),
                               QString::number(PerRound), "H"});
                QVERIFY(writer->waitForStarted());
            }
            const bool kill = random.bounded(2) == 1;
            if (kill) {
                QTest::qSleep(random.bounded(8));
                b.kill();
                ++kills;
            }
            QVERIFY(a.waitForFinished());
            QVERIFY(b.waitForFinished());
            const QSet<int> byA = SavedKeys(a, "appended ");
            QCOMPARE(byA.size(), PerRound);
            const QSet<int> byB = SavedKeys(b, "appended ");
            QVERIFY(kill || byB.size() == PerRound);
            appended += byA + byB;
        }
        if (QTest::currentTestFailed())
            qWarning("random seed of the kills: %u", seedOfKills);
        QVERIFY(kills > 0);
        QFile file(HistoryPath(dir_.path()));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.takeFirst(), QByteArray(HistoryHeader));
        QCOMPARE(lines.takeLast(), QByteArray());
        QSet<int> found;
        for (const QByteArray &line : std::as_const(lines)) {
            const std::optional<THistoryGame> game = DecodeHistoryLine(line);
            QVERIFY2(game, line.constData());
            QVERIFY(!found.contains(game->Seconds));
            found.insert(game->Seconds);
        }
        QVERIFY(found.contains(appended));
        QCOMPARE(TGameHistory::Load(dir_.path()).GamesRead(), found.size());
    }

    void lockOfAKilledCopyIsBrokenAtOnce()
    {
        QProcess holder;
        holder.start(Writer(), {"hold", dir_.path()});
        QVERIFY(holder.waitForReadyRead());
        QCOMPARE(holder.readAllStandardOutput(), QByteArray("locked\n"));
        holder.kill();
        QVERIFY(holder.waitForFinished());
        QVERIFY(QFileInfo::exists(FilePath() + ".ferrox-lock"));

        QElapsedTimer waited;
        waited.start();
        QVERIFY(SaveBestRecord({8, 8, 10, 5, "Jo"}, dir_.path()));
        QVERIFY(waited.elapsed() < 2000); // well inside the wait: not timed out
        QCOMPARE(EntriesIn(dir_.path()), QStringList{BestRecordsFileName});
    }

    void lockHeldTooLongLeavesTheFileAsItWas()
    {
        QVERIFY(SaveBestRecord({8, 8, 10, 5, "Jo"}, dir_.path()));
        const QByteArray before = FileBytes();
        QProcess holder;
        holder.start(Writer(), {"hold", dir_.path()});
        QVERIFY(holder.waitForReadyRead());

        TBestRecord stored;
        QCOMPARE(SaveNewRecord({8, 8, 10, 4, "Al"}, stored, dir_.path()), rsNotSaved);
        QCOMPARE(FileBytes(), before);
        holder.kill();
        QVERIFY(holder.waitForFinished());
    }
};

QTEST_GUILESS_MAIN(SharedBestTimesTest)
#include "test_shared_best_times.moc"
