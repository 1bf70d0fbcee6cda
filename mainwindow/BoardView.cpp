#include "mainwindow/BoardView.h"

#include "base/MessageBox.h"
#include "controls/Fonts.h"
#include "controls/GridCursor.h"
#include "controls/Resources.h"
#include "model/MineGame.h"

#include <QAccessible>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <cmath>

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

// The tiles' designed edges: two pixels on each side (a light line and a
// shadow line, or a dotted separator).
constexpr int TileEdge = 2;

// The pixel of a 17-pixel tile that device pixel `i` of `length` shows,
// when each edge pixel takes `thickness` device pixels and the inside
// stretches over the rest.
int SourcePixel(int i, int length, int thickness)
{
    const int edge = TileEdge * thickness;
    if (i < edge)
        return i / thickness;
    if (i >= length - edge)
        return CellSize - 1 - (length - 1 - i) / thickness;
    const int inside = CellSize - 2 * TileEdge;
    return TileEdge + int((i - edge + 0.5) * inside / (length - 2 * edge));
}

// `tile` at `size` device pixels with edges `thickness` pixels wide: tiles
// one pixel wider or narrower than their neighbours differ only inside.
QImage EvenTile(const QImage &tile, QSize size, int thickness)
{
    const int least = 2 * TileEdge * thickness + 1;
    if (size.width() < least || size.height() < least)
        return tile.scaled(size);
    QImage even(size, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            even.setPixel(x, y,
                          tile.pixel(SourcePixel(x, size.width(), thickness),
                                     SourcePixel(y, size.height(), thickness)));
    return even;
}
} // namespace

TBoardView::TBoardView(TMineGame &game, QWidget *parent) : TcpDrawGrid(parent), Game(game)
{
    setObjectName(QStringLiteral("MineGrid"));
    const QList<QPixmap> tiles = LoadTiles();
    for (int i = 0; i < tiles.size() && i < TileCount; ++i)
        Tiles[i] = tiles.at(i);
    XCrossCursor = LoadXCrossCursor();

    CrossShown = game.Model().CrossPointer;

    connect(&game, &TMineGame::cellsChanged, this, &TBoardView::RepaintCells);
    connect(&game, &TMineGame::boardChanged, this, &TBoardView::RepaintBoard);
    connect(&game, &TMineGame::optionsChanged, this, &TBoardView::FollowOptions);
    ConnectGrid();
}

