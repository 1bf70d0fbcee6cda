#pragma once

// TimeType: the game clock.

#include "base/WallClock.h"

#include <QtGlobal>

// The game clock: counts the changes of the wall clock's second
// since Start.  It owns no timer; the main window polls Tick() from its 250 ms
// timer while ClockRunning is set.  The second is read from the game's own
// wall clock, so a test can set it.
class TimeType
{
public:
    explicit TimeType(TWallClock wallClock = TWallClock()) : WallClock(std::move(wallClock)) {}

    quint16 LastSecond = 0; // local second (0..59) when last started or advanced
    qint32 Elapsed = 0;     // seconds counted so far

    // LastSecond = the current local second; Elapsed unchanged.
    void Start();
    // Elapsed = 0; LastSecond unchanged.
    void Clear();
    // Adds the seconds passed since LastSecond (modulo 60) to Elapsed and
    // returns true when the second changed; false (and nothing changes)
    // within the same second.  Allocates nothing.
    bool Tick();

private:
    TWallClock WallClock;
};
