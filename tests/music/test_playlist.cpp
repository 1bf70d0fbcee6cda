// Play lists: which lines of a play-list file become entries, how names are
// resolved and written back, and what the user is told when a load fails.
#include "MusicTestSupport.h"
#include "base/FileLock.h"
#include "music/PlayList.h"
#include "support/FailingWriter.h"
#include "support/FileKinds.h"
#include "support/MessageRecorder.h"

#include <QBuffer>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace
{

QByteArray ModHeader(const QByteArray &title)
{
    return title.leftJustified(20, '\0', true) + QByteArray(100, 'x');
}

QList<QByteArray> NamesOf(const TPlayList &list)
{
    QList<QByteArray> names;
    for (int i = 0; i < list.Count(); ++i)
        names << list.Items(i).FileName;
    return names;
}

TPlayList &ListOf(TPlayList &list, std::initializer_list<const char *> names)
{
    for (const char *name : names) {
        TPlayListItem item;
        item.FileName = name;
        list.AddCopy(item);
    }
    return list;
}

QList<QByteArray> TitlesOf(const TPlayList &list)
{
    QList<QByteArray> titles;
    for (int i = 0; i < list.Count(); ++i)
        titles << list.Items(i).Title;
    return titles;
}

// Gives its bytes, then fails as a broken disk would.
class TFailingDevice : public QIODevice
{
public:
    explicit TFailingDevice(QByteArray bytes) : Bytes(std::move(bytes)) {}

protected:
    qint64 readData(char *data, qint64 size) override
    {
        if (Bytes.isEmpty())
            return -1;
        const qint64 count = qMin<qint64>(size, Bytes.size());
        memcpy(data, Bytes.constData(), static_cast<size_t>(count));
        Bytes.remove(0, count);
        return count;
    }
    qint64 writeData(const char *, qint64) override { return -1; }
    bool isSequential() const override { return true; }

private:
    QByteArray Bytes;
};

} // namespace

class TestPlayList : public QObject
{
    Q_OBJECT

