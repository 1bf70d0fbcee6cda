#include "base/WallClock.h"

#include <QTime>

namespace
{

TWallClockSource &Source()
{
    static TWallClockSource source;
    return source;
}

} // namespace

QDateTime WallClockNow()
{
    const TWallClockSource &source = Source();
    return source ? source() : QDateTime::currentDateTime();
}

int WallClockLocalSecond()
{
    const TWallClockSource &source = Source();
    // Without an installed source, read the local time directly: the game
    // clock polls this four times a second and must not allocate.
    if (!source)
        return QTime::currentTime().second();
    return source().toLocalTime().time().second();
}

quint32 WallClockUtcMillisecondsOfDay()
{
    const TWallClockSource &source = Source();
    const QDateTime now = source ? source() : QDateTime::currentDateTimeUtc();
    return static_cast<quint32>(now.toUTC().time().msecsSinceStartOfDay());
}

TWallClockSource SetWallClock(TWallClockSource source)
{
    TWallClockSource previous = std::move(Source());
    Source() = std::move(source);
    return previous;
}
