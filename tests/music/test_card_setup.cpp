// "Card Setup...": the layer is closed while the set-up window is open, the
// set-up is stored only when confirmed, music comes back only if it was on,
// and what the store holds is read back with the automatic choice for
// whatever is no real output driver and the nearest offered value for a
// rate or buffer out of range; SDL_AUDIODRIVER wins over the store.
#include "MusicTestSupport.h"
#include "support/MessageRecorder.h"

#include <QSignalSpy>
#include <QTest>

namespace
{

const QString InitFailed =
    "Couldn't initialize audio! Other program uses audio or you have to change the music setup!";

void AddModules(TTestFolder &folder, TMusic &music, const QStringList &titles)
{
    QStringList files;
    for (const QString &title : titles) {
        files << title + ".mod";
        QVERIFY(folder.Write(files.last(), TinyModule(title.toLatin1(), 64, 20)));
    }
    GiveList(music, files);
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
        return [this, &music](const TAudioSetup &setup,
                              const TAudioInUse &inUse) -> std::optional<TAudioSetup> {
            ++Shown;
            LayerWasOpen = music.IsInitialized() || music.Sound().IsOpen();
            InUse = inUse;
            if (!Confirm)
                return std::nullopt;
            return Choose.value_or(setup);
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
        TMusic music(folder.Sound, folder.Store);
        AddModules(folder, music, {"first", "second", "third"});
        QVERIFY(PlayHeard(music));
        QVERIFY(WaitForDevice(music));
        QCOMPARE(music.PlayingTitle(), QString("first"));

        TFakeSetupWindow window;
        window.Confirm = confirm;
        window.Choose = TAudioSetup{QString(), QString(), 22050, 0};
        QCOMPARE(music.CardSetup(window.Dialog(music)), TCardSetupResult::csrRestarted);

        QCOMPARE(window.Shown, 1);
        QVERIFY(!window.LayerWasOpen);
        QVERIFY(window.InUse.Open);
        QCOMPARE(window.InUse.Driver, QString("disk"));
        QVERIFY(WaitForDevice(music));
        QVERIFY(music.IsPlaying());
        QCOMPARE(music.PlayingTitle(), QString("second"));
        QCOMPARE(music.InUse().MixRate, confirm ? 22050 : 48000);
        QSettings store = TestStore();
        QCOMPARE(store.contains("MUSIC_SETUP/MIXRATE"), confirm);
        QCOMPARE(store.contains("VOLUME"), confirm);
        QVERIFY(boxes.boxes.isEmpty());
        // What was chosen is there at the next start.
        TMusic next(folder.Sound, folder.Store);
        QCOMPARE(next.Setup().MixRate, confirm ? 22050 : 0);
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
        TMusic music(folder.Sound, folder.Store);
        AddModules(folder, music, {"first", "second"});
        if (played) {
            QVERIFY(PlayHeard(music));
            music.Stop(false);
            QVERIFY(music.IsSuspended());
        }

        TFakeSetupWindow window;
        window.Choose = TAudioSetup{QString(), QString(), 44100, 80};
        QCOMPARE(music.CardSetup(window.Dialog(music)), TCardSetupResult::csrNotRestarted);
        QCOMPARE(window.Shown, 1);
        QVERIFY(!window.InUse.Open); // switched off gives the device back
        QVERIFY(!music.IsInitialized());
        QVERIFY(!music.IsPlaying());
        QVERIFY(!music.IsSuspended());
        QVERIFY(!music.Sound().IsOpen());
        QCOMPARE(TestStore().value("MUSIC_SETUP/MIXRATE").toString(), QString("44100"));
        QCOMPARE(TestStore().value("MUSIC_SETUP/BUFFER").toString(), QString("80"));

        // Switching music on later plays with the new set-up.
        QVERIFY(PlayHeard(music));
        QVERIFY(WaitForDevice(music));
        QCOMPARE(music.InUse().MixRate, 44100);
        QVERIFY(boxes.boxes.isEmpty());
    }

    void rejectedSetupWarnsOnceAndStaysSilent()
    {
        TTestFolder folder;
        MessageRecorder boxes;
        TMusic music(folder.Sound, folder.Store);
        AddModules(folder, music, {"first", "second"});
        QVERIFY(PlayHeard(music));

        TScopedEnv noForcedDriver("SDL_AUDIODRIVER", std::nullopt);
        TFakeSetupWindow window;
        window.Choose = TAudioSetup{"no-such-driver", QString(), 0, 0};
        QSignalSpy failures(&music, &TMusic::failed);
        // The device is opened in the background; its failure comes later.
        QCOMPARE(music.CardSetup(window.Dialog(music)), TCardSetupResult::csrRestarted);
        QVERIFY(failures.wait(10000));
        QCOMPARE(boxes.texts(), QStringList{InitFailed});
        QCOMPARE(boxes.boxes[0].first, TMsgType::mtWarning);
        QVERIFY(!music.IsInitialized());
        QVERIFY(!music.IsPlaying());
        QVERIFY(!music.Sound().IsOpen());
        QCOMPARE(music.Status().Row, 0u);

        // What the store now holds is no output driver: the next start
        // takes the automatic one.
        QCOMPARE(TestStore().value("MUSIC_SETUP/DRIVER").toString(), QString("no-such-driver"));
        TMusic next(folder.Sound, folder.Store);
        QCOMPARE(next.Setup().Driver, QString());
    }

    void storedSetupIsReadBack_data()
    {
        QTest::addColumn<QVariant>("driver");
        QTest::addColumn<QString>("expected");
        const QStringList drivers = TSoundModule().OutputDrivers();
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
        TMusic music(folder.Sound, folder.Store);
        const TAudioSetup setup = music.Setup();
        QCOMPARE(setup.Driver, expected);
        QCOMPARE(setup.Device, QString::fromUtf8("Аналоговый стерео, HDMI 1"));
        QCOMPARE(setup.MixRate, 44100);
        QCOMPARE(setup.BufferMs, 0);
    }

    // A rate or buffer written by hand beyond what the set-up window offers
    // (a buffer of two seconds would hold every stop for seconds) becomes the
    // nearest offered one; what is not a number stays automatic.
    void storedRateAndBufferAreBroughtIntoRange_data()
    {
        QTest::addColumn<QVariant>("rate");
        QTest::addColumn<QVariant>("buffer");
        QTest::addColumn<int>("expectedRate");
        QTest::addColumn<int>("expectedBuffer");
        QTest::newRow("too low") << QVariant(8000) << QVariant(1) << 22050 << 10;
        QTest::newRow("too high") << QVariant(192000) << QVariant(2000) << 48000 << 160;
        QTest::newRow("between the offered") << QVariant(32000) << QVariant(33) << 32000 << 33;
        QTest::newRow("automatic") << QVariant(0) << QVariant(0) << 0 << 0;
        QTest::newRow("negative") << QVariant(-48000) << QVariant(-40) << 0 << 0;
        QTest::newRow("no numbers") << QVariant("fast") << QVariant("99999999999") << 0 << 0;
    }

    void storedRateAndBufferAreBroughtIntoRange()
    {
        QFETCH(QVariant, rate);
        QFETCH(QVariant, buffer);
        QFETCH(int, expectedRate);
        QFETCH(int, expectedBuffer);
        TTestFolder folder;
        {
            QSettings store = TestStore();
            store.setValue("MUSIC_SETUP/MIXRATE", rate);
            store.setValue("MUSIC_SETUP/BUFFER", buffer);
        }
        TMusic music(folder.Sound, folder.Store);
        QCOMPARE(music.Setup().MixRate, expectedRate);
        QCOMPARE(music.Setup().BufferMs, expectedBuffer);
        // And so does a set-up chosen outside the range.
        music.SetSetup(TAudioSetup{QString(), QString(), rate.toInt(), buffer.toInt()});
        QCOMPARE(music.Setup().MixRate, expectedRate);
    }

    void environmentWinsOverTheStore()
    {
        TTestFolder folder;
        const QStringList drivers = folder.Sound.OutputDrivers();
        QVERIFY(!drivers.isEmpty());
        TestStore().setValue("MUSIC_SETUP/DRIVER", drivers.first());
        TScopedEnv forced("SDL_AUDIODRIVER", QByteArray("disk"));
        MessageRecorder boxes;
        TMusic music(folder.Sound, folder.Store);
        QCOMPARE(music.Setup().Driver, drivers.first());
        AddModules(folder, music, {"first"});
        QVERIFY(PlayHeard(music));
        QVERIFY(WaitForDevice(music));
        QCOMPARE(music.InUse().Driver, QString("disk"));
        QVERIFY(boxes.boxes.isEmpty());
        QVERIFY(DriverChosenByEnvironment());
    }
};

QTEST_GUILESS_MAIN(TestCardSetup)
#include "test_card_setup.moc"
