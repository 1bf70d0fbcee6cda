// The game offers its music on the session bus as an MPRIS 2 media player:
// what a desktop's media panel reads there, what its keys do, what it hears
// of each change, and a game that runs on as before where there is no bus.
// The real game runs on a private bus, offscreen, on SDL's disk driver.
#include "base/SettingsStore.h"
#include "mpris/MediaControls.h"
#include "music/MusicTestSupport.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <cmath>
#include <limits>

namespace
{

const QString Service = "org.mpris.MediaPlayer2.ferrox";
const QString ObjectPath = "/org/mpris/MediaPlayer2";
const QString RootInterface = "org.mpris.MediaPlayer2";
const QString PlayerInterface = "org.mpris.MediaPlayer2.Player";
const QString PropertiesInterface = "org.freedesktop.DBus.Properties";

// A value as it came over the bus: a dictionary (Metadata) arrives
// marshalled and is read into a map.
QVariant Plain(const QVariant &value)
{
    if (value.canConvert<QDBusVariant>())
        return Plain(value.value<QDBusVariant>().variant());
    if (value.userType() == qMetaTypeId<QDBusArgument>())
        return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
    return value;
}

QVariantMap PlainMap(const QVariantMap &map)
{
    QVariantMap plain;
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        plain.insert(it.key(), Plain(it.value()));
    return plain;
}

// A session bus of the test's own, gone with it.
class TPrivateBus
{
public:
    TPrivateBus()
    {
        const QString daemon = QStandardPaths::findExecutable("dbus-daemon");
        if (daemon.isEmpty())
            return;
        Daemon.start(daemon, {"--session", "--nofork", "--print-address"});
        if (Daemon.waitForStarted(5000) && Daemon.waitForReadyRead(5000))
            Address = QString::fromUtf8(Daemon.readLine()).trimmed();
    }
    ~TPrivateBus()
    {
        QDBusConnection::disconnectFromBus("test");
        Daemon.kill();
        Daemon.waitForFinished(5000);
    }
    QDBusConnection Client() const { return QDBusConnection::connectToBus(Address, "test"); }

    QString Address;

private:
    QProcess Daemon;
};

// What the game announces on the bus, in order.
class TAnnouncements : public QObject
{
    Q_OBJECT

public:
    QList<QVariantMap> Changes;
    // The last announced value of a property; invalid when never announced.
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
        if (interface == PlayerInterface)
            Changes << PlainMap(changed);
    }
};

// The game in a folder of its own, its settings file there too.
class TGame
{
public:
    explicit TGame(const TTestFolder &folder) : Folder(folder) {}
    ~TGame()
    {
        if (Process.state() != QProcess::NotRunning) {
            Process.kill();
            Process.waitForFinished(5000);
        }
    }

    QString StorePath() const { return Folder.File("config/Olvane/Ferrox.conf"); }
    void Store(const QString &name, int value) const
    {
        OpenSettingsFile(StorePath())->setValue(name, value);
    }
    QString Stored(const QString &name) const
    {
        return OpenSettingsFile(StorePath())->value(name).toString();
    }

    // Sound in real time, so the modules last as long as they are.
    void Start(const std::optional<QString> &busAddress)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("SDL_AUDIODRIVER", "disk");
        environment.insert("SDL_DISKAUDIOFILE", Folder.File("audio.raw"));
        environment.remove("SDL_DISKAUDIODELAY");
        environment.insert("XDG_CONFIG_HOME", Folder.File("config"));
        environment.insert("XDG_RUNTIME_DIR", Folder.Path());
        if (busAddress)
            environment.insert("DBUS_SESSION_BUS_ADDRESS", *busAddress);
        else
            environment.remove("DBUS_SESSION_BUS_ADDRESS");
        Process.setProcessEnvironment(environment);
        Process.setWorkingDirectory(Folder.Path());
        Process.start(QStringLiteral(FERROX_GAME), {});
    }

    const TTestFolder &Folder;
    QProcess Process;
};

// Two long modules (40 s each) in the game's default play list.
void WritePlayList(const TTestFolder &folder)
{
    QVERIFY(folder.Write("first.mod", TinyModule("first", 64, 31)));
    QVERIFY(folder.Write("second.mod", TinyModule("second", 64, 31)));
    QVERIFY(folder.Write("Ferrox.M3U", "first.mod\r\nsecond.mod\r\n"));
}

} // namespace

class TestMpris : public QObject
{
    Q_OBJECT

    QVariant Get(const QString &interface, const QString &name)
    {
        QDBusMessage call =
            QDBusMessage::createMethodCall(Service, ObjectPath, PropertiesInterface, "Get");
        call << interface << name;
        const QDBusMessage reply = Bus->Client().call(call, QDBus::Block, 5000);
        return reply.type() == QDBusMessage::ReplyMessage ? Plain(reply.arguments().value(0))
                                                          : QVariant();
    }
    bool Call(const QString &interface, const QString &method, const QVariantList &arguments = {})
    {
        QDBusMessage call = QDBusMessage::createMethodCall(Service, ObjectPath, interface, method);
        call.setArguments(arguments);
        return Bus->Client().call(call, QDBus::Block, 5000).type() == QDBusMessage::ReplyMessage;
    }

    std::unique_ptr<TPrivateBus> Bus;

private slots:
    void initTestCase()
    {
        Bus = std::make_unique<TPrivateBus>();
        if (Bus->Address.isEmpty())
            QSKIP("dbus-daemon (Debian's dbus-daemon package) is not here: the game's media "
                  "controls are not checked.");
        QVERIFY(Bus->Client().isConnected());
    }
    void cleanupTestCase() { Bus.reset(); }

