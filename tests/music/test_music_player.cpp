// The module player on SDL's disk driver: what it plays, when it moves on,
// and what it tells the user when there is nothing it can play.
#include "MusicTestSupport.h"
#include "music/Music.h"
#include "support/MessageRecorder.h"

#include <QTest>

#include <memory>

namespace
{

const QString InitFailed =
    "Couldn't initialize audio! Other program uses audio or you have to change the music setup!";
const QString LoadFailed = "Could not load  in memory! Check module or choose another module-file!";
const QString ListEmpty = "Sorry, the playList is empty!";

void AddEntry(TMusic &music, const QString &path)
{
    TPlayListItem item;
    item.FileName = QFile::encodeName(path);
    item.ReadTitle();
    music.ModuleList.AddCopy(item);
}

// Waits until the playing song has ended and the player has moved on.
bool WaitForSongEnd(TMusic &music)
{
    return WaitUntil([&] { return music.CheckSongEnd(); });
}

// Waits for frames mixed from now on: the device already ran, silent,
// while the module was loading.
bool WaitForMoreFrames(TMusic &music, std::uint64_t frames)
{
    const std::uint64_t start = music.Sound().MixedFrames();
    return WaitUntil([&] { return music.Sound().MixedFrames() >= start + frames; });
}

int RowOf(TMusic &music)
{
    TPlayStatus status;
    return music.Sound().GetPlayStatus(music.PlayHandle, status) ? static_cast<int>(status.Row)
                                                                 : -1;
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

} // namespace

class TestMusicPlayer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { UseDiskDriverUnlessSet(); }

    void playsAudibleSound_data()
    {
        QTest::addColumn<QString>("module");
        QTest::newRow("made here") << QString();
        QTest::newRow("real MOD") << QDir(SharedModules()).filePath("hiscreen.mod");
        QTest::newRow("real XM") << QDir(SharedModules()).filePath("mph.xm");
    }

    void playsAudibleSound()
    {
        QFETCH(QString, module);
        TTestFolder folder;
        if (module.isEmpty()) {
            QVERIFY(folder.Write("tiny.mod", TinyModule("tiny", 64)));
            module = folder.File("tiny.mod");
        } else if (!QFileInfo::exists(module)) {
            QSKIP(qPrintable("The shared modules are not here (" + SharedModules() + ")."));
        }
        MessageRecorder boxes;
        TMusic music;
        AddEntry(music, module);
        QVERIFY(music.Play());
        QVERIFY(music.IsPlaying());
        QVERIFY(WaitForMoreFrames(music, 48000));
        music.Stop(true);
        QVERIFY(!music.IsInitialized());
        const QList<qint16> samples = Samples(folder.Read("audio.raw"));
        QVERIFY(samples.size() >= 2 * 48000);
        QVERIFY(Peak(samples) > 1000);
        QVERIFY(boxes.boxes.isEmpty());
    }

    void volumeZeroIsSilence()
    {
        TTestFolder folder;
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "Olvane", "Ferrox")
            .setValue("VOLUME", 0);
        QVERIFY(folder.Write("tiny.mod", TinyModule("tiny", 64)));
        TMusic music;
        QCOMPARE(music.Volume, 0);
        AddEntry(music, "tiny.mod");
        QVERIFY(music.Play());
        QVERIFY(WaitForMoreFrames(music, 48000));
        QVERIFY(RowOf(music) > 0); // it did play, only without sound
        music.Stop(true);
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
        auto music = std::make_unique<TMusic>();
        AddEntry(*music, "long.mod");
        QVERIFY(music->Play());
        QVERIFY(WaitForMoreFrames(*music, 24000));
        QVERIFY(music->IsPlaying());
        if (how == 0)
            music->Stop(false);
        else if (how == 1)
            music->Stop(true);
        music.reset();

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

    void songEndMovesToTheNextEntry()
    {
        TTestFolder folder;
        QVERIFY(folder.Write("a.mod", TinyModule("first")));
        QVERIFY(folder.Write("b.mod", TinyModule("second")));
        TMusic music;
        AddEntry(music, "a.mod");
        AddEntry(music, "b.mod");
        QVERIFY(music.Play());
        QCOMPARE(music.CurrentTitle(), QString("first"));
        QCOMPARE(music.NextIndex, 1);

        QVERIFY(WaitForSongEnd(music));
        QVERIFY(music.IsPlaying());
        QCOMPARE(music.CurrentIndex(), 1);
        QCOMPARE(music.CurrentTitle(), QString("second"));
        QCOMPARE(music.NextIndex, 0);

        QVERIFY(WaitForSongEnd(music));
        QVERIFY(music.IsPlaying());
        QCOMPARE(music.CurrentTitle(), QString("first"));
    }

