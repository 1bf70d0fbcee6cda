#include "controls/cpDrawGrid.h"

#include "controls/Resources.h"

#include <QEnterEvent>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

TcpDrawGrid::TcpDrawGrid(QWidget *parent) : QWidget(parent)
{
    FerroxRes::InitResources();
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    FitToCells();
}

TcpDrawGrid::~TcpDrawGrid() = default;

void TcpDrawGrid::SetColCount(int count)
{
    count = qMax(1, count);
    if (count == colCount_)
        return;
    colCount_ = count;
    SetCursorCell(std::nullopt);
    update();
}

void TcpDrawGrid::SetRowCount(int count)
{
    count = qMax(1, count);
    if (count == rowCount_)
        return;
    rowCount_ = count;
    SetCursorCell(std::nullopt);
    update();
}

QSize TcpDrawGrid::CellsSize() const
{
    return QSize(colCount_ * CellSize, rowCount_ * CellSize);
}

void TcpDrawGrid::FitToCells()
{
    resize(CellsSize());
}

void TcpDrawGrid::MouseToCell(int x, int y, int &col, int &row) const
{
    const QPoint cell = CellAt(QPoint(x, y));
    col = cell.x();
    row = cell.y();
}

// Only cells the control actually shows count: a point past the last
// column or row, or outside the control, is over no cell.
QPoint TcpDrawGrid::CellAt(const QPoint &pos) const
{
    if (pos.x() < 0 || pos.y() < 0 || pos.x() >= width() || pos.y() >= height())
        return QPoint(-1, -1);
    const int col = pos.x() / CellSize;
    const int row = pos.y() / CellSize;
    if (col >= colCount_ || row >= rowCount_)
        return QPoint(-1, -1);
    return QPoint(col, row);
}

QRect TcpDrawGrid::CellRect(int col, int row) const
{
    return QRect(col * CellSize, row * CellSize, CellSize, CellSize);
}

void TcpDrawGrid::RepaintCell(int col, int row)
{
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_)
        return;
    repaint(CellRect(col, row));
}

void TcpDrawGrid::RepaintAll()
{
    repaint();
}

void TcpDrawGrid::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setFont(font());
    const QRect cells(QPoint(0, 0), CellsSize());
    // Whatever lies beyond the cells gets the plain background.
    const QRegion beyond = QRegion(event->rect()).subtracted(QRegion(cells));
    for (const QRect &r : beyond)
        painter.fillRect(r, palette().color(QPalette::Window));
    // Rectangle by rectangle of the region asked for, not its bounding box:
    // an update of a few scattered cells paints those cells only.
    for (const QRect &r : event->region())
        PaintCells(painter, r & cells);
}

void TcpDrawGrid::PaintCells(QPainter &painter, const QRect &area)
{
    if (area.isEmpty())
        return;
    const int firstCol = area.left() / CellSize, lastCol = area.right() / CellSize;
    const int firstRow = area.top() / CellSize, lastRow = area.bottom() / CellSize;
    for (int row = firstRow; row <= lastRow; ++row)
        for (int col = firstCol; col <= lastCol; ++col) {
            painter.save();
            DrawCell(painter, col, row, CellRect(col, row));
            painter.restore();
            if (cursor_ == QPoint(col, row))
                DrawCursorFrame(painter, CellRect(col, row));
        }
}

// Three rings, dark, light, dark, on the cell's outer pixels: on a light
// tile the dark rings show, on a dark one the light ring, at any scale.
void TcpDrawGrid::DrawCursorFrame(QPainter &painter, const QRect &cell)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    const QColor rings[] = {Qt::black, Qt::white, Qt::black};
    for (int ring = 0; ring < 3; ++ring) {
        painter.setPen(QPen(rings[ring], 1));
        painter.drawRect(cell.adjusted(ring, ring, -1 - ring, -1 - ring));
    }
    painter.restore();
}