    void volumeMapsBothWays()
    {
        QCOMPARE(TMediaControls::MprisVolume(32), 0.5);
        QCOMPARE(TMediaControls::MprisVolume(64), 1.0);
        const std::pair<double, int> toPlayer[] = {{0.0, 0},
                                                   {0.5, 32},
                                                   {1.0, 64},
                                                   {0.01, 1},
                                                   {1.5, 64},
                                                   {-0.5, 0},
                                                   {std::numeric_limits<double>::quiet_NaN(), 0}};
        for (const auto &[mpris, player] : toPlayer)
            QCOMPARE(TMediaControls::PlayerVolume(mpris), player);
    }

    void theDesktopReadsAndDrivesTheMusic()
    {
        TTestFolder folder;
        WritePlayList(folder);
        TGame game(folder);
        game.Store("MUSIC", 1);
        game.Start(Bus->Address);
        QDBusConnection client = Bus->Client();
        QTRY_VERIFY_WITH_TIMEOUT(client.interface()->isServiceRegistered(Service), 20000);
        TAnnouncements heard;
        QVERIFY(client.connect(Service, ObjectPath, PropertiesInterface, "PropertiesChanged",
                               &heard, SLOT(Changed(QString, QVariantMap, QStringList))));

        QCOMPARE(Get(RootInterface, "Identity").toString(), QString("Ferrox"));
        QCOMPARE(Get(RootInterface, "DesktopEntry").toString(), QString("org.ferrox.Ferrox"));
        QVERIFY(Get(RootInterface, "CanQuit").toBool());
        QVERIFY(Get(RootInterface, "CanRaise").toBool());
        QCOMPARE(Get(PlayerInterface, "PlaybackStatus").toString(), QString("Playing"));
        QVERIFY(Get(PlayerInterface, "CanGoNext").toBool());
        QVariantMap metadata = Get(PlayerInterface, "Metadata").toMap();
        QCOMPARE(metadata.value("xesam:title").toString(), QString("first"));
        QCOMPARE(metadata.value("xesam:url").toString(),
                 QUrl::fromLocalFile(folder.File("first.mod")).toString());
        QCOMPARE(metadata.value("mpris:length").toLongLong(), 64 * 31 * 20 * 1000LL);
        const QString firstTrack = metadata.value("mpris:trackid").value<QDBusObjectPath>().path();
        QVERIFY(firstTrack.startsWith('/'));

        // PlayPause as the Music item: off, and on again, which starts the
        // module anew.
        QVERIFY(Call(PlayerInterface, "PlayPause"));
        QTRY_COMPARE(heard.Last("PlaybackStatus").toString(), QString("Stopped"));
        QCOMPARE(heard.Last("CanGoNext"), QVariant(false));
        QCOMPARE(Get(PlayerInterface, "PlaybackStatus").toString(), QString("Stopped"));
        QVERIFY(Call(PlayerInterface, "Play"));
        QTRY_COMPARE(heard.Last("PlaybackStatus").toString(), QString("Playing"));
        metadata = heard.Last("Metadata").toMap();
        QCOMPARE(metadata.value("xesam:title").toString(), QString("first"));
        QVERIFY(metadata.value("mpris:trackid").value<QDBusObjectPath>().path() != firstTrack);

        QVERIFY(Call(PlayerInterface, "Next"));
        QTRY_COMPARE(heard.Last("Metadata").toMap().value("xesam:title").toString(),
                     QString("second"));

        QVERIFY(Call(PropertiesInterface, "Set",
                     {PlayerInterface, "Volume", QVariant::fromValue(QDBusVariant(0.5))}));
        QTRY_COMPARE(heard.Last("Volume"), QVariant(0.5));
        QCOMPARE(Get(PlayerInterface, "Volume").toDouble(), 0.5);
        QCOMPARE(game.Stored("VOLUME"), QString("32"));

        // Each change was announced once, with only what changed.
        QCOMPARE(heard.Changes.size(), 4);
        QCOMPARE(heard.Changes.last().keys(), QStringList{"Volume"});

        QVERIFY(Call(PlayerInterface, "PlayPause"));
        QTRY_COMPARE(heard.Last("PlaybackStatus").toString(), QString("Stopped"));
        Call(RootInterface, "Quit"); // the game may end before it answers
        QVERIFY(game.Process.waitForFinished(10000));
        QCOMPARE(game.Process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(game.Process.exitCode(), 0);
        QCOMPARE(game.Stored("MUSIC"), QString("0"));
        QCOMPARE(game.Stored("VOLUME"), QString("32"));
        QTRY_VERIFY(!client.interface()->isServiceRegistered(Service));
    }

    void withoutASessionBusTheGameRunsSilently()
    {
        TTestFolder folder;
        WritePlayList(folder);
        TGame game(folder);
        game.Store("MUSIC", 1);
        game.Start(std::nullopt);
        QVERIFY(game.Process.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(folder.File("audio.raw")).size() > 0, 20000);
        QCOMPARE(game.Process.state(), QProcess::Running);
        game.Process.terminate(); // as a session's end
        QVERIFY(game.Process.waitForFinished(10000));
        QCOMPARE(game.Process.exitCode(), 0);
        QCOMPARE(game.Stored("MUSIC"), QString("1"));
        const QString said = QString::fromLocal8Bit(game.Process.readAllStandardError());
        QVERIFY2(!said.contains("bus", Qt::CaseInsensitive), qPrintable(said));
    }
};

QTEST_GUILESS_MAIN(TestMpris)
#include "test_mpris.moc"
