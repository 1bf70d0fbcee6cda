#pragma once

// The game's volume on the sound server's scale.

#include <pulse/volume.h>

// The game's 0..64 is the mixer's percentage in 64 steps, the server's own
// loudness curve: each step of the game's slider is as audible as the
// mixer's, and every level the mixer can set has a game volume within one
// step of it, none of them silent but zero.
pa_volume_t ServerLevel(int volume);
// The step nearest to a level: at least 1 for any level that is heard.
int GameVolume(pa_volume_t level);
// Both channels of the music at level.
pa_cvolume StereoVolume(pa_volume_t level);
