// Titles read from module headers: the kind comes from the name, the bytes
// from the file, and nothing is trimmed or guessed.  Other formats the
// decoder reads get its title.
#include "MusicTestSupport.h"
#include "music/PlayList.h"

#include <QBuffer>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace
{

QByteArray Padded(const QByteArray &text, int size)
{
    QByteArray field = text.left(size);
    field.append(QByteArray(size - field.size(), '\0'));
    return field;
}

QByteArray ModHeader(const QByteArray &title)
{
    return Padded(title, 20) + QByteArray(1064, 'x');
}
QByteArray S3mHeader(const QByteArray &title, char mark = 26)
{
    return Padded(title, 28) + mark + QByteArray(20, '\0');
}
QByteArray ItHeader(const QByteArray &title, const QByteArray &mark = "IMPM")
{
    return mark + Padded(title, 26) + QByteArray(20, '\0');
}
QByteArray XmHeader(const QByteArray &title, const QByteArray &mark = "Extended Module: ")
{
    return mark + Padded(title, 20) + QByteArray(1, 0x1A) + QByteArray(40, '\0');
}

// Python's repr of a byte string, as the manifest writes titles.
QByteArray FromBytesRepr(const QString &repr)
{
    const QByteArray text = repr.toLatin1();
    QByteArray bytes;
    for (qsizetype i = 2; i + 1 < text.size(); ++i) {
        if (text[i] != '\\') {
            bytes.append(text[i]);
            continue;
        }
        const char code = text[++i];
        if (code == 'x') {
            bytes.append(static_cast<char>(text.mid(i + 1, 2).toInt(nullptr, 16)));
            i += 2;
        } else {
            bytes.append(code == 'n' ? '\n' : code == 't' ? '\t' : code == 'r' ? '\r' : code);
        }
    }
    return bytes;
}

} // namespace

class TestModuleTitles : public QObject
{
    Q_OBJECT

    struct TResult {
        bool Ok;
        QByteArray Title;
    };

    TResult ReadFile(const QString &name, const QByteArray &bytes)
    {
        TTestFolder folder;
        if (!folder.Write(name, bytes))
            qFatal("cannot write the fixture");
        TPlayListItem item;
        item.FileName = QFile::encodeName(name);
        item.Title = "left over";
        const bool ok = item.ReadTitle(folder.Sound);
        return {ok, item.Title};
    }

private slots:
    void eachKindGivesItsTitle_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QByteArray>("title");

        QTest::newRow("mod") << "a.mod" << ModHeader("Space Debris") << true
                             << QByteArray("Space Debris");
        QTest::newRow("mod of exactly 20 bytes")
            << "a.MOD" << Padded("twenty", 20) << true << QByteArray("twenty");
        QTest::newRow("mod of 19 bytes") << "a.mod" << QByteArray(19, 'a') << false << QByteArray();
        QTest::newRow("mod starting with zero")
            << "a.mod" << ModHeader(QByteArray()) << true << QByteArray();
        QTest::newRow("mod without zero")
            << "a.mod" << QByteArray(30, 'm') << true << QByteArray(20, 'm');
        QTest::newRow("mod cut at first zero")
            << "a.mod" << ModHeader(QByteArray("ab\0cd", 5)) << true << QByteArray("ab");
        QTest::newRow("mod blanks kept")
            << "a.mod" << ModHeader("  song  ") << true << QByteArray("  song  ");
        QTest::newRow("mod name without dot")
            << "xmod" << ModHeader("nodot") << true << QByteArray("nodot");
        QTest::newRow("mod.bak") << "x.mod.bak" << ModHeader("backup") << false << QByteArray();
        QTest::newRow("latin-1 bytes unchanged")
            << "a.mod" << ModHeader("caf\xe9 \xff") << true << QByteArray("caf\xe9 \xff");

        QTest::newRow("s3m") << "b.s3m" << S3mHeader("Goose") << true << QByteArray("Goose");
        QTest::newRow("s3m 28 characters")
            << "b.S3M" << S3mHeader(QByteArray(28, 's')) << true << QByteArray(28, 's');
        QTest::newRow("s3m wrong mark")
            << "b.s3m" << S3mHeader("Plain text", 27) << false << QByteArray();
        QTest::newRow("s3m of 28 bytes") << "b.s3m" << Padded("short", 28) << false << QByteArray();
        QTest::newRow("s3m holding an IT")
            << "b.s3m" << ItHeader("it inside") << false << QByteArray();

        QTest::newRow("it") << "c.it" << ItHeader("The big march in space") << true
                            << QByteArray("The big march in space");
        QTest::newRow("it lower-case mark")
            << "c.IT" << ItHeader("lower", "impm") << true << QByteArray("lower");
        QTest::newRow("it other mark")
            << "c.it" << ItHeader("other", "IMPX") << false << QByteArray();
        QTest::newRow("it of 29 bytes")
            << "c.it" << ItHeader("cut").left(29) << false << QByteArray();
        QTest::newRow("it of 3 bytes") << "c.it" << QByteArray("IMP") << false << QByteArray();
        QTest::newRow("it 26 characters")
            << "c.it" << ItHeader(QByteArray(26, 'i')) << true << QByteArray(26, 'i');

