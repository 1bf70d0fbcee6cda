// The Music item against a desktop sound server that goes away: a private
// PulseAudio of the test's own, killed and started again (skipped without
// pulseaudio and pactl).
#include "FormFixture.h"
#include "music/MusicTestSupport.h"
#include "support/MessageRecorder.h"
#include "support/PrivateSoundServer.h"

#include <QElapsedTimer>
#include <QTest>

namespace
{

bool WaitHandling(const std::function<bool()> &condition, int ms)
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

} // namespace

class MusicServerTest : public QObject
{
    Q_OBJECT

private slots:
    // While the server is gone the music is on and says it waits; the Music
    // item switches it off, and it stays off when the server is back.
    void theMusicItemSwitchesOffMusicThatWaitsForTheServer()
    {
        if (!TPrivateSoundServer::Available())
            QSKIP("pulseaudio and pactl are needed (Debian's pulseaudio and pulseaudio-utils)");
        FormFixture fixture;
        TPrivateSoundServer server(fixture.dir.path());
        TScopedEnv driver("SDL_AUDIODRIVER", std::nullopt);
        TScopedEnv address("PULSE_SERVER", server.Address());
        QVERIFY(server.Start());
        QFile module(fixture.dir.filePath("long.mod"));
        QVERIFY(module.open(QIODevice::WriteOnly));
        module.write(TinyModule("Long", 64, 31));
        module.close();
        QFile list(fixture.dir.filePath("Ferrox.M3U"));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("long.mod\r\n");
        list.close();
        fixture.store("MUSIC", 1);
        MessageRecorder boxes;
        TMineForm &form = fixture.start();
        QAction *item = Find<QAction>(form, "MUSong");
        TBevelPanel *panel = Find<TBevelPanel>(form, "DownPanel");
        QVERIFY(WaitHandling([&] { return form.Music().IsPlaying(); }, 5000));
        QCOMPARE(panel->Caption(), QString("Long"));

        server.Kill();
        QVERIFY(WaitHandling([&] { return form.Music().IsAwaitingServer(); }, 2000));
        QCOMPARE(item->text(), QString("Turn Off"));
        QCOMPARE(panel->Caption(), QString("Music waits for the sound server"));
        // The title panel's own timer does not take the notice away.
        QTest::qWait(6000);
        QCOMPARE(panel->Caption(), QString("Music waits for the sound server"));

        item->trigger();
        QCOMPARE(item->text(), QString("Turn On"));
        QVERIFY(!form.Music().IsSwitchedOn());
        QCOMPARE(panel->Caption(), QString("version 2.1"));
        QVERIFY(server.Start());
        QTest::qWait(2500);
        QVERIFY(!form.Music().IsSwitchedOn());
        QCOMPARE(item->text(), QString("Turn On"));
        QVERIFY(server.Pactl({"list", "short", "sink-inputs"}).trimmed().isEmpty());
        fixture.stop();
        QCOMPARE(TestStore().value("MUSIC").toInt(), 0);
        QVERIFY(boxes.boxes.isEmpty());
    }
};

QTEST_MAIN(MusicServerTest)
#include "test_music_server.moc"
