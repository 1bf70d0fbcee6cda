#pragma once

// TFormScale: how much denser than 96 pixels per inch the screen is.

// Font sizes given in points are divided by the factor, so that text keeps
// its pixel size beside the board cells, which are never scaled.  Each
// window gets the scale of its screen from the environment it is made with.
struct TFormScale {
    double Factor = 1.0;

    // Factor = dotsPerInch / 96; a value that is not positive gives 1.
    static TFormScale ForDensity(double dotsPerInch);

    // A font size of `points` at 96 pixels per inch, for this screen:
    // Round(points / Factor), ties to even.
    int ScaledPoints(double points) const;
};
