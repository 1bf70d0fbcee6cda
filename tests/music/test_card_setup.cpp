// "Card Setup...": the layer is closed while the set-up window is open, the
// set-up is stored only when confirmed, music comes back only if it was on,
// and what the store holds is read back with the automatic choice for
// whatever is no real output driver; SDL_AUDIODRIVER wins over the store.
#include "MusicTestSupport.h"
#include "music/CardSetup.h"
#include "music/Music.h"
#include "support/MessageRecorder.h"

#include <QTest>

namespace
{

const QString InitFailed =
    "Couldn't initialize audio! Other program uses audio or you have to change the music setup!";

void AddModules(TTestFolder &folder, TMusic &music, const QStringList &titles)
{
    for (const QString &title : titles) {
        const QString name = title + ".mod";
        QVERIFY(folder.Write(name, TinyModule(title.toLatin1(), 64, 20)));
        TPlayListItem item;
        item.FileName = QFile::encodeName(folder.File(name));
        QVERIFY(item.ReadTitle());
        music.ModuleList.AddCopy(item);
    }
}

// A set-up window that a test drives: it notes what it saw and answers as
// told.
struct TFakeSetupWindow {
    bool Confirm = true;
    std::optional<TAudioSetup> Choose;
    int Shown = 0;
    bool LayerWasOpen = true;
    TAudioInUse InUse;

    TSetupDialog Dialog(TMusic &music)
    {
        return [this, &music](TModuleAudio &audio, const TAudioInUse &inUse) {
            ++Shown;
            LayerWasOpen = music.IsInitialized() || audio.IsOpen();
            InUse = inUse;
            if (Confirm && Choose)
                audio.SetSetup(*Choose);
            return Confirm;
        };
    }
};

} // namespace

