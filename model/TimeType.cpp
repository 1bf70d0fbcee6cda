#include "model/TimeType.h"

void TimeType::Start()
{
    LastSecond = static_cast<quint16>(WallClock.LocalSecond());
}

void TimeType::Clear()
{
    Elapsed = 0;
}

bool TimeType::Tick()
{
    const int second = WallClock.LocalSecond();
    if (second == LastSecond)
        return false;
    // Only the second within the minute is looked at, so a gap of a minute or
    // more counts modulo 60 and whole-minute clock changes do not disturb.
    int passed = second - LastSecond;
    while (passed < 0)
        passed += 60;
    Elapsed += passed;
    LastSecond = static_cast<quint16>(second);
    return true;
}
