// The custom size dialog: the mine bounds that follow the board while it is
// typed, and what OK, Enter, Escape and Cancel return.
#include "DialogRunner.h"

#include "controls/SpinEdit.h"
#include "dialogs/DlgCustom.h"
#include "model/Mines.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace
{

TSpinEdit *Field(QDialog &dialog, const char *name)
{
    return dialog.findChild<TSpinEdit *>(QLatin1String(name));
}

QPushButton *Button(QDialog &dialog, const char *name)
{
    return dialog.findChild<QPushButton *>(QLatin1String(name));
}

// The mine field's bounds and value.
QList<int> Mines(QDialog &dialog)
{
    const TSpinEdit *mines = Field(dialog, "SEMines");
    return {mines->MinValue(), mines->MaxValue(), mines->Value()};
}

} // namespace

class CustomSizeTest : public QObject
{
    Q_OBJECT

private:
    TBoardSize current_;
    TBoardLimits limits_;
    std::optional<TBoardSize> chosen_;

    void SetModel(TBoardSize board) { current_ = board; }

    void CompareModel(TBoardSize expected)
    {
        QVERIFY(chosen_);
        QCOMPARE(chosen_->Cols, expected.Cols);
        QCOMPARE(chosen_->Rows, expected.Rows);
        QCOMPARE(chosen_->Mines, expected.Mines);
    }

    // Runs the dialog from the current board; true when it chose a board.
    bool Run(TDlgCustom &dialog, const std::function<void(TDlgCustom &)> &whileOpen)
    {
        RunModal<TDlgCustom>(
            dialog, [&] { chosen_ = dialog.Execute(current_, limits_); }, whileOpen);
        return chosen_.has_value();
    }

private slots:
    void init() { limits_ = BoardLimitsForScreen(1024, 768); } // 56 x 36

    void designedWindowBeforeTheFirstShow()
    {
        TDlgCustom dialog;
        QCOMPARE(dialog.windowTitle(), QString("Custom Size"));
        QCOMPARE(dialog.size(), QSize(275, 142));
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        QCOMPARE(Mines(dialog), (QList<int>{5, 100, 40}));
        const char *names[] = {"SECols", "SERows", "SEMines"};
        const QStringList captions = {"Columns:", "Rows:", "Mines:"};
        for (int i = 0; i < 3; ++i) {
            const auto *label = dialog.findChild<QLabel *>(QString("Lab%1").arg(names[i] + 2));
            QCOMPARE(label->text(), captions[i]);
            QVERIFY(label->font().bold());
            QCOMPARE(label->buddy(), Field(dialog, names[i]));
        }
        for (const char *side : {"SECols", "SERows"})
            QCOMPARE((QList<int>{Field(dialog, side)->MinValue(), Field(dialog, side)->MaxValue(),
                                 Field(dialog, side)->Value()}),
                     (QList<int>{8, 30, 16}));
        QVERIFY(Button(dialog, "BtnOK")->isDefault());
    }

    // Opening on a board bounds the mines by its area and raises a value
    // below them at once; no typed number gets past the upper bound.
    void mineBoundsFollowTheArea_data()
    {
        QTest::addColumn<int>("cols");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("least");
        QTest::addColumn<int>("most");
        QTest::newRow("8 x 8") << 8 << 8 << 3 << 32;
        QTest::newRow("9 x 9: 40.5 rounds to 40") << 9 << 9 << 4 << 40;
        QTest::newRow("9 x 10: 4.5 rounds to 4") << 9 << 10 << 4 << 45;
        QTest::newRow("10 x 11: 5.5 rounds to 6") << 10 << 11 << 6 << 55;
        QTest::newRow("16 x 16") << 16 << 16 << 13 << 128;
        QTest::newRow("30 x 20") << 30 << 20 << 30 << 300;
        QTest::newRow("30 x 30") << 30 << 30 << 45 << 450;
    }

