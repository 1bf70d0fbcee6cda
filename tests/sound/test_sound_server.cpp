// The music on a real sound server: a private PulseAudio with a null sink,
// as the desktop's mixer and a player who restarts the server see it.

#include "support/MessageRecorder.h"
#include "support/PrivateSoundServer.h"
#include "tests/music/MusicTestSupport.h"

#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <csignal>
#include <cstring>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace
{

// Wake-ups so far of this process's threads but the test's own (their
// context switches).
qint64 ContextSwitches()
{
    qint64 total = 0;
    const QString main = QString::number(QCoreApplication::applicationPid());
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (task == main)
            continue;
        QFile status(QStringLiteral("/proc/self/task/%1/status").arg(task));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.contains("ctxt_switches:"))
                total += line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
    }
    return total;
}

} // namespace

class TestSoundServer : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TTestFolder> Folder;
    std::unique_ptr<TPrivateSoundServer> Server;
    std::unique_ptr<MessageRecorder> Boxes;

    // A player of one long module, heard on the server.
    std::unique_ptr<TMusic> PlayingMusic(const QByteArray &title)
    {
        auto music = std::make_unique<TMusic>(Folder->Sound, Folder->Store);
        if (!Folder->Write(QStringLiteral("tune.mod"), TinyModule(title, 64, 31)))
            return nullptr;
        GiveList(*music, {QStringLiteral("tune.mod")});
        music->Play();
        if (!WaitUntilHandled([&] { return music->IsPlaying(); }, 5000) || !Flowing(*music))
            return nullptr;
        return music;
    }
    // A null sink that had nothing to play renders up to two seconds ahead
    // and takes a new stream's sound only once that has passed.
    static bool Flowing(const TMusic &music)
    {
        const std::uint64_t start = music.Sound().MixedFrames();
        return WaitUntilHandled([&] { return music.Sound().MixedFrames() > start + 9600; }, 5000);
    }
    static bool WaitUntilHandled(const std::function<bool()> &condition, int ms)
    {
        QElapsedTimer clock;
        clock.start();
        while (!condition()) {
            if (clock.elapsed() > ms)
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            QThread::msleep(5);
        }
        return true;
    }

