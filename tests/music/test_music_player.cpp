// The module player on SDL's disk driver: what it plays, when it moves on,
// what it announces, and what it tells the user when there is nothing it
// can play.
#include "MusicTestSupport.h"
#include "support/MessageRecorder.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace
{

const QString InitFailed =
    "Couldn't initialize audio! Other program uses audio or you have to change the music setup!";
const QString ResumeFailed =
    "Couldn't resume playing music! Other program uses audio or you have to change the music "
    "setup!";
const QString LoadFailed = "Could not load  in memory! Check module or choose another module-file!";
const QString ListEmpty = "Sorry, the playList is empty!";

// Waits for frames mixed from now on: the device already ran, silent,
// while the module was loading.
bool WaitForMoreFrames(const TMusic &music, std::uint64_t frames)
{
    const std::uint64_t start = music.Sound().MixedFrames();
    return WaitUntil([&] { return music.Sound().MixedFrames() >= start + frames; });
}

QList<qint16> Samples(const QByteArray &raw)
{
    QList<qint16> samples(raw.size() / 2);
    memcpy(samples.data(), raw.constData(), static_cast<size_t>(samples.size()) * 2);
    return samples;
}

qint16 Peak(const QList<qint16> &samples)
{
    qint16 peak = 0;
    for (qint16 sample : samples)
        peak = qMax<qint16>(peak, static_cast<qint16>(qAbs(sample)));
    return peak;
}

// Every announcement of the player, in the order they came.
struct TAnnouncements {
    explicit TAnnouncements(TMusic &music)
    {
        QObject::connect(&music, &TMusic::playingChanged,
                         [this](bool on) { Log << QString("playing %1").arg(on); });
        QObject::connect(&music, &TMusic::moduleChanged, [this](int index, const QString &title) {
            Log << QString("module %1 %2").arg(index).arg(title);
        });
        QObject::connect(&music, &TMusic::listChanged, [this] { Log << "list"; });
        QObject::connect(&music, &TMusic::volumeChanged,
                         [this](int volume) { Log << QString("volume %1").arg(volume); });
        QObject::connect(&music, &TMusic::failed,
                         [this](const QString &text) { Log << "failed " + text.left(14); });
    }
    QStringList Take() { return std::exchange(Log, {}); }
    QStringList Log;
};

} // namespace

