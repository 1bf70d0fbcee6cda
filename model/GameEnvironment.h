#pragma once

// TGameEnvironment: what one game takes from its surroundings.

#include "base/SettingsStore.h"
#include "base/WallClock.h"

#include <QtGlobal>

#include <optional>

// The largest board the screen allows: each 1..101.  The defaults are those
// of a 1024 x 768 screen (56 x 36).
struct TBoardLimits {
    int MaxCols = 56;
    int MaxRows = 36;
    bool operator==(const TBoardLimits &) const = default;
};

// MaxCols = Round((screenWidth - 65) / 17), MaxRows = Round((screenHeight -
// 150) / 17), each limited to 1..101.  640 x 480 gives 34 x 19, 800 x 600
// 43 x 26, 1024 x 768 56 x 36, 1280 x 1024 71 x 51.
int MaxColsForWidth(int screenWidth);
int MaxRowsForHeight(int screenHeight);
TBoardLimits BoardLimitsForScreen(int screenWidth, int screenHeight);

// Made once at start-up and handed to the game, which keeps its own copy:
// two games in one process never share a screen, a clock, a generator or a
// settings store.
struct TGameEnvironment {
    TBoardLimits Limits;
    // Where the model's settings are read at start and written at the end;
    // none unless given.
    TSettingsStore Settings;
    // What the game clock and the generator's seed read.
    TWallClock Clock;
    // The generator's first state; without one it is seeded from Clock.
    std::optional<quint32> RandomState;
};
