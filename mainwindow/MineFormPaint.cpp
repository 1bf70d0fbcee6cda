// Board painting: one tile per cell, a digit over an open number.

#include "mainwindow/MineForm.h"

#include "controls/Resources.h"
#include "controls/cpDrawGrid.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRegion>

#include <algorithm>

namespace
{
using namespace FerroxRes;

constexpr int DigitIndent = 4;
const QColor DigitBackground(191, 191, 191);

QColor NumberColour(int minesAround)
{
    static const QColor colours[9] = {
        QColor(0, 0, 0),     QColor(0, 0, 255),     QColor(0, 128, 0),
        QColor(0, 255, 255), QColor(255, 0, 0),     QColor(128, 0, 128),
        QColor(255, 255, 0), QColor(255, 255, 255), QColor(128, 0, 0)};
    return colours[minesAround];
}
} // namespace

int TMineForm::TileFor(int col, int row) const
{
    if (GameState & gsPaused)
        return tiCovered;
    const TMineField &cell = *Mines->Cells[col][row];
    const bool pressed = PressState == 1 && col == PressedCol && row == PressedRow;
    switch (cell.State) {
    case msOpen:
        return (GameState & gsOver) && cell.IsMine ? tiMine : tiOpen;
    case msCovered:
        return pressed ? tiPressed : tiCovered;
    case msFlagged:
        return tiMine;
    case msQuestion:
        return pressed ? tiQuestionPressed : tiQuestion;
    case msExploded:
        return tiExploded;
    case msWrongFlag:
        return tiWrongFlag;
    case msFoundMine:
        return tiFoundMine;
    }
    return tiCovered;
}

void TMineForm::MineGridDrawCell(QPainter &canvas, int col, int row)
{
    if (col < 0 || row < 0 || col >= Mines->Cols || row >= Mines->Rows)
        return;
    const int left = col * CellSize;
    const int top = row * CellSize;
    canvas.drawPixmap(left, top, Tiles[TileFor(col, row)]);

    const TMineField &cell = *Mines->Cells[col][row];
    if ((GameState & gsPaused) || cell.State != msOpen || cell.MinesAround < 1 || cell.IsMine)
        return;
    const QString digit = QString::number(cell.MinesAround);
    canvas.setFont(MineGrid->font());
    const QFontMetrics metrics(canvas.font());
    const QRect box(left + DigitIndent, top, metrics.horizontalAdvance(digit), metrics.height());
    canvas.fillRect(box, DigitBackground);
    canvas.setPen(NumberColour(std::min<int>(cell.MinesAround, 8)));
    canvas.drawText(box, Qt::AlignLeft | Qt::AlignTop, digit);
}

void TMineForm::RepaintCell(int col, int row)
{
    MineGrid->RepaintCell(col, row);
}

void TMineForm::RepaintChanged()
{
    // One synchronous repaint of all uncovered cells together: a flood fill
    // over a large board would otherwise put thousands of single-cell paints
    // on the screen one by one.  The grid paints the cells of the region
    // only, not of its bounding box.  The cells join the region row by row,
    // left to right, the order in which a region grows fastest.
    QList<QPoint> cells;
    cells.reserve(Mines->ChangedCells.size());
    while (!Mines->ChangedCells.isEmpty()) {
        const TMineField *cell = Mines->ChangedCells.takeLast();
        cells.append(QPoint(cell->Col, cell->Row));
    }
    std::sort(cells.begin(), cells.end(), [](const QPoint &a, const QPoint &b) {
        return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x();
    });
    QRegion changed;
    for (const QPoint &cell : cells)
        changed += MineGrid->CellRect(cell.x(), cell.y());
    if (!changed.isEmpty())
        MineGrid->repaint(changed);
}

void TMineForm::RepaintBoard()
{
    MineGrid->RepaintAll();
}