        QTest::newRow("xm as written")
            << "d.xm" << XmHeader("VoR Theme") << true << QByteArray("VoR Theme");
        QTest::newRow("xm capital mark")
            << "d.XM" << XmHeader("caps", "EXTENDED MODULE: ") << true << QByteArray("caps");
        QTest::newRow("xm lower mark")
            << "d.xm" << XmHeader("lower", "extended module: ") << true << QByteArray("lower");
        QTest::newRow("xm without final blank")
            << "d.xm" << XmHeader("bad", "Extended Module:_") << false << QByteArray();
        QTest::newRow("xm blanks kept") << "d.xm" << XmHeader("civilian            ") << true
                                        << QByteArray("civilian            ");
        QTest::newRow("xm of 36 bytes")
            << "d.xm" << XmHeader("cut").left(36) << false << QByteArray();
        QTest::newRow("xm content named mod")
            << "d.mod" << XmHeader("x") << true << QByteArray("Extended Module: x");

        // Other formats: the decoder reads the title, in the game's code page.
        QTest::newRow("mtm") << "f.mtm" << TinyMtm("Tiny tune") << true << QByteArray("Tiny tune");
        QTest::newRow("mtm in capitals")
            << "f.MTM" << TinyMtm("caps") << true << QByteArray("caps");
        QTest::newRow("mtm title in code page 437")
            << "f.mtm" << TinyMtm("Caf\x82 \xe1") << true << QByteArray("Caf\xe9 \xdf");
        QTest::newRow("mtm cut short")
            << "f.mtm" << TinyMtm("cut").left(100) << false << QByteArray();
        QTest::newRow("mod bytes named mtm")
            << "f.mtm" << ModHeader("not mtm") << false << QByteArray();
        QTest::newRow("dot in the folder")
            << "g.mtm/tune" << TinyMtm("no ending") << false << QByteArray();

        QTest::newRow("unknown ending") << "e.wav" << TinyMtm("wave") << false << QByteArray();
        QTest::newRow("name of two characters")
            << "it" << ItHeader("short name") << false << QByteArray();
    }

    void eachKindGivesItsTitle()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, ok);
        QFETCH(QByteArray, title);
        const TResult result = ReadFile(name, bytes);
        QCOMPARE(result.Ok, ok);
        QCOMPARE(result.Title, title);
    }

    void missingAndOddFilesFailQuietly()
    {
        TTestFolder folder;
        TPlayListItem item;
        item.FileName = "missing.mod";
        item.Title = "old";
        QVERIFY(!item.ReadTitle(folder.Sound));
        QVERIFY(item.Title.isEmpty());

        QVERIFY(QDir(folder.Path()).mkdir("folder.mod"));
        item.FileName = "folder.mod";
        QVERIFY(!item.ReadTitle(folder.Sound));
#ifdef Q_OS_UNIX
        // A pipe would block a reader until someone writes to it.
        QCOMPARE(::mkfifo(QFile::encodeName(folder.File("pipe.mod")).constData(), 0600), 0);
        item.FileName = "pipe.mod";
        QVERIFY(!item.ReadTitle(folder.Sound));
        QCOMPARE(::mkfifo(QFile::encodeName(folder.File("pipe.mtm")).constData(), 0600), 0);
        item.FileName = "pipe.mtm";
        QVERIFY(!item.ReadTitle(folder.Sound));
#endif
    }

    void readsAtMostTheHeader()
    {
        QByteArray bytes = XmHeader("header only") + QByteArray(4096, 'z');
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        bool ok = false;
        QCOMPARE(ReadModuleTitle("x.xm", buffer, &ok), QByteArray("header only"));
        QVERIFY(ok);
        QVERIFY(buffer.pos() <= 37);
    }

    void nonAsciiFileNamesOpen()
    {
        TTestFolder folder;
        const QString name = QString::fromUtf8("M\xc3\xbcsik.mod");
        QVERIFY(folder.Write(name, ModHeader("umlaut")));
        TPlayListItem item;
        item.FileName = QFile::encodeName(name);
        QVERIFY(item.ReadTitle(folder.Sound));
        QCOMPARE(item.Title, QByteArray("umlaut"));
    }

    void realModulesMatchTheManifest()
    {
        const QDir modules(SharedModules());
        QFile manifest(modules.filePath("MANIFEST.tsv"));
        if (!manifest.open(QIODevice::ReadOnly))
            QSKIP(qPrintable("The shared modules are not here (" + modules.path() +
                             "); real titles are not checked."));
        const QList<QByteArray> lines = manifest.readAll().split('\n');
        TSoundModule decoder;
        int checked = 0;
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QList<QByteArray> fields = lines[i].split('\t');
            if (fields.size() < 5)
                continue;
            TPlayListItem item;
            item.FileName = QFile::encodeName(modules.filePath(QString::fromUtf8(fields[0])));
            QVERIFY2(item.ReadTitle(decoder), fields[0].constData());
            QCOMPARE(item.Title, FromBytesRepr(QString::fromLatin1(fields[4])));
            ++checked;
        }
        QVERIFY(checked > 0);
    }
};

QTEST_GUILESS_MAIN(TestModuleTitles)
#include "test_module_titles.moc"
