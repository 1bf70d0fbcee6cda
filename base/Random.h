#pragma once

// The game's random generator: one 32-bit linear congruential state.

#include <QtGlobal>

// The program's single random generator: one unsigned 32-bit
// linear congruential state shared by mine laying and the play-list shuffle.

// Seeds the state from the wall clock (WallClock.h): milliseconds since
// midnight in universal time.  Called once, by the TMines constructor.
void SeedRandom();

// state = state * 134775813 + 1 (mod 2^32); returns the high 32 bits of the
// 64-bit product state * n, so a value in 0..n-1.  n must be at least 1.
// From state 0, RandomBelow(8) six times gives 0, 0, 6, 1, 2, 5.
int RandomBelow(int n);

// The generator state, readable and settable so a test can replay a board.
quint32 RandomState();
void SetRandomState(quint32 state);
