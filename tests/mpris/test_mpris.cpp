// The game offers its music on the session bus as an MPRIS 2 media player:
// what a desktop's media panel reads there, what its keys do, what it hears
// of each change, and a game that runs on as before where there is no bus.
// The real game runs on a private bus, offscreen, on SDL's disk driver.
#include "base/SettingsStore.h"
#include "mpris/MediaControls.h"
#include "music/MusicTestSupport.h"
#include "support/MessageRecorder.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace
{

const QString Service = "org.mpris.MediaPlayer2.ferrox";
const QString ObjectPath = "/org/mpris/MediaPlayer2";
const QString Root = "org.mpris.MediaPlayer2";
const QString Player = "org.mpris.MediaPlayer2.Player";
const QString Properties = "org.freedesktop.DBus.Properties";

// A value as it came over the bus; a dictionary (Metadata) is read into a map.
QVariant Plain(const QVariant &value)
{
    if (value.canConvert<QDBusVariant>())
        return Plain(value.value<QDBusVariant>().variant());
    if (value.userType() == qMetaTypeId<QDBusArgument>())
        return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
    return value;
}

// What the game announces on the bus, in order.
class TAnnouncements : public QObject
{
    Q_OBJECT

public:
    QList<QVariantMap> Changes;
    QVariant Last(const QString &name) const
    {
        for (qsizetype i = Changes.size() - 1; i >= 0; --i)
            if (Changes[i].contains(name))
                return Changes[i].value(name);
        return {};
    }

public slots:
    void Changed(const QString &interface, const QVariantMap &changed, const QStringList &)
    {
        QVariantMap plain;
        for (auto it = changed.cbegin(); it != changed.cend(); ++it)
            plain.insert(it.key(), Plain(it.value()));
        if (interface == Player)
            Changes << plain;
    }
};

// The game with two modules of 40 s in its play list, music on, in a folder
// of its own that holds its settings file too; sound in real time.
class TGame
{
public:
    TGame()
    {
        folder.Write("first.mod", TinyModule("first", 64, 31));
        folder.Write("second.mod", TinyModule("second", 64, 31));
        folder.Write("Ferrox.M3U", "first.mod\r\nsecond.mod\r\n");
        OpenSettingsFile(StorePath())->setValue("MUSIC", 1);
    }
    ~TGame()
    {
        process.kill();
        process.waitForFinished(5000);
    }
    QString StorePath() const { return folder.File("config/Olvane/Ferrox.conf"); }
    QString Stored(const QString &name) const
    {
        return OpenSettingsFile(StorePath())->value(name).toString();
    }
    void Start(const QString &busAddress)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("SDL_AUDIODRIVER", "disk");
        environment.insert("SDL_DISKAUDIOFILE", folder.File("audio.raw"));
        environment.remove("SDL_DISKAUDIODELAY");
        environment.insert("XDG_CONFIG_HOME", folder.File("config"));
        environment.insert("XDG_RUNTIME_DIR", folder.Path());
        environment.insert("DBUS_SESSION_BUS_ADDRESS", busAddress);
        if (busAddress.isEmpty())
            environment.remove("DBUS_SESSION_BUS_ADDRESS");
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(FERROX_GAME), {"--folder", folder.Path()});
    }

    TTestFolder folder;
    QProcess process;
};

} // namespace

class TestMpris : public QObject
{
    Q_OBJECT

    // The bus socket lives here, not in /tmp, so that nothing outlives the test.
    QTemporaryDir BusFolder;
    QProcess Daemon;
    QString Address;

    QDBusConnection Client() { return QDBusConnection::connectToBus(Address, "test"); }
    QDBusMessage Call(const QString &interface, const QString &method, const QVariantList &args)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(Service, ObjectPath, interface, method);
        call.setArguments(args);
        return Client().call(call, QDBus::Block, 5000);
    }
    QVariant Get(const QString &interface, const QString &name)
    {
        return Plain(Call(Properties, "Get", {interface, name}).arguments().value(0));
    }
    bool Ask(const QString &interface, const QString &method, const QVariantList &args = {})
    {
        return Call(interface, method, args).type() == QDBusMessage::ReplyMessage;
    }

