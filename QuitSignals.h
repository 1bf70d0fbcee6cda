#pragma once

// Turns the signals a desktop session ends programs with (SIGTERM, SIGHUP,
// SIGINT) into an orderly quit on the user-interface thread, so the game
// shuts down as if closed and keeps its settings.
#include <QObject>

class QSocketNotifier;

class TQuitSignals : public QObject
{
    Q_OBJECT

public:
    // Installs the handlers; only one instance may live at a time.
    explicit TQuitSignals(QObject *parent = nullptr);
    // Puts the previous handlers back.
    ~TQuitSignals() override;
    TQuitSignals(const TQuitSignals &) = delete;
    TQuitSignals &operator=(const TQuitSignals &) = delete;

    // True once a signal has been received: a quit asked for inside an
    // event loop that ran before the main one (a box shown at start) ended
    // only that loop, and the main one must then not start.
    bool WasRequested() const { return Requested; }

signals:
    // Emitted on the user-interface thread once per signal received.
    void QuitRequested();

private:
    void ReadSignal();

    QSocketNotifier *Notifier = nullptr;
    bool Requested = false;
};
