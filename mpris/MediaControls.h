#pragma once

// TMediaControls: the music as the desktop's media controls see it (the
// MPRIS 2 media player interfaces), and what they ask of the game.

#include <QObject>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <memory>

class QDBusConnection;
class TMusic;

// What the desktop's media panel shows and its media keys do: the player's
// state as the values of org.mpris.MediaPlayer2.Player's properties, and
// that interface's commands.  Offered on a bus it answers there; without
// one it still holds the values and takes the commands.
//
// Music is switched on and off by whoever listens to musicSwitchRequested,
// as by the Music menu's "Turn On" and "Turn Off" (there is no pause: music
// switched off starts its module again from the beginning); the commands
// follow the player's switch, so music that waits for the sound server is
// on, and Stop switches it off.  Raise and Quit
// are likewise asked of the window.  Commands take effect from the event
// loop, after a caller on the bus has had its answer: the game may show a
// box that waits for a person.
class TMediaControls : public QObject
{
    Q_OBJECT

public:
    explicit TMediaControls(TMusic &music, QObject *parent = nullptr);
    ~TMediaControls() override;

    // Offers both interfaces on bus at the MPRIS object path, under the
    // game's MPRIS name (or, while another copy of the game holds it, one
    // of this process's own).  False, and nothing offered, when the bus is
    // not connected or refuses.  Once only.
    bool Offer(const QDBusConnection &bus);
    // The bus name taken by Offer; empty when nothing is offered.
    QString ServiceName() const { return Service; }

    // org.mpris.MediaPlayer2.Player's values.
    QString PlaybackStatus() const; // "Playing" or "Stopped"
    // The module heard last, while it is the one loaded; no track before
    // it has been heard (while its device opens).
    QVariantMap Metadata() const;
    double Volume() const;   // 0..1 for the player's 0..64
    qint64 Position() const; // microseconds into the song
    // None of the commands below is offered while a window of the game
    // waits for an answer (they would do nothing).
    bool CanGoNext() const; // music plays, and the list has another module
    bool CanPlay() const;   // the play list has a module
    // Whether a window of the game waits for an answer.
    void SetAnswerAwaited(bool awaited);

    // Its commands.  Play, Pause, Stop and PlayPause ask for the switch
    // only when it changes something; Next moves on as at a song's end.
    void Play();
    void Pause();
    void Stop();
    void PlayPause();
    void Next();
    // Stored as the player's volume, brought into 0..1.
    void SetVolume(double volume);
    // org.mpris.MediaPlayer2's.
    void Raise();
    void Quit();

    // The values announced when they change, by property name.
    QVariantMap AnnouncedValues() const;

signals:
    // The Music menu's "Turn On" / "Turn Off", as if chosen there.
    void musicSwitchRequested();
    void raiseRequested();
    void quitRequested();
    // Announced values that changed, with their new values: at most once
    // per turn of the event loop, whatever changed meanwhile.
    void playerPropertiesChanged(const QVariantMap &changed);

private:
    void Later(std::function<void()> command);
    void RecheckLater();
    void Recheck();
    void Announce(const QVariantMap &changed);

    TMusic &Music;
    QVariantMap Announced;
    bool RecheckQueued = false;
    bool AnswerAwaited = false;
    quint64 ModulesStarted = 0; // names each start's track
    QString HeardPath;          // the file of the module started last
    std::unique_ptr<QDBusConnection> Bus;
    QString Service;
};