    void oneEntryRepeats()
    {
        TTestFolder folder;
        QVERIFY(folder.Write("a.mod", TinyModule("only")));
        MessageRecorder boxes;
        TMusic music;
        AddEntry(music, "a.mod");
        QVERIFY(music.Play());
        for (int round = 0; round < 3; ++round) {
            const TPlayHandle before = music.PlayHandle;
            QVERIFY(WaitForSongEnd(music));
            QVERIFY(music.IsPlaying());
            QVERIFY(music.PlayHandle != before);
            QCOMPARE(music.NextIndex, 0);
            QCOMPARE(music.CurrentTitle(), QString("only"));
        }
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
        TMusic music;
        AddEntry(music, "a.mod");
        AddEntry(music, "b.mod");
        QVERIFY(music.Play());
        const TModuleHandle module = music.Module;
        QVERIFY(WaitUntil([&] { return RowOf(music) >= 12; }));

        music.Stop(false);
        QVERIFY(music.IsSuspended());
        QVERIFY(!music.IsPlaying());
        QCOMPARE(music.PlayHandle, TPlayHandle(0));
        QCOMPARE(music.Module, module);
        QVERIFY(!music.Sound().IsOpen()); // the device is free for others
        QVERIFY(music.CheckSongEnd());    // nothing is being played
        QVERIFY(music.IsSuspended());
        music.Stop(false); // already off: nothing happens
        QVERIFY(music.IsSuspended());

        QVERIFY(music.Play());
        QVERIFY(!music.IsSuspended());
        QCOMPARE(music.Module, module);
        QCOMPARE(music.NextIndex, 1);
        const int row = RowOf(music);
        QVERIFY2(row >= 0 && row < 12, qPrintable(QString::number(row)));
        QVERIFY(boxes.boxes.isEmpty());
    }

    void failedResumeStaysSuspended()
    {
        TTestFolder folder;
        QVERIFY(folder.Write("a.mod", TinyModule("a", 64)));
        MessageRecorder boxes;
        TMusic music;
        AddEntry(music, "a.mod");
        QVERIFY(music.Play());
        music.Stop(false);
        {
            TScopedEnv driver("SDL_AUDIODRIVER", "no-such-driver");
            QVERIFY(!music.Play());
        }
        QCOMPARE(
            boxes.texts(),
            QStringList{"Couldn't resume playing music! Other program uses audio or you have to "
                        "change the music setup!"});
        QCOMPARE(boxes.boxes[0].first, TMsgType::mtWarning);
        QVERIFY(music.IsSuspended());
        QVERIFY(music.IsInitialized());
        QVERIFY(music.Play());
        QVERIFY(music.IsPlaying());
        QCOMPARE(boxes.boxes.size(), 1);
    }

    void closingMovesOnToTheNextEntry()
    {
        TTestFolder folder;
        QVERIFY(folder.Write("a.mod", TinyModule("first", 64)));
        QVERIFY(folder.Write("b.mod", TinyModule("second", 64)));
        TMusic music;
        AddEntry(music, "a.mod");
        AddEntry(music, "b.mod");
        QVERIFY(music.Play());
        music.Stop(true);
        QVERIFY(!music.IsInitialized());
        QCOMPARE(music.Module, TModuleHandle(0));
        music.Stop(true); // closed: nothing happens
        QVERIFY(music.Play());
        QCOMPARE(music.CurrentTitle(), QString("second"));
    }

    void emptyListTellsSo()
    {
        TTestFolder folder;
        MessageRecorder boxes;
        TMusic music;
        QVERIFY(!music.Play());
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(boxes.boxes[0].first, TMsgType::mtInformation);
        QCOMPARE(boxes.boxes[0].second, ListEmpty);
        QVERIFY(music.IsInitialized());
        QVERIFY(!music.IsPlaying());
        QCOMPARE(music.CurrentIndex(), -1);
        QVERIFY(music.CurrentTitle().isEmpty());
    }