private slots:
    void initTestCase()
    {
        const QString daemon = QStandardPaths::findExecutable("dbus-daemon");
        if (daemon.isEmpty())
            QSKIP("dbus-daemon (Debian's dbus-daemon package) is not here: the game's media "
                  "controls are not checked.");
        Daemon.start(daemon, {"--session", "--nofork", "--print-address",
                              "--address=unix:dir=" + BusFolder.path()});
        QVERIFY(Daemon.waitForStarted(5000) && Daemon.waitForReadyRead(5000));
        Address = QString::fromUtf8(Daemon.readLine()).trimmed();
        QVERIFY(Client().isConnected());
    }
    void cleanupTestCase()
    {
        QDBusConnection::disconnectFromBus("test");
        Daemon.kill();
        Daemon.waitForFinished(5000);
    }

    void theDesktopReadsAndDrivesTheMusic()
    {
        TGame game;
        game.Start(Address);
        QTRY_VERIFY_WITH_TIMEOUT(Client().interface()->isServiceRegistered(Service), 20000);
        TAnnouncements heard;
        QVERIFY(Client().connect(Service, ObjectPath, Properties, "PropertiesChanged", &heard,
                                 SLOT(Changed(QString, QVariantMap, QStringList))));

        QCOMPARE(Get(Root, "Identity").toString(), QString("Ferrox"));
        QCOMPARE(Get(Root, "DesktopEntry").toString(), QString("org.ferrox.Ferrox"));
        QCOMPARE(Get(Player, "PlaybackStatus").toString(), QString("Playing"));
        QVERIFY(Get(Player, "CanGoNext").toBool());
        QVariantMap metadata = Get(Player, "Metadata").toMap();
        QCOMPARE(metadata.value("xesam:title").toString(), QString("first"));
        QCOMPARE(metadata.value("xesam:url").toString(),
                 QUrl::fromLocalFile(game.folder.File("first.mod")).toString());
        QCOMPARE(metadata.value("mpris:length").toLongLong(), 64 * 31 * 20 * 1000LL);
        const QString firstTrack = metadata.value("mpris:trackid").value<QDBusObjectPath>().path();

        // PlayPause as the Music item: off, and on again, which starts the
        // module anew.
        QVERIFY(Ask(Player, "PlayPause"));
        QTRY_COMPARE(heard.Last("PlaybackStatus").toString(), QString("Stopped"));
        QCOMPARE(heard.Last("CanGoNext"), QVariant(false));
        QVERIFY(Ask(Player, "Play"));
        QTRY_COMPARE(heard.Last("PlaybackStatus").toString(), QString("Playing"));
        metadata = heard.Last("Metadata").toMap();
        QCOMPARE(metadata.value("xesam:title").toString(), QString("first"));
        QVERIFY(metadata.value("mpris:trackid").value<QDBusObjectPath>().path() != firstTrack);

        QVERIFY(Ask(Player, "Next"));
        QTRY_COMPARE(heard.Last("Metadata").toMap().value("xesam:title").toString(),
                     QString("second"));

        // Out of range is brought into range; 0.5 is half the natural level.
        for (const double volume : {-3.0, 0.5}) {
            QVERIFY(Ask(Properties, "Set",
                        {Player, "Volume", QVariant::fromValue(QDBusVariant(volume))}));
            QTRY_COMPARE(heard.Last("Volume"), QVariant(qMax(volume, 0.0)));
        }
        QCOMPARE(game.Stored("VOLUME"), QString("32"));

        // Each change was announced once, with only what changed.
        QCOMPARE(heard.Changes.size(), 5);
        QCOMPARE(heard.Changes.last().keys(), QStringList{"Volume"});

        QVERIFY(Ask(Player, "PlayPause"));
        QTRY_COMPARE(heard.Last("PlaybackStatus").toString(), QString("Stopped"));
        Ask(Root, "Quit"); // the game may end before it answers
        QVERIFY(game.process.waitForFinished(10000));
        QCOMPARE(game.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(game.process.exitCode(), 0);
        QCOMPARE(game.Stored("MUSIC"), QString("0"));
        QCOMPARE(game.Stored("VOLUME"), QString("32"));
    }

    // A media panel lists tracks by title: a module without one is named
    // after its file there, while the game's own panel shows it blank.
    void aModuleWithoutATitleIsNamedAfterItsFile()
    {
        TTestFolder folder;
        QVERIFY(folder.Write("Night Shift.v2.mod", TinyModule("")));
        TMusic music(folder.Sound, folder.Store);
        GiveList(music, {"Night Shift.v2.mod"});
        TMediaControls controls(music);
        QVERIFY(PlayHeard(music));
        QVERIFY(music.PlayingTitle().trimmed().isEmpty());
        QCOMPARE(controls.Metadata().value("xesam:title").toString(), QString("Night Shift.v2"));
    }

    // Loaded for a device that has not opened yet (and here never will),
    // a module is no track: nothing has played.
    void noTrackIsNamedBeforeTheMusicIsHeard()
    {
        TTestFolder folder;
        QVERIFY(folder.Write("a.mod", TinyModule("a")));
        MessageRecorder boxes;
        TScopedEnv driver("SDL_AUDIODRIVER", "no-such-driver");
        TMusic music(folder.Sound, folder.Store);
        GiveList(music, {"a.mod"});
        TMediaControls controls(music);
        QVERIFY(music.Play());
        QVERIFY(music.IsAwaitingDevice());
        QCOMPARE(controls.PlaybackStatus(), QString("Stopped"));
        const auto track = [&] {
            return controls.Metadata().value("mpris:trackid").value<QDBusObjectPath>().path();
        };
        QCOMPARE(track(), QString("/org/mpris/MediaPlayer2/TrackList/NoTrack"));
        QCOMPARE(controls.Metadata().size(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(boxes.boxes.size(), 1, 10000);
        QCOMPARE(track(), QString("/org/mpris/MediaPlayer2/TrackList/NoTrack"));
    }

    void withoutASessionBusTheGameRunsSilently()
    {
        TGame game;
        game.Start(QString());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(game.folder.File("audio.raw")).size() > 0, 20000);
        QCOMPARE(game.process.state(), QProcess::Running);
        game.process.terminate(); // as at a session's end
        QVERIFY(game.process.waitForFinished(10000));
        QCOMPARE(game.process.exitCode(), 0);
        QCOMPARE(game.Stored("MUSIC"), QString("1"));
        const QString said = QString::fromLocal8Bit(game.process.readAllStandardError());
        QVERIFY2(!said.contains("bus", Qt::CaseInsensitive), qPrintable(said));
    }
};

QTEST_GUILESS_MAIN(TestMpris)
#include "test_mpris.moc"
