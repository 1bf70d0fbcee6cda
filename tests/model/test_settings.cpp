// The model's values in the settings store, from an empty store and from
// stored values, wrong types, out-of-range values and control characters
// included.  Each model is given the store of a temporary folder.
#include "base/SettingsStore.h"
#include "model/MineGame.h"

#include <QSize>
#include <QTemporaryDir>
#include <QTest>

using Values = QVariantMap;

namespace
{

const QStringList AllNames = {"SIZE",    "QUESTION", "WINPRESS", "CROSS", "BORDERS", "NEIGHBOURS",
                              "NOGUESS", "COLS",     "ROWS",     "MINES", "RECNAME"};

// The model's settings as a comparable map.
Values ModelValues(const TMines &model)
{
    return Values{{"Level", int(model.Level)},
                  {"QuestionMarks", model.QuestionMarks},
                  {"WindowsPress", model.WindowsPress},
                  {"CrossPointer", model.CrossPointer},
                  {"Borders", model.Borders},
                  {"ClearNeighbours", model.ClearNeighbours},
                  {"NoGuessing", model.NoGuessing},
                  {"Cols", int(model.Cols)},
                  {"Rows", int(model.Rows)},
                  {"Mines", model.Mines},
                  {"RecordName", model.RecordName}};
}

Values Defaults()
{
    return Values{{"Level", 0},
                  {"QuestionMarks", true},
                  {"WindowsPress", false},
                  {"CrossPointer", false},
                  {"Borders", true},
                  {"ClearNeighbours", true},
                  {"NoGuessing", false},
                  {"Cols", 8},
                  {"Rows", 8},
                  {"Mines", 10},
                  {"RecordName", QString()}};
}

Values With(Values values, const Values &changes)
{
    for (auto it = changes.begin(); it != changes.end(); ++it)
        values[it.key()] = it.value();
    return values;
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void emptyStore();
    void load_data();
    void load();
    void recordNameWrittenBackAs30();
    void questionFiveWrittenBackAsOne();
    void valuesStayWhereTheyAre();
    void roundTrip();
    void twoStoresKeepApart();
    void controlCharactersLeaveTheStoredName();

private:
    QTemporaryDir dir;
    TSettingsStore Store() const { return TSettingsStore(dir.filePath("Olvane/Ferrox.conf")); }
    TGameEnvironment Stored() const
    {
        TGameEnvironment environment;
        environment.Settings = Store();
        return environment;
    }
};

void TestSettings::initTestCase()
{
    QVERIFY(dir.isValid());
}

void TestSettings::init()
{
    Store().Open()->clear();
}

void TestSettings::emptyStore()
{
    {
        TMines model(TMines::TStoreUse::LoadAndSave, Stored());
        QCOMPARE(ModelValues(model), Defaults());
    }
    // At the end of the run all eleven values exist, as integers 1/0 and text.
    const std::unique_ptr<QSettings> store = Store().Open();
    for (const QString &name : AllNames)
        QVERIFY2(store->contains(name), qPrintable(name));
    QCOMPARE(store->allKeys().size(), AllNames.size());
    QCOMPARE(store->value("SIZE").toString(), "0");
    QCOMPARE(store->value("QUESTION").toString(), "1");
    QCOMPARE(store->value("WINPRESS").toString(), "0");
    QCOMPARE(store->value("CROSS").toString(), "0");
    QCOMPARE(store->value("BORDERS").toString(), "1");
    QCOMPARE(store->value("NEIGHBOURS").toString(), "1");
    QCOMPARE(store->value("NOGUESS").toString(), "0");
    QCOMPARE(store->value("COLS").toString(), "8");
    QCOMPARE(store->value("ROWS").toString(), "8");
    QCOMPARE(store->value("MINES").toString(), "10");
    QCOMPARE(store->value("RECNAME").toString(), QString());
    // The store file itself: the model's values sit at the top of the key.
    QFile file(store->fileName());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY2(text.contains("[General]") && text.contains("\nQUESTION=1"), text.constData());
}

void TestSettings::load_data()
{
    QTest::addColumn<Values>("stored");
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<Values>("expected");

    const QSize screen(1024, 768); // 56 x 36
    QTest::newRow("custom 20 x 12 with 30")
        << Values{{"SIZE", 3}, {"COLS", 20}, {"ROWS", 12}, {"MINES", 30}} << screen
        << With(Defaults(), {{"Level", 3}, {"Cols", 20}, {"Rows", 12}, {"Mines", 30}});
    QTest::newRow("hard overwrites the stored board")
        << Values{{"SIZE", 2}, {"COLS", 20}, {"ROWS", 12}, {"MINES", 30}} << screen
        << With(Defaults(), {{"Level", 2}, {"Cols", 30}, {"Rows", 20}, {"Mines", 99}});
    QTest::newRow("medium") << Values{{"SIZE", 1}} << screen
                            << With(Defaults(),
                                    {{"Level", 1}, {"Cols", 16}, {"Rows", 16}, {"Mines", 40}});
    QTest::newRow("custom without a stored board keeps the initial 16 x 16 / 40")
        << Values{{"SIZE", 3}} << screen
        << With(Defaults(), {{"Level", 3}, {"Cols", 16}, {"Rows", 16}, {"Mines", 40}});
    QTest::newRow("columns above MaxCols")
        << Values{{"SIZE", 3}, {"COLS", 200}, {"ROWS", 12}, {"MINES", 30}} << screen
        << With(Defaults(), {{"Level", 3}, {"Cols", 56}, {"Rows", 12}, {"Mines", 30}});
    QTest::newRow("rows above MaxRows")
        << Values{{"SIZE", 3}, {"COLS", 20}, {"ROWS", 255}, {"MINES", 30}} << screen
        << With(Defaults(), {{"Level", 3}, {"Cols", 20}, {"Rows", 36}, {"Mines", 30}});
    QTest::newRow("a playable 6-column board is kept")
        << Values{{"SIZE", 3}, {"COLS", 6}, {"ROWS", 5}, {"MINES", 4}} << screen
        << With(Defaults(), {{"Level", 3}, {"Cols", 6}, {"Rows", 5}, {"Mines", 4}});
    QTest::newRow("all options flipped")
        << Values{{"QUESTION", 0},   {"WINPRESS", 1}, {"CROSS", 1}, {"BORDERS", 0},
                  {"NEIGHBOURS", 0}, {"NOGUESS", 1},  {"MUSIC", 1}, {"RECNAME", "Ann"}}
        << screen
        << With(Defaults(), {{"QuestionMarks", false},
                             {"WindowsPress", true},
                             {"CrossPointer", true},
                             {"Borders", false},
                             {"ClearNeighbours", false},
                             {"NoGuessing", true},
                             {"RecordName", "Ann"}});
    QTest::newRow("any non-zero integer is true")
        << Values{{"QUESTION", 5}, {"CROSS", -1}} << screen
        << With(Defaults(), {{"CrossPointer", true}});
    QTest::newRow("record name of 40 characters")
        << Values{{"RECNAME", QString(40, 'x')}} << screen
        << With(Defaults(), {{"RecordName", QString(30, 'x')}});

    // Unplayable stored boards are brought into range.
    QTest::newRow("columns 0") << Values{{"SIZE", 3}, {"COLS", 0}, {"ROWS", 12}, {"MINES", 5}}
                               << screen
                               << With(Defaults(),
                                       {{"Level", 3}, {"Cols", 1}, {"Rows", 12}, {"Mines", 5}});
    QTest::newRow("rows 0") << Values{{"SIZE", 3}, {"COLS", 12}, {"ROWS", 0}, {"MINES", 5}}
                            << screen
                            << With(Defaults(),
                                    {{"Level", 3}, {"Cols", 12}, {"Rows", 1}, {"Mines", 5}});
    QTest::newRow("mines 0") << Values{{"SIZE", 3}, {"COLS", 10}, {"ROWS", 10}, {"MINES", 0}}
                             << screen
                             << With(Defaults(),
                                     {{"Level", 3}, {"Cols", 10}, {"Rows", 10}, {"Mines", 1}});
    QTest::newRow("mines equal to the cells")
        << Values{{"SIZE", 3}, {"COLS", 10}, {"ROWS", 10}, {"MINES", 100}} << screen
        << With(Defaults(), {{"Level", 3}, {"Cols", 10}, {"Rows", 10}, {"Mines", 99}});
    QTest::newRow("mines negative")
        << Values{{"SIZE", 3}, {"COLS", 10}, {"ROWS", 10}, {"MINES", -3}} << screen
        << With(Defaults(), {{"Level", 3}, {"Cols", 10}, {"Rows", 10}, {"Mines", 1}});
    QTest::newRow("one-cell board")
        << Values{{"SIZE", 3}, {"COLS", 1}, {"ROWS", 1}, {"MINES", 1}} << screen
        << With(Defaults(), {{"Level", 3}, {"Cols", 2}, {"Rows", 1}, {"Mines", 1}});
    QTest::newRow("columns outside 0..255 count as absent")
        << Values{{"SIZE", 3}, {"COLS", 300}, {"ROWS", 12}, {"MINES", 30}} << screen
        << With(Defaults(), {{"Level", 3}, {"Cols", 16}, {"Rows", 12}, {"Mines", 30}});
    QTest::newRow("negative rows count as absent")
        << Values{{"SIZE", 3}, {"COLS", 20}, {"ROWS", -4}, {"MINES", 30}} << screen
        << With(Defaults(), {{"Level", 3}, {"Cols", 20}, {"Rows", 16}, {"Mines", 30}});
    QTest::newRow("size outside 0..255 counts as absent")
        << Values{{"SIZE", 259}, {"COLS", 20}, {"ROWS", 12}, {"MINES", 30}} << screen << Defaults();
    QTest::newRow("size 4..255 is custom")
        << Values{{"SIZE", 7}, {"COLS", 20}, {"ROWS", 12}, {"MINES", 30}} << screen
        << With(Defaults(), {{"Level", 3}, {"Cols", 20}, {"Rows", 12}, {"Mines", 30}});
    QTest::newRow("text where a number belongs counts as absent")
        << Values{{"SIZE", "three"}, {"QUESTION", "yes"}, {"COLS", "abc"}, {"MINES", "many"}}
        << screen << Defaults();
    QTest::newRow("wrong types in a custom board")
        << Values{{"SIZE", 3},
                  {"COLS", QSize(3, 4)},
                  {"ROWS", QStringList{"1", "2"}},
                  {"MINES", 12.5},
                  {"BORDERS", QByteArray("\x01\x02", 2)}}
        << screen << With(Defaults(), {{"Level", 3}, {"Cols", 16}, {"Rows", 16}, {"Mines", 40}});
    QTest::newRow("a number beyond 32 bits counts as absent")
        << Values{{"SIZE", 3}, {"COLS", 10}, {"ROWS", 10}, {"MINES", "4294967306"}} << screen
        << With(Defaults(), {{"Level", 3}, {"Cols", 10}, {"Rows", 10}, {"Mines", 40}});

    // The screen: presets always have their cells; the maxima limit custom boards.
    QTest::newRow("hard on 640 x 480 keeps its 20 rows")
        << Values{{"SIZE", 2}} << QSize(640, 480)
        << With(Defaults(), {{"Level", 2}, {"Cols", 30}, {"Rows", 20}, {"Mines", 99}});
    QTest::newRow("custom on 640 x 480 limited to 34 x 19")
        << Values{{"SIZE", 3}, {"COLS", 40}, {"ROWS", 30}, {"MINES", 200}} << QSize(640, 480)
        << With(Defaults(), {{"Level", 3}, {"Cols", 34}, {"Rows", 19}, {"Mines", 200}});
    QTest::newRow("custom initial board on a tiny screen")
        << Values{{"SIZE", 3}} << QSize(200, 250)
        << With(Defaults(), {{"Level", 3}, {"Cols", 8}, {"Rows", 6}, {"Mines", 40}});
    QTest::newRow("101 x 101 on a large screen")
        << Values{{"SIZE", 3}, {"COLS", 101}, {"ROWS", 101}, {"MINES", 10200}} << QSize(3840, 2160)
        << With(Defaults(), {{"Level", 3}, {"Cols", 101}, {"Rows", 101}, {"Mines", 10200}});
}

void TestSettings::load()
{
    QFETCH(Values, stored);
    QFETCH(QSize, screen);
    QFETCH(Values, expected);
    {
        const std::unique_ptr<QSettings> store = Store().Open();
        for (auto it = stored.begin(); it != stored.end(); ++it)
            store->setValue(it.key(), it.value());
        store->sync();
    }
    TGameEnvironment environment = Stored();
    environment.Limits = BoardLimitsForScreen(screen.width(), screen.height());
    TMines model(TMines::TStoreUse::LoadAndSave, environment);
    QCOMPARE(ModelValues(model), expected);
    // Whatever was loaded can be played.
    QVERIFY(model.Cols >= 1 && model.Rows >= 1);
    QVERIFY(model.Mines >= 1 && model.Mines < model.Cols * model.Rows);
    model.ResetBoard();
    model.LayMines(model.Cols - 1, model.Rows - 1);
    QVERIFY(!model.Cells[model.Cols - 1][model.Rows - 1]->IsMine);
}

void TestSettings::recordNameWrittenBackAs30()
{
    Store().Open()->setValue("RECNAME", QString(40, 'n'));
    {
        TMines model(TMines::TStoreUse::LoadAndSave, Stored());
        QCOMPARE(model.RecordName, QString(30, 'n'));
    }
    QCOMPARE(Store().Open()->value("RECNAME").toString(), QString(30, 'n'));

    // A character outside Latin-1 is stored as "?".
    {
        TMines model(TMines::TStoreUse::LoadAndSave, Stored());
        model.RecordName = QString::fromUtf8("Zoë \u0141ukasz \U0001F600");
    }
    QCOMPARE(Store().Open()->value("RECNAME").toString(), QString::fromUtf8("Zoë ?ukasz ?"));

    // A name with a comma comes back whole.
    {
        TMines model(TMines::TStoreUse::LoadAndSave, Stored());
        model.RecordName = "Smith, John";
    }
    {
        TMines model(TMines::TStoreUse::LoadAndSave, Stored());
        QCOMPARE(model.RecordName, QString("Smith, John"));
    }
    // So does one written by hand without quotes (read as a list by QSettings).
    {
        const std::unique_ptr<QSettings> store = Store().Open();
        store->setValue("RECNAME", QStringList{"Smith", "John"});
    }
    {
        TMines model(TMines::TStoreUse::LoadAndSave, Stored());
        QCOMPARE(model.RecordName, QString("Smith, John"));
    }
}

void TestSettings::questionFiveWrittenBackAsOne()
{
    Store().Open()->setValue("QUESTION", 5);
    {
        TMines model(TMines::TStoreUse::LoadAndSave, Stored());
        QVERIFY(model.QuestionMarks);
    }
    QCOMPARE(Store().Open()->value("QUESTION").toString(), "1");
}

void TestSettings::valuesStayWhereTheyAre()
{
    // The player's own values under the same key are left alone.
    {
        const std::unique_ptr<QSettings> store = Store().Open();
        store->setValue("MUSIC", 1);
        store->setValue("VOLUME", 48);
        store->setValue("MUSIC_SETUP/Driver", "dummy");
    }
    {
        TMines model(TMines::TStoreUse::LoadAndSave, Stored());
    }
    const std::unique_ptr<QSettings> store = Store().Open();
    QCOMPARE(store->value("MUSIC").toString(), "1");
    QCOMPARE(store->value("VOLUME").toString(), "48");
    QCOMPARE(store->value("MUSIC_SETUP/Driver").toString(), "dummy");
}

void TestSettings::roundTrip()
{
    {
        TMines model(TMines::TStoreUse::LoadAndSave, Stored());
        model.ApplyLevel(LevelCustom);
        model.Cols = 33;
        model.Rows = 17;
        model.Mines = 77;
        model.QuestionMarks = false;
        model.WindowsPress = true;
        model.CrossPointer = true;
        model.Borders = false;
        model.ClearNeighbours = false;
        model.NoGuessing = true;
        model.RecordName = "Grace";
    }
    const Values saved = With(Defaults(), {{"Level", 3},
                                           {"Cols", 33},
                                           {"Rows", 17},
                                           {"Mines", 77},
                                           {"QuestionMarks", false},
                                           {"WindowsPress", true},
                                           {"CrossPointer", true},
                                           {"Borders", false},
                                           {"ClearNeighbours", false},
                                           {"NoGuessing", true},
                                           {"RecordName", "Grace"}});
    TMines model(TMines::TStoreUse::LoadAndSave, Stored());
    QCOMPARE(ModelValues(model), saved);
    // Nothing is written while the program runs.
    model.Cols = 5;
    QCOMPARE(Store().Open()->value("COLS").toString(), "33");
}

// Two games in one process, each with its own store: neither reads nor
// writes the other's.
void TestSettings::twoStoresKeepApart()
{
    TGameEnvironment other;
    other.Settings = TSettingsStore(dir.filePath("other/Ferrox.conf"));
    {
        TMineGame first(TMines::TStoreUse::LoadAndSave, Stored());
        TMineGame second(TMines::TStoreUse::LoadAndSave, other);
        first.SetRecordName("First");
        second.SetRecordName("Second");
        first.ChooseLevel(LevelHard);
    }
    TMines first(TMines::TStoreUse::LoadAndSave, Stored());
    TMines second(TMines::TStoreUse::LoadAndSave, other);
    QCOMPARE(first.RecordName, QString("First"));
    QCOMPARE(int(first.Level), LevelHard);
    QCOMPARE(second.RecordName, QString("Second"));
    QCOMPARE(int(second.Level), LevelEasy);
}

void TestSettings::controlCharactersLeaveTheStoredName()
{
    const QString path = Store().Open()->fileName();
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QVERIFY(file.write("RECNAME=Bo\\0b\\a\\x81\\t!\n") > 0);
    }
    {
        TMines model(TMines::TStoreUse::LoadAndSave, Stored());
        QCOMPARE(model.RecordName, QString("Bob!"));
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("\nRECNAME=Bob!\n"));
}

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
