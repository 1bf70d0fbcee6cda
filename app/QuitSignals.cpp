#include "app/QuitSignals.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace
{

// A signal handler may do almost nothing safely: it writes one byte into a
// socket pair, and the event loop reads it on the user-interface thread.
int SignalSocket[2] = {-1, -1};
const int QuitSignalNumbers[] = {SIGTERM, SIGHUP, SIGINT};
struct sigaction PreviousActions[std::size(QuitSignalNumbers)];

void OnQuitSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(SignalSocket[0], &byte, 1);
}

} // namespace

TQuitSignals::TQuitSignals(QObject *parent) : QObject(parent)
{
    // Without the socket the default actions stay: the game still ends,
    // only without saving.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, SignalSocket) != 0)
        return;
    Notifier = new QSocketNotifier(SignalSocket[1], QSocketNotifier::Read, this);
    connect(Notifier, &QSocketNotifier::activated, this, &TQuitSignals::ReadSignal);
    struct sigaction action = {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size(QuitSignalNumbers); ++i) {
        sigaction(QuitSignalNumbers[i], nullptr, &PreviousActions[i]);
        // A signal the game was started to ignore stays ignored: nohup's
        // SIGHUP, or a background job's SIGINT, must not end it.
        if (PreviousActions[i].sa_handler != SIG_IGN)
            sigaction(QuitSignalNumbers[i], &action, nullptr);
    }
}

TQuitSignals::~TQuitSignals()
{
    if (!Notifier)
        return;
    for (size_t i = 0; i < std::size(QuitSignalNumbers); ++i)
        sigaction(QuitSignalNumbers[i], &PreviousActions[i], nullptr);
    ::close(SignalSocket[0]);
    ::close(SignalSocket[1]);
    SignalSocket[0] = SignalSocket[1] = -1;
}

void TQuitSignals::ReadSignal()
{
    char byte = 0;
    if (::read(SignalSocket[1], &byte, 1) != 1)
        return;
    Requested = true;
    emit QuitRequested();
}