    void mineBoundsFollowTheArea()
    {
        QFETCH(int, cols);
        QFETCH(int, rows);
        QFETCH(int, least);
        QFETCH(int, most);
        SetModel({cols, rows, 1});
        TDlgCustom dialog;
        QVERIFY(Run(dialog, [&](TDlgCustom &open) {
            QCOMPARE(Mines(open), (QList<int>{least, most, least}));
            TypeInto(Field(open, "SEMines"), "99999");
            QTest::keyClick(Field(open, "SEMines"), Qt::Key_Tab);
            QCOMPARE(Mines(open), (QList<int>{least, most, most}));
            QTest::keyClick(Field(open, "SEMines"), Qt::Key_Up);
            QCOMPARE(Field(open, "SEMines")->Value(), most);
            Button(open, "BtnOK")->click();
        }));
        CompareModel({cols, rows, most});
    }

    void shrinkingLowersTheMinesAndGrowingDoesNotRaiseThem()
    {
        SetModel({16, 16, 100});
        TDlgCustom dialog;
        QVERIFY(Run(dialog, [](TDlgCustom &open) {
            TypeInto(Field(open, "SECols"), "8");
            QCOMPARE(Mines(open), (QList<int>{6, 64, 64})); // 8 x 16 on the way
            TypeInto(Field(open, "SERows"), "8");
            QCOMPARE(Mines(open), (QList<int>{3, 32, 32}));
            // The arrow keys step by one; typing 16 would pass through 1.
            for (int i = 0; i < 8; ++i) {
                QTest::keyClick(Field(open, "SECols"), Qt::Key_Up);
                QTest::keyClick(Field(open, "SERows"), Qt::Key_Up);
            }
            QCOMPARE(Mines(open), (QList<int>{13, 128, 32}));
            QTest::keyClick(Field(open, "SERows"), Qt::Key_Return);
        }));
        CompareModel({16, 16, 32});
    }

    // Each text a typed number passes through counts: "1" is a 1 x 16 board.
    void typingTwelvePassesThroughOne()
    {
        SetModel({16, 16, 40});
        TDlgCustom dialog;
        QVERIFY(Run(dialog, [](TDlgCustom &open) {
            TSpinEdit *cols = Field(open, "SECols");
            TypeInto(cols, "");
            QTest::keyClick(cols, Qt::Key_Delete);
            QCOMPARE(cols->Value(), 8); // an empty field reads as its least
            QCOMPARE(Mines(open), (QList<int>{6, 64, 40}));
            QTest::keyClick(cols, Qt::Key_1);
            QCOMPARE(Mines(open), (QList<int>{1, 8, 8}));
            QTest::keyClick(cols, Qt::Key_2);
            QCOMPARE(Mines(open), (QList<int>{10, 96, 10}));
            Button(open, "BtnOK")->click();
        }));
        CompareModel({12, 16, 10});
    }