    // Three modules in the test folder, titled after their names.
    static void WriteModules(const TTestFolder &folder)
    {
        for (const char *name : {"one.mod", "two.mod", "three.mod"})
            QVERIFY(folder.Write(name, ModHeader(QByteArray(name).chopped(4))));
    }

private slots:
    void everyLineEndReads_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("CR LF") << QByteArray("one.mod\r\ntwo.mod\r\nthree.mod\r\n");
        QTest::newRow("LF") << QByteArray("one.mod\ntwo.mod\nthree.mod\n");
        QTest::newRow("CR") << QByteArray("one.mod\rtwo.mod\rthree.mod\r");
        QTest::newRow("mixed, no final end") << QByteArray("one.mod\n\r\ntwo.mod\r\rthree.mod");
        QTest::newRow("extended") << QByteArray(
            "#EXTM3U\r\n#EXTINF:12,One\r\none.mod\r\n#EXTINF:-1,Two\r\n"
            "two.mod\r\n\r\n# a comment\r\nthree.mod\r\n");
        QTest::newRow("end-of-file mark")
            << QByteArray("one.mod\r\ntwo.mod\r\nthree.mod\x1a\r\none.mod\r\n");
    }

    void everyLineEndReads()
    {
        QFETCH(QByteArray, content);
        TTestFolder folder;
        WriteModules(folder);
        QVERIFY(folder.Write("list.m3u", content));
        MessageRecorder boxes;
        TPlayList list;
        QVERIFY(list.LoadFromFile("list.m3u", folder.Sound));
        QCOMPARE(NamesOf(list), (QList<QByteArray>{"one.mod", "two.mod", "three.mod"}));
        QCOMPARE(TitlesOf(list), (QList<QByteArray>{"one", "two", "three"}));
        QVERIFY(boxes.boxes.isEmpty());
    }

    void linesAreTakenAsWritten()
    {
        TTestFolder folder;
        WriteModules(folder);
        QVERIFY(folder.Write(" two.mod", ModHeader("leading")));
        QVERIFY(folder.Write("blank.mod  ", ModHeader("blanks")));
        QVERIFY(folder.Write("list.m3u", "blank.mod  \r\none.mod \r\n two.mod\r\nmissing.mod\r\n"
                                         "three.mod\r\nthree.mod\r\nnotes.txt\r\n" +
                                             QByteArray("one.mod\0x.mod\r\n", 15)));
        TPlayList list;
        QVERIFY(list.LoadFromFile("list.m3u", folder.Sound));
        // Nothing is trimmed: "one.mod " names no file, " two.mod" names its
        // own, and a name ending in blanks is of no known kind.  A zero byte
        // ends no name: the line names no file.
        QCOMPARE(NamesOf(list), (QList<QByteArray>{" two.mod", "three.mod", "three.mod"}));
        QCOMPARE(list.Items(0).Title, QByteArray("leading"));
    }

    void relativeNamesFollowTheirPlayList()
    {
        TTestFolder folder;
        QVERIFY(folder.Write("mods/a.mod", ModHeader("a")));
        QVERIFY(folder.Write("mods/b.mod", ModHeader("b")));
        const QByteArray absolute = QFile::encodeName(folder.File("mods/b.mod"));
        QVERIFY(folder.Write("lists/list.m3u", "../mods/a.mod\n" + absolute + "\n"));
        QVERIFY(QDir().mkpath(folder.File("elsewhere")));
        QDir::setCurrent(folder.File("elsewhere"));

        TPlayList list;
        QVERIFY(list.LoadFromFile(folder.File("lists/list.m3u"), folder.Sound));
        QCOMPARE(NamesOf(list), (QList<QByteArray>{"../mods/a.mod", absolute}));
        QCOMPARE(QFileInfo(list.Items(0).Path()).canonicalFilePath(),
                 QFileInfo(folder.File("mods/a.mod")).canonicalFilePath());

        // Kept as written when saved, so the file still reads from its folder.
        QVERIFY(list.SaveToFile(folder.File("lists/saved.m3u")));
        QCOMPARE(folder.Read("lists/saved.m3u"), "../mods/a.mod\r\n" + absolute + "\r\n");
        TPlayList copy;
        copy.Assign(list);
        QCOMPARE(copy.Items(0).Path(), list.Items(0).Path());
    }

    // A list saved into another folder than the one its relative entries
    // came from still names the same modules when loaded from there.
    void listSavedElsewhereKeepsItsModules_data()
    {
        QTest::addColumn<QString>("savedAs");
        QTest::addColumn<QByteArray>("firstLine");
        QTest::newRow("same folder") << "lists/saved.m3u" << QByteArray("../mods/a.mod");
        QTest::newRow("above the modules") << "saved.m3u" << QByteArray("mods/a.mod");
        QTest::newRow("beside them") << "other/saved.m3u" << QByteArray();
    }

    void listSavedElsewhereKeepsItsModules()
    {
        QFETCH(QString, savedAs);
        QFETCH(QByteArray, firstLine);
        TTestFolder folder;
        QVERIFY(folder.Write("mods/a.mod", ModHeader("a")));
        QVERIFY(folder.Write("lists/b.mod", ModHeader("b")));
        QVERIFY(folder.Write("lists/list.m3u", "../mods/a.mod\r\nb.mod\r\n"));
        QVERIFY(QDir().mkpath(folder.File("other")));
        QDir::setCurrent(folder.File("other"));
        TPlayList list;
        QVERIFY(list.LoadFromFile(folder.File("lists/list.m3u"), folder.Sound));
        QCOMPARE(list.Count(), 2);

        QVERIFY(list.SaveToFile(folder.File(savedAs)));
        const QList<QByteArray> lines = folder.Read(savedAs).split('\n');
        const QByteArray absoluteA = QFile::encodeName(folder.File("mods/a.mod")) + '\r';
        QCOMPARE(lines.first(), firstLine.isEmpty() ? absoluteA : firstLine + '\r');
        TPlayList loaded;
        QVERIFY(loaded.LoadFromFile(folder.File(savedAs), folder.Sound));
        QCOMPARE(loaded.Count(), 2);
        for (int i = 0; i < 2; ++i)
            QCOMPARE(QFileInfo(loaded.Items(i).Path()).canonicalFilePath(),
                     QFileInfo(list.Items(i).Path()).canonicalFilePath());
    }

    void hugeListIsRefusedUnread()
    {
        // 2 GB of nothing, sparse: it costs no disk.
        TTestFolder folder;
        QFile file(folder.File("Ferrox.M3U"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(qint64(2) << 30));
        file.close();
        MessageRecorder boxes;
        TPlayList list;
        ListOf(list, {"kept.mod"});
        QVERIFY(!list.LoadFromFile("Ferrox.M3U", folder.Sound));
        QCOMPARE(boxes.texts(), QStringList{"File too large"});
        QCOMPARE(NamesOf(list), QList<QByteArray>{"kept.mod"});
    }

    void saveWaitsForAnotherCopysSaveAndThenGivesUp()
    {
        TTestFolder folder;
        QVERIFY(folder.Write("list.m3u", "old.mod\r\n"));
        TFileLock otherCopy(folder.File("list.m3u"));
        QVERIFY(otherCopy.Acquire());
        TPlayList list;
        QString error;
        QVERIFY(!ListOf(list, {"new.mod"}).SaveToFile("list.m3u", &error));
        QCOMPARE(error, QString("The file is being saved by another copy of Ferrox"));
        QCOMPARE(folder.Read("list.m3u"), QByteArray("old.mod\r\n"));
    }

    void savedListLoadsTheSame()
    {
        TTestFolder folder;
        WriteModules(folder);
        TPlayList list;
        for (const char *name : {"two.mod", "one.mod", "two.mod", "three.mod"}) {
            TPlayListItem item;
            item.FileName = name;
            QVERIFY(item.ReadTitle(folder.Sound));
            list.AddCopy(item);
        }
        QVERIFY(list.SaveToFile("saved.m3u"));
        QCOMPARE(folder.Read("saved.m3u"),
                 QByteArray("two.mod\r\none.mod\r\ntwo.mod\r\nthree.mod\r\n"));

        QFile::remove(folder.File("one.mod"));
        TPlayList loaded;
        QVERIFY(loaded.LoadFromFile("saved.m3u", folder.Sound));
        QCOMPARE(NamesOf(loaded), (QList<QByteArray>{"two.mod", "two.mod", "three.mod"}));
        QCOMPARE(TitlesOf(loaded), (QList<QByteArray>{"two", "two", "three"}));

        TPlayList empty;
        QVERIFY(empty.SaveToFile("empty.m3u"));
        QCOMPARE(folder.Read("empty.m3u"), QByteArray());
    }

    void failedSaveReportsAndKeepsNothingHalfDone()
    {
        TTestFolder folder;
        TPlayList list;
        TPlayListItem item;
        item.FileName = "x.mod";
        list.AddCopy(item);
        QString error;
        QVERIFY(!list.SaveToFile(folder.File("no/such/folder/list.m3u"), &error));
        QVERIFY(!error.isEmpty());
    }

    void failedSaveLeavesTheOldListByteForByte_data()
    {
        QTest::addColumn<qint64>("failAfter");
        QTest::newRow("first line") << qint64(0);
        QTest::newRow("within the second line") << qint64(9);
        QTest::newRow("at the last line") << qint64(18);
    }

    void failedSaveLeavesTheOldListByteForByte()
    {
        QFETCH(qint64, failAfter);
        TTestFolder folder;
        const QByteArray old = "old.mod\r\nkept.mod\r\n";
        QVERIFY(folder.Write("list.m3u", old));
        const QStringList before = EntriesIn(folder.Path());
        TPlayList list;
        QString error;
        QVERIFY(!ListOf(list, {"one.mod", "two.mod", "three.mod"})
                     .SaveToFile("list.m3u", &error, FailAfterBytes(failAfter)));
        QCOMPARE(error, QString("No space left on device"));
        QCOMPARE(folder.Read("list.m3u"), old);
        QCOMPARE(EntriesIn(folder.Path()), before);
    }

    void saveThroughALinkReplacesWhatItLeadsTo()
    {
        TTestFolder folder;
        QVERIFY(folder.Write("real.m3u", "old.mod\r\n"));
        QVERIFY(QFile::link(folder.File("real.m3u"), folder.File("link.m3u")));
        TPlayList list;
        QVERIFY(ListOf(list, {"new.mod"}).SaveToFile("link.m3u"));
        QVERIFY(QFileInfo(folder.File("link.m3u")).isSymLink());
        QCOMPARE(folder.Read("real.m3u"), QByteArray("new.mod\r\n"));
        QCOMPARE(EntriesIn(folder.Path()), (QStringList{"link.m3u", "real.m3u"}));
    }

    void replacedListKeepsItsPermissions()
    {
        TTestFolder folder;
        QVERIFY(folder.Write("list.m3u", "old.mod\r\n"));
        const QFile::Permissions permissions =
            QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ExeOther;
        QVERIFY(QFile::setPermissions(folder.File("list.m3u"), permissions));
        TPlayList list;
        QVERIFY(ListOf(list, {"new.mod"}).SaveToFile("list.m3u"));
        QCOMPARE(folder.Read("list.m3u"), QByteArray("new.mod\r\n"));
        // The "user" flags say what the running user may do; the file's own
        // bits are the owner, group and other flags.
        const QFile::Permissions userFlags = QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;
        QCOMPARE(QFile::permissions(folder.File("list.m3u")) & ~userFlags, permissions);
    }

    void namedPipeIsNeitherReadNorReplaced()
    {
#ifdef Q_OS_UNIX
        // Opening a pipe would wait for its other end for ever.
        TTestFolder folder;
        QCOMPARE(::mkfifo(QFile::encodeName(folder.File("Ferrox.M3U")).constData(), 0600), 0);
        MessageRecorder boxes;
        TPlayList list;
        ListOf(list, {"kept.mod"});
        QVERIFY(!list.LoadFromFile("Ferrox.M3U", folder.Sound));
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(boxes.boxes[0].first, TMsgType::mtError);
        QCOMPARE(boxes.boxes[0].second, QString("Not a regular file"));
        QCOMPARE(list.Count(), 1);

        QString error;
        QVERIFY(!list.SaveToFile("Ferrox.M3U", &error));
        QCOMPARE(error, QString("Not a regular file"));
        QVERIFY(IsNamedPipe(folder.File("Ferrox.M3U")));
        QCOMPARE(EntriesIn(folder.Path()), QStringList{"Ferrox.M3U"});
#else
        QSKIP("named pipes in the file system are a Unix matter");
#endif
    }

    void failedLoadsShowTheirBox()
    {
        TTestFolder folder;
        WriteModules(folder);
        TPlayList list;
        TPlayListItem kept;
        kept.FileName = "kept.mod";
        list.AddCopy(kept);
        MessageRecorder boxes;

        QVERIFY(!list.LoadFromFile("Ferrox.M3U", folder.Sound));
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(boxes.boxes[0].first, TMsgType::mtError);
        QCOMPARE(boxes.boxes[0].second, QString("Sorry, Playlist \"Ferrox.M3U\" does not exist!"));
        QCOMPARE(list.Count(), 1);

        QVERIFY(QDir(folder.Path()).mkdir("folder.m3u"));
        QVERIFY(!list.LoadFromFile("folder.m3u", folder.Sound));
        QCOMPARE(boxes.boxes.size(), 2);
        QCOMPARE(boxes.boxes[1].first, TMsgType::mtError);
        QVERIFY(!boxes.boxes[1].second.isEmpty());
        QCOMPARE(list.Count(), 1);

        QVERIFY(folder.Write("nothing.m3u", "#EXTM3U\r\nreadme.txt\r\n"));
        QVERIFY(list.LoadFromFile("nothing.m3u", folder.Sound));
        QCOMPARE(list.Count(), 0);
        QCOMPARE(boxes.boxes.size(), 2);
    }

    void readErrorKeepsTheLinesBeforeIt()
    {
        TTestFolder folder;
        WriteModules(folder);
        TFailingDevice device("one.mod\r\ntwo.mod\r\nthree");
        QVERIFY(device.open(QIODevice::ReadOnly));
        TPlayList list;
        QVERIFY(!list.AppendFromDevice(device, folder.Path(), folder.Sound));
        QCOMPARE(NamesOf(list), (QList<QByteArray>{"one.mod", "two.mod"}));
    }

    void longLinesAndChunkEdges()
    {
        TTestFolder folder;
        WriteModules(folder);
        // A CR LF split by the reader's chunk boundary, and a huge junk line.
        QByteArray content(65535, '#');
        content += "\r\none.mod\r\n" + QByteArray(200000, 'j') + "\r\ntwo.mod";
        QCOMPARE(content.indexOf("\r\none"), 65535);
        QByteArray bytes = content;
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        TPlayList list;
        QVERIFY(list.AppendFromDevice(buffer, folder.Path(), folder.Sound));
        QCOMPARE(NamesOf(list), (QList<QByteArray>{"one.mod", "two.mod"}));
    }

    // Indexes come from list boxes and arrow clicks: one outside the list
    // must leave it as it was, never throw or write past its end.
    void outOfRangeMovesDoNothing_data()
    {
        QTest::addColumn<bool>("exchange");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("move past the end") << false << 0 << 5 << QByteArray("abc");
        QTest::newRow("move to the count") << false << 1 << 3 << QByteArray("abc");
        QTest::newRow("move from -1") << false << -1 << 0 << QByteArray("abc");
        QTest::newRow("move to -1") << false << 2 << -1 << QByteArray("abc");
        QTest::newRow("move from the count") << false << 3 << 0 << QByteArray("abc");
        QTest::newRow("move to the last") << false << 0 << 2 << QByteArray("bca");
        QTest::newRow("move to the first") << false << 2 << 0 << QByteArray("cab");
        QTest::newRow("exchange -1") << true << -1 << 1 << QByteArray("abc");
        QTest::newRow("exchange with the count") << true << 0 << 3 << QByteArray("abc");
        QTest::newRow("exchange first and last") << true << 0 << 2 << QByteArray("cba");
        QTest::newRow("exchange with itself") << true << 1 << 1 << QByteArray("abc");
    }

    void outOfRangeMovesDoNothing()
    {
        QFETCH(bool, exchange);
        QFETCH(int, first);
        QFETCH(int, second);
        QFETCH(QByteArray, expected);
        TPlayList list;
        for (const char *name : {"a", "b", "c"}) {
            TPlayListItem item;
            item.FileName = name;
            list.AddCopy(item);
        }
        if (exchange)
            list.Exchange(first, second);
        else
            list.Move(first, second);
        QCOMPARE(NamesOf(list).join(), expected);
    }

    void entriesMoveAndGo()
    {
        TPlayList list;
        for (const char *name : {"a", "b", "c", "d"}) {
            TPlayListItem item;
            item.FileName = name;
            list.AddCopy(item);
        }
        list.Move(0, 3);
        QCOMPARE(NamesOf(list), (QList<QByteArray>{"b", "c", "d", "a"}));
        list.Exchange(0, 2);
        list.DeleteEntry(1);
        list.DeleteEntry(-1);
        list.DeleteEntry(list.Count());
        QCOMPARE(NamesOf(list), (QList<QByteArray>{"d", "b", "a"}));
        TPlayList copy;
        copy.Assign(list);
        copy.Items(0).FileName = "changed";
        QCOMPARE(list.Items(0).FileName, QByteArray("d"));
        list.ClearEntries();
        QVERIFY(list.IsEmpty());
    }
};

QTEST_GUILESS_MAIN(TestPlayList)
#include "test_playlist.moc"