void TBoardView::ConnectGrid()
{
    auto shift = [](QMouseEvent *event) { return bool(event->modifiers() & Qt::ShiftModifier); };
    connect(this, &TcpDrawGrid::mouseDown, this, [this, shift](QMouseEvent *event) {
        const QPoint pos = event->position().toPoint();
        MineGridMouseDown(event->button(), shift(event), pos.x(), pos.y());
    });
    connect(this, &TcpDrawGrid::mouseUp, this, [this, shift](QMouseEvent *event) {
        const QPoint pos = event->position().toPoint();
        MineGridMouseUp(event->button(), shift(event), pos.x(), pos.y());
    });
    connect(this, &TcpDrawGrid::mouseMove, this, [this](QMouseEvent *event) {
        const QPoint pos = event->position().toPoint();
        MineGridMouseMove(event->buttons(), pos.x(), pos.y());
    });
    connect(this, &TcpDrawGrid::keyPressed, this, &TBoardView::MineGridKeyPress);
    connect(this, &TcpDrawGrid::cursorMoved, this, &TBoardView::AnnounceCursor);
    // Entering the board comes with entering its cell; leaving a cell for
    // another comes with entering that one.
    connect(this, &TcpDrawGrid::mouseEnterCell, this, &TBoardView::MineGridMouseEnterCell);
    connect(this, &TcpDrawGrid::mouseLeave, this, &TBoardView::MineGridMouseLeave);
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

// The cross-pointer option shows at once, even on a paused board; a change
// of another option leaves the pointer as the pause set it.
void TBoardView::FollowOptions()
{
    if (Game.Model().CrossPointer == CrossShown)
        return;
    CrossShown = Game.Model().CrossPointer;
    ShowPointerOption();
}

// --- Painting ----------------------------------------------------------------

int TBoardView::TileFor(int col, int row) const
{
    return TileForCell(Game.Cell(col, row), Game.State(), Game.PressedCell() == QPoint(col, row));
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
    DrawTile(canvas, col, row, TileFor(col, row));
    const TMineField &cell = Game.Cell(col, row);
    if (!Game.IsPaused() && cell.State == msOpen && cell.MinesAround > 0 && !cell.IsMine)
        DrawDigit(canvas, col, row, cell.MinesAround);
}

// At a whole number of screen pixels per pixel every tile is the design
// scaled alike.  At a fractional scale (1.5) the cells cover 25 and 26 screen
// pixels by turns, and a scaled picture would give the tiles' one-pixel
// edges one or two pixels by turns; each tile is drawn at the screen's own
// pixels instead, with edges of one width everywhere.
void TBoardView::DrawTile(QPainter &canvas, int col, int row, int tile)
{
    const QPoint place(col * CellSize, row * CellSize);
    const QTransform toDevice = canvas.deviceTransform();
    const qreal ratio = toDevice.m11();
    if (toDevice.type() > QTransform::TxScale || ratio != toDevice.m22() ||
        ratio == std::round(ratio)) {
        canvas.drawPixmap(place, Tiles[tile]);
        return;
    }
    const QPoint topLeft = toDevice.map(QPointF(place)).toPoint();
    const QPoint bottomRight = toDevice.map(QPointF(place + QPoint(CellSize, CellSize))).toPoint();
    const QPixmap &even = DeviceTile(
        tile, QSize(bottomRight.x() - topLeft.x(), bottomRight.y() - topLeft.y()), ratio);
    canvas.save();
    canvas.setWorldTransform(toDevice.inverted(), true);
    canvas.drawPixmap(topLeft, even);
    canvas.restore();
}

const QPixmap &TBoardView::DeviceTile(int tile, QSize size, qreal ratio)
{
    if (ratio != DeviceTilesRatio) {
        DeviceTiles.clear();
        DeviceTilesRatio = ratio;
    }
    const quint64 key = (quint64(tile) << 32) | (quint64(size.width()) << 16) | size.height();
    auto found = DeviceTiles.find(key);
    if (found == DeviceTiles.end()) {
        const int thickness = std::max(1, int(std::lround(ratio)));
        found = DeviceTiles.insert(
            key, QPixmap::fromImage(EvenTile(Tiles[tile].toImage(), size, thickness)));
    }
    return *found;
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
    AnnounceCells(cells);
}

void TBoardView::RepaintBoard()
{
    RepaintAll();
    AnnounceCells({});
    AnnounceEnd();
}

// --- Input -------------------------------------------------------------------

std::optional<QPoint> TBoardView::CellUnder(int x, int y) const
{
    const TMines &model = Game.Model();
    if (x < 0 || y < 0 || x >= model.Cols * CellSize || y >= model.Rows * CellSize)
        return std::nullopt;
    return QPoint(x / CellSize, y / CellSize);
}

TBoardPress TBoardView::PressAt(Qt::MouseButton button, bool shift, int x, int y) const
{
    TBoardPress press{button, CellUnder(x, y), shift, {}};
    const QPoint arms[] = {{x - ProbeReach, y - ProbeReach},
                           {x + ProbeReach, y - ProbeReach},
                           {x - ProbeReach, y + ProbeReach},
                           {x + ProbeReach, y + ProbeReach}};
    for (const QPoint &arm : arms) {
        const std::optional<QPoint> probe = CellUnder(arm.x(), arm.y());
        if (probe && probe != press.Cell)
            press.Arms.append(*probe);
    }
    return press;
}

void TBoardView::MineGridMouseDown(Qt::MouseButton button, bool shift, int x, int y)
{
    if (const std::optional<QPoint> cell = CellUnder(x, y))
        LastPressed = cell;
    Game.Press(PressAt(button, shift, x, y));
}

void TBoardView::MineGridMouseUp(Qt::MouseButton button, bool shift, int x, int y)
{
    Game.Release(PressAt(button, shift, x, y));
}

// A press that left the board may end out of the board's sight: it ends as
// a release off the board, opening nothing.
void TBoardView::MineGridMouseMove(Qt::MouseButtons buttons, int, int)
{
    if (Game.PressState() == TPressState::psLeftBoard && !(buttons & Qt::LeftButton))
        Game.Release(TBoardPress{});
}

void TBoardView::MineGridMouseEnterCell(int col, int row)
{
    Game.MovePress(QPoint(col, row));
}

void TBoardView::MineGridMouseLeave(int, int)
{
    Game.MovePress(std::nullopt);
}

// A key typed on the board says which it was.
void TBoardView::MineGridKeyPress(QChar key)
{
    ShowMessage(TMsgType::mtInformation, QStringLiteral("%1 = (%2)").arg(key).arg(key.unicode()));
}

// --- The keyboard cursor -----------------------------------------------------

TBoardPress TBoardView::CursorPress() const
{
    const std::optional<QPoint> cell = CursorCell();
    if (!cell)
        return TBoardPress{HeldButton, std::nullopt, HeldShift, {}};
    return PressAt(HeldButton, HeldShift, cell->x() * CellSize + CellSize / 2,
                   cell->y() * CellSize + CellSize / 2);
}

void TBoardView::keyPressEvent(QKeyEvent *event)
{
    if (MoveCursorByKey(*event) || PressByKey(*event))
        return;
    TcpDrawGrid::keyPressEvent(event);
}

// The cursor keys are the board's even when they move nothing, so that they
// never carry the focus away from it.
bool TBoardView::MoveCursorByKey(const QKeyEvent &event)
{
    const std::optional<TCursorStep> step = TGridCursor::StepForKey(event.key());
    if (!step)
        return false;
    if (Game.IsPaused())
        return true;
    const TMines &model = Game.Model();
    const QSize board(model.Cols, model.Rows);
    if (!CursorCell()) {
        const QPoint middle(model.Cols / 2, model.Rows / 2);
        SetCursorCell(LastPressed.value_or(middle));
        return true;
    }
    SetCursorCell(TGridCursor::Step(*CursorCell(), *step, board, !model.Borders));
    if (HeldKey && HeldButton == Qt::LeftButton)
        Game.MovePress(CursorCell());
    return true;
}

bool TBoardView::PressByKey(const QKeyEvent &event)
{
    const int key = event.key();
    const bool opens = key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
    const bool marks = key == Qt::Key_F || key == Qt::Key_Menu;
    const Qt::KeyboardModifiers held = event.modifiers() & ~Qt::KeypadModifier;
    if (!CursorCell() || !(opens || marks) || (held & ~Qt::ShiftModifier))
        return false;
    if (event.isAutoRepeat() || HeldKey)
        return true;
    HeldKey = key;
    HeldButton = opens ? Qt::LeftButton : Qt::RightButton;
    HeldShift = key == Qt::Key_Space && (held & Qt::ShiftModifier);
    Game.Press(CursorPress());
    return true;
}

void TBoardView::keyReleaseEvent(QKeyEvent *event)
{
    if (HeldKey && event->key() == HeldKey && !event->isAutoRepeat()) {
        ReleaseHeldKey();
        return;
    }
    TcpDrawGrid::keyReleaseEvent(event);
}

void TBoardView::ReleaseHeldKey()
{
    const TBoardPress release = CursorPress();
    HeldKey = 0;
    Game.Release(release);
}

// A key let go elsewhere ends its press off the board, as a mouse button
// let go off it does.
void TBoardView::focusOutEvent(QFocusEvent *event)
{
    if (HeldKey) {
        const Qt::MouseButton button = HeldButton;
        HeldKey = 0;
        Game.Release(TBoardPress{button, std::nullopt, false, {}});
    }
    TcpDrawGrid::focusOutEvent(event);
}

// The menu key has already acted as a right click.
void TBoardView::contextMenuEvent(QContextMenuEvent *event)
{
    event->accept();
}

// --- What a screen reader hears ----------------------------------------------

QString TBoardView::CellShows(const TMineField &cell, quint8 gameState)
{
    switch (TileForCell(cell, gameState, false)) {
    case tiQuestion:
        return QStringLiteral("question mark");
    case tiMine:
        return cell.State == msFlagged ? QStringLiteral("flag") : QStringLiteral("mine");
    case tiFoundMine:
        return QStringLiteral("mine");
    case tiExploded:
        return QStringLiteral("exploded mine");
    case tiWrongFlag:
        return QStringLiteral("wrong flag");
    case tiOpen:
        return cell.MinesAround > 0 ? QString::number(cell.MinesAround) : QStringLiteral("empty");
    default:
        return QStringLiteral("covered");
    }
}

void TBoardView::AnnounceCells(const QList<QPoint> &cells)
{
    if (!QAccessible::isActive())
        return;
    const TMines &model = Game.Model();
    auto words = [this](int col, int row) { return CellShows(Game.Cell(col, row), Game.State()); };
    auto announce = [this, &model](int col, int row) {
        QAccessibleEvent changed(this, QAccessible::NameChanged);
        changed.setChild(row * model.Cols + col);
        QAccessible::updateAccessibility(&changed);
    };
    // The first time anyone listens, or on a board of a new size, the words
    // are learnt as they stand and only the cells given are told.
    if (Spoken.size() != model.Cols * model.Rows) {
        Spoken.clear();
        for (int row = 0; row < model.Rows; ++row)
            for (int col = 0; col < model.Cols; ++col)
                Spoken << words(col, row);
        for (const QPoint &cell : cells)
            announce(cell.x(), cell.y());
        return;
    }
    auto follow = [&](int col, int row) {
        QString &said = Spoken[row * model.Cols + col];
        const QString now = words(col, row);
        if (said == now)
            return;
        said = now;
        announce(col, row);
    };
    if (!cells.isEmpty()) {
        for (const QPoint &cell : cells)
            follow(cell.x(), cell.y());
        return;
    }
    for (int row = 0; row < model.Rows; ++row)
        for (int col = 0; col < model.Cols; ++col)
            follow(col, row);
}

void TBoardView::AnnounceCursor(std::optional<QPoint> cell)
{
    if (!cell || !hasFocus() || !QAccessible::isActive())
        return;
    QAccessibleEvent focus(this, QAccessible::Focus);
    focus.setChild(cell->y() * Game.Model().Cols + cell->x());
    QAccessible::updateAccessibility(&focus);
}

// The end of a game goes into the board's description, which a screen
// reader speaks when it changes on the focused control.
void TBoardView::AnnounceEnd()
{
    if (Game.IsOver() == WasOver)
        return;
    WasOver = Game.IsOver();
    if (!WasOver)
        setAccessibleDescription(QString());
    else if (Game.Model().IsWon())
        setAccessibleDescription(QStringLiteral("Game won in %1 seconds").arg(Game.ShownSeconds()));
    else
        setAccessibleDescription(QStringLiteral("Game lost"));
}
