#pragma once

// TFormEnvironment: what one game's window takes from its surroundings.

#include "base/SettingsStore.h"
#include "base/WallClock.h"
#include "controls/FormScaleUnit.h"
#include "model/GameEnvironment.h"

#include <QSize>
#include <QString>

#include <optional>

class TSoundModule;

// Made once at start-up, from the primary screen, and handed to the main
// window, which hands each layer its part: the game its board limits, clock
// and generator (Game), the fonts their scale (Scale), the best times and
// play list their folder, the player and the windows that ask for drivers,
// formats and versions the sound module, the game and the player the
// settings store.  Nothing of it is kept process-wide, so tests set a
// screen, a folder, a clock, a generator state, a store and a sound module
// of their own, and two windows in one process play apart.
struct TFormEnvironment {
    QSize ScreenSize{1024, 768};        // pixels
    double DotsPerInch = 96;            // the screen's (logical) pixels per inch
    QString WorkingDirectory;           // where the program's own files are; empty: current
    TWallClockSource Clock;             // empty: the system clock
    std::optional<quint32> RandomState; // replaces the seed taken from the time of day
    bool MediaControls = false;         // offers the music to the session bus's media controls
    TSettingsStore Settings; // the game's and the player's stored values; none unless given
    // What the window's first paint does not need (the play list, the music,
    // the media controls) waits until that paint is on the screen, so that
    // the window shows as soon as a bare one would.
    bool AfterFirstPaint = false;
    // What the music plays through; required, and it must outlive the
    // window (its player and every window asking it).
    TSoundModule *Sound = nullptr;

    // The game's part: the largest board for the screen, the clock, the
    // generator's first state, the settings store.
    TGameEnvironment Game() const;
    // The fonts' part: the screen's density.
    TFormScale Scale() const;
};

// The environment of the primary screen, the current directory and the
// user's settings store; the sound module is the caller's to add.
TFormEnvironment ScreenEnvironment();
