#include "base/Random.h"

#include "base/WallClock.h"

void TRandom::Seed(const TWallClock &clock)
{
    Value = clock.UtcMillisecondsOfDay();
}

int TRandom::Below(int n)
{
    Value = Value * 134775813u + 1u; // unsigned: wraps modulo 2^32
    if (n <= 0)
        return 0;
    return static_cast<int>((static_cast<quint64>(Value) * static_cast<quint32>(n)) >> 32);
}
