#pragma once

// WallClockNow: the time of day as the model sees it.

#include <QDateTime>

#include <functional>

// The one place where the model reads the time of day.  The random generator
// (SeedRandom, UTC milliseconds since midnight) and the game clock (TimeType,
// the local second within the minute) both ask WallClockNow(), so a test can
// set the time they see.
//
// A source returns the current moment; its time zone (local or UTC) is
// respected: the game clock reads the local second of it, the generator the
// UTC time of day.
using TWallClockSource = std::function<QDateTime()>;

// The current moment from the installed source (by default
// QDateTime::currentDateTime()).
QDateTime WallClockNow();

// The local time's second within the minute (0..59) of WallClockNow().
int WallClockLocalSecond();

// Milliseconds since midnight, universal time, of WallClockNow().
quint32 WallClockUtcMillisecondsOfDay();

// Installs a source and returns the one it replaces.  An empty source
// restores the system clock.
TWallClockSource SetWallClock(TWallClockSource source);
