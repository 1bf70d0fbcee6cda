#pragma once

// The windows of the program that wait for an answer (shown modally), closed
// from outside: when the desktop, the session or a signal ends the game.

#include <functional>

class QObject;

// Closes every window that waits for an answer as its own close box would
// (so each keeps what its close box keeps), the innermost first, and then
// calls `then`.  Each window's event loop returns, and the code that opened
// it runs on, before the next one is closed; a window opened meanwhile is
// closed too.  Nothing waiting: `then` is called at once.  The steps run on
// `context`, and stop if it is destroyed.
void CloseWaitingWindows(QObject *context, const std::function<void()> &then);
