#pragma once

// TFormEnvironment: what the program takes from its surroundings at start.

#include "base/WallClock.h"

#include <QSize>
#include <QString>

#include <optional>

// The program fills it from the primary screen; tests set a screen, a
// folder, a clock and a generator state of their own, so no real screen or
// time of day is needed.  The screen's two values are read by
// PrepareForScreen, the rest by the main window's constructor.
struct TFormEnvironment {
    QSize ScreenSize{1024, 768};        // pixels
    double DotsPerInch = 96;            // the screen's (logical) pixels per inch
    QString WorkingDirectory;           // where the program's own files are; empty: current
    TWallClockSource Clock;             // empty: the system clock
    std::optional<quint32> RandomState; // replaces the seed taken from the time of day
    bool MediaControls = false;         // offers the music to the session bus's media controls
};

// The environment of the primary screen and the current directory.
TFormEnvironment ScreenEnvironment();

// Program start, before any window exists: MaxCols and MaxRows from the
// screen size, ScaleFactor from its density.
void PrepareForScreen(const TFormEnvironment &environment);
