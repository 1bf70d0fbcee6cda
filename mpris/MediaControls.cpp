#include "mpris/MediaControls.h"

#include "base/Constants.h"
#include "mpris/MprisPlayer.h"
#include "mpris/MprisRoot.h"
#include "music/Music.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <utility>

namespace
{

const QString ObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString PlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString PropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString ServicePrefix = QStringLiteral("org.mpris.MediaPlayer2.ferrox");
// MPRIS's own name for "no track"; every other track id is the game's.
const QString NoTrack = QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");
const QString TrackPrefix = QStringLiteral("/org/ferrox/Ferrox/Track/");

const QString Playing = QStringLiteral("Playing");
const QString Stopped = QStringLiteral("Stopped");

// The player's volume 0..64 is MPRIS's 0..1.
double MprisVolume(int volume)
{
    return static_cast<double>(std::clamp(volume, 0, NaturalVolume)) / NaturalVolume;
}

// MPRIS allows more than 1.0; the player's volume ends at the module's
// natural level.
int PlayerVolume(double volume)
{
    if (std::isnan(volume))
        return 0;
    return static_cast<int>(std::lround(std::clamp(volume, 0.0, 1.0) * NaturalVolume));
}

} // namespace

TMediaControls::TMediaControls(TMusic &music, QObject *parent) : QObject(parent), Music(music)
{
    connect(&Music, &TMusic::playingChanged, this, &TMediaControls::RecheckLater);
    connect(&Music, &TMusic::switchChanged, this, &TMediaControls::RecheckLater);
    connect(&Music, &TMusic::moduleChanged, this, [this] {
        // A module started anew is a new track, the same file or not.
        ++ModulesStarted;
        HeardPath = Music.PlayingPath();
        RecheckLater();
    });
    connect(&Music, &TMusic::listChanged, this, &TMediaControls::RecheckLater);
    connect(&Music, &TMusic::volumeChanged, this, &TMediaControls::RecheckLater);
    if (Music.IsPlaying()) {
        ModulesStarted = 1;
        HeardPath = Music.PlayingPath();
    }
    Announced = AnnouncedValues();
}

TMediaControls::~TMediaControls()
{
    if (Bus && !Service.isEmpty())
        Bus->unregisterService(Service);
}

// --- On the bus --------------------------------------------------------------

bool TMediaControls::Offer(const QDBusConnection &bus)
{
    if (Bus || !bus.isConnected())
        return false;
    // What has changed so far is part of what the bus first sees, not news.
    Recheck();
    auto connection = std::make_unique<QDBusConnection>(bus);
    // The interfaces answer for this object once it is registered.
    auto root = std::make_unique<TMprisRoot>(this);
    auto player = std::make_unique<TMprisPlayer>(this);
    if (!connection->registerObject(ObjectPath, this, QDBusConnection::ExportAdaptors))
        return false;
    // A second copy of the game takes a name of its own, as MPRIS asks.
    const QString own =
        ServicePrefix + QStringLiteral(".instance%1").arg(QCoreApplication::applicationPid());
    for (const QString &name : {ServicePrefix, own}) {
        if (connection->registerService(name)) {
            Service = name;
            break;
        }
    }
    if (Service.isEmpty()) {
        connection->unregisterObject(ObjectPath);
        return false;
    }
    // From now on they belong to this object, as its children.
    root.release();
    player.release();
    Bus = std::move(connection);
    return true;
}

void TMediaControls::Announce(const QVariantMap &changed)
{
    emit playerPropertiesChanged(changed);
    if (!Bus)
        return;
    QDBusMessage signal = QDBusMessage::createSignal(ObjectPath, PropertiesInterface,
                                                     QStringLiteral("PropertiesChanged"));
    signal << PlayerInterface << changed << QStringList();
    Bus->send(signal);
}

// --- What the player shows ---------------------------------------------------

// Music switched off starts its module from the beginning again: it is
// stopped, not paused.
QString TMediaControls::PlaybackStatus() const
{
    return Music.IsPlaying() ? Playing : Stopped;
}