class TestCardSetup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!qEnvironmentVariableIsSet("SDL_AUDIODRIVER"))
            qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIODELAY", "1");
    }

    void whilePlayingMovesOnToTheNextEntry_data()
    {
        QTest::addColumn<bool>("confirm");
        QTest::newRow("confirmed") << true;
        QTest::newRow("cancelled") << false;
    }

    void whilePlayingMovesOnToTheNextEntry()
    {
        QFETCH(bool, confirm);
        TTestFolder folder;
        MessageRecorder boxes;
        TMusic music;
        AddModules(folder, music, {"first", "second", "third"});
        QVERIFY(music.Play());
        QCOMPARE(music.CurrentTitle(), QString("first"));

        TFakeSetupWindow window;
        window.Confirm = confirm;
        window.Choose = TAudioSetup{QString(), QString(), 22050, 0};
        QCOMPARE(RunCardSetup(music, window.Dialog(music)), TCardSetupResult::csrRestarted);

        QCOMPARE(window.Shown, 1);
        QVERIFY(!window.LayerWasOpen);
        QVERIFY(window.InUse.Open);
        QCOMPARE(window.InUse.Driver, QString("disk"));
        QVERIFY(music.IsPlaying());
        QCOMPARE(music.CurrentTitle(), QString("second"));
        QCOMPARE(music.Sound().InUse().MixRate, confirm ? 22050 : 48000);
        QSettings store = TestStore();
        QCOMPARE(store.contains("MUSIC_SETUP/MIXRATE"), confirm);
        QCOMPARE(store.contains("VOLUME"), confirm);
        QVERIFY(boxes.boxes.isEmpty());
        // What was chosen is there at the next start.
        TMusic next;
        QCOMPARE(next.Sound().Setup().MixRate, confirm ? 22050 : 0);
    }

    void withMusicOffTheSetupIsOnlyStored_data()
    {
        QTest::addColumn<bool>("played");
        QTest::newRow("switched off after playing") << true;
        QTest::newRow("never switched on") << false;
    }

    void withMusicOffTheSetupIsOnlyStored()
    {
        QFETCH(bool, played);
        TTestFolder folder;
        MessageRecorder boxes;
        TMusic music;
        AddModules(folder, music, {"first", "second"});
        if (played) {
            QVERIFY(music.Play());
            music.Stop(false);
            QVERIFY(music.IsSuspended());
        }

        TFakeSetupWindow window;
        window.Choose = TAudioSetup{QString(), QString(), 44100, 80};
        QCOMPARE(RunCardSetup(music, window.Dialog(music)), TCardSetupResult::csrNotRestarted);
        QCOMPARE(window.Shown, 1);
        QVERIFY(!window.InUse.Open); // switched off gives the device back
        QVERIFY(!music.IsInitialized());
        QVERIFY(!music.IsPlaying());
        QVERIFY(!music.IsSuspended());
        QVERIFY(!music.Sound().IsOpen());
        QCOMPARE(TestStore().value("MUSIC_SETUP/MIXRATE").toString(), QString("44100"));
        QCOMPARE(TestStore().value("MUSIC_SETUP/BUFFER").toString(), QString("80"));

        // Switching music on later plays with the new set-up.
        QVERIFY(music.Play());
        QCOMPARE(music.Sound().InUse().MixRate, 44100);
        QVERIFY(boxes.boxes.isEmpty());
    }

    void rejectedSetupWarnsOnceAndStaysSilent()
    {
        TTestFolder folder;
        MessageRecorder boxes;
        TMusic music;
        AddModules(folder, music, {"first", "second"});
        QVERIFY(music.Play());

        TScopedEnv noForcedDriver("SDL_AUDIODRIVER", std::nullopt);
        TFakeSetupWindow window;
        window.Choose = TAudioSetup{"no-such-driver", QString(), 0, 0};
        QCOMPARE(RunCardSetup(music, window.Dialog(music)), TCardSetupResult::csrRestartFailed);
        QCOMPARE(boxes.texts(), QStringList{InitFailed});
        QCOMPARE(boxes.boxes[0].first, TMsgType::mtWarning);
        QVERIFY(!music.IsInitialized());
        QVERIFY(!music.IsPlaying());
        QVERIFY(!music.Sound().IsOpen());
        QCOMPARE(music.PlayHandle, TPlayHandle(0));

        // What the store now holds is no output driver: the next start
        // takes the automatic one.
        QCOMPARE(TestStore().value("MUSIC_SETUP/DRIVER").toString(), QString("no-such-driver"));
        TMusic next;
        QCOMPARE(next.Sound().Setup().Driver, QString());
    }

    void storedSetupIsReadBack_data()
    {
        QTest::addColumn<QVariant>("driver");
        QTest::addColumn<QString>("expected");
        const QStringList drivers = TModuleAudio::OutputDrivers();
        const QString real = drivers.isEmpty() ? QString() : drivers.first();
        QTest::newRow("an output driver") << QVariant(real) << real;
        QTest::newRow("its name in capitals") << QVariant(real.toUpper()) << real;
        QTest::newRow("disk writes a file") << QVariant("disk") << QString();
        QTest::newRow("dummy plays nothing") << QVariant("dummy") << QString();
        QTest::newRow("DISK") << QVariant("DISK") << QString();
        QTest::newRow("unknown") << QVariant("no-such-driver") << QString();
        QTest::newRow("a number") << QVariant(7) << QString();
        QTest::newRow("missing") << QVariant() << QString();
    }

    void storedSetupIsReadBack()
    {
        QFETCH(QVariant, driver);
        QFETCH(QString, expected);
        TTestFolder folder;
        {
            QSettings store = TestStore();
            if (driver.isValid())
                store.setValue("MUSIC_SETUP/DRIVER", driver);
            store.setValue("MUSIC_SETUP/DEVICE", QString::fromUtf8("Аналоговый стерео, HDMI 1"));
            store.setValue("MUSIC_SETUP/MIXRATE", "44100");
            store.setValue("MUSIC_SETUP/BUFFER", "99999999999");
        }
        TMusic music;
        const TAudioSetup setup = music.Sound().Setup();
        QCOMPARE(setup.Driver, expected);
        QCOMPARE(setup.Device, QString::fromUtf8("Аналоговый стерео, HDMI 1"));
        QCOMPARE(setup.MixRate, 44100);
        QCOMPARE(setup.BufferMs, 0);
    }

    void environmentWinsOverTheStore()
    {
        const QStringList drivers = TModuleAudio::OutputDrivers();
        QVERIFY(!drivers.isEmpty());
        TTestFolder folder;
        TestStore().setValue("MUSIC_SETUP/DRIVER", drivers.first());
        TScopedEnv forced("SDL_AUDIODRIVER", QByteArray("disk"));
        MessageRecorder boxes;
        TMusic music;
        QCOMPARE(music.Sound().Setup().Driver, drivers.first());
        AddModules(folder, music, {"first"});
        QVERIFY(music.Play());
        QCOMPARE(music.Sound().InUse().Driver, QString("disk"));
        QVERIFY(boxes.boxes.isEmpty());
        QVERIFY(DriverChosenByEnvironment());
    }
};

QTEST_GUILESS_MAIN(TestCardSetup)
#include "test_card_setup.moc"
