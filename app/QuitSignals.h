#pragma once

// Turns the signals a desktop session ends programs with (SIGTERM, SIGHUP,
// SIGINT) into a request on the user-interface thread, so that the game
// shuts down as if closed and keeps what its windows hold.
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

    // True once a signal has been received: one received while the main
    // window was being made (a box shown at start runs its own event loop)
    // closed only that box, and the main loop must then not start.
    bool WasRequested() const { return Requested; }

signals:
    // Emitted on the user-interface thread once per signal received.
    void QuitRequested();

private:
    void ReadSignal();

    QSocketNotifier *Notifier = nullptr;
    bool Requested = false;
};