void TcpDrawGrid::SetCursorCell(std::optional<QPoint> cell)
{
    if (cell &&
        (cell->x() < 0 || cell->y() < 0 || cell->x() >= colCount_ || cell->y() >= rowCount_))
        cell.reset();
    if (cell == cursor_)
        return;
    const std::optional<QPoint> old = cursor_;
    cursor_ = cell;
    if (old)
        RepaintCell(old->x(), old->y());
    if (cell)
        RepaintCell(cell->x(), cell->y());
    emit cursorMoved(cell);
}

void TcpDrawGrid::HideCursorOnPointerMove(const QPointF &globalPos)
{
    const bool moved = pointerSeen_ != globalPos;
    pointerSeen_ = globalPos;
    if (moved && cursor_)
        SetCursorCell(std::nullopt);
}

void TcpDrawGrid::DrawCell(QPainter &canvas, int col, int row, const QRect &rect)
{
    if (isSignalConnected(QMetaMethod::fromSignal(&TcpDrawGrid::drawCell)))
        emit drawCell(canvas, col, row, rect);
    else
        canvas.fillRect(rect, palette().color(QPalette::Base));
}

void TcpDrawGrid::PointerEntered()
{
    inside_ = true;
    rememberedCol_ = -1;
    rememberedRow_ = -1;
}

// The remembered cell stays: only the next entry forgets it.
void TcpDrawGrid::PointerLeft()
{
    inside_ = false;
    if (rememberedCol_ == -1)
        return;
    const int col = rememberedCol_, row = rememberedRow_;
    emit mouseLeaveCell(col, row);
    emit mouseLeave(col, row);
}

void TcpDrawGrid::PointerMovedTo(const QPoint &pos)
{
    const QPoint cell = CellAt(pos);
    const int col = cell.x(), row = cell.y();
    if (col < 0 || row < 0 || (col == rememberedCol_ && row == rememberedRow_))
        return;
    if (rememberedCol_ == -1)
        emit mouseEnter(col, row);
    else
        emit mouseLeaveCell(rememberedCol_, rememberedRow_);
    rememberedCol_ = col;
    rememberedRow_ = row;
    emit mouseEnterCell(col, row);
}

void TcpDrawGrid::TrackHeldPointer(const QPoint &pos)
{
    const bool over = rect().contains(pos);
    if (inside_ && !over)
        PointerLeft();
    else if (!inside_ && over)
        PointerEntered();
}

void TcpDrawGrid::enterEvent(QEnterEvent *event)
{
    if (!inside_)
        PointerEntered();
    QWidget::enterEvent(event);
}

void TcpDrawGrid::leaveEvent(QEvent *event)
{
    if (inside_)
        PointerLeft();
    QWidget::leaveEvent(event);
}

void TcpDrawGrid::mouseMoveEvent(QMouseEvent *event)
{
    HideCursorOnPointerMove(event->globalPosition());
    const QPoint pos = event->position().toPoint();
    if (event->buttons() != Qt::NoButton)
        TrackHeldPointer(pos);
    else if (!inside_)
        PointerEntered(); // a move without a button only comes from over us,
                          // so the Enter is still to come: forget the old cell now
    PointerMovedTo(pos);
    emit mouseMove(event);
}

void TcpDrawGrid::mousePressEvent(QMouseEvent *event)
{
    pointerSeen_ = event->globalPosition();
    emit mouseDown(event);
}

void TcpDrawGrid::mouseReleaseEvent(QMouseEvent *event)
{
    emit mouseUp(event);
}

void TcpDrawGrid::keyPressEvent(QKeyEvent *event)
{
    if (event->text().isEmpty() ||
        !isSignalConnected(QMetaMethod::fromSignal(&TcpDrawGrid::keyPressed))) {
        QWidget::keyPressEvent(event);
        return;
    }
    emit keyPressed(event->text().at(0));
}
