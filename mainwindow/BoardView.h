#pragma once

// TBoardView: the board grid of the main window; paints the game's cells as
// tiles and turns presses on them into the game's moves.

#include "controls/cpDrawGrid.h"

#include <QCursor>
#include <QPixmap>

class TMineGame;
class TMineField;

// A left press held with "Windows press" on: over the board, or held while
// the pointer has left it.
enum class TPressState { psNone, psPressed, psLeftBoard };

class TBoardView : public TcpDrawGrid
{
    Q_OBJECT

public:
    TBoardView(TMineGame &game, QWidget *parent = nullptr);

    // Gives the grid the game's columns and rows and their exact size.
    void FitBoard();
    // Active: the cross-hair pointer when the option is on; inactive (paused)
    // always the arrow.
    void SetActive(bool active);
    // The pointer as the cross-pointer option says, at once, paused or not.
    void ShowPointerOption();

    // The tile the cell shows now (FerroxRes::TTile).
    int TileFor(int col, int row) const;
    // The tile of a cell in a game phase (TGameStateFlag bits), pressed or not.
    static int TileForCell(const TMineField &cell, quint8 gameState, bool pressed);
    const QPixmap &Tile(int tile) const { return Tiles[tile]; }
    void RepaintCell(int col, int row);
    void RepaintCells(const QList<QPoint> &cells);
    void RepaintBoard();

    // The board's mouse handlers; x and y are pixels of the grid.
    void MouseDown(Qt::MouseButton button, bool shift, int x, int y);
    void MouseUp(Qt::MouseButton button, bool shift, int x, int y);
    void MouseMove(Qt::MouseButtons buttons);
    void MouseEnter(int col, int row);
    void MouseLeave();
    void MouseEnterCell(int col, int row);
    void MouseLeaveCell(int col, int row);
    // Opens the cell under (x, y), with the cross pointer's probes on Shift.
    void OpenAtPoint(int x, int y, bool shift);

    TPressState PressState() const { return Press; }
    QPoint PressedCell() const { return Pressed; }
    QPoint CurrentCell() const { return Current; }

protected:
    void DrawCell(QPainter &canvas, int col, int row, const QRect &rect) override;

private:
    bool CellUnder(int x, int y, QPoint &cell) const;
    void MoveCurrentCell(QPoint cell);
    void PressCell(QPoint cell);
    void DrawDigit(QPainter &canvas, int col, int row, int minesAround);

    TMineGame &Game;
    QPixmap Tiles[9];
    QCursor XCrossCursor;
    TPressState Press = TPressState::psNone;
    QPoint Pressed{0, 0};
    QPoint Current{0, 0};
};