    // Enter is OK while a typed number is still out of range: it is stored
    // within the bounds, and the mines within those of the stored board.
    void enterStoresATypedSizeWithinTheBounds_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("cols");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("mines");
        const QString cols = QStringLiteral("SECols");
        const QString rows = QStringLiteral("SERows");
        // "2" (32 cells) lowers the mines to 16, "200" (3200) raises them to 160.
        QTest::newRow("200 columns") << cols << QString("200") << 56 << 16 << 160;
        // Nine digits raise them past what 56 x 16 allows.
        QTest::newRow("nine digits") << cols << QString("999999999") << 56 << 16 << 448;
        QTest::newRow("100 rows") << rows << QString("100") << 16 << 36 << 80;
        // 1 x 16 bounds the mines to 8, which the stored 8 x 16 keeps.
        QTest::newRow("1 column") << cols << QString("1") << 8 << 16 << 8;
    }

    void enterStoresATypedSizeWithinTheBounds()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(int, cols);
        QFETCH(int, rows);
        QFETCH(int, mines);
        SetModel({16, 16, 40});
        TDlgCustom dialog;
        QVERIFY(Run(dialog, [&](TDlgCustom &open) {
            TSpinEdit *edited = Field(open, qPrintable(field));
            TypeInto(edited, typed);
            QCOMPARE(edited->Text(), typed); // not brought in while typed
            QTest::keyClick(edited, Qt::Key_Enter);
        }));
        CompareModel({cols, rows, mines});
    }

    void leavingAFieldBringsItsNumberIn_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("below") << QString("3") << QString("8");
        QTest::newRow("above") << QString("77") << QString("36");
        QTest::newRow("emptied") << QString() << QString("8");
        QTest::newRow("letters and signs are refused") << QString("-1x2") << QString("12");
    }

    void leavingAFieldBringsItsNumberIn()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        SetModel({16, 16, 40});
        TDlgCustom dialog;
        Run(dialog, [&](TDlgCustom &open) {
            TSpinEdit *rows = Field(open, "SERows");
            TypeInto(rows, "");
            QTest::keyClick(rows, Qt::Key_Delete);
            QTest::keyClicks(rows, typed);
            QTest::keyClick(rows, Qt::Key_Tab);
            QCOMPARE(rows->Text(), shown);
            open.reject();
        });
    }

    void okWithoutAChangeIsCancel()
    {
        SetModel({30, 20, 99});
        TDlgCustom dialog;
        QVERIFY(!Run(dialog, [](TDlgCustom &open) {
            QCOMPARE(Field(open, "SECols")->Text(), QString("30"));
            QCOMPARE(Field(open, "SERows")->Text(), QString("20"));
            QCOMPARE(Field(open, "SEMines")->Text(), QString("99"));
            Button(open, "BtnHelp")->click(); // does nothing
            Button(open, "BtnOK")->click();
        }));
    }

    void leavingWithoutOkWritesNothing_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("Escape") << 0;
        QTest::newRow("Cancel") << 1;
        QTest::newRow("close box") << 2;
    }

    void leavingWithoutOkWritesNothing()
    {
        QFETCH(int, way);
        SetModel({16, 16, 40});
        TDlgCustom dialog;
        QVERIFY(!Run(dialog, [way](TDlgCustom &open) {
            TypeInto(Field(open, "SECols"), "20");
            TypeInto(Field(open, "SEMines"), "50");
            if (way == 0)
                QTest::keyClick(Field(open, "SEMines"), Qt::Key_Escape);
            else if (way == 1)
                Button(open, "BtnCancel")->click();
            else
                open.close();
        }));
    }

    // One dialog serves every run, each starting from the board it is given.
    void everyRunStartsFromTheModel()
    {
        TDlgCustom dialog;
        SetModel({16, 16, 40});
        QVERIFY(Run(dialog, [](TDlgCustom &open) {
            TypeInto(Field(open, "SECols"), "9");
            Button(open, "BtnOK")->click();
        }));
        CompareModel({9, 16, 40});
        SetModel({9, 9, 10});
        QVERIFY(!Run(dialog, [](TDlgCustom &open) {
            QCOMPARE(Mines(open), (QList<int>{4, 40, 10}));
            QCOMPARE(open.focusWidget(), Field(open, "SECols"));
            QTest::keyClick(Field(open, "SECols"), Qt::Key_Return);
        }));
    }

    // The sizes never pass what the screen shows, even on a screen too
    // small for 8 x 8 (the game makes room for a mine there).
    void theScreenBoundsTheSizes_data()
    {
        QTest::addColumn<int>("screenWidth");
        QTest::addColumn<int>("screenHeight");
        QTest::addColumn<int>("cols");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("mines");
        QTest::newRow("640 x 480: 34 x 19, at least 32 mines") << 640 << 480 << 34 << 19 << 32;
        // 9 cells allow 0..4 mines.
        QTest::newRow("3 x 3 cells") << 116 << 201 << 3 << 3 << 0;
    }

    void theScreenBoundsTheSizes()
    {
        QFETCH(int, screenWidth);
        QFETCH(int, screenHeight);
        QFETCH(int, cols);
        QFETCH(int, rows);
        QFETCH(int, mines);
        limits_ = BoardLimitsForScreen(screenWidth, screenHeight);
        SetModel({8, 8, 10});
        TDlgCustom dialog;
        QVERIFY(Run(dialog, [](TDlgCustom &open) {
            TypeInto(Field(open, "SECols"), "101");
            TypeInto(Field(open, "SERows"), "101");
            TypeInto(Field(open, "SEMines"), "0");
            QTest::keyClick(Field(open, "SEMines"), Qt::Key_Return);
        }));
        CompareModel({cols, rows, mines});
    }
};

QTEST_MAIN(CustomSizeTest)
#include "test_custom_size.moc"
