#pragma once

// ScaleFactor: the screen's pixels per inch divided by 96, set once at start before any
// window exists.  Font sizes given in points are divided by it, so that text
// keeps its pixel size beside the board cells, which are never scaled.
extern double ScaleFactor;

// ScaleFactor = dotsPerInch / 96; a value that is not positive gives 1.
void ComputeScaleFactor(double dotsPerInch);

// A font size of `points` at 96 pixels per inch, for this screen:
// Round(points / ScaleFactor), ties to even.
int ScaledPoints(double points);