private slots:
    void init()
    {
        if (!TPrivateSoundServer::Available())
            QSKIP("pulseaudio, pactl and parec are needed (Debian's pulseaudio and "
                  "pulseaudio-utils; tools/setup check installs them)");
        Folder = std::make_unique<TTestFolder>();
        Server = std::make_unique<TPrivateSoundServer>(Folder->Path());
        Boxes = std::make_unique<MessageRecorder>();
        // The game reaches the server as on a desktop: no driver forced.
        qunsetenv("SDL_AUDIODRIVER");
        qputenv("PULSE_SERVER", Server->Address());
        QVERIFY(Server->Start());
    }
    void cleanup()
    {
        Server.reset();
        Folder.reset();
        QVERIFY(!Boxes || Boxes->boxes.isEmpty());
        Boxes.reset();
    }

    void theMixerListsTheGameByNameAndItIsHeard()
    {
        const auto music = PlayingMusic("Deep Space Tune");
        QVERIFY(music);
        const QByteArray inputs =
            Server->Pactl({QStringLiteral("list"), QStringLiteral("sink-inputs")});
        for (const char *property :
             {"application.name = \"Ferrox\"", "application.icon_name = \"org.ferrox.Ferrox\"",
              "media.role = \"game\"", "media.name = \"Deep Space Tune\""})
            QVERIFY2(inputs.contains(property), inputs.constData());
        QVERIFY(Server->LoudestSample() > 1000);
        QCOMPARE(music->Sound().InUse().Driver, QStringLiteral("pulseaudio"));
        // The volume is the stream's own on the server, the mixer's
        // percentage in 64 steps.
        music->SetVolume(32);
        QTRY_COMPARE(Server->InputLevel(), 32768);
    }

    // The mixer's slider: the server keeps each level as set, the game's
    // volume follows to the nearest of its steps (never to silence), and
    // the game's next module sends nothing back.
    void theMixersVolumeIsKeptAndFollowed()
    {
        const auto music = PlayingMusic("Slider");
        QVERIFY(music);
        const QString input = Server->FirstInput();
        const QList<QPair<int, int>> percentToGame = {{5, 3},   {15, 10}, {19, 12},
                                                      {35, 22}, {70, 45}, {100, 64}};
        for (const auto &[percent, game] : percentToGame) {
            Server->Pactl({QStringLiteral("set-sink-input-volume"), input,
                           QStringLiteral("%1%").arg(percent)});
            const int level = Server->InputLevel();
            QVERIFY(std::abs(level - percent * 65536 / 100) <= 1);
            QTRY_COMPARE(music->Volume(), game);
            QVERIFY(music->SaveSettings());
            QCOMPARE(TestStore().value("VOLUME").toInt(), game);
            // Back from the game's step to the mixer: within one step.
            QVERIFY(std::abs(game * 65536 / 64 - level) <= 65536 / 64);
            music->NextModule();
            QVERIFY(WaitUntilHandled([&] { return music->IsPlaying(); }, 2000));
            QTest::qWait(100);
            QCOMPARE(Server->InputLevel(), level);
        }
    }

    // A server that stops answering while the music plays (SIGSTOP: hung,
    // swapped out) holds up none of the player's calls, nor its end.
    void aStoppedServerHoldsUpNothing()
    {
        auto music = PlayingMusic("Stalled");
        QVERIFY(music);
        Server->Freeze();
        QElapsedTimer clock;
        qint64 slowest = 0;
        const auto timed = [&](const std::function<void()> &call) {
            clock.start();
            call();
            slowest = std::max(slowest, clock.elapsed());
        };
        // The volume as the Volume window's slider sends it (SetVolume also
        // writes the settings store, which takes its own time).
        timed([&] { music->PreviewVolume(20); });
        timed([&] { music->Stop(false); });
        timed([&] { music->Play(); });
        // Right after Play the stream is being connected to anew.
        timed([&] { music->PreviewVolume(40); });
        timed([&] { music->NextModule(); });
        timed([&] { (void)music->Status(); });
        qInfo("slowest call with the server stopped: %lld ms", slowest);
        QVERIFY2(slowest < 20, qPrintable(QString::number(slowest)));
        // Back, the server gets the music again; stopped once more, it does
        // not hold up the player's end, which lets go of the stream.
        Server->Thaw();
        QVERIFY(WaitUntilHandled([&] { return music->IsPlaying(); }, 3000));
        QVERIFY(Flowing(*music));
        Server->Freeze();
        const auto thaw = qScopeGuard([this] { Server->Thaw(); });
        slowest = 0;
        timed([&] { music.reset(); });
        qInfo("player destroyed with the server stopped in %lld ms", slowest);
        QVERIFY2(slowest < 500, qPrintable(QString::number(slowest)));
    }

    // A server whose socket takes the connection and never answers.
    void aServerThatNeverAnswersHoldsUpNothing()
    {
        // Listening is enough: the system takes the connection and holds
        // what the client says, and nobody ever reads it.
        const QByteArray path = QFile::encodeName(Folder->File(QStringLiteral("mute")));
        const int mute = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.constData(), sizeof(address.sun_path) - 1);
        QVERIFY(::bind(mute, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0);
        QVERIFY(::listen(mute, 4) == 0);
        const auto closeMute = qScopeGuard([mute] { ::close(mute); });
        qputenv("PULSE_SERVER", "unix:" + path);
        auto sound = std::make_unique<TSoundModule>();
        auto music = std::make_unique<TMusic>(*sound);
        QVERIFY(Folder->Write(QStringLiteral("tune.mod"), TinyModule("Mute", 64, 31)));
        GiveList(*music, {QStringLiteral("tune.mod")});
        // Loaded beforehand: loading takes its time whatever the server does.
        QVERIFY(sound->Library());
        QElapsedTimer clock;
        clock.start();
        music->Play();
        music->PreviewVolume(10);
        QVERIFY2(clock.elapsed() < 20, qPrintable(QString::number(clock.elapsed())));
        QTest::qWait(300);
        QVERIFY(!music->IsPlaying());
        clock.start();
        music.reset();
        qInfo("player destroyed with a mute server in %lld ms", clock.elapsed());
        QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
        // As the program's end: the device worker, still connecting, is
        // not waited for.
        clock.start();
        sound.reset();
        qInfo("sound module ended with a mute server in %lld ms", clock.elapsed());
        QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
    }

    void theMusicComesBackWhenTheServerDoes()
    {
        const auto music = PlayingMusic("Comeback");
        QVERIFY(music);
        QSignalSpy playing(music.get(), &TMusic::playingChanged);
        Server->Kill();
        QVERIFY(WaitUntilHandled([&] { return !music->IsPlaying(); }, 1000));
        QVERIFY(music->IsAwaitingDevice());
        // Nothing is decoded for a server that is not there.
        const std::uint64_t mixed = music->Sound().MixedFrames();
        const qint64 switches = ContextSwitches();
        QThread::msleep(1000);
        QCOMPARE(music->Sound().MixedFrames(), mixed);
        QVERIFY2(ContextSwitches() - switches < 30,
                 qPrintable(QString::number(ContextSwitches() - switches)));
        QVERIFY(Server->Start());
        QVERIFY(WaitUntilHandled([&] { return music->IsPlaying(); }, 3000));
        QCOMPARE(music->PlayingTitle(), QStringLiteral("Comeback"));
        QVERIFY(Flowing(*music));
        QCOMPARE(playing, (QList<QVariantList>{{false}, {true}}));
        QVERIFY(Server->LoudestSample() > 1000);
    }

    void musicSwitchedOffMeanwhileStaysOff()
    {
        const auto music = PlayingMusic("Off");
        QVERIFY(music);
        Server->Kill();
        QVERIFY(WaitUntilHandled([&] { return music->IsAwaitingDevice(); }, 1000));
        music->Stop(false);
        QVERIFY(Server->Start());
        QTest::qWait(2500);
        QVERIFY(!music->IsPlaying());
        QVERIFY(!music->IsAwaitingDevice());
        QVERIFY(Server->Pactl({QStringLiteral("list"), QStringLiteral("sink-inputs")})
                    .trimmed()
                    .isEmpty());
    }

    void closingWithoutAServerDoesNotWait()
    {
        auto music = PlayingMusic("Gone");
        QVERIFY(music);
        Server->Kill();
        QVERIFY(WaitUntilHandled([&] { return music->IsAwaitingDevice(); }, 1000));
        QElapsedTimer clock;
        clock.start();
        music.reset();
        // A fade is not waited for where nothing can be heard.
        QVERIFY2(clock.elapsed() < 250, qPrintable(QString::number(clock.elapsed())));
    }
};

QTEST_GUILESS_MAIN(TestSoundServer)
#include "test_sound_server.moc"
