// The sound libraries are loaded only when sound is first needed, kept out
// of the program's symbol scope, and their absence leaves a silent game
// that says why instead of one that crashes.  The cases run in order: the
// process must not have loaded the module before the first that loads it.
#include "MusicTestSupport.h"
#include "music/SoundModule.h"
#include "support/MessageRecorder.h"

#include <QTest>

#include <dlfcn.h>
#include <link.h>

namespace
{

const QString InitFailed =
    "Couldn't initialize audio! Other program uses audio or you have to change the music setup!";
const QString NotLoaded = "not loaded";

// True when a library whose file name contains `part` is mapped into the
// process.
bool IsMapped(const char *part)
{
    auto visit = [](dl_phdr_info *info, size_t, void *wanted) -> int {
        return info->dlpi_name && strstr(info->dlpi_name, static_cast<const char *>(wanted));
    };
    return dl_iterate_phdr(visit, const_cast<char *>(part)) != 0;
}

bool AnySoundLibraryMapped()
{
    return IsMapped("libopenmpt") || IsMapped("libSDL2") || IsMapped("ferrox_sound");
}

} // namespace

class TestSoundModule : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { UseDiskDriverUnlessSet(); }

    // What the game does at start with music off, and what the volume
    // window does, needs no sound library.
    void musicOffLoadsNoSoundLibrary()
    {
        TTestFolder folder;
        {
            QSettings store = TestStore();
            store.setValue("MUSIC_SETUP/DRIVER", "SomeCard");
            store.setValue("MUSIC_SETUP/MIXRATE", 44100);
        }
        QVERIFY(folder.Write("a.mod", TinyModule("a")));
        {
            TMusic music(folder.Sound, folder.Store);
            GiveList(music, {"a.mod"});
            music.SetVolume(20);
            music.WriteSetup();
            music.Stop(false);
            QVERIFY(music.CheckSongEnd()); // the main window's timer polls it
            QVERIFY(!music.Sound().IsOpen());
            QCOMPARE(music.Sound().InUse(), TAudioInUse{});
        }
        QVERIFY(!folder.Sound.IsLoaded());
        QVERIFY(!AnySoundLibraryMapped());
        // A driver nobody has looked at yet is kept as it was stored.
        QSettings store = TestStore();
        QCOMPARE(store.value("MUSIC_SETUP/DRIVER").toString(), QString("SomeCard"));
        QCOMPARE(store.value("MUSIC_SETUP/MIXRATE").toString(), QString("44100"));
        QCOMPARE(store.value("VOLUME").toString(), QString("20"));
    }

    void missingModuleLeavesTheGameSilent_data()
    {
        QTest::addColumn<QString>("folder");  // searched instead of the usual ones
        QTest::addColumn<QByteArray>("file"); // written there as the module; empty: none
        QTest::addColumn<QString>("reason");  // part of LastError
        QTest::newRow("no module") << "" << QByteArray() << "is in none of";
        QTest::newRow("not a library") << "" << QByteArray("not a library") << "Cannot load";
        QTest::newRow("empty file") << "" << QByteArray("") << "Cannot load";
        QTest::newRow("another build")
            << FERROX_STALE_SOUND_DIR << QByteArray() << "another build of the game";
    }

    void missingModuleLeavesTheGameSilent()
    {
        QFETCH(QString, folder);
        QFETCH(QByteArray, file);
        QFETCH(QString, reason);
        TTestFolder test;
        const QString modules = test.File("modules");
        QVERIFY(QDir().mkpath(modules));
        if (!file.isNull())
            QVERIFY(test.Write("modules/libferrox_sound.so", file));
        TSoundModule sound({folder.isEmpty() ? modules : folder});
        QVERIFY(test.Write("a.mod", TinyModule("a")));

        MessageRecorder boxes;
        {
            TMusic music(sound);
            GiveList(music, {"a.mod"});
            QVERIFY(!music.Play());
            QCOMPARE(boxes.texts(), QStringList{InitFailed});
            QVERIFY(!music.IsInitialized());
            const QString error = music.Sound().LastError();
            QVERIFY2(error.startsWith("The sound library could not be loaded: "),
                     qPrintable(error));
            QVERIFY2(error.contains(reason), qPrintable(error));
            QVERIFY2(sound.Error() == error, qPrintable(sound.Error()));
            music.Stop(true);
        }

        TModuleAudio audio(sound);
        audio.Startup();
        QVERIFY(!audio.Init());
        QCOMPARE(audio.LoadModule(test.File("a.mod")), TModuleHandle(0));
        QVERIFY(!audio.StartBackgroundPlay());
        QCOMPARE(audio.PlayModule(1, false), TPlayHandle(0));
        TPlayStatus status;
        QVERIFY(!audio.GetPlayStatus(1, status));
        QVERIFY(!audio.SetMusicVolume(1, 10));
        QVERIFY(!audio.Suspend());
        QVERIFY(!audio.Resume());
        QVERIFY(!audio.Close());
        QCOMPARE(audio.MixedFrames(), std::uint64_t(0));
        QVERIFY(sound.OutputDrivers().isEmpty());
        QVERIFY(sound.OutputDevices(QString()).isEmpty());
        QCOMPARE(sound.OpenmptVersion(), NotLoaded);
        QCOMPARE(sound.SdlVersion(), NotLoaded);

        QVERIFY(!sound.IsLoaded());
        QVERIFY(!AnySoundLibraryMapped());
    }

    // From here on the module stays mapped.
    void moduleLoadsOnFirstNeedAndKeepsItsLibrariesLocal()
    {
        TTestFolder folder;
        QVERIFY(folder.Write("a.mod", TinyModule("a", 64)));
        MessageRecorder boxes;
        TMusic music(folder.Sound, folder.Store);
        GiveList(music, {"a.mod"});
        QVERIFY(!folder.Sound.IsLoaded());
        QVERIFY2(music.Play(), qPrintable(music.Sound().LastError()));
        QVERIFY(boxes.boxes.isEmpty());
        QVERIFY(folder.Sound.IsLoaded());
        QVERIFY(IsMapped("libopenmpt") && IsMapped("libSDL2"));
        // Loaded with local symbols: nothing of theirs joins the scope that
        // every later lookup of the program searches.
        QVERIFY(!dlsym(RTLD_DEFAULT, "openmpt_module_create_from_memory2"));
        QVERIFY(!dlsym(RTLD_DEFAULT, "SDL_OpenAudioDevice"));
        QVERIFY(!dlsym(RTLD_DEFAULT, "FerroxSoundLibrary"));
        QVERIFY(!folder.Sound.OpenmptVersion().isEmpty() &&
                folder.Sound.OpenmptVersion() != NotLoaded);
        QVERIFY(WaitUntil([&] { return music.Sound().MixedFrames() > 4800; }));
        music.Stop(true);
    }

    // Each sound module of the process finds only what it searches, whatever
    // another one loaded, and the player of one that found nothing fails
    // without disturbing the other's.
    void soundModulesOfOneProcessKeepApart()
    {
        TTestFolder folder;
        QVERIFY(folder.Write("a.mod", TinyModule("a", 64)));
        MessageRecorder boxes;
        TMusic music(folder.Sound, folder.Store);
        GiveList(music, {"a.mod"});
        QVERIFY(PlayHeard(music));

        TSoundModule elsewhere({folder.Path()});
        TMusic silent(elsewhere);
        GiveList(silent, {"a.mod"});
        QVERIFY(!silent.Play());
        QVERIFY2(elsewhere.Error().contains("is in none of"), qPrintable(elsewhere.Error()));
        QCOMPARE(boxes.texts(), QStringList{InitFailed});
        const std::uint64_t mixed = music.Sound().MixedFrames();
        QVERIFY(WaitUntil([&] { return music.Sound().MixedFrames() > mixed + 4800; }));
        QVERIFY(music.IsPlaying());
        music.Stop(true);
    }
};

QTEST_GUILESS_MAIN(TestSoundModule)
#include "test_sound_module.moc"
