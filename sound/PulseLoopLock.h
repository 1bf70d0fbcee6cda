#pragma once

// TLoopLock: libpulse's threaded main loop held.

#include <pulse/thread-mainloop.h>

// Taken for as long as it lives, so that no callback runs meanwhile.
class TLoopLock
{
public:
    explicit TLoopLock(pa_threaded_mainloop *loop) : Loop(loop) { pa_threaded_mainloop_lock(Loop); }
    ~TLoopLock() { pa_threaded_mainloop_unlock(Loop); }
    TLoopLock(const TLoopLock &) = delete;
    TLoopLock &operator=(const TLoopLock &) = delete;

private:
    pa_threaded_mainloop *Loop;
};
