#include "mainwindow/AccessibleBoard.h"

#include "base/Constants.h"
#include "controls/AccessibleControl.h"
#include "controls/BevelPanel.h"
#include "mainwindow/BoardView.h"
#include "model/MineGame.h"

#include <QPointer>
#include <QWidget>

#include <utility>

namespace
{
// One cell of the board: it holds only its place and asks the board for
// the rest, so it stays right through every change of the game.
class TAccessibleCell : public QAccessibleInterface, public QAccessibleTableCellInterface
{
public:
    TAccessibleCell(TAccessibleBoard *board, TBoardView *view, int col, int row)
        : Board(board), View(view), Col(col), Row(row)
    {
    }

    bool isValid() const override
    {
        if (!View)
            return false;
        const TMines &model = View->ShownGame().Model();
        return Col < model.Cols && Row < model.Rows;
    }
    QObject *object() const override { return nullptr; }
    QAccessibleInterface *parent() const override { return Board; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Name && isValid() ? TAccessibleBoard::CellName(*View, Col, Row)
                                                      : QString();
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect cell = View->CellRect(Col, Row);
        return QRect(View->mapToGlobal(cell.topLeft()), cell.size());
    }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.focusable = true;
        state.focused = View && View->hasFocus() && View->CursorCell() == QPoint(Col, Row);
        state.invisible = !isValid() || !View->isVisible();
        return state;
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::TableCellInterface
                   ? static_cast<QAccessibleTableCellInterface *>(this)
                   : nullptr;
    }

    bool isSelected() const override { return false; }
    QList<QAccessibleInterface *> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface *> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return Col; }
    int rowIndex() const override { return Row; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface *table() const override { return Board; }

private:
    TAccessibleBoard *Board;
    QPointer<TBoardView> View;
    int Col, Row;
};

QString ColumnLetters(int col)
{
    QString letters;
    for (int n = col + 1; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(u'A' + (n - 1) % 26));
    return letters;
}

QAccessibleInterface *FerroxFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("TBoardView"))
        return new TAccessibleBoard(static_cast<TBoardView *>(object));
    if (className == QLatin1String("TTitlePanel")) {
        auto *panel = static_cast<TBevelPanel *>(object);
        return new TAccessibleControl(
            panel, QAccessible::Button, [] { return QStringLiteral("New game"); }, {},
            [panel] { emit panel->clicked(); });
    }
    // The frame around the board holds the pieces; it says nothing itself.
    if (className == QLatin1String("TBoardFrame"))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Pane);
    return TAccessibleControl::Create(className, object);
}
} // namespace

TAccessibleBoard::TAccessibleBoard(TBoardView *view) : QAccessibleWidget(view, QAccessible::Table)
{
}

TAccessibleBoard::~TAccessibleBoard()
{
    for (const QAccessible::Id id : std::as_const(Cells))
        QAccessible::deleteAccessibleInterface(id);
}

void TAccessibleBoard::InstallFactory()
{
    QAccessible::removeFactory(FerroxFactory);
    QAccessible::installFactory(FerroxFactory);
}

QString TAccessibleBoard::CellName(const TBoardView &view, int col, int row)
{
    const TMineGame &game = view.ShownGame();
    return QStringLiteral("%1%2, %3")
        .arg(ColumnLetters(col))
        .arg(row + 1)
        .arg(TBoardView::CellShows(game.Cell(col, row), game.State()));
}

TBoardView *TAccessibleBoard::View() const
{
    return static_cast<TBoardView *>(widget());
}

void *TAccessibleBoard::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString TAccessibleBoard::text(QAccessible::Text kind) const
{
    if (kind == QAccessible::Name && widget()->accessibleName().isEmpty())
        return QStringLiteral("Board");
    return QAccessibleWidget::text(kind);
}

int TAccessibleBoard::columnCount() const
{
    return View()->ShownGame().Model().Cols;
}

int TAccessibleBoard::rowCount() const
{
    return View()->ShownGame().Model().Rows;
}

int TAccessibleBoard::childCount() const
{
    return columnCount() * rowCount();
}

QAccessibleInterface *TAccessibleBoard::cellAt(int row, int column) const
{
    if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
        return nullptr;
    const quint64 key = (quint64(quint32(column)) << 32) | quint32(row);
    auto found = Cells.constFind(key);
    if (found != Cells.constEnd())
        return QAccessible::accessibleInterface(*found);
    auto *self = const_cast<TAccessibleBoard *>(this);
    QAccessibleInterface *cell = new TAccessibleCell(self, View(), column, row);
    Cells.insert(key, QAccessible::registerAccessibleInterface(cell));
    return cell;
}

QAccessibleInterface *TAccessibleBoard::child(int index) const
{
    const int cols = columnCount();
    if (index < 0 || index >= childCount())
        return nullptr;
    return cellAt(index / cols, index % cols);
}

int TAccessibleBoard::indexOfChild(const QAccessibleInterface *child) const
{
    auto *cell = const_cast<QAccessibleInterface *>(child)->tableCellInterface();
    if (!cell || child->parent() != this)
        return -1;
    return cell->rowIndex() * columnCount() + cell->columnIndex();
}

QAccessibleInterface *TAccessibleBoard::childAt(int x, int y) const
{
    const QPoint cell = View()->CellAt(View()->mapFromGlobal(QPoint(x, y)));
    return cell.x() < 0 ? nullptr : cellAt(cell.y(), cell.x());
}

QAccessibleInterface *TAccessibleBoard::focusChild() const
{
    const std::optional<QPoint> cursor = View()->CursorCell();
    if (!cursor || !View()->hasFocus())
        return nullptr;
    return cellAt(cursor->y(), cursor->x());
}

QString TAccessibleBoard::columnDescription(int column) const
{
    return ColumnLetters(column);
}

QString TAccessibleBoard::rowDescription(int row) const
{
    return QString::number(row + 1);
}