class TestMusicPlayer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { UseDiskDriverUnlessSet(); }

    // Each with the length the decoder reckons, 0 where not checked.
    void playsAudibleSound_data()
    {
        QTest::addColumn<QString>("module");
        QTest::addColumn<QByteArray>("bytes"); // written as module; empty: a shared module
        QTest::addColumn<int>("lengthMs");
        // 64 rows at 2 ticks of 20 ms.
        QTest::newRow("made here") << "tiny.mod" << TinyModule("tiny", 64) << 2560;
        QTest::newRow("made here, another format") << "tiny.mtm" << TinyMtm("tiny", 64) << 2560;
        QTest::newRow("real MOD") << QDir(SharedModules()).filePath("hiscreen.mod") << QByteArray()
                                  << 7680;
        QTest::newRow("real XM") << QDir(SharedModules()).filePath("mph.xm") << QByteArray() << 0;
    }

    void playsAudibleSound()
    {
        QFETCH(QString, module);
        QFETCH(QByteArray, bytes);
        QFETCH(int, lengthMs);
        TTestFolder folder;
        if (!bytes.isEmpty())
            QVERIFY(folder.Write(module, bytes));
        else if (!QFileInfo::exists(module))
            QSKIP(qPrintable("The shared modules are not here (" + SharedModules() + ")."));
        MessageRecorder boxes;
        TMusic music(folder.Sound, folder.Store);
        GiveList(music, {module});
        QVERIFY(PlayHeard(music));
        QVERIFY(music.IsPlaying());
        QCOMPARE(music.PlayingPath(), module);
        if (lengthMs > 0)
            QCOMPARE(music.PlayingLength().count(), qint64(lengthMs) * 1000);
        QVERIFY(WaitForDevice(music));
        QVERIFY(WaitForMoreFrames(music, 48000));
        QVERIFY(music.Status().Elapsed.count() > 0);
        music.Stop(true);
        QVERIFY(!music.IsInitialized());
        folder.Sound.FinishDeviceWork();
        const QList<qint16> samples = Samples(folder.Read("audio.raw"));
        QVERIFY(samples.size() >= 2 * 48000);
        QVERIFY(Peak(samples) > 1000);
        QVERIFY(boxes.boxes.isEmpty());
    }

    void volumeZeroIsSilence()
    {
        TTestFolder folder;
        TestStore().setValue("VOLUME", 0);
        QVERIFY(folder.Write("tiny.mod", TinyModule("tiny", 64, 20)));
        TMusic music(folder.Sound, folder.Store);
        QCOMPARE(music.Volume(), 0);
        GiveList(music, {"tiny.mod"});
        QVERIFY(PlayHeard(music));
        QVERIFY(WaitForMoreFrames(music, 48000));
        QVERIFY(music.Status().Row > 0); // it did play, only without sound
        music.Stop(true);
        folder.Sound.FinishDeviceWork();
        const QList<qint16> samples = Samples(folder.Read("audio.raw"));
        QVERIFY(samples.size() >= 2 * 48000);
        QCOMPARE(Peak(samples), qint16(0));
    }

    void stoppingFadesInsteadOfCutting_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("Turn Off") << 0;
        QTest::newRow("close") << 1;
        QTest::newRow("freeing the player") << 2;
    }

    void stoppingFadesInsteadOfCutting()
    {
        QFETCH(int, how);
        TScopedEnv pace("SDL_DISKAUDIODELAY", "1");
        TTestFolder folder;
        QVERIFY(folder.Write("long.mod", TinyModule("long", 64, 20)));
        auto music = std::make_unique<TMusic>(folder.Sound, folder.Store);
        GiveList(*music, {"long.mod"});
        QVERIFY(PlayHeard(*music));
        QVERIFY(WaitForDevice(*music));
        QVERIFY(WaitForMoreFrames(*music, 24000));
        QVERIFY(music->IsPlaying());
        if (how == 0)
            music->Stop(false);
        else if (how == 1)
            music->Stop(true);
        music.reset();
        folder.Sound.FinishDeviceWork();

        const QList<qint16> samples = Samples(folder.Read("audio.raw"));
        qsizetype last = samples.size() - 1;
        while (last > 0 && samples[last] == 0)
            --last;
        const qsizetype lastFrame = last / 2;
        QVERIFY(lastFrame > 24000);
        auto peakOf = [&](qsizetype fromFrame, qsizetype frames) {
            return Peak(samples.mid(fromFrame * 2, frames * 2));
        };
        const qint16 playing = peakOf(lastFrame - 3000, 2000);
        QVERIFY(playing > 3000);
        // The last sound dies away over a few milliseconds instead of
        // breaking off at full level.
        QVERIFY2(peakOf(lastFrame - 16, 17) < playing / 10,
                 qPrintable(QString("%1 against %2").arg(peakOf(lastFrame - 16, 17)).arg(playing)));
        QVERIFY(peakOf(lastFrame - 120, 121) < playing * 6 / 10);
    }

    // What plays, in order: the player moves on by itself when a song ends,
    // and one entry plays again and again.
    void songEndMovesToTheNextEntry()
    {
        TTestFolder folder;
        QVERIFY(folder.Write("a.mod", TinyModule("first")));
        QVERIFY(folder.Write("b.mod", TinyModule("second")));
        MessageRecorder boxes;
        TMusic music(folder.Sound, folder.Store);
        QSignalSpy modules(&music, &TMusic::moduleChanged);
        GiveList(music, {"a.mod", "b.mod"});
        QVERIFY(PlayHeard(music));
        QCOMPARE(music.PlayingTitle(), QString("first"));
        QCOMPARE(music.NextIndex(), 1);
        const std::pair<int, const char *> order[] = {{1, "second"}, {0, "first"}, {1, "second"}};
        for (const auto &[index, title] : order) {
            const qsizetype before = modules.count();
            QVERIFY(modules.wait(10000));
            QCOMPARE(modules.count(), before + 1);
            QCOMPARE(modules.last(), (QVariantList{index, QString(title)}));
            QVERIFY(music.IsPlaying());
            QCOMPARE(music.PlayingIndex(), index);
            QCOMPARE(music.NextIndex(), 1 - index);
        }

        GiveList(music, {"a.mod"});
        QCOMPARE(modules.last(), (QVariantList{0, QString("first")}));
        for (int round = 0; round < 2; ++round) {
            QVERIFY(modules.wait(10000));
            QCOMPARE(modules.last(), (QVariantList{0, QString("first")}));
            QCOMPARE(music.NextIndex(), 0);
        }
        QVERIFY(boxes.boxes.isEmpty());
    }

    // Each change is announced once, when it is complete, in the order it
    // happened: playingChanged before moduleChanged.
    void announcesEachChangeOnce()
    {
        TTestFolder folder;
        QVERIFY(folder.Write("a.mod", TinyModule("first", 64, 20)));
        QVERIFY(folder.Write("b.mod", TinyModule("second")));
        MessageRecorder boxes;
        TMusic music(folder.Sound, folder.Store);
        TAnnouncements heard(music);
        QSignalSpy playing(&music, &TMusic::playingChanged);
        QSignalSpy modules(&music, &TMusic::moduleChanged);
        QSignalSpy lists(&music, &TMusic::listChanged);
        QSignalSpy volumes(&music, &TMusic::volumeChanged);
        QSignalSpy failures(&music, &TMusic::failed);

        GiveList(music, {"a.mod", "b.mod"});
        QCOMPARE(heard.Take(), QStringList{"list"});
        QVERIFY(PlayHeard(music));
        QCOMPARE(heard.Take(), (QStringList{"playing 1", "module 0 first"}));
        QVERIFY(!music.Play()); // already playing: nothing to say
        music.SetVolume(30);
        music.SetVolume(30);
        music.PreviewVolume(10);
        QCOMPARE(heard.Take(), QStringList{"volume 30"});
        music.Stop(false);
        music.Stop(false);
        QCOMPARE(heard.Take(), QStringList{"playing 0"});
        QVERIFY(PlayHeard(music));
        QCOMPARE(heard.Take(), (QStringList{"playing 1", "module 0 first"}));

        // A list replaced while music plays: the start entry plays at once.
        GiveList(music, {"b.mod", "a.mod"}, 0);
        QCOMPARE(heard.Take(), (QStringList{"list", "module 0 second"}));
        QVERIFY(modules.wait(10000)); // the short song ends
        QCOMPARE(heard.Take(), QStringList{"module 1 first"});

        // A list with nothing loadable: both tries fail, and music stops.
        GiveList(music, {"missing.mod"});
        QCOMPARE(heard.Take(), (QStringList{"list", "failed Could not load",
                                            "failed Could not load", "playing 0"}));
        QCOMPARE(boxes.texts(), (QStringList{LoadFailed, LoadFailed}));
        QCOMPARE(playing.count(), 4);
        QCOMPARE(modules.count(), 4);
        QCOMPARE(lists.count(), 3);
        QCOMPARE(volumes.count(), 1);
        QCOMPARE(failures.count(), 2);
        QCOMPARE(music.Volume(), 30);
        QCOMPARE(TestStore().value("VOLUME").toString(), QString("30"));
    }

    // A start entry chosen while music is off: what is still loaded plays
    // first, under its own title, then the start entry.
    void theTitleIsTheModuleThatPlays()
    {
        TTestFolder folder;
        const QStringList titles = {"first", "second", "third", "fourth"};
        QStringList files;
        for (const QString &title : titles) {
            QVERIFY(folder.Write(title + ".mod", TinyModule(title.toLatin1())));
            files << title + ".mod";
        }
        MessageRecorder boxes;
        TMusic music(folder.Sound, folder.Store);
        GiveList(music, files);
        QVERIFY(PlayHeard(music));
        music.Stop(false);
        GiveList(music, files, 3);
        QCOMPARE(music.PlayingTitle(), QString("first"));
        QCOMPARE(music.PlayingIndex(), -1); // no longer known in the new list

        QSignalSpy modules(&music, &TMusic::moduleChanged);
        QVERIFY(PlayHeard(music));
        QCOMPARE(modules.takeFirst(), (QVariantList{-1, QString("first")}));
        QVERIFY(modules.wait(10000));
        QCOMPARE(modules.takeFirst(), (QVariantList{3, QString("fourth")}));
        QCOMPARE(music.PlayingTitle(), QString("fourth"));
        QVERIFY(boxes.boxes.isEmpty());
    }

    void switchingOffAndOnRestartsTheSameModule()
    {
        // Played at about real speed so that positions can be compared.
        TScopedEnv slow("SDL_DISKAUDIODELAY", "20");
        TTestFolder folder;
        QVERIFY(folder.Write("a.mod", TinyModule("long", 64)));
        QVERIFY(folder.Write("b.mod", TinyModule("next", 64)));
        MessageRecorder boxes;
        TMusic music(folder.Sound, folder.Store);
        GiveList(music, {"a.mod", "b.mod"});
        QVERIFY(PlayHeard(music));
        QVERIFY(WaitUntil([&] { return music.Status().Row >= 12; }));

        music.Stop(false);
        QVERIFY(music.IsSuspended());
        QVERIFY(!music.IsPlaying());
        QCOMPARE(music.Status().Row, 0u);
        QVERIFY(!music.Sound().IsOpen()); // the device is free for others
        QVERIFY(music.CheckSongEnd());    // nothing is being played
        QVERIFY(music.IsSuspended());

        QVERIFY(PlayHeard(music));
        QVERIFY(!music.IsSuspended());
        QCOMPARE(music.PlayingIndex(), 0);
        QCOMPARE(music.NextIndex(), 1);
        const uint row = music.Status().Row;
        QVERIFY2(row < 12, qPrintable(QString::number(row)));
        QVERIFY(boxes.boxes.isEmpty());
    }

    void closingMovesOnToTheNextEntry()
    {
        TTestFolder folder;
        QVERIFY(folder.Write("a.mod", TinyModule("first", 64)));
        QVERIFY(folder.Write("b.mod", TinyModule("second", 64)));
        TMusic music(folder.Sound, folder.Store);
        GiveList(music, {"a.mod", "b.mod"});
        QVERIFY(PlayHeard(music));
        music.Stop(true);
        QVERIFY(!music.IsInitialized());
        music.Stop(true); // closed: nothing happens
        QVERIFY(PlayHeard(music));
        QCOMPARE(music.PlayingTitle(), QString("second"));
    }

    void emptyListTellsSo()
    {
        TTestFolder folder;
        MessageRecorder boxes;
        TMusic music(folder.Sound, folder.Store);
        QVERIFY(!music.Play());
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(boxes.boxes[0].first, TMsgType::mtInformation);
        QCOMPARE(boxes.boxes[0].second, ListEmpty);
        QVERIFY(music.IsInitialized());
        QVERIFY(!music.IsPlaying());
        QCOMPARE(music.PlayingIndex(), -1);
        QVERIFY(music.PlayingTitle().isEmpty());
    }

    void unloadableEntriesAreSkippedOrWarnedOnce()
    {
        TTestFolder folder;
        QVERIFY(folder.Write("bad1.mod", "not a module at all, only text"));
        QVERIFY(folder.Write("bad2.mod", QByteArray(2000, '\x7f')));
        QVERIFY(folder.Write("good.mod", TinyModule("good", 64)));
        MessageRecorder boxes;
        TMusic music(folder.Sound, folder.Store);
        GiveList(music, {"bad1.mod", "missing.mod", "bad2.mod"}, 1);
        QVERIFY(!music.Play());
        QCOMPARE(boxes.texts(), QStringList{LoadFailed});
        QCOMPARE(boxes.boxes[0].first, TMsgType::mtWarning);
        QCOMPARE(music.NextIndex(), 1);
        QVERIFY(music.PlayingTitle().isEmpty());
        QVERIFY(music.IsInitialized());

        // From beyond the end of a shorter list: the first entry; a bad
        // entry on the way is passed over without a word.
        boxes.boxes.clear();
        GiveList(music, {"good.mod", "bad1.mod"}, 7);
        music.LoadNextModule();
        QCOMPARE(music.PlayingIndex(), 0);
        QCOMPARE(music.NextIndex(), 1);
        music.LoadNextModule();
        QCOMPARE(music.PlayingTitle(), QString("good"));
        QCOMPARE(music.NextIndex(), 1);
        QVERIFY(boxes.boxes.isEmpty());
    }

    void noDeviceWarnsAndStaysClosed()
    {
        TScopedEnv driver("SDL_AUDIODRIVER", "no-such-driver");
        TTestFolder folder;
        QVERIFY(folder.Write("a.mod", TinyModule("a")));
        QVERIFY(folder.Write("b.mod", TinyModule("b")));
        MessageRecorder boxes;
        TMusic music(folder.Sound, folder.Store);
        GiveList(music, {"a.mod", "b.mod"});
        QSignalSpy playing(&music, &TMusic::playingChanged);
        QSignalSpy failures(&music, &TMusic::failed);
        QVERIFY(music.Play());       // the device is opened in the background
        QVERIFY(!music.IsPlaying()); // and nothing plays before it has
        QVERIFY(failures.wait(10000));
        QCOMPARE(playing, (QList<QVariantList>{{false}}));
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(boxes.boxes[0].first, TMsgType::mtWarning);
        QCOMPARE(boxes.boxes[0].second, InitFailed);
        QVERIFY(!music.IsInitialized());
        QVERIFY(!music.Sound().IsOpen());
        QVERIFY(!music.Sound().LastError().isEmpty());
        QCOMPARE(music.NextIndex(), 0); // the next try starts where this one did
        // No module played, so none is named.
        QCOMPARE(music.PlayingIndex(), -1);
        QVERIFY(music.PlayingTitle().isEmpty());
        QVERIFY(music.PlayingPath().isEmpty());
        QVERIFY(music.Play());
        QVERIFY(failures.wait(10000));
        QCOMPARE(boxes.boxes.size(), 2);
        QCOMPARE(playing.size(), 2);
        QVERIFY(!music.IsSwitchedOn());
    }

    // The play-list window's OK while the device still opens: should the
    // opening fail, the next Play starts at the entry chosen there, as if
    // the opening had failed at once.
    void startEntryChosenWhileOpeningOutlivesAFailedOpening()
    {
        TTestFolder folder;
        const QStringList names = {"a.mod", "b.mod", "c.mod", "d.mod"};
        for (const QString &name : names)
            QVERIFY(folder.Write(name, TinyModule(name.left(1).toLatin1(), 64)));
        MessageRecorder boxes;
        TMusic music(folder.Sound, folder.Store);
        GiveList(music, names);
        {
            TScopedEnv driver("SDL_AUDIODRIVER", "no-such-driver");
            QSignalSpy failures(&music, &TMusic::failed);
            QVERIFY(music.Play());
            GiveList(music, names, 2);
            QVERIFY(failures.wait(10000));
        }
        QCOMPARE(boxes.texts(), QStringList{InitFailed});
        QVERIFY(!music.IsSwitchedOn());
        QCOMPARE(music.NextIndex(), 2);
        QVERIFY(PlayHeard(music));
        QCOMPARE(music.PlayingIndex(), 2);
        QCOMPARE(music.PlayingTitle(), QString("c"));
    }

    void failedResumeStaysSuspended()
    {
        TTestFolder folder;
        QVERIFY(folder.Write("a.mod", TinyModule("a", 64)));
        MessageRecorder boxes;
        TMusic music(folder.Sound, folder.Store);
        GiveList(music, {"a.mod"});
        QVERIFY(PlayHeard(music));
        music.Stop(false);
        {
            TScopedEnv driver("SDL_AUDIODRIVER", "no-such-driver");
            QSignalSpy failures(&music, &TMusic::failed);
            QVERIFY(music.Play());
            QVERIFY(failures.wait(10000));
        }
        QCOMPARE(boxes.texts(), QStringList{ResumeFailed});
        QVERIFY(music.IsSuspended());
        QVERIFY(music.IsInitialized());
        QVERIFY(!music.IsPlaying());
        QVERIFY(PlayHeard(music));
        QVERIFY(music.IsPlaying());
        QCOMPARE(music.Sound().DeviceState(), TDeviceState::dsOpen);
        QCOMPARE(boxes.boxes.size(), 1);
    }

    void volumeIsReadAsStored_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("volume");
        QTest::newRow("missing") << QVariant() << 64;
        QTest::newRow("integer") << QVariant(30) << 30;
        QTest::newRow("text") << QVariant("loud") << 64;
        QTest::newRow("too high") << QVariant(65) << 64;
        QTest::newRow("negative") << QVariant(-1) << 64;
        QTest::newRow("overflow") << QVariant("99999999999") << 64;
    }

    void volumeIsReadAsStored()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, volume);
        TTestFolder folder;
        if (stored.isValid())
            TestStore().setValue("VOLUME", stored);
        TMusic music(folder.Sound, folder.Store);
        QCOMPARE(music.Volume(), volume);
    }

    // MUSIC is the switch as it stands when the values are written, on
    // while the music waits for its device, whatever was read at start.
    void storesItsOwnSwitch()
    {
        TTestFolder folder;
        QVERIFY(folder.Write("a.mod", TinyModule("a", 64)));
        TestStore().setValue("MUSIC", 1);
        TMusic music(folder.Sound, folder.Store);
        QVERIFY(music.WasStoredOn());
        GiveList(music, {"a.mod"});
        QVERIFY(music.SaveSettings());
        QCOMPARE(TestStore().value("MUSIC").toString(), QString("0"));
        QVERIFY(music.Play());
        QVERIFY(music.SaveSettings());
        QCOMPARE(TestStore().value("MUSIC").toString(), QString("1"));
        QCOMPARE(TestStore().value("VOLUME").toString(), QString("64"));
        music.Stop(false);
        QVERIFY(music.SaveSettings());
        QCOMPARE(TestStore().value("MUSIC").toString(), QString("0"));
    }
};

QTEST_GUILESS_MAIN(TestMusicPlayer)
#include "test_music_player.moc"
