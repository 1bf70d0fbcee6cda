// The window with large fonts, as on a 144 dpi screen (QT_FONT_DPI=144):
// the board keeps its 17-pixel cells, and none of the menus is hidden.

#include "FormFixture.h"

#include <QMenuBar>
#include <QToolButton>
#include <QtTest>

class LargeFontsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The offscreen screen keeps 96 dpi whatever QT_FONT_DPI says, so the
        // system font is made as large as a 144 dpi screen makes it: 9
        // points are 18 pixels there.
        QFont font = QApplication::font();
        font.setPixelSize(18);
        QApplication::setFont(font);
    }

    void everyMenuShowsOnTheEasyBoard()
    {
        FormFixture fixture;
        TMineForm &form = fixture.start(144);
        QMenuBar *bar = form.menuBar();
        QVERIFY(bar->sizeHint().width() > 291); // the fonts really are large here
        for (const char *name : {"MGame", "MOptions", "MSound", "MHelp"}) {
            const QRect place = bar->actionGeometry(Find<QMenu>(form, name)->menuAction());
            QVERIFY2(!place.isEmpty() && bar->rect().contains(place), name);
        }
        auto *overflow = bar->findChild<QToolButton *>(QStringLiteral("qt_menubar_ext_button"));
        QVERIFY(!overflow || !overflow->isVisible());
        // The board stays in the middle of the wider window.
        const QWidget *panel = Find<TBevelPanel>(form, "MinePanel");
        const int left = panel->x();
        const int right = form.centralWidget()->width() - panel->x() - panel->width();
        QVERIFY(qAbs(left - right) <= 1);
        QCOMPARE(form.Grid()->size(), QSize(8 * CellSize, 8 * CellSize));
    }
};

QTEST_MAIN(LargeFontsTest)
#include "test_large_fonts.moc"
