#include "mainwindow/BoardView.h"
#include "controls/Fonts.h"

#include "controls/FormScaleUnit.h"
#include "controls/Resources.h"
#include "model/MineGame.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRegion>

#include <algorithm>

namespace
{
using namespace FerroxRes;

// The cross pointer's four arms end this far from its hot spot, diagonally.
constexpr int ProbeReach = 5;
constexpr int DigitIndent = 4;
const QColor DigitBackground(191, 191, 191);

QColor NumberColour(int minesAround)
{
    static const QColor colours[9] = {
        QColor(0, 0, 0),     QColor(0, 0, 255),     QColor(0, 128, 0),
        QColor(0, 255, 255), QColor(255, 0, 0),     QColor(128, 0, 128),
        QColor(255, 255, 0), QColor(255, 255, 255), QColor(128, 0, 0)};
    return colours[std::clamp(minesAround, 0, 8)];
}
} // namespace

TBoardView::TBoardView(TMineGame &game, QWidget *parent) : TcpDrawGrid(parent), Game(game)
{
    setObjectName(QStringLiteral("MineGrid"));
    const QList<QPixmap> tiles = LoadTiles();
    for (int i = 0; i < tiles.size() && i < TileCount; ++i)
        Tiles[i] = tiles.at(i);
    XCrossCursor = LoadXCrossCursor();

    setFont(PointFont(QStringLiteral("Courier New"), ScaledPoints(10), true));

    connect(&game, &TMineGame::cellsChanged, this, &TBoardView::RepaintCells);
    connect(&game, &TMineGame::boardChanged, this, &TBoardView::RepaintBoard);
}

void TBoardView::FitBoard()
{
    const TMines &model = Game.Model();
    SetColCount(model.Cols);
    SetRowCount(model.Rows);
    resize(model.Cols * CellSize, model.Rows * CellSize);
}

void TBoardView::SetActive(bool active)
{
    setCursor(active && Game.Model().CrossPointer ? XCrossCursor : QCursor(Qt::ArrowCursor));
}

void TBoardView::ShowPointerOption()
{
    setCursor(Game.Model().CrossPointer ? XCrossCursor : QCursor(Qt::ArrowCursor));
}

// --- Painting ----------------------------------------------------------------

int TBoardView::TileFor(int col, int row) const
{
    const bool pressed = Press == TPressState::psPressed && Pressed == QPoint(col, row);
    return TileForCell(Game.Cell(col, row), Game.State(), pressed);
}

