#include "controls/FormScaleUnit.h"

#include "base/Rounding.h"

double ScaleFactor = 1.0;

void ComputeScaleFactor(double dotsPerInch)
{
    // A screen that reports no density (some virtual displays do) is taken as
    // the design density rather than dividing every font by zero.
    ScaleFactor = dotsPerInch > 0 ? dotsPerInch / 96.0 : 1.0;
}

int ScaledPoints(double points)
{
    return Round(points / ScaleFactor);
}
