#pragma once

// TMineField: one board cell and what it shows.

#include <QtGlobal>

// What a cell shows.  8-bit.
enum TMineState : quint8 {
    msOpen = 0,      // uncovered; after a loss also an unmarked mine now shown
    msCovered = 1,   // covered, unmarked
    msFlagged = 2,   // covered, marked as a mine
    msQuestion = 3,  // covered, marked with a question mark
    msExploded = 4,  // a mine that was uncovered
    msWrongFlag = 5, // end of game: marked as a mine but holds none
    msFoundMine = 6, // end of game: a mine shown as found
};

// One cell.  Plain data; the model owns every cell and reuses it each game.
class TMineField
{
public:
    quint8 MinesAround = 0;  // mines among the neighbour positions (0..8)
    quint8 Queued : 1 = 0;   // bit value 1: put on the reveal queue this game
    quint8 Revealed : 1 = 0; // bit value 2: taken off the queue and processed
    quint8 Col = 0;          // always equal to the cell's column in Cells
    quint8 Row = 0;          // always equal to the cell's row in Cells
    TMineState State = msCovered;
    bool IsMine = false;

    // Back to the new-cell values at (col, row).
    void Reset(int col, int row);
};
