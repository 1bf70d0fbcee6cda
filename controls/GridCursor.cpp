#include "controls/GridCursor.h"

#include <Qt>

#include <algorithm>

std::optional<TCursorStep> TGridCursor::StepForKey(int key)
{
    switch (key) {
    case Qt::Key_Left:
        return TCursorStep::Left;
    case Qt::Key_Right:
        return TCursorStep::Right;
    case Qt::Key_Up:
        return TCursorStep::Up;
    case Qt::Key_Down:
        return TCursorStep::Down;
    case Qt::Key_Home:
        return TCursorStep::RowStart;
    case Qt::Key_End:
        return TCursorStep::RowEnd;
    case Qt::Key_PageUp:
        return TCursorStep::ColumnTop;
    case Qt::Key_PageDown:
        return TCursorStep::ColumnBottom;
    default:
        return std::nullopt;
    }
}

namespace
{
int Along(int from, int by, int length, bool wraps)
{
    if (wraps)
        return ((from + by) % length + length) % length;
    return std::clamp(from + by, 0, length - 1);
}
} // namespace

QPoint TGridCursor::Step(QPoint from, TCursorStep step, QSize cells, bool wraps)
{
    const int cols = std::max(1, cells.width()), rows = std::max(1, cells.height());
    const int col = std::clamp(from.x(), 0, cols - 1), row = std::clamp(from.y(), 0, rows - 1);
    switch (step) {
    case TCursorStep::Left:
        return {Along(col, -1, cols, wraps), row};
    case TCursorStep::Right:
        return {Along(col, 1, cols, wraps), row};
    case TCursorStep::Up:
        return {col, Along(row, -1, rows, wraps)};
    case TCursorStep::Down:
        return {col, Along(row, 1, rows, wraps)};
    case TCursorStep::RowStart:
        return {0, row};
    case TCursorStep::RowEnd:
        return {cols - 1, row};
    case TCursorStep::ColumnTop:
        return {col, 0};
    case TCursorStep::ColumnBottom:
        return {col, rows - 1};
    }
    return {col, row};
}
