// The settings file itself: the INI text Qt writes, read and written by the
// program, and what a file made by hand or by accident does at start-up:
// Qt's serialized values, a named pipe, a folder, a huge file, a damaged
// name.  Every test has a store folder of its own (QSettings::setPath, where
// the user's store is found).
#include "base/SettingsFormat.h"
#include "base/SettingsStore.h"
#include "support/FileKinds.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

#include <memory>

namespace
{

// The text Qt 6 writes for these values (a file written by QSettings): its
// general group, which our writer also puts first, then the other groups.
const QByteArray GeneralText = "[General]\n"
                               "I=5\n"
                               "L=a, b c\n"
                               "S1=plain\n"
                               "S2=@@at\n"
                               "S3=\"Zo\xc3\xab, \xc3\xa9\\tx\\x1\\x31 \"\n"
                               "S4=\" lead\"\n"
                               "S5=\"a\\\"b\\\\c;d=e\"\n"
                               "\n";
const QByteArray QtText = GeneralText + "[MUSIC_SETUP]\n"
                                        "DRIVER=pulse\n"
                                        "\n"
                                        "[a%20b]\n"
                                        "c%25d\\e=1\n"
                                        "\n"
                                        "[%General]\n"
                                        "k=1\n";

const QSettings::SettingsMap QtValues = {
    {"I", "5"},
    {"L", QStringList{"a", "b c"}},
    {"S1", "plain"},
    {"S2", "@at"},
    {"S3", QString::fromUtf8("Zo\xc3\xab, \xc3\xa9\tx\x01"
                             "1 ")},
    {"S4", " lead"},
    {"S5", "a\"b\\c;d=e"},
    {"MUSIC_SETUP/DRIVER", "pulse"},
    {"a b/c%d/e", "1"},
    {"General/k", "1"},
};

bool IsSerialized(const QVariant &value)
{
    return value.metaType() == QMetaType::fromType<TSerializedValue>();
}

// The highest address space the process ever held, in bytes; 0 where the
// system does not tell.
qint64 PeakAddressSpace()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmPeak:"))
            return line.mid(7).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return 0;
}

// True when the store gives none of the game's values it is opened on: the
// program then starts from its defaults.
bool GivesNoGameValue(const QSettings &store)
{
    for (const char *name : {"SIZE", "COLS", "ROWS", "MINES"})
        if (ReadStoredInt(store, QString::fromLatin1(name)))
            return false;
    return !ReadStoredString(store, QStringLiteral("RECNAME"));
}

} // namespace

class TestSettingsFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void storeLiesWhereQtPutsIt();
    void readsWhatQtWrites();
    void writesWhatQtWrites();
    void qtReadsWhatTheStoreWrites();
    void textDetails_data();
    void textDetails();
    void serializedValuesCountAsAbsent_data();
    void serializedValuesCountAsAbsent();
    void variantAskingForGigabytesIsNeverDecoded();
    void storeThatIsNoRegularFile();
    void hugeStoreIsRefusedUnread();
    void storeHelpers();

private:
    QString StorePath() const { return dir->filePath(QStringLiteral("Olvane/Ferrox.conf")); }
    void WriteStore(const QByteArray &bytes) const;
    QByteArray StoreBytes() const;

    std::unique_ptr<QTemporaryDir> dir;
};

void TestSettingsFile::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    QVERIFY(QDir(dir->path()).mkpath(QStringLiteral("Olvane")));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir->path());
}

