#pragma once

// TMprisPlayer: the media controls' org.mpris.MediaPlayer2.Player interface
// on the bus.

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QString>
#include <QVariantMap>

class TMediaControls;

// What plays and the commands of a media panel.  The music plays at its
// own speed from a module's beginning: no seeking, no other rate, no going
// back (the list only moves on).  Its changes are announced by the media
// controls through org.freedesktop.DBus.Properties.PropertiesChanged.
class TMprisPlayer : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
    Q_PROPERTY(double Rate READ Rate)
    Q_PROPERTY(QVariantMap Metadata READ Metadata)
    Q_PROPERTY(double Volume READ Volume WRITE SetVolume)
    Q_PROPERTY(qlonglong Position READ Position)
    Q_PROPERTY(double MinimumRate READ Rate)
    Q_PROPERTY(double MaximumRate READ Rate)
    Q_PROPERTY(bool CanGoNext READ CanGoNext)
    Q_PROPERTY(bool CanGoPrevious READ CanGoPrevious)
    Q_PROPERTY(bool CanPlay READ CanPlay)
    Q_PROPERTY(bool CanPause READ CanPlay)
    Q_PROPERTY(bool CanSeek READ CanSeek)
    Q_PROPERTY(bool CanControl READ CanControl)

public:
    // Answers for controls, which it belongs to.
    explicit TMprisPlayer(TMediaControls *controls);

    QString PlaybackStatus() const;
    double Rate() const { return 1.0; }
    QVariantMap Metadata() const;
    double Volume() const;
    void SetVolume(double volume);
    qlonglong Position() const;
    bool CanGoNext() const;
    bool CanGoPrevious() const { return false; }
    bool CanPlay() const;
    bool CanSeek() const { return false; }
    bool CanControl() const { return true; }

public slots:
    void Next();
    void Previous() {}
    void Pause();
    void PlayPause();
    void Stop();
    void Play();
    void Seek(qlonglong Offset);
    void SetPosition(const QDBusObjectPath &TrackId, qlonglong Position);
    void OpenUri(const QString &Uri);

signals:
    // Part of the interface; never sent, as nothing seeks.
    void Seeked(qlonglong Position);

private:
    TMediaControls *Controls;
};
