#pragma once

// TRandom: the game's random generator, one 32-bit linear congruential state.

#include <QtGlobal>

class TWallClock;

// One game's single generator: mine laying and the play-list shuffle draw
// from the same state, so that a state replays both.  A value, not a
// process-wide state: two games in one process draw independently.
class TRandom
{
public:
    explicit TRandom(quint32 state = 0) : Value(state) {}

    // Seeds the state from the clock: milliseconds since midnight in
    // universal time.
    void Seed(const TWallClock &clock);

    // state = state * 134775813 + 1 (mod 2^32); returns the high 32 bits of
    // the 64-bit product state * n, so a value in 0..n-1.  n must be at least
    // 1.  From state 0, Below(8) six times gives 0, 0, 6, 1, 2, 5.
    int Below(int n);

    // The state, readable and settable so a test can replay a board.
    quint32 State() const { return Value; }
    void SetState(quint32 state) { Value = state; }

private:
    quint32 Value;
};
