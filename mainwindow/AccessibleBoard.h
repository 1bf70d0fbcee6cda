#pragma once

// TAccessibleBoard: the board as a screen reader sees it, a table of cells
// named by column and row and what they show; and the factory that gives
// the program's own widgets their accessible interfaces.

#include <QAccessibleWidget>
#include <QHash>

class TBoardView;

class TAccessibleBoard : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit TAccessibleBoard(TBoardView *view);
    ~TAccessibleBoard() override;

    // Installs the factory for the board, the title panel and the controls;
    // again is harmless.  Before the first window is made.
    static void InstallFactory();
    // A cell's name: its column as letters (A..Z, AA..), its row from 1,
    // then what it shows, as in "C4, 2".
    static QString CellName(const TBoardView &view, int col, int row);

    // QAccessibleInterface
    void *interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text kind) const override;
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;

    // QAccessibleTableInterface: nothing is ever selected.
    QAccessibleInterface *caption() const override { return nullptr; }
    QAccessibleInterface *summary() const override { return nullptr; }
    QAccessibleInterface *cellAt(int row, int column) const override;
    int selectedCellCount() const override { return 0; }
    QList<QAccessibleInterface *> selectedCells() const override { return {}; }
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override;
    int rowCount() const override;
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent *) override {}

private:
    TBoardView *View() const;

    // The cells asked for so far, by column and row; Qt's registry owns them.
    mutable QHash<quint64, QAccessible::Id> Cells;
};
