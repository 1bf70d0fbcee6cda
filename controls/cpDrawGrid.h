#pragma once

// TcpDrawGrid: an owner-drawn grid of board cells that tracks the pointer.

#include "base/Constants.h"

#include <QPoint>
#include <QRect>
#include <QWidget>

#include <optional>

class QPainter;

// TcpDrawGrid: an owner-drawn grid of 17 x 17 cells without lines, borders or
// scroll bars that tells its owner which cell the pointer is over.
//
// On every move onto a cell other than the remembered one it signals, in
// this order, mouseEnter (no cell remembered) or mouseLeaveCell (the old
// cell), then mouseEnterCell (the new cell), and only then mouseMove.
// Leaving the control signals mouseLeaveCell and mouseLeave for the
// remembered cell; entering it forgets the remembered cell.  All of this also
// holds while a button pressed in the grid is held and the pointer is
// dragged out and back in.
//
// A keyboard cursor may mark one cell with a frame of dark and light lines,
// which shows on a cell of any colour; the pointer moving over the grid
// takes it away, since then the pointer says where the player is.
class TcpDrawGrid : public QWidget
{
    Q_OBJECT

public:
    explicit TcpDrawGrid(QWidget *parent = nullptr);
    ~TcpDrawGrid() override;

    // 16 x 16 at creation; at least 1 each.  The grid does not resize itself:
    // FitToCells() gives it exactly the size of its cells.
    int ColCount() const { return colCount_; }
    void SetColCount(int count);
    int RowCount() const { return rowCount_; }
    void SetRowCount(int count);
    void FitToCells();
    QSize CellsSize() const;

    // The cell under a point of the control, or (-1, -1) over no cell.
    void MouseToCell(int x, int y, int &col, int &row) const;
    QPoint CellAt(const QPoint &pos) const;
    QRect CellRect(int col, int row) const;

    // Paints one cell, or every cell, before returning (through DrawCell).
    void RepaintCell(int col, int row);
    void RepaintAll();

    // The cell the pointer was last seen on, (-1, -1) for none.
    QPoint RememberedCell() const { return QPoint(rememberedCol_, rememberedRow_); }

    QSize sizeHint() const override { return CellsSize(); }

    // The keyboard cursor's cell, if it shows.  Setting it repaints the cell
    // it leaves and the one it marks, and says cursorMoved when it changes;
    // a cell off the grid hides it.
    std::optional<QPoint> CursorCell() const { return cursor_; }
    void SetCursorCell(std::optional<QPoint> cell);

signals:
    // Asks the owner to paint one cell.  Connect it directly: the painter
    // is only valid during the call.  With nothing connected a cell is
    // filled with the base colour.
    void drawCell(QPainter &canvas, int col, int row, const QRect &rect);
    void mouseDown(QMouseEvent *event);
    void mouseMove(QMouseEvent *event);
    void mouseUp(QMouseEvent *event);
    // A character typed while the grid has the focus.  Keys that type no
    // character, and every key while nothing is connected, go on to the
    // parent as usual.
    void keyPressed(QChar key);
    void mouseEnterCell(int col, int row);
    void mouseLeaveCell(int col, int row);
    void mouseEnter(int col, int row);
    void mouseLeave(int col, int row);
    void cursorMoved(std::optional<QPoint> cell);

protected:
    // Paints one cell; the default emits drawCell.
    virtual void DrawCell(QPainter &canvas, int col, int row, const QRect &rect);
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void PointerEntered();
    void PointerLeft();
    void PointerMovedTo(const QPoint &pos);
    void TrackHeldPointer(const QPoint &pos);
    void PaintCells(QPainter &painter, const QRect &area);
    void DrawCursorFrame(QPainter &painter, const QRect &cell);
    void HideCursorOnPointerMove(const QPointF &globalPos);

    int colCount_ = 16;
    int rowCount_ = 16;
    int rememberedCol_ = -1;
    int rememberedRow_ = -1;
    // Whether the pointer is over the control.  While a button pressed here
    // is held Qt sends no Enter/Leave, so then this follows the moves, and
    // the Enter/Leave Qt sends late after the release are not repeated.
    bool inside_ = false;
    std::optional<QPoint> cursor_;
    // Where the pointer was last seen, so that the moves Qt makes up when
    // something changes under a still pointer do not hide the cursor.
    std::optional<QPointF> pointerSeen_;
};
