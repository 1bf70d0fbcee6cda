#pragma once

// TFinishedGame: what is known of a game once it has ended.

#include <QDateTime>

// How a game whose mines were laid ended.  A game left before its end (a new
// game, another board, the end of the program) is abandoned.
enum class TGameOutcome { Won, Lost, Abandoned };

// A game as it ended: the board it was played on (as laid, whatever the
// settings say by its end), how it ended, the seconds the time counter
// showed and the moment it ended, read from the game's own wall clock.
struct TFinishedGame {
    QDateTime Ended;
    int Cols = 0;
    int Rows = 0;
    int Mines = 0;
    bool Borders = true;
    bool NoGuessing = false;
    TGameOutcome Outcome = TGameOutcome::Abandoned;
    int Seconds = 0;
};
