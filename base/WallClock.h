#pragma once

// TWallClock: the time of day as a game sees it.

#include <QDateTime>

#include <functional>

// A source returns the current moment; its time zone (local or UTC) is
// respected: the game clock reads the local second of it, the generator the
// UTC time of day.
using TWallClockSource = std::function<QDateTime()>;

// The one way a game reads the time of day.  The generator's seed (UTC
// milliseconds since midnight) and the game clock (TimeType, the local
// second within the minute) both ask their game's clock, so a test gives a
// game a source of its own and two games never see each other's time.
class TWallClock
{
public:
    // The system clock; so is an empty source.
    TWallClock() = default;
    explicit TWallClock(TWallClockSource source) : Source(std::move(source)) {}

    // The current moment (by default QDateTime::currentDateTime()).
    QDateTime Now() const;
    // The local time's second within the minute (0..59) of Now().
    // Allocates nothing with the system clock.
    int LocalSecond() const;
    // Milliseconds since midnight, universal time, of Now().
    quint32 UtcMillisecondsOfDay() const;

private:
    TWallClockSource Source;
};
