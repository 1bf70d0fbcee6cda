// The board played from the keyboard: each key does what its click does at
// the cursor's cell, other characters still show their box, a pause stops
// the cursor, and the board keeps the focus.

#include "FormFixture.h"

#include "support/MessageRecorder.h"

#include <QtTest>

namespace
{
// EasyBoard with the mines beside the 3 at (2, 1) flagged and the 3 open.
const QStringList FlaggedThree = {"*F......", "*F3.....", "*F......", "*.......",
                                  "........", "........", "......**", "......*."};

struct TKeyCase {
    const char *Name;
    QStringList Picture;
    QPoint Cell;
    int Key;
    Qt::KeyboardModifiers Modifiers;
    Qt::MouseButton Button;
    const char *Option; // stored as on before the start, or null
};

struct TOutcome {
    QStringList Picture;
    quint8 State;
    QString MinesLeft;
    bool operator==(const TOutcome &) const = default;
};

QByteArray Told(const char *name, const TOutcome &outcome)
{
    return QByteArray(name) + ": " +
           (outcome.Picture.join(QLatin1Char('/')) +
            QStringLiteral(" state %1 mines %2").arg(outcome.State).arg(outcome.MinesLeft))
               .toUtf8();
}

QWidget *Board(TMineForm &form)
{
    return form.Grid();
}

void Key(TMineForm &form, int key, Qt::KeyboardModifiers modifiers = {})
{
    QTest::keyClick(Board(form), Qt::Key(key), modifiers);
}

// The cursor brought to `cell` with keys only: the first key shows it.
void CursorTo(TMineForm &form, QPoint cell)
{
    Key(form, Qt::Key_Down);
    Key(form, Qt::Key_Home);
    Key(form, Qt::Key_PageUp);
    for (int col = 0; col < cell.x(); ++col)
        Key(form, Qt::Key_Right);
    for (int row = 0; row < cell.y(); ++row)
        Key(form, Qt::Key_Down);
}

TOutcome Outcome(FormFixture &fixture)
{
    return {fixture.picture(), fixture.form->Game().State(),
            Find<TCounter>(*fixture.form, "MineCount")->Value()};
}
} // namespace

class KeyboardTest : public QObject
{
    Q_OBJECT

private slots:
    void keysActAsTheirClicks();
    void cursorStartsWhereThePlayerWas();
    void otherCharactersShowTheirBox();
    void pauseStopsTheCursor();
    void boardKeepsTheFocus();
};

// Each key on its board against the matching click on the same board.
void KeyboardTest::keysActAsTheirClicks()
{
    const TKeyCase cases[] = {
        {"Space opens", EasyBoard, {5, 2}, Qt::Key_Space, {}, Qt::LeftButton, nullptr},
        {"Enter clears a number's neighbours",
         FlaggedThree,
         {2, 1},
         Qt::Key_Return,
         {},
         Qt::LeftButton,
         "NEIGHBOURS"},
        {"F marks", EasyBoard, {5, 5}, Qt::Key_F, {}, Qt::RightButton, nullptr},
        {"the menu key marks", EasyBoard, {0, 0}, Qt::Key_Menu, {}, Qt::RightButton, nullptr},
        {"Shift+Space probes as a Shift-click",
         EasyBoard,
         {4, 4},
         Qt::Key_Space,
         Qt::ShiftModifier,
         Qt::LeftButton,
         "CROSS"},
        {"Space on a mine loses", EasyBoard, {0, 3}, Qt::Key_Space, {}, Qt::LeftButton, nullptr},
    };
    for (const TKeyCase &keyCase : cases) {
        auto play = [&](bool byKey) {
            FormFixture fixture;
            if (keyCase.Option)
                fixture.store(QLatin1String(keyCase.Option), 1);
            TMineForm &form = fixture.start();
            if (!fixture.lay(keyCase.Picture))
                qFatal("bad picture");
            if (byKey) {
                CursorTo(form, keyCase.Cell);
                Key(form, keyCase.Key, keyCase.Modifiers);
            } else {
                const QPoint point = fixture.cellPoint(keyCase.Cell.x(), keyCase.Cell.y());
                fixture.move(point);
                fixture.press(point, keyCase.Button, keyCase.Modifiers);
                fixture.release(point, keyCase.Button, keyCase.Modifiers);
            }
            return Outcome(fixture);
        };
        const TOutcome clicked = play(false);
        QVERIFY2(clicked.Picture != keyCase.Picture || clicked.State != gsPlaying, keyCase.Name);
        const TOutcome typed = play(true);
        QVERIFY2(typed == clicked,
                 (Told(keyCase.Name, typed) + " vs " + Told("click", clicked)).constData());
    }

    // Windows press: the cell shows pressed while Space is held, follows the
    // cursor, and the cell it ends on opens at the release; after the end, F
    // starts a new game as a right click does.
    FormFixture fixture;
    fixture.store("WINPRESS", 1);
    TMineForm &form = fixture.start();
    QVERIFY(fixture.lay(EasyBoard));
    CursorTo(form, {5, 2});
    QTest::keyPress(Board(form), Qt::Key_Space);
    QCOMPARE(form.Game().PressedCell(), std::optional<QPoint>(QPoint(5, 2)));
    QCOMPARE(fixture.cell(5, 2).State, msCovered);
    Key(form, Qt::Key_Right);
    QCOMPARE(form.Game().PressedCell(), std::optional<QPoint>(QPoint(6, 2)));
    QTest::keyRelease(Board(form), Qt::Key_Space);
    QCOMPARE(fixture.cell(6, 2).State, msOpen);
    QCOMPARE(fixture.cell(5, 2).State, msOpen); // by the flood from (6, 2)
    Key(form, Qt::Key_Home);
    Key(form, Qt::Key_Space);
    QVERIFY(form.Game().IsOver());
    Key(form, Qt::Key_F);
    QVERIFY(form.Game().IsFresh());
}