    void unloadableEntriesWarnOncePerLoad()
    {
        TTestFolder folder;
        QVERIFY(folder.Write("bad1.mod", "not a module at all, only text"));
        QVERIFY(folder.Write("bad2.mod", QByteArray(2000, '\x7f')));
        QVERIFY(folder.Write("good.mod", TinyModule("good", 64)));
        MessageRecorder boxes;
        TMusic music;
        for (const char *name : {"bad1.mod", "missing.mod", "bad2.mod"})
            AddEntry(music, name);
        music.NextIndex = 1;
        QVERIFY(!music.Play());
        QCOMPARE(boxes.texts(), QStringList{LoadFailed});
        QCOMPARE(boxes.boxes[0].first, TMsgType::mtWarning);
        QCOMPARE(music.NextIndex, 1);
        QCOMPARE(music.Module, TModuleHandle(0));
        QVERIFY(music.IsInitialized());

        // A playing module whose list turns unplayable: the move on tries
        // twice (once to load, once more to play) and music stops.
        music.ModuleList.ClearEntries();
        AddEntry(music, "good.mod");
        boxes.boxes.clear();
        QVERIFY(music.Play());
        music.ModuleList.ClearEntries();
        AddEntry(music, "bad1.mod");
        AddEntry(music, "bad2.mod");
        QVERIFY(!music.NextModule());
        QCOMPARE(boxes.texts(), (QStringList{LoadFailed, LoadFailed}));
        QVERIFY(!music.IsPlaying());
        QCOMPARE(music.PlayHandle, TPlayHandle(0));
    }

    void loadingSkipsBadEntriesAndWraps()
    {
        TTestFolder folder;
        QVERIFY(folder.Write("bad.mod", "text"));
        QVERIFY(folder.Write("good.mod", TinyModule("good")));
        MessageRecorder boxes;
        TMusic music;
        AddEntry(music, "good.mod");
        AddEntry(music, "bad.mod");
        music.NextIndex = 7; // beyond a list that has shrunk
        music.LoadNextModule();
        QVERIFY(music.Module != 0);
        QCOMPARE(music.NextIndex, 1);
        music.LoadNextModule(); // bad.mod fails silently, good.mod again
        QVERIFY(music.Module != 0);
        QCOMPARE(music.NextIndex, 1);
        QVERIFY(boxes.boxes.isEmpty());
    }

    void noDeviceWarnsAndStaysClosed()
    {
        TScopedEnv driver("SDL_AUDIODRIVER", "no-such-driver");
        TTestFolder folder;
        QVERIFY(folder.Write("a.mod", TinyModule("a")));
        MessageRecorder boxes;
        TMusic music;
        AddEntry(music, "a.mod");
        QVERIFY(!music.Play());
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(boxes.boxes[0].first, TMsgType::mtWarning);
        QCOMPARE(boxes.boxes[0].second, InitFailed);
        QVERIFY(!music.IsInitialized());
        QVERIFY(!music.Sound().IsOpen());
        QVERIFY(!music.Sound().LastError().isEmpty());
        QVERIFY(!music.Play());
        QCOMPARE(boxes.boxes.size(), 2);
        music.Stop(true);
    }

    void setupIsStored_data()
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

    void setupIsStored()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, volume);
        TTestFolder folder;
        {
            QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Olvane", "Ferrox");
            if (stored.isValid())
                settings.setValue("VOLUME", stored);
            settings.setValue("MUSIC_SETUP/MIXRATE", "fast");
        }
        TMusic music;
        QCOMPARE(music.Volume, volume);
        QCOMPARE(music.Sound().Setup(), TAudioSetup{});

        const QStringList drivers = TModuleAudio::OutputDrivers();
        QVERIFY(!drivers.isEmpty());
        const TAudioSetup chosen{drivers.last(), "", 44100, 40};
        music.Volume = 12;
        music.Sound().SetSetup(chosen);
        music.WriteSetup();
        TMusic again;
        QCOMPARE(again.Volume, 12);
        QCOMPARE(again.Sound().Setup(), chosen);
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Olvane", "Ferrox");
        QCOMPARE(settings.value("VOLUME").toString(), QString("12"));
    }
};

QTEST_GUILESS_MAIN(TestMusicPlayer)
#include "test_music_player.moc"
