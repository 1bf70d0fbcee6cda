#pragma once

// TMprisRoot: the media controls' org.mpris.MediaPlayer2 interface on the bus.

#include <QDBusAbstractAdaptor>
#include <QString>
#include <QStringList>

class TMediaControls;

// The player application as a whole: its name, its desktop entry, and
// bringing its window to the front or ending it.  Opens no files.
class TMprisRoot : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ CanQuit CONSTANT)
    Q_PROPERTY(bool CanRaise READ CanRaise CONSTANT)
    Q_PROPERTY(bool HasTrackList READ HasTrackList CONSTANT)
    Q_PROPERTY(QString Identity READ Identity CONSTANT)
    Q_PROPERTY(QString DesktopEntry READ DesktopEntry CONSTANT)
    Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes CONSTANT)
    Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes CONSTANT)

public:
    // Answers for controls, which it belongs to.
    explicit TMprisRoot(TMediaControls *controls);

    bool CanQuit() const { return true; }
    bool CanRaise() const { return true; }
    bool HasTrackList() const { return false; }
    QString Identity() const;
    // The game's desktop entry, named as desktops know it (without ".desktop").
    QString DesktopEntry() const;
    QStringList SupportedUriSchemes() const { return {}; }
    QStringList SupportedMimeTypes() const { return {}; }

public slots:
    void Raise();
    void Quit();

private:
    TMediaControls *Controls;
};