QVariantMap TMediaControls::Metadata() const
{
    QVariantMap metadata;
    const QString path = Music.PlayingPath();
    // A module loaded for a device still opening has not been heard.
    if (path.isEmpty() || path != HeardPath) {
        metadata.insert(QStringLiteral("mpris:trackid"),
                        QVariant::fromValue(QDBusObjectPath(NoTrack)));
        return metadata;
    }
    metadata.insert(
        QStringLiteral("mpris:trackid"),
        QVariant::fromValue(QDBusObjectPath(TrackPrefix + QString::number(ModulesStarted))));
    // The title as the lower title panel shows it; a panel that lists
    // tracks by title needs one, so a module without gets its file's name.
    const QString title = Music.PlayingTitle().trimmed();
    metadata.insert(QStringLiteral("xesam:title"),
                    title.isEmpty() ? QFileInfo(path).completeBaseName() : Music.PlayingTitle());
    metadata.insert(
        QStringLiteral("xesam:url"),
        QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded));
    if (const qint64 length = Music.PlayingLength().count(); length > 0)
        metadata.insert(QStringLiteral("mpris:length"), length);
    return metadata;
}

double TMediaControls::Volume() const
{
    return MprisVolume(Music.Volume());
}

qint64 TMediaControls::Position() const
{
    return Music.IsPlaying() ? Music.Status().Elapsed.count() : 0;
}

bool TMediaControls::CanGoNext() const
{
    return !AnswerAwaited && Music.IsPlaying() && Music.List().Count() > 1;
}

bool TMediaControls::CanPlay() const
{
    return !AnswerAwaited && !Music.List().IsEmpty();
}

void TMediaControls::SetAnswerAwaited(bool awaited)
{
    if (std::exchange(AnswerAwaited, awaited) != awaited)
        RecheckLater();
}

QVariantMap TMediaControls::AnnouncedValues() const
{
    return {
        {QStringLiteral("PlaybackStatus"), PlaybackStatus()},
        {QStringLiteral("Metadata"), Metadata()},
        {QStringLiteral("Volume"), Volume()},
        {QStringLiteral("CanGoNext"), CanGoNext()},
        {QStringLiteral("CanPlay"), CanPlay()},
        {QStringLiteral("CanPause"), CanPlay()},
    };
}

// --- Changes -----------------------------------------------------------------

// The player announces one operation in several signals (playing, then
// the module); the desktop hears of it once, when it is complete.
void TMediaControls::RecheckLater()
{
    if (std::exchange(RecheckQueued, true))
        return;
    QMetaObject::invokeMethod(this, &TMediaControls::Recheck, Qt::QueuedConnection);
}

void TMediaControls::Recheck()
{
    RecheckQueued = false;
    const QVariantMap now = AnnouncedValues();
    QVariantMap changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it)
        if (Announced.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    Announced = now;
    if (!changed.isEmpty())
        Announce(changed);
}

// --- Commands ----------------------------------------------------------------

void TMediaControls::Later(std::function<void()> command)
{
    QMetaObject::invokeMethod(this, std::move(command), Qt::QueuedConnection);
}

void TMediaControls::Play()
{
    Later([this] {
        if (!Music.IsSwitchedOn() && CanPlay())
            emit musicSwitchRequested();
    });
}

void TMediaControls::Pause()
{
    Stop();
}

void TMediaControls::Stop()
{
    Later([this] {
        if (Music.IsSwitchedOn())
            emit musicSwitchRequested();
    });
}

void TMediaControls::PlayPause()
{
    Later([this] {
        if (Music.IsSwitchedOn() || CanPlay())
            emit musicSwitchRequested();
    });
}

void TMediaControls::Next()
{
    Later([this] {
        if (CanGoNext())
            Music.NextModule();
    });
}

void TMediaControls::SetVolume(double volume)
{
    Music.SetVolume(PlayerVolume(volume));
}

void TMediaControls::Raise()
{
    Later([this] { emit raiseRequested(); });
}

void TMediaControls::Quit()
{
    Later([this] { emit quitRequested(); });
}
