#include "controls/FormScaleUnit.h"

#include "base/Rounding.h"

TFormScale TFormScale::ForDensity(double dotsPerInch)
{
    // A screen that reports no density (some virtual displays do) is taken as
    // the design density rather than dividing every font by zero.
    return {dotsPerInch > 0 ? dotsPerInch / 96.0 : 1.0};
}

int TFormScale::ScaledPoints(double points) const
{
    return Round(points / Factor);
}