// The cursor first shows on the cell last clicked, else in the middle; on a
// board without borders it wraps, after a turn of the board too.
void KeyboardTest::cursorStartsWhereThePlayerWas()
{
    FormFixture fixture;
    fixture.store("BORDERS", 0);
    TMineForm &form = fixture.start();
    Key(form, Qt::Key_Left);
    QCOMPARE(form.Grid()->CursorCell(), std::optional<QPoint>(QPoint(4, 4)));
    QVERIFY(fixture.lay(EasyBoard));
    form.Game().MoveBoard(1, 0);
    fixture.click(6, 1, Qt::RightButton);
    QCOMPARE(form.Grid()->CursorCell(), std::nullopt); // the pointer moved
    Key(form, Qt::Key_Up);
    QCOMPARE(form.Grid()->CursorCell(), std::optional<QPoint>(QPoint(6, 1)));
    Key(form, Qt::Key_End);
    Key(form, Qt::Key_Right);
    QCOMPARE(form.Grid()->CursorCell(), std::optional<QPoint>(QPoint(0, 1)));
}

void KeyboardTest::otherCharactersShowTheirBox()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    QVERIFY(fixture.lay(EasyBoard));
    MessageRecorder boxes;
    Key(form, Qt::Key_Space);
    QTest::keyClick(Board(form), 'f');
    Key(form, Qt::Key_Down);
    QTest::keyClick(Board(form), 'a');
    QCOMPARE(boxes.texts(), QStringList({"  = (32)", "f = (102)", "a = (97)"}));
    QCOMPARE(fixture.picture(), EasyBoard);
}

void KeyboardTest::pauseStopsTheCursor()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    QVERIFY(fixture.lay(EasyBoard));
    Key(form, Qt::Key_Down);
    Find<QAction>(form, "MOPause")->trigger();
    Key(form, Qt::Key_Down);
    Key(form, Qt::Key_Space);
    Key(form, Qt::Key_F);
    QCOMPARE(form.Grid()->CursorCell(), std::optional<QPoint>(QPoint(4, 4)));
    QCOMPARE(fixture.picture(), EasyBoard);
}

// The board has the focus from the start, keeps it through the cursor keys
// at its edges, and has it again after a new game.
void KeyboardTest::boardKeepsTheFocus()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    QApplication::setActiveWindow(&form);
    QCOMPARE(QApplication::focusWidget(), Board(form));
    CursorTo(form, {0, 0});
    for (int key : {Qt::Key_Up, Qt::Key_Left})
        Key(form, key);
    Key(form, Qt::Key_Up);
    QCOMPARE(QApplication::focusWidget(), Board(form));
    form.menuBar()->setFocus();
    Find<QAction>(form, "MGNew")->trigger();
    QCOMPARE(QApplication::focusWidget(), Board(form));
}

QTEST_MAIN(KeyboardTest)
#include "test_keyboard.moc"
