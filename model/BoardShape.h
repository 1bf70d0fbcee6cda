#pragma once

// TBoardShape: a board's columns and rows, and whether its edges stop the
// neighbourhood or wrap around to the other side.

// The neighbourhood of a cell is its 3 x 3 block, walked columns outer and
// rows inner, ascending.  With Borders on, positions off the board are
// skipped; with Borders off each coordinate is wrapped once, so on a board
// one or two cells wide a position may be visited twice.
struct TBoardShape {
    int Cols = 0;
    int Rows = 0;
    bool Borders = true;

    int CellCount() const { return Cols * Rows; }

    // Calls visit(col, row) for each position of the 3 x 3 block around
    // (col, row), the cell's own position included whenever the block lands
    // on it.
    template <typename Visit> void ForEachInBlock(int col, int row, Visit &&visit) const
    {
        for (int dc = -1; dc <= 1; ++dc) {
            int c = col + dc;
            if (c < 0 || c >= Cols) {
                if (Borders)
                    continue;
                c = c < 0 ? Cols - 1 : 0;
            }
            for (int dr = -1; dr <= 1; ++dr) {
                int r = row + dr;
                if (r < 0 || r >= Rows) {
                    if (Borders)
                        continue;
                    r = r < 0 ? Rows - 1 : 0;
                }
                visit(c, r);
            }
        }
    }

    // Like ForEachInBlock, without the positions that land on (col, row).
    template <typename Visit> void ForEachNeighbour(int col, int row, Visit &&visit) const
    {
        ForEachInBlock(col, row, [&](int c, int r) {
            if (c != col || r != row)
                visit(c, r);
        });
    }
};
