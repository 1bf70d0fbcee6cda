// What a screen reader finds in the main window (the events that tell of
// changes need a real accessibility bus: see accessibility_test.sh): the
// board as a table of named cells that follow the game and the cursor, the counters with their
// numbers, the title panel as a button, the panels' texts, the edge buttons
// by the way they turn the board, and the end of a game.

#include "FormFixture.h"

#include "dialogs/DlgCustom.h"
#include "dialogs/LicenseForm.h"
#include "dialogs/MAboutForm.h"
#include "mainwindow/AccessibleBoard.h"
#include "music/AudioSetupForm.h"
#include "music/MusicForm.h"
#include "music/PlayForm.h"

#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>

#include <QAccessible>
#include <QtTest>

namespace
{
QAccessibleInterface *Accessible(QObject *object)
{
    QAccessibleInterface *found = QAccessible::queryAccessibleInterface(object);
    if (!found)
        qFatal("no accessible interface");
    return found;
}

QString CellName(QAccessibleInterface *board, int col, int row)
{
    return board->tableInterface()->cellAt(row, col)->text(QAccessible::Name);
}

} // namespace

class AccessibilityTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TAccessibleBoard::InstallFactory(); }
    void boardIsATableOfNamedCells();
    void controlsAroundTheBoard();
    void secondaryWindowsNameEveryField();
};

void AccessibilityTest::boardIsATableOfNamedCells()
{
    FormFixture fixture;
    fixture.storeBoard(9, 8, 10);
    TMineForm &form = fixture.start();
    QVERIFY(fixture.lay({"**.......", "**.......", "**.......", "*........", ".........",
                         ".........", "......**.", "......*.."}));
    QAccessibleInterface *board = Accessible(form.Grid());
    QCOMPARE(board->role(), QAccessible::Table);
    QCOMPARE(board->tableInterface()->columnCount(), 9);
    QCOMPARE(board->tableInterface()->rowCount(), 8);
    QCOMPARE(board->childCount(), 72);
    QCOMPARE(CellName(board, 8, 0), QString("I1, covered"));
    QAccessibleInterface *cell = board->child(8);
    QCOMPARE(cell, board->tableInterface()->cellAt(0, 8));
    QCOMPARE(board->indexOfChild(cell), 8);
    QCOMPARE(cell->tableCellInterface()->columnIndex(), 8);

    fixture.click(8, 0);
    QCOMPARE(CellName(board, 8, 0), QString("I1, empty"));
    QCOMPARE(CellName(board, 2, 0), QString("C1, 2"));
    fixture.click(0, 0, Qt::RightButton);
    QCOMPARE(CellName(board, 0, 0), QString("A1, flag"));

    // The cursor's cell is the focused one.
    QTest::keyClick(form.Grid(), Qt::Key_Down);
    QTest::keyClick(form.Grid(), Qt::Key_Right);
    QCOMPARE(board->focusChild(), board->tableInterface()->cellAt(0, 1)); // from A1, clicked last
    QVERIFY(board->focusChild()->state().focused);

    // The end is said in the board's description; a new game takes it back.
    fixture.click(0, 1);
    QCOMPARE(CellName(board, 0, 1), QString("A2, exploded mine"));
    QCOMPARE(CellName(board, 0, 2), QString("A3, mine"));
    QCOMPARE(board->text(QAccessible::Description), QString("Game lost"));
    Find<QAction>(form, "MGNew")->trigger();
    QCOMPARE(board->text(QAccessible::Description), QString());
    QCOMPARE(CellName(board, 0, 2), QString("A3, covered"));
}

void AccessibilityTest::controlsAroundTheBoard()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    QVERIFY(fixture.lay(EasyBoard));
    fixture.click(7, 7, Qt::RightButton);

    QAccessibleInterface *mines = Accessible(Find<TCounter>(form, "MineCount"));
    QCOMPARE(mines->text(QAccessible::Name), QString("Mines left"));
    QCOMPARE(mines->valueInterface()->currentValue(), QVariant(9));
    QCOMPARE(Accessible(Find<TCounter>(form, "TimeCount"))->text(QAccessible::Name),
             QString("Time"));
    QAccessibleInterface *status = Accessible(Find<TStatusPanels>(form, "TheStatusBar"));
    QCOMPARE(status->role(), QAccessible::StatusBar);
    QVERIFY(status->text(QAccessible::Name).startsWith("Best Time: 999 by:"));
    QCOMPARE(Accessible(Find<TBevelPanel>(form, "DownPanel"))->text(QAccessible::Name),
             Find<TBevelPanel>(form, "DownPanel")->Caption());
    QAccessibleInterface *edge = Accessible(Find<TfxRepeatBtn>(form, "SpLeftUp"));
    QCOMPARE(edge->role(), QAccessible::Button);
    QCOMPARE(edge->text(QAccessible::Name), QString("Turn the board down and right"));

    QAccessibleInterface *title = Accessible(Find<TBevelPanel>(form, "UpPanel"));
    QCOMPARE(title->role(), QAccessible::Button);
    QCOMPARE(title->text(QAccessible::Name), QString("New game"));
    title->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QVERIFY(form.Game().IsFresh());
}

// Every field of the secondary windows has a name a screen reader says
// (its label's, through the label's buddy, or its own), and each window has
// a default button for Enter where it has buttons.
void AccessibilityTest::secondaryWindowsNameEveryField()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    std::vector<std::unique_ptr<QDialog>> windows;
    windows.emplace_back(new TDlgCustom(&form));
    windows.emplace_back(new TBestForm(&form));
    windows.emplace_back(new TPlayForm(fixture.sound, &form));
    windows.emplace_back(new TMusicForm(form.Music(), &form));
    windows.emplace_back(new TAudioSetupForm(fixture.sound, &form));
    windows.emplace_back(new TMAboutForm(fixture.sound, &form));
    windows.emplace_back(new TLicenseForm(&form));
    for (const auto &window : windows) {
        const QString title = window->metaObject()->className();
        for (QWidget *field : window->findChildren<QWidget *>()) {
            const bool isField =
                qobject_cast<QLineEdit *>(field) || qobject_cast<QAbstractSpinBox *>(field) ||
                qobject_cast<QComboBox *>(field) || qobject_cast<QAbstractSlider *>(field) ||
                qobject_cast<QListWidget *>(field) || qobject_cast<QPlainTextEdit *>(field);
            if (!isField || !field->isVisibleTo(window.get()) ||
                qobject_cast<QLineEdit *>(field->parentWidget()) ||
                qobject_cast<QAbstractSpinBox *>(field->parentWidget()) ||
                qobject_cast<QComboBox *>(field->parentWidget()))
                continue;
            QVERIFY2(!Accessible(field)->text(QAccessible::Name).isEmpty(),
                     qPrintable(title + " " + field->objectName()));
        }
        const QList<QPushButton *> buttons = window->findChildren<QPushButton *>();
        const bool hasDefault = std::any_of(buttons.begin(), buttons.end(), [](QPushButton *b) {
            return b->isDefault() || b->autoDefault();
        });
        QVERIFY2(buttons.isEmpty() || hasDefault, qPrintable(title));
    }
}

QTEST_MAIN(AccessibilityTest)
#include "test_accessibility.moc"
