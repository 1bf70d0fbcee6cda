#pragma once

// "Card Setup...": the sound layer is closed while its set-up window is
// open, the set-up is stored when confirmed, and music comes back if it
// was playing before.

#include "music/ModuleAudio.h"

#include <functional>

class TMusic;

enum class TCardSetupResult {
    csrNotRestarted,  // music had not been playing, so it was not started
    csrRestarted,     // music plays again, with the next entry of the play list
    csrRestartFailed, // music was playing but Play failed (it told the user why)
};

// The set-up window: shows audio's set-up and what the device was running
// with (inUse, taken before the layer was closed), lets the user choose,
// and on OK sets audio's set-up and returns true; false when cancelled.
using TSetupDialog = std::function<bool(TModuleAudio &audio, const TAudioInUse &inUse)>;

// Runs the card set-up on the player:
//  1. remembers whether the sound layer was open (music.IsInitialized) and
//     whether music had been switched off (music.IsSuspended);
//  2. closes the layer (Stop(true)) when it was open;
//  3. runs dialog; when it returns true, stores the set-up (WriteSetup);
//  4. starts music again (Play) only when the layer had been open and
//     music had not been switched off, so that card set-up while music is
//     off leaves it off.
// On csrRestartFailed the caller shows music as off ("Turn On", MusicOn
// false): Play has left the layer closed, and its warning box was shown.
TCardSetupResult RunCardSetup(TMusic &music, const TSetupDialog &dialog);
