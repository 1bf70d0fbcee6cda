#include "base/WallClock.h"

#include <QTime>

QDateTime TWallClock::Now() const
{
    return Source ? Source() : QDateTime::currentDateTime();
}

int TWallClock::LocalSecond() const
{
    // Without a source of its own, read the local time directly: the game
    // clock polls this four times a second and must not allocate.
    if (!Source)
        return QTime::currentTime().second();
    return Source().toLocalTime().time().second();
}

quint32 TWallClock::UtcMillisecondsOfDay() const
{
    const QDateTime now = Source ? Source() : QDateTime::currentDateTimeUtc();
    return static_cast<quint32>(now.toUTC().time().msecsSinceStartOfDay());
}