int TBoardView::TileForCell(const TMineField &cell, quint8 gameState, bool pressed)
{
    if (gameState & gsPaused)
        return tiCovered;
    switch (cell.State) {
    case msOpen:
        return (gameState & gsOver) && cell.IsMine ? tiMine : tiOpen;
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

void TBoardView::DrawCell(QPainter &canvas, int col, int row, const QRect &)
{
    const TMines &model = Game.Model();
    if (col < 0 || row < 0 || col >= model.Cols || row >= model.Rows)
        return;
    canvas.drawPixmap(col * CellSize, row * CellSize, Tiles[TileFor(col, row)]);
    const TMineField &cell = Game.Cell(col, row);
    if (!Game.IsPaused() && cell.State == msOpen && cell.MinesAround > 0 && !cell.IsMine)
        DrawDigit(canvas, col, row, cell.MinesAround);
}

void TBoardView::DrawDigit(QPainter &canvas, int col, int row, int minesAround)
{
    const QString digit = QString::number(minesAround);
    canvas.setFont(font());
    const QFontMetrics metrics(canvas.font());
    const QRect box(col * CellSize + DigitIndent, row * CellSize, metrics.horizontalAdvance(digit),
                    metrics.height());
    canvas.fillRect(box, DigitBackground);
    canvas.setPen(NumberColour(minesAround));
    canvas.drawText(box, Qt::AlignLeft | Qt::AlignTop, digit);
}

void TBoardView::RepaintCell(int col, int row)
{
    TcpDrawGrid::RepaintCell(col, row);
}

void TBoardView::RepaintCells(const QList<QPoint> &cells)
{
    // One synchronous repaint of all the cells together: a flood fill over a
    // large board would otherwise put thousands of single-cell paints on the
    // screen one by one.  The grid paints the cells of the region only, not
    // of its bounding box.  The cells join the region row by row, left to
    // right: the order in which a region grows fastest.
    QList<QPoint> rowByRow = cells;
    std::sort(rowByRow.begin(), rowByRow.end(), [](const QPoint &a, const QPoint &b) {
        return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x();
    });
    QRegion changed;
    for (const QPoint &cell : std::as_const(rowByRow))
        changed += CellRect(cell.x(), cell.y());
    if (!changed.isEmpty())
        repaint(changed);
}

void TBoardView::RepaintBoard()
{
    RepaintAll();
}

// --- Input -------------------------------------------------------------------

bool TBoardView::CellUnder(int x, int y, QPoint &cell) const
{
    const TMines &model = Game.Model();
    if (x < 0 || y < 0 || x >= model.Cols * CellSize || y >= model.Rows * CellSize)
        return false;
    cell = QPoint(x / CellSize, y / CellSize);
    return true;
}

void TBoardView::MoveCurrentCell(QPoint cell)
{
    // Like a grid moving its focus: both cells are repainted once the event
    // has been handled, by which time a released press is no longer tracked.
    update(CellRect(Current.x(), Current.y()));
    Current = cell;
    update(CellRect(cell.x(), cell.y()));
}

void TBoardView::PressCell(QPoint cell)
{
    Pressed = cell;
    MoveCurrentCell(cell);
    RepaintCell(cell.x(), cell.y());
}

void TBoardView::MouseDown(Qt::MouseButton button, bool shift, int x, int y)
{
    if (button == Qt::RightButton && Game.IsOver()) {
        Game.NewGame();
        return;
    }
    if (Game.IsPaused() || !(Game.IsPlaying() || Game.IsFresh()))
        return;
    QPoint cell;
    if (!CellUnder(x, y, cell))
        return;
    Pressed = cell;
    if (button == Qt::RightButton) {
        // A fresh board has no mines to mark yet.
        if (!Game.IsFresh())
            Game.CycleMark(cell.x(), cell.y());
        return;
    }
    if (button != Qt::LeftButton)
        return;
    if (!Game.Model().WindowsPress) {
        const TMineState state = Game.Cell(cell.x(), cell.y()).State;
        if ((state == msCovered || state == msQuestion) && Game.IsFresh())
            Game.FirstOpening(cell.x(), cell.y());
        if (Game.Cell(cell.x(), cell.y()).State != msFlagged)
            OpenAtPoint(x, y, shift);
        return;
    }
    Press = TPressState::psPressed;
    RepaintCell(cell.x(), cell.y());
}

void TBoardView::MouseUp(Qt::MouseButton button, bool shift, int x, int y)
{
    if (Game.IsPaused() || Game.IsOver()) {
        // The board ignores the release, but the press it ends is over: a
        // press left tracked would make the pressed look follow the pointer
        // with no button held once the pause ends.
        if (button == Qt::LeftButton)
            Press = TPressState::psNone;
        return;
    }
    if (!Game.Model().WindowsPress) {
        MoveCurrentCell(Pressed);
        return;
    }
    if (button != Qt::LeftButton || Press == TPressState::psNone)
        return;
    QPoint cell;
    if (CellUnder(x, y, cell)) {
        MoveCurrentCell(cell);
        Pressed = cell;
        if (Game.IsFresh())
            Game.FirstOpening(cell.x(), cell.y());
        if (Game.Cell(cell.x(), cell.y()).State != msFlagged)
            OpenAtPoint(x, y, shift);
        RepaintCell(Current.x(), Current.y());
    }
    Press = TPressState::psNone;
}

void TBoardView::MouseMove(Qt::MouseButtons buttons)
{
    if (Press == TPressState::psLeftBoard && !(buttons & Qt::LeftButton))
        Press = TPressState::psNone;
}

void TBoardView::MouseEnterCell(int col, int row)
{
    if (Press == TPressState::psPressed)
        PressCell(QPoint(col, row));
}

void TBoardView::MouseLeaveCell(int col, int row)
{
    if (Press != TPressState::psPressed)
        return;
    // The cell is shown unpressed while the press itself goes on.
    Press = TPressState::psNone;
    RepaintCell(col, row);
    Press = TPressState::psPressed;
}

void TBoardView::MouseLeave()
{
    if (Press == TPressState::psPressed)
        Press = TPressState::psLeftBoard;
}

void TBoardView::MouseEnter(int col, int row)
{
    if (Press != TPressState::psLeftBoard)
        return;
    Press = TPressState::psPressed;
    PressCell(QPoint(col, row));
}

void TBoardView::OpenAtPoint(int x, int y, bool shift)
{
    QPoint cell;
    if (!CellUnder(x, y, cell))
        return;
    QList<QPoint> probes;
    if (Game.Model().CrossPointer && shift) {
        const QPoint arms[] = {{x - ProbeReach, y - ProbeReach},
                               {x + ProbeReach, y - ProbeReach},
                               {x - ProbeReach, y + ProbeReach},
                               {x + ProbeReach, y + ProbeReach}};
        for (const QPoint &arm : arms) {
            QPoint probe;
            if (CellUnder(arm.x(), arm.y(), probe) && probe != cell)
                probes.append(probe);
        }
    }
    Game.Open(cell.x(), cell.y(), probes);
}