void TestSettingsFile::WriteStore(const QByteArray &bytes) const
{
    QFile file(StorePath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray TestSettingsFile::StoreBytes() const
{
    QFile file(StorePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestSettingsFile::storeLiesWhereQtPutsIt()
{
    QCOMPARE(TSettingsStore::UserStore().FileName(), StorePath());
    // Finding the place opened and created nothing.
    QCOMPARE(EntriesIn(dir->filePath("Olvane")), QStringList());
}

void TestSettingsFile::readsWhatQtWrites()
{
    QCOMPARE(ParseSettingsText(QtText), QtValues);
    WriteStore(QtText);
    const std::unique_ptr<QSettings> store = TSettingsStore::UserStore().Open();
    QCOMPARE(ReadStoredInt(*store, "I"), std::optional<int>(5));
    QCOMPARE(ReadStoredString(*store, "L"), std::optional<QString>("a, b c"));
    QCOMPARE(ReadStoredString(*store, "S2"), std::optional<QString>("@at"));
    QCOMPARE(ReadStoredString(*store, "MUSIC_SETUP/DRIVER"), std::optional<QString>("pulse"));
}

void TestSettingsFile::writesWhatQtWrites()
{
    // Each value as Qt writes it; the groups follow in key order (Qt keeps
    // the order in which they were first written).
    QSettings::SettingsMap values = QtValues;
    values["I"] = 5;
    values["a b/c%d/e"] = 1;
    const QByteArray expected = GeneralText + "[%General]\n"
                                              "k=1\n"
                                              "\n"
                                              "[MUSIC_SETUP]\n"
                                              "DRIVER=pulse\n"
                                              "\n"
                                              "[a%20b]\n"
                                              "c%25d\\e=1\n";
    QCOMPARE(SettingsText(values), expected);
}

void TestSettingsFile::qtReadsWhatTheStoreWrites()
{
    {
        const std::unique_ptr<QSettings> store = TSettingsStore::UserStore().Open();
        for (auto it = QtValues.begin(); it != QtValues.end(); ++it)
            store->setValue(it.key(), it.value());
        WriteStoredInt(*store, "COLS", -7);
    }
    // A copy, so that Qt reads the text afresh rather than what the store
    // still holds in memory for its own path.
    const QString copy = dir->filePath("copy.ini");
    QVERIFY(QFile::copy(StorePath(), copy));
    QSettings qt(copy, QSettings::IniFormat);
    for (auto it = QtValues.begin(); it != QtValues.end(); ++it)
        QCOMPARE(qt.value(it.key()), it.value());
    QCOMPARE(qt.value("COLS").toInt(), -7);
}

void TestSettingsFile::textDetails_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QSettings::SettingsMap>("values");
    using Map = QSettings::SettingsMap;
    const QString Bom(QChar(0xFEFF));
    QTest::newRow("comments, blank lines, CR LF, byte-order mark")
        << QByteArray("\xEF\xBB\xBF; note\r\n\r\n[General]\r\nA=1 ; trailing note\r\n;B=2\r\n")
        << Map{{"A", "1"}};
    QTest::newRow("no section means the top level")
        << QByteArray("A=1\n[G]\nB=2") << Map{{"A", "1"}, {"G/B", "2"}};
    QTest::newRow("blanks around keys and values; quotes keep them")
        << QByteArray("  A  =  x y  \nB=\"  x \"\n") << Map{{"A", "x y"}, {"B", "  x "}};
    QTest::newRow("a value continued after an escaped line break")
        << QByteArray("A=ab\\\ncd\nB=1") << Map{{"A", "abcd"}, {"B", "1"}};
    QTest::newRow("a quoted line break")
        << QByteArray("A=\"a\nb\"\nB=1") << Map{{"A", "a\nb"}, {"B", "1"}};
    QTest::newRow("escapes") << QByteArray("A=\\x41\\102\\q\\x\n") << Map{{"A", "AB"}};
    QTest::newRow("lines without = are skipped")
        << QByteArray("junk\n=1\nA=2\n[\n") << Map{{"A", "2"}};
    QTest::newRow("keys as QSettings sees them")
        << QByteArray("[a]\n\\b\\c=1\n%2x=2\n") << Map{{"a/b/c", "1"}, {"a/%2x", "2"}};
    QTest::newRow("the later of two values wins") << QByteArray("A=1\nA=2\n") << Map{{"A", "2"}};
    QTest::newRow("a byte-order mark inside a value is kept")
        << QByteArray("A=x, \xEF\xBB\xBFy\nB=\"\xEF\xBB\xBF\"\n")
        << Map{{"A", QStringList{"x", Bom + "y"}}, {"B", Bom}};
    QTest::newRow("Qt's form of a text with a zero") << QByteArray("A=@String(a\\0\\x31)\n")
                                                     << Map{{"A", QString::fromLatin1("a\0"
                                                                                      "1",
                                                                                      3)}};
}

void TestSettingsFile::textDetails()
{
    QFETCH(QByteArray, text);
    QFETCH(QSettings::SettingsMap, values);
    QCOMPARE(ParseSettingsText(text), values);
    // Written and read again, nothing changes.
    QCOMPARE(ParseSettingsText(SettingsText(values)), values);
}

void TestSettingsFile::serializedValuesCountAsAbsent_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("variant") << QByteArray("SIZE=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x3)\n");
    QTest::newRow("byte array") << QByteArray("SIZE=@ByteArray(3)\n");
    QTest::newRow("rectangle") << QByteArray("SIZE=@Rect(1 2 3 4)\n");
    QTest::newRow("invalid") << QByteArray("SIZE=@Invalid()\n");
    QTest::newRow("unknown form") << QByteArray("SIZE=@3\n");
    QTest::newRow("a list holding one") << QByteArray("SIZE=3, @Size(1 2)\n");
}

void TestSettingsFile::serializedValuesCountAsAbsent()
{
    QFETCH(QByteArray, text);
    const QVariant value = ParseSettingsText(text).value("SIZE");
    QVERIFY(IsSerialized(value));
    QCOMPARE(value.toString(), QString());

    WriteStore(text + "RECNAME=@ByteArray(Ann)\nMINES=12\n");
    {
        const std::unique_ptr<QSettings> store = TSettingsStore::UserStore().Open();
        QCOMPARE(ReadStoredInt(*store, "SIZE"), std::optional<int>());
        QCOMPARE(ReadStoredString(*store, "RECNAME"), std::optional<QString>());
        QCOMPARE(ReadStoredInt(*store, "MINES"), std::optional<int>(12));
        // Kept as it was when other values are written.
        store->setValue("OTHER", 1);
    }
    QVERIFY(StoreBytes().contains("\nRECNAME=@ByteArray(Ann)\n"));
    QVERIFY(StoreBytes().contains(text));
}

void TestSettingsFile::variantAskingForGigabytesIsNeverDecoded()
{
    // 21 bytes whose "@Variant" is a list of 674 million entries: Qt's own
    // reader reserves about 21 GB for it while the store loads.
    QByteArray text("=@Variant(\\0\\0", 14);
    text += '\0';
    text += "\\t(3 )";
    QCOMPARE(text.size(), 21);
    WriteStore(text + "\nSIZE=@Variant(\\0\\0\\0\\t(3 ))\nMINES=@Variant(\\0\\0\\0\\t(3 ))\n");
    const qint64 before = PeakAddressSpace();
    QVERIFY(GivesNoGameValue(*TSettingsStore::UserStore().Open()));
    if (before > 0)
        QVERIFY2(PeakAddressSpace() - before < (qint64(1) << 30),
                 "loading the settings reserved a gigabyte or more");
}

void TestSettingsFile::storeThatIsNoRegularFile()
{
#ifdef Q_OS_UNIX
    // A named pipe would hold the start for ever, waiting for a writer.
    QCOMPARE(::mkfifo(QFile::encodeName(StorePath()).constData(), 0600), 0);
    {
        const std::unique_ptr<QSettings> store = TSettingsStore::UserStore().Open();
        QVERIFY(GivesNoGameValue(*store));
        WriteStoredInt(*store, "COLS", 20); // must go nowhere
    }
    QVERIFY(IsNamedPipe(StorePath()));
    QCOMPARE(EntriesIn(dir->filePath("Olvane")), QStringList{"Ferrox.conf"});
    QVERIFY(QFile::remove(StorePath()));
#endif
    QVERIFY(QDir(dir->path()).mkpath("Olvane/Ferrox.conf"));
    {
        const std::unique_ptr<QSettings> store = TSettingsStore::UserStore().Open();
        QVERIFY(GivesNoGameValue(*store));
        WriteStoredInt(*store, "COLS", 20);
    }
    QVERIFY(QFileInfo(StorePath()).isDir());
    QCOMPARE(EntriesIn(StorePath()), QStringList());
}

void TestSettingsFile::hugeStoreIsRefusedUnread()
{
    const QByteArray text =
        "[General]\nSIZE=2\n;" + QByteArray(MaxSettingsFileSize, 'x') + "\nMINES=12\n";
    WriteStore(text);
    {
        const std::unique_ptr<QSettings> store = TSettingsStore::UserStore().Open();
        QVERIFY(GivesNoGameValue(*store));
        WriteStoredInt(*store, "COLS", 20);
    }
    QCOMPARE(StoreBytes(), text);
}

void TestSettingsFile::storeHelpers()
{
    const std::unique_ptr<QSettings> store = TSettingsStore::UserStore().Open();
    store->setValue("A", "12");
    store->setValue("B", "12x");
    store->setValue("C", "2147483648");
    QCOMPARE(ReadStoredInt(*store, "A"), std::optional<int>(12));
    QCOMPARE(ReadStoredInt(*store, "A", 0, 11), std::optional<int>());
    QCOMPARE(ReadStoredInt(*store, "B"), std::optional<int>());
    QCOMPARE(ReadStoredInt(*store, "C"), std::optional<int>());
    QCOMPARE(ReadStoredInt(*store, "missing"), std::optional<int>());
    QCOMPARE(ReadStoredBool(*store, "A"), std::optional<bool>(true));
    QCOMPARE(ReadStoredString(*store, "B"), std::optional<QString>("12x"));
    QCOMPARE(ToCodePageText(QString::fromUtf8("a\u00ffb\u0100c\u20ac")),
             QString::fromUtf8("a\u00ffb?c\u20ac"));
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "test_settings_file.moc"
