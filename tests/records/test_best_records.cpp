#include "base/CodePageText.h"
#include "records/BestRecords.h"
#include "records/BestTimes.h"
#include "support/FailingWriter.h"
#include "support/MessageRecorder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace
{

// A record laid out byte by byte, independently of the program's encoder, so
// the tests pin the file format itself.  `junk` fills the name bytes past the
// length and the padding byte, as another program's buffer might.
QByteArray RawRecord(qint32 cols, qint32 rows, qint32 mines, qint32 time, const QByteArray &name,
                     char junk = '\0', int lengthByte = -1)
{
    QByteArray bytes(48, junk);
    for (int i = 0; i < 4; ++i) {
        const qint32 fields[] = {cols, rows, mines, time};
        qToLittleEndian<qint32>(fields[i], bytes.data() + 4 * i);
    }
    bytes[16] = char(lengthByte >= 0 ? lengthByte : name.size());
    for (int i = 0; i < name.size(); ++i)
        bytes[17 + i] = name[i];
    return bytes;
}

TBestRecord Record(int cols, int rows, int mines, int time, const QString &holder)
{
    return {cols, rows, mines, time, holder};
}

const QByteArray MediumAnn = RawRecord(16, 16, 40, 100, "Ann");
const QByteArray HardCy = RawRecord(30, 20, 99, 300, "Cy");

} // namespace

class BestRecordsTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString oldCurrent_;

    QString FilePath() const { return dir_.filePath(BestRecordsFileName); }
    QString TempPath() const { return dir_.filePath(BestRecordsTempFileName); }

    QByteArray FileBytes() const
    {
        QFile file(FilePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void WriteFile(const QByteArray &bytes) const
    {
        QFile file(FilePath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    QStringList Entries() const
    {
        return QDir(dir_.path())
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    }

    // The end of every fault: the old bytes exactly, and nothing else new.
    void ExpectUntouched(const QByteArray &oldBytes, const QStringList &oldEntries) const
    {
        QCOMPARE(FileBytes(), oldBytes);
        QCOMPARE(Entries(), oldEntries);
    }

private slots:
    void init()
    {
        QVERIFY(dir_.isValid());
        QDir(dir_.path()).removeRecursively();
        QDir().mkpath(dir_.path());
        oldCurrent_ = QDir::currentPath();
        QDir::setCurrent(dir_.path());
    }

    void cleanup()
    {
        QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QDir::setCurrent(oldCurrent_);
    }

    void folderIsTheGameOwnOrElseTheCurrentOne()
    {
        QCOMPARE(BestRecordsPath(), dir_.filePath("Ferrox for Windows.hi"));
        QVERIFY(SaveBestRecord(Record(8, 8, 10, 25, "Bob")));
        TBestTimes times(dir_.path());
        QDir::setCurrent(QDir::tempPath());
        QVERIFY(times.Load(8, 8, 10));
        QCOMPARE(times.Current().Holder, QString("Bob"));
    }

    void firstRecordCreatesTheFileWithOneRecord()
    {
        QVERIFY(SaveBestRecord(Record(8, 8, 10, 25, "Bob")));
        QCOMPARE(FileBytes(), RawRecord(8, 8, 10, 25, "Bob"));
        QCOMPARE(Entries(), QStringList{BestRecordsFileName});

        TBestRecord found;
        QVERIFY(LoadBestRecord(found, 8, 8, 10));
        QCOMPARE(found.BestTime, 25);
        QCOMPARE(found.Holder, QString("Bob"));
    }

    void timesAndKeysAreLittleEndian()
    {
        QVERIFY(SaveBestRecord(Record(101, 2, 70000, 1234, "")));
        const QByteArray bytes = FileBytes();
        QCOMPARE(bytes.left(16), QByteArray::fromHex("65000000"
                                                     "02000000"
                                                     "70110100"
                                                     "d2040000"));
    }

    void missingOrEmptyFileHoldsNoRecord()
    {
        TBestRecord record = Record(1, 1, 1, 5, "Old");
        QVERIFY(!LoadBestRecord(record, 9, 9, 10));
        QCOMPARE(record.KeyCols, 9);
        QCOMPARE(record.KeyRows, 9);
        QCOMPARE(record.KeyMines, 10);
        QCOMPARE(record.BestTime, 999);
        QCOMPARE(record.Holder, QString("no name"));

        WriteFile({});
        QVERIFY(!LoadBestRecord(record, 9, 9, 10));
        QCOMPARE(record.BestTime, 999);
    }

    void lookupFindsEveryRecordAndTakesTheFirstOfAKey()
    {
        WriteFile(MediumAnn + HardCy + RawRecord(16, 16, 40, 50, "Late"));
        TBestRecord record;
        QVERIFY(LoadBestRecord(record, 16, 16, 40));
        QCOMPARE(record.BestTime, 100);
        QCOMPARE(record.Holder, QString("Ann"));
        QVERIFY(LoadBestRecord(record, 30, 20, 99));
        QCOMPARE(record.Holder, QString("Cy"));
        QVERIFY(!LoadBestRecord(record, 16, 40, 16)); // the key's order matters

        // The list of every board agrees with the look-up, in the file's order;
        // a cut tail is no record.
        WriteFile(MediumAnn + HardCy + RawRecord(16, 16, 40, 50, "Late") + QByteArray(20, 'x'));
        QStringList all;
        for (const TBestRecord &each : LoadAllBestRecords(dir_.path()))
            all << QStringLiteral("%1x%2/%3 %4 %5")
                       .arg(each.KeyCols)
                       .arg(each.KeyRows)
                       .arg(each.KeyMines)
                       .arg(each.BestTime)
                       .arg(each.Holder);
        QCOMPARE(all, QStringList({"16x16/40 100 Ann", "30x20/99 300 Cy"}));
    }

    void beatenRecordIsReplacedInPlace()
    {
        WriteFile(MediumAnn + HardCy);
        QVERIFY(SaveBestRecord(Record(16, 16, 40, 80, "Dee")));
        QCOMPARE(FileBytes(), RawRecord(16, 16, 40, 80, "Dee") + HardCy);
        QCOMPARE(Entries(), QStringList{BestRecordsFileName});
    }

    void newConfigurationIsAppended()
    {
        WriteFile(MediumAnn + HardCy);
        QVERIFY(SaveBestRecord(Record(20, 20, 80, 400, "Eve")));
        QCOMPARE(FileBytes(), MediumAnn + HardCy + RawRecord(20, 20, 80, 400, "Eve"));
    }

    void everyRecordOfADuplicatedKeyIsReplaced()
    {
        WriteFile(MediumAnn + HardCy + RawRecord(16, 16, 40, 50, "Late"));
        QVERIFY(SaveBestRecord(Record(16, 16, 40, 40, "Fay")));
        const QByteArray fay = RawRecord(16, 16, 40, 40, "Fay");
        QCOMPARE(FileBytes(), fay + HardCy + fay);
    }

    void strayTailIsIgnoredOnLookupAndDroppedOnSave()
    {
        WriteFile(MediumAnn + HardCy + QByteArray("\x10\x00\x00\x00", 4));
        TBestRecord record;
        QVERIFY(LoadBestRecord(record, 16, 16, 40));
        QVERIFY(LoadBestRecord(record, 30, 20, 99));

        QVERIFY(SaveBestRecord(Record(30, 20, 99, 250, "Gus")));
        QCOMPARE(FileBytes(), MediumAnn + RawRecord(30, 20, 99, 250, "Gus"));
    }

    void recordSavedOverAStrayTailIsStillStored()
    {
        WriteFile(MediumAnn + HardCy + QByteArray(4, 'x'));
        QVERIFY(SaveBestRecord(Record(8, 8, 10, 7, "Hal")));
        QCOMPARE(FileBytes(), MediumAnn + HardCy + RawRecord(8, 8, 10, 7, "Hal"));
    }

    void emptyNameIsStoredWithLengthZero()
    {
        QVERIFY(SaveBestRecord(Record(8, 8, 10, 3, "")));
        QCOMPARE(FileBytes(), RawRecord(8, 8, 10, 3, ""));
        TBestRecord record;
        QVERIFY(LoadBestRecord(record, 8, 8, 10));
        QCOMPARE(record.Holder, QString());
    }

    void namesAreWindows1252WithQuestionMarksForTheRest()
    {
        // Every byte reads as its own character and writes back unchanged.
        QByteArray all(256, '\0');
        for (int i = 0; i < 256; ++i)
            all[i] = char(i);
        const QString text = FromCodePageBytes(all);
        QCOMPARE(ToCodePageBytes(text), all);
        QCOMPARE(text.mid(0x80, 6), QString::fromUtf8("\u20ac\u0081\u201a\u0192\u201e\u2026"));
        QCOMPARE(text.mid(0x8D, 5), QString::fromUtf8("\u008d\u017d\u008f\u0090\u2018"));
        QCOMPARE(text.mid(0x92, 1) + text.mid(0x99, 1) + text.mid(0x9D, 1) + text.mid(0xE9, 1),
                 QString::fromUtf8("\u2019\u2122\u009d\u00e9"));

        // U+674E and the emoji (two UTF-16 units) are not in the code page.
        QVERIFY(SaveBestRecord(
            Record(8, 8, 10, 9, QString::fromUtf8("Don\u2019t \u20ac\u00eb \u674e\U0001F600!"))));
        QCOMPARE(FileBytes(), RawRecord(8, 8, 10, 9,
                                        "Don\x92t \x80\xeb ?"
                                        "?!"));
        TBestRecord record;
        QVERIFY(LoadBestRecord(record, 8, 8, 10));
        QCOMPARE(record.Holder, QString::fromUtf8("Don\u2019t \u20ac\u00eb ?"
                                                  "?!"));
    }

    void untouchedRecordsKeepAllTheirBytes()
    {
        // Random files: keys, names of any bytes, any length byte, junk
        // after the name.  Only the record saved is written afresh.
        QRandomGenerator random(17);
        for (int round = 0; round < 20; ++round) {
            QByteArray file;
            for (int i = 0; i < 30; ++i) {
                QByteArray bytes(48, '\0');
                random.fillRange(reinterpret_cast<quint32 *>(bytes.data()), 12);
                qToLittleEndian<qint32>(1000 + i, bytes.data()); // unique keys
                file += bytes;
            }
            WriteFile(file);
            const int target = random.bounded(31); // 30: a key the file lacks
            TBestRecord won = Record(2000, 1, 1, 1, "New");
            QByteArray expected = file;
            if (target < 30) {
                won = *DecodeBestRecord(QByteArrayView(file).sliced(48 * target, 48));
                won.BestTime = 1;
                won.Holder = "New";
                expected.replace(48 * target, 48,
                                 RawRecord(won.KeyCols, won.KeyRows, won.KeyMines, 1, "New"));
            } else {
                expected += RawRecord(2000, 1, 1, 1, "New");
            }
            QVERIFY(SaveBestRecord(won));
            QCOMPARE(FileBytes(), expected);
        }
    }

    void namesAreCutToThirtyCharacters()
    {
        const QString thirty(30, 'a');
        QVERIFY(SaveBestRecord(Record(8, 8, 10, 9, thirty + "bcd")));
        QCOMPARE(FileBytes(), RawRecord(8, 8, 10, 9, thirty.toLatin1()));
    }

    void junkPastTheNameIsIgnoredAndNeverWrittenAgain()
    {
        const QByteArray maxWithJunk = RawRecord(8, 8, 10, 42, "Max", '\xAB');
        WriteFile(maxWithJunk + HardCy);
        TBestRecord record;
        QVERIFY(LoadBestRecord(record, 8, 8, 10));
        QCOMPARE(record.BestTime, 42);
        QCOMPARE(record.Holder, QString("Max"));

        // Another configuration's record is copied exactly as it was.
        QVERIFY(SaveBestRecord(Record(30, 20, 99, 200, "Ivy")));
        QCOMPARE(FileBytes(), maxWithJunk + RawRecord(30, 20, 99, 200, "Ivy"));

        record.BestTime = 41;
        QVERIFY(SaveBestRecord(record));
        QCOMPARE(FileBytes(), RawRecord(8, 8, 10, 41, "Max") + RawRecord(30, 20, 99, 200, "Ivy"));
    }

    void lengthBeyondThirtyReadsThirtyCharacters()
    {
        WriteFile(RawRecord(8, 8, 10, 42, QByteArray(30, 'n'), 'z', 200));
        TBestRecord record;
        QVERIFY(LoadBestRecord(record, 8, 8, 10));
        QCOMPARE(record.Holder, QString(30, 'n'));
    }

    void leftoversOfKilledSavesGoWhenOldAndOurs()
    {
        WriteFile(MediumAnn);
        const QString stem = BestRecordsTempFileName;
        struct Leftover {
            QString name;
            bool old;
            bool removed;
        };
        const Leftover leftovers[] = {
            {stem, true, true},                     // an older game's fixed name
            {stem + ".0123456789ab", true, true},   // a killed save of ours
            {stem + ".young0000000", false, false}, // another writer may be busy
            {stem + ".mine", true, false},          // not a name we make
            {"notes.txt", true, false},
        };
        QStringList expected = {BestRecordsFileName};
        for (const Leftover &leftover : leftovers) {
            QFile file(dir_.filePath(leftover.name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(500, 'q'));
            file.flush();
            if (leftover.old)
                QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-61),
                                         QFileDevice::FileModificationTime));
            if (!leftover.removed)
                expected << leftover.name;
        }
        QVERIFY(SaveBestRecord(Record(8, 8, 10, 5, "Jo")));
        QCOMPARE(FileBytes(), MediumAnn + RawRecord(8, 8, 10, 5, "Jo"));
        expected.sort();
        QCOMPARE(Entries(), expected);
    }

    void recordDecision()
    {
        const TBestRecord stored = Record(8, 8, 10, 25, "Bob");
        QVERIFY(IsNewRecord(false, stored, 1234)); // no record yet: any win
        QVERIFY(IsNewRecord(true, stored, 24));
        QVERIFY(!IsNewRecord(true, stored, 25)); // an equal time is no record
        QVERIFY(!IsNewRecord(true, stored, 26));
    }

    // Another copy of the game stores a time for the same board after this
    // one looked its record up: before the win, or while the name is asked.
    void timeStoredMeanwhileByAnotherCopy_data()
    {
        QTest::addColumn<int>("otherTime");
        QTest::addColumn<bool>("whileNaming");
        for (const bool whileNaming : {false, true}) {
            const char *when = whileNaming ? "while naming" : "before the win";
            QTest::addRow("faster, %s", when) << 5 << whileNaming;
            QTest::addRow("equal, %s", when) << 8 << whileNaming;
            QTest::addRow("slower, %s", when) << 9 << whileNaming;
        }
    }

    void timeStoredMeanwhileByAnotherCopy()
    {
        QFETCH(int, otherTime);
        QFETCH(bool, whileNaming);
        const TBestRecord other = Record(8, 8, 10, otherTime, "Other");
        const bool mine = otherTime > 8; // the win takes 8 seconds
        TBestTimes times;
        TBestRecord shown;
        connect(&times, &TBestTimes::recordChanged, [&](const TBestRecord &r) { shown = r; });
        QVERIFY(!times.Load(8, 8, 10));
        if (!whileNaming)
            QVERIFY(SaveBestRecord(other));
        // The name is asked only for a time that beats the file as it is now.
        const bool asked = times.IsNewRecord(8);
        QCOMPARE(asked, whileNaming || mine);
        if (asked) {
            if (whileNaming)
                QVERIFY(SaveBestRecord(other));
            const QByteArray before = FileBytes();
            QCOMPARE(times.SetRecord(8, "Me"), mine ? rsSaved : rsBeatenMeanwhile);
            if (!mine)
                QCOMPARE(FileBytes(), before);
        }
        const TBestRecord expected = mine ? Record(8, 8, 10, 8, "Me") : other;
        for (const TBestRecord &record : {times.Current(), shown}) {
            QCOMPARE(record.BestTime, expected.BestTime);
            QCOMPARE(record.Holder, expected.Holder);
        }
        QCOMPARE(FileBytes(), EncodeBestRecord(expected));
    }

    void unsavedRecordStillCountsThisRun()
    {
        // A folder where the lock file belongs: no save can be made.
        QVERIFY(QDir(dir_.path()).mkdir(QString(BestRecordsFileName) + ".ferrox-lock"));
        TBestTimes times;
        times.Load(8, 8, 10);
        QCOMPARE(times.SetRecord(8, "Me"), rsNotSaved);
        QVERIFY(!times.IsNewRecord(8));
        QCOMPARE(times.Current().Holder, QString("Me"));
    }

    // Times won with No Guessing keep a file of their own beside the other,
    // in the same format: neither list sees the other's times.
    void noGuessingTimesKeepAFileOfTheirOwn()
    {
        WriteFile(MediumAnn);
        TBestTimes times(dir_.path(), TBestList::NoGuessing);
        QVERIFY(!times.Load(16, 16, 40));
        QCOMPARE(times.SetRecord(50, "Nia"), rsSaved);
        QCOMPARE(FileBytes(), MediumAnn);
        QFile file(dir_.filePath("Ferrox for Windows (no guessing).hi"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), RawRecord(16, 16, 40, 50, "Nia"));
        QCOMPARE(Entries(),
                 QStringList({"Ferrox for Windows (no guessing).hi", "Ferrox for Windows.hi"}));
    }

    void hugeFileIsReadBoundedAndLeftAsItIs()
    {
        // 2 GB, sparse: it costs no disk.  A record stands at each end of
        // what a look-up reads.
        QFile file(FilePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.seek(qint64(MaxBestRecords - 1) * BestRecordSize));
        file.write(MediumAnn + HardCy);
        QVERIFY(file.resize(qint64(2) << 30));
        file.close();
        TBestRecord record;
        QVERIFY(LoadBestRecord(record, 16, 16, 40));
        QVERIFY(!LoadBestRecord(record, 30, 20, 99));

        MessageRecorder boxes;
        TBestTimes times;
        times.Load(16, 16, 40);
        QCOMPARE(times.SetRecord(5, "Jo"), rsFileTooLarge);
        QCOMPARE(times.Current().BestTime, 5); // it stands for this run
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(QFileInfo(FilePath()).size(), qint64(2) << 30);
        QCOMPARE(Entries(), QStringList{BestRecordsFileName});
    }

    // ---- faults: the old file survives byte for byte, no temporary file stays

    void nothingAtTheOldTemporaryNameStandsInTheWay()
    {
        // A folder there, or a link leading elsewhere: each save writes its
        // own temporary file and never through a name it did not make.
        WriteFile(MediumAnn);
        QVERIFY(QDir(dir_.path()).mkdir(BestRecordsTempFileName));
        QFile victim(dir_.filePath("victim.txt"));
        QVERIFY(victim.open(QIODevice::WriteOnly));
        victim.write("keep me");
        victim.close();
        QVERIFY(QFile::link(victim.fileName(), TempPath() + ".0123456789ab"));
        const QStringList before = Entries();
        QVERIFY(SaveBestRecord(Record(8, 8, 10, 5, "Jo")));
        QCOMPARE(FileBytes(), MediumAnn + RawRecord(8, 8, 10, 5, "Jo"));
        QVERIFY(victim.open(QIODevice::ReadOnly));
        QCOMPARE(victim.readAll(), QByteArray("keep me"));
        QCOMPARE(Entries(), before);
    }

    void writeFailingPartWay_data()
    {
        QTest::addColumn<int>("failingRecord");
        QTest::newRow("first copied record") << 0;
        QTest::newRow("second copied record") << 1;
        QTest::newRow("appended record") << 2;
    }

    void writeFailingPartWay()
    {
        QFETCH(int, failingRecord);
        WriteFile(MediumAnn + HardCy);
        const QStringList before = Entries();
        QVERIFY(!SaveBestRecord(Record(8, 8, 10, 1, "Lou"), dir_.path(), TBestList::Ordinary,
                                FailAfterBytes(failingRecord * BestRecordSize)));
        ExpectUntouched(MediumAnn + HardCy, before);
    }

    void writeFailingOnTheFirstRecordOfANewFile()
    {
        QVERIFY(!SaveBestRecord(Record(8, 8, 10, 1, "Lou"), dir_.path(), TBestList::Ordinary,
                                FailAfterBytes(0)));
        QCOMPARE(Entries(), QStringList());
    }

    void diskFullHalfWayThroughARecord()
    {
        WriteFile(MediumAnn + HardCy);
        QVERIFY(!SaveBestRecord(Record(8, 8, 10, 1, "Max"), dir_.path(), TBestList::Ordinary,
                                FailAfterBytes(BestRecordSize + 20)));
        ExpectUntouched(MediumAnn + HardCy, {BestRecordsFileName});
    }

    void bestTimesFileIsANamedPipe()
    {
#ifdef Q_OS_UNIX
        // Opening a pipe for reading would wait for a writer for ever.
        QCOMPARE(::mkfifo(QFile::encodeName(FilePath()).constData(), 0600), 0);
        const QStringList before = Entries();
        TBestRecord record;
        QVERIFY(!LoadBestRecord(record, 8, 8, 10));
        QCOMPARE(record.BestTime, 999);
        QVERIFY(!SaveBestRecord(Record(8, 8, 10, 1, "Ned")));
        QCOMPARE(Entries(), before);
        struct stat info = {};
        QCOMPARE(::stat(QFile::encodeName(FilePath()).constData(), &info), 0);
        QVERIFY(S_ISFIFO(info.st_mode));
#else
        QSKIP("named pipes in the file system are a Unix matter");
#endif
    }

    void controlCharactersInTheHolderAreDropped()
    {
        // 0x81 is no character of the code page: it stands for a control.
        const QByteArray damaged = RawRecord(8, 8, 10, 42, QByteArray("Bo\0b\x07\x1f!\x81", 8));
        WriteFile(damaged + HardCy);
        TBestRecord record;
        QVERIFY(LoadBestRecord(record, 8, 8, 10));
        QCOMPARE(record.Holder, QString("Bob!"));
        // Dropped from what is shown, not from the file.
        QVERIFY(SaveBestRecord(Record(30, 20, 99, 200, "Ivy")));
        QCOMPARE(FileBytes(), damaged + RawRecord(30, 20, 99, 200, "Ivy"));
    }

    void bestTimesPathIsADirectory()
    {
        QVERIFY(QDir(dir_.path()).mkdir(BestRecordsFileName));
        const QStringList before = Entries();
        TBestRecord record;
        QVERIFY(!LoadBestRecord(record, 8, 8, 10));
        QVERIFY(!SaveBestRecord(Record(8, 8, 10, 1, "Ned")));
        QCOMPARE(Entries(), before);
        QVERIFY(QFileInfo(FilePath()).isDir());
    }

    void directoryThatDoesNotExist()
    {
        const QString missing = dir_.filePath("gone");
        QVERIFY(!SaveBestRecord(Record(8, 8, 10, 1, "Oz"), missing));
        QVERIFY(!QFileInfo::exists(missing));
    }

    void readOnlyDirectory()
    {
#ifdef Q_OS_UNIX
        if (::geteuid() == 0)
            QSKIP(
                "root writes into read-only directories; the occupied temporary name covers this");
#endif
        WriteFile(MediumAnn + HardCy);
        const QStringList before = Entries();
        QVERIFY(QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::ExeOwner));
        QVERIFY(!SaveBestRecord(Record(8, 8, 10, 1, "Pam")));
        ExpectUntouched(MediumAnn + HardCy, before);
    }
};

QTEST_GUILESS_MAIN(BestRecordsTest)
#include "test_best_records.moc"
