#pragma once

// TGridCursor: where a keyboard cursor on a grid of cells goes with each key.

#include <QPoint>
#include <QSize>

#include <optional>

enum class TCursorStep { Left, Right, Up, Down, RowStart, RowEnd, ColumnTop, ColumnBottom };

struct TGridCursor {
    // The step an unmodified key asks for: the arrows, Home/End along the row,
    // Page Up/Page Down along the column; none for any other key.
    static std::optional<TCursorStep> StepForKey(int key);
    // The cell one step from `from` on a grid of `cells`.  At an edge the
    // cursor stays, unless the grid `wraps` (a board without borders), when
    // it comes back at the opposite edge.  Home/End and Page Up/Down go to
    // the first or last cell of the line either way.
    static QPoint Step(QPoint from, TCursorStep step, QSize cells, bool wraps);
};
