#include "base/Random.h"

#include "base/WallClock.h"

namespace
{

quint32 State = 0;

} // namespace

void SeedRandom()
{
    State = WallClockUtcMillisecondsOfDay();
}

int RandomBelow(int n)
{
    State = State * 134775813u + 1u; // unsigned: wraps modulo 2^32
    if (n <= 0)
        return 0;
    return static_cast<int>((static_cast<quint64>(State) * static_cast<quint32>(n)) >> 32);
}

quint32 RandomState()
{
    return State;
}

void SetRandomState(quint32 state)
{
    State = state;
}
