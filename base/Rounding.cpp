#include "base/Rounding.h"

#include <cmath>

// Written out rather than left to std::nearbyint, which follows the current
// floating-point rounding mode; this rule must not depend on it.
int Round(double value)
{
    const double below = std::floor(value);
    const double fraction = value - below;
    double result = below;
    if (fraction > 0.5)
        result = below + 1.0;
    else if (fraction == 0.5 && std::fmod(below, 2.0) != 0.0)
        result = below + 1.0;
    return static_cast<int>(result);
}
