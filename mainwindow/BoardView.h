#pragma once

// TBoardView: the board grid of the main window; paints the game's cells as
// tiles and hands the player's presses on them to the game, which decides
// what they do.  A keyboard cursor stands in for the mouse: the arrows,
// Home/End and Page Up/Down move it, Space or Enter is a left click on its
// cell (Shift+Space a Shift-click at the cell's centre), F or the menu key a
// right click; each press lasts as long as its key is held.

#include "controls/cpDrawGrid.h"

#include <QCursor>
#include <QHash>
#include <QPixmap>
#include <QStringList>

#include <optional>

class TMineGame;
class TMineField;
struct TBoardPress;

class TBoardView : public TcpDrawGrid
{
    Q_OBJECT

public:
    // Paints what `game` announces and forwards presses to it; the pointer
    // follows its cross-pointer option.
    TBoardView(TMineGame &game, QWidget *parent = nullptr);

    // Gives the grid the game's columns and rows and their exact size.
    void FitBoard();
    // Active: the cross-hair pointer when the option is on; inactive (paused)
    // always the arrow.
    void SetActive(bool active);

    // The tile of a cell in a game phase (TGameStateFlag bits), pressed or not.
    static int TileForCell(const TMineField &cell, quint8 gameState, bool pressed);
    // What a cell shows in words ("covered", "flag", "2", "empty", ...).
    static QString CellShows(const TMineField &cell, quint8 gameState);
    const TMineGame &ShownGame() const { return Game; }
    // Tile `tile` (FerroxRes::TTile) as designed, 17 x 17.
    const QPixmap &Tile(int tile) const { return Tiles[tile]; }
    void RepaintCell(int col, int row);
    void RepaintCells(const QList<QPoint> &cells);
    void RepaintBoard();

protected:
    void DrawCell(QPainter &canvas, int col, int row, const QRect &rect) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private slots:
    // The grid's events; x and y are pixels of the grid.
    void MineGridMouseDown(Qt::MouseButton button, bool shift, int x, int y);
    void MineGridMouseUp(Qt::MouseButton button, bool shift, int x, int y);
    void MineGridMouseMove(Qt::MouseButtons buttons, int x, int y);
    void MineGridMouseEnterCell(int col, int row);
    void MineGridMouseLeave(int col, int row);
    void MineGridKeyPress(QChar key);
    void FollowOptions();

private:
    void ConnectGrid();
    int TileFor(int col, int row) const;
    void DrawTile(QPainter &canvas, int col, int row, int tile);
    const QPixmap &DeviceTile(int tile, QSize size, qreal ratio);
    void DrawDigit(QPainter &canvas, int col, int row, int minesAround);
    void ShowPointerOption();
    std::optional<QPoint> CellUnder(int x, int y) const;
    // The press at pixel (x, y) as the game takes it.
    TBoardPress PressAt(Qt::MouseButton button, bool shift, int x, int y) const;
    // The press of the cursor's key at its cell's centre; off the board when
    // the cursor has gone meanwhile.
    TBoardPress CursorPress() const;
    bool MoveCursorByKey(const QKeyEvent &event);
    bool PressByKey(const QKeyEvent &event);
    void ReleaseHeldKey();
    // Tells a screen reader of cells whose words changed (every cell for
    // none given), of the cursor's cell, and of the game's end.
    void AnnounceCells(const QList<QPoint> &cells);
    void AnnounceCursor(std::optional<QPoint> cell);
    void AnnounceEnd();

    TMineGame &Game;
    QPixmap Tiles[9];
    // The tiles as drawn at a fractional scale, by tile and size in pixels
    // of the screen, for the scale in DeviceTilesRatio.
    QHash<quint64, QPixmap> DeviceTiles;
    qreal DeviceTilesRatio = 0;
    QCursor XCrossCursor;
    bool CrossShown = false;
    // Where the cursor first shows: the cell last pressed with the mouse.
    std::optional<QPoint> LastPressed;
    // The key of the press the cursor holds (0 for none), and that press.
    int HeldKey = 0;
    Qt::MouseButton HeldButton = Qt::LeftButton;
    bool HeldShift = false;
    // The words each cell last said, row by row, while anyone listens.
    QStringList Spoken;
    bool WasOver = false;
};
