// The bevelled panel and the status bar's panels: what they draw stays in
// its box, and a text too long for its box keeps its beginning.

#include "controls/BevelPanel.h"
#include "controls/StatusPanels.h"

#include <QFontMetrics>
#include <QPainter>
#include <QtTest>

namespace
{

QImage Shot(QWidget &widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Columns holding a pixel of the given colour.
QList<int> ColumnsWith(const QImage &image, QColor colour)
{
    QList<int> columns;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (image.pixelColor(x, y) == colour) {
                columns << x;
                break;
            }
    return columns;
}

} // namespace

class PanelsTest : public QObject
{
    Q_OBJECT

private slots:
    void aLongCaptionKeepsItsBeginning()
    {
        const QString title = QStringLiteral("the big march in space, second part");
        TBevelPanel panel;
        panel.resize(86, 25);
        panel.SetFontColor(Qt::red);
        panel.SetCaption(title);
        const QString elided = panel.fontMetrics().elidedText(title, Qt::ElideRight, 86 - 4);
        QVERIFY(elided.startsWith(QStringLiteral("the b")));
        QVERIFY(elided.endsWith(QChar(0x2026)));

        TBevelPanel expected;
        expected.resize(86, 25);
        expected.SetFontColor(Qt::red);
        expected.SetCaption(elided);
        QCOMPARE(Shot(panel), Shot(expected));
        // A caption that fits is drawn whole.
        panel.SetCaption(QStringLiteral("FERROX"));
        expected.SetCaption(QStringLiteral("FERROX"));
        QCOMPARE(Shot(panel), Shot(expected));
    }

    void theLastPanelRunsToTheEdgeAndNoPanelDrawsOutside()
    {
        TStatusPanels bar;
        bar.resize(291, 19);
        bar.AddPanel(80, false, QStringLiteral("Best Time:"));
        bar.AddPanel(40, true, QStringLiteral("999"));
        bar.AddPanel(28, false, QStringLiteral("by:"));
        bar.AddPanel(50, true, QStringLiteral("no name"));
        QCOMPARE(bar.PanelRect(3).left(), 80 + 2 + 40 + 2 + 28 + 2 + 1);
        QCOMPARE(bar.PanelRect(3).right(), 291 - 2);
        QCOMPARE(bar.PanelRect(1).width(), 40 - 2);

        // An owner that draws far too wide is held inside each panel.
        QObject::connect(&bar, &TStatusPanels::drawPanel,
                         [](QPainter &painter, int, const QRect &rect) {
                             painter.fillRect(rect.adjusted(-30, -5, 300, 5), Qt::red);
                         });
        const QImage shot = Shot(bar);
        const QList<int> red = ColumnsWith(shot, Qt::red);
        for (int x : red)
            QVERIFY2(bar.PanelRect(1).contains(x, 8) || bar.PanelRect(3).contains(x, 8),
                     qPrintable(QStringLiteral("red at column %1").arg(x)));
        QCOMPARE(red.first(), bar.PanelRect(1).left());
        QCOMPARE(red.last(), bar.PanelRect(3).right());
    }

    // A hidden last panel gives the edge back to the panel before it.
    void aHiddenPanelTakesNoRoom()
    {
        TStatusPanels bar;
        bar.resize(291, 19);
        bar.AddPanel(80, false, QStringLiteral("Best Time:"));
        bar.AddPanel(50, true, QStringLiteral("no name"));
        bar.AddPanel(50, true, QStringLiteral("a notice"));
        QList<int> drawn;
        QObject::connect(&bar, &TStatusPanels::drawPanel,
                         [&](QPainter &, int index, const QRect &) { drawn << index; });

        bar.SetPanelShown(2, false);
        QVERIFY(bar.PanelRect(2).isEmpty());
        QCOMPARE(bar.PanelRect(1).right(), 291 - 2);
        bar.grab();
        QCOMPARE(drawn, QList<int>{1});

        bar.SetPanelShown(2, true);
        QCOMPARE(bar.PanelRect(1).width(), 50 - 2);
        QCOMPARE(bar.PanelRect(2).left(), 80 + 2 + 50 + 2 + 1);
        QCOMPARE(bar.PanelRect(2).right(), 291 - 2);
    }
};

QTEST_MAIN(PanelsTest)
#include "test_panels.moc"
