#include "controls/Counter.h"
#include "controls/Resources.h"

#include <QPainter>
#include <QtTest>

namespace
{

// Which glyph of the strip each digit cell of the counter shows, read back
// from the painted pixels; -1 for a cell that matches no glyph.
QList<int> ShownGlyphs(TCounter &counter)
{
    const QImage shot = counter.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage strip =
        FerroxRes::LoadPicture(TCounter::StripName(counter.CounterType()).toLatin1().constData())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    const int w = counter.GlyphWidth(), h = counter.GlyphHeight();
    const int glyphs = counter.CounterType() == ctLed ? 11 : 10;
    QList<int> shown;
    for (int cell = 0; cell < counter.NumDigits(); ++cell) {
        const QImage painted = shot.copy(cell * w, 0, w, h);
        int match = -1;
        for (int g = 0; g < glyphs && match < 0; ++g)
            if (strip.copy(g * w, 0, w, h) == painted)
                match = g;
        shown << match;
    }
    return shown;
}

class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

QPixmap ColourStrip(int glyphWidth, int glyphHeight)
{
    QPixmap strip(glyphWidth * 10 + 3, glyphHeight); // 3 spare columns
    strip.fill(Qt::black);
    QPainter painter(&strip);
    for (int i = 0; i < 10; ++i)
        painter.fillRect(i * glyphWidth, 0, glyphWidth, glyphHeight,
                         QColor(20 * i, 100, 255 - 20 * i));
    return strip;
}

} // namespace

class TestCounter : public QObject
{
    Q_OBJECT

private slots:
    void startsAsATraditionalEightDigitZero()
    {
        TCounter counter;
        QCOMPARE(counter.CounterType(), ctTraditional);
        QCOMPARE(counter.NumDigits(), 8);
        QVERIFY(counter.AutoSize());
        QVERIFY(!counter.Stretch());
        QCOMPARE(counter.Value(), QStringLiteral("0"));
        QCOMPARE(QSize(counter.GlyphWidth(), counter.GlyphHeight()), QSize(18, 24));
    }

    void padsOnTheLeftAndKeepsTheMinusInFront_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QList<int>>("glyphs");
        QTest::newRow("7 led") << int(ctLed) << "7" << QList<int>{0, 0, 7};
        QTest::newRow("-5 led") << int(ctLed) << "-5" << QList<int>{10, 0, 5};
        QTest::newRow("-5 trad") << int(ctTraditional) << "-5" << QList<int>{0, 0, 5};
        QTest::newRow("lone minus") << int(ctLed) << "-" << QList<int>{10, 0, 0};
        QTest::newRow("empty") << int(ctLed) << "" << QList<int>{0, 0, 0};
        QTest::newRow("gold 908") << int(ctGold) << "908" << QList<int>{9, 0, 8};
        QTest::newRow("small 31") << int(ctSmall) << "31" << QList<int>{0, 3, 1};
        QTest::newRow("typo 246") << int(ctTypographical) << "246" << QList<int>{2, 4, 6};
    }

    void padsOnTheLeftAndKeepsTheMinusInFront()
    {
        QFETCH(int, type);
        QFETCH(QString, value);
        QFETCH(QList<int>, glyphs);
        TCounter counter;
        counter.SetCounterType(TCounterType(type));
        counter.SetNumDigits(3);
        counter.SetValue(value);
        QCOMPARE(counter.Value(), value);
        QCOMPARE(ShownGlyphs(counter), glyphs);
    }

    void autoSizeGrowsToFourDigitsAndTheWidthFollows()
    {
        QWidget host;
        auto *counter = new TCounter(&host);
        counter->SetCounterType(ctLed);
        counter->SetNumDigits(3);
        counter->move(160, 3);
        QCOMPARE(counter->geometry(), QRect(160, 3, 54, counter->height()));
        counter->resize(54, 24);
        counter->SetValue(QStringLiteral("1000"));
        QCOMPARE(counter->NumDigits(), 4);
        QCOMPARE(counter->geometry(), QRect(160, 3, 72, 24));
        QCOMPARE(ShownGlyphs(*counter), (QList<int>{1, 0, 0, 0}));
        // Never shrinks again through AutoSize: "000" now shows four zeros.
        counter->SetValue(QStringLiteral("000"));
        QCOMPARE(counter->NumDigits(), 4);
        QCOMPARE(ShownGlyphs(*counter), (QList<int>{0, 0, 0, 0}));
        counter->SetNumDigits(2);
        QCOMPARE(counter->NumDigits(), 3);
    }

    void stretchKeepsTheSizeAndSqueezesTheRow()
    {
        TCounter counter;
        counter.SetCounterType(ctLed);
        counter.SetNumDigits(3);
        counter.SetStretch(true);
        counter.resize(57, 24);
        counter.SetValue(QStringLiteral("1000"));
        QCOMPARE(counter.NumDigits(), 4);
        QCOMPARE(counter.size(), QSize(57, 24));
        counter.SetStretch(false);
        QCOMPARE(counter.size(), QSize(72, 24));
    }

    void autoSizeOffKeepsTheDigitsAndSwitchingItOnGrows()
    {
        TCounter counter;
        counter.SetCounterType(ctLed);
        counter.SetAutoSize(false);
        counter.SetNumDigits(2);
        counter.SetValue(QStringLiteral("12345"));
        QCOMPARE(counter.NumDigits(), 2);
        QCOMPARE(ShownGlyphs(counter), (QList<int>{1, 2}));
        counter.SetAutoSize(true);
        QCOMPARE(counter.NumDigits(), 5);
    }

    void valueIsCutToTwentyCharacters()
    {
        TCounter counter;
        counter.SetValue(QString(25, QLatin1Char('9')));
        QCOMPARE(counter.Value(), QString(20, QLatin1Char('9')));
        QCOMPARE(counter.NumDigits(), 20);
    }

    void aChangedValueRepaintsAtOnceAndAnUnchangedOneNot()
    {
        QWidget host;
        host.resize(200, 60);
        auto *counter = new TCounter(&host);
        counter->SetCounterType(ctLed);
        counter->SetNumDigits(3);
        counter->resize(counter->NaturalSize());
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QCoreApplication::processEvents();
        PaintCounter spy;
        counter->installEventFilter(&spy);
        counter->SetValue(QStringLiteral("5"));
        QCOMPARE(spy.paints, 1); // before any return to the event loop
        counter->SetValue(QStringLiteral("5"));
        QCoreApplication::processEvents();
        QCOMPARE(spy.paints, 1);
    }

    void userStripNeedsAPictureAndShowsItsGlyphs()
    {
        TCounter counter;
        counter.SetNumDigits(3);
        counter.SetCounterType(ctUserdefined);
        QCOMPARE(counter.CounterType(), ctTraditional);

        const QPixmap strip = ColourStrip(5, 7);
        counter.SetUserBitmap(strip);
        QCOMPARE(counter.CounterType(), ctUserdefined);
        QCOMPARE(QSize(counter.GlyphWidth(), counter.GlyphHeight()), QSize(5, 7));
        counter.SetValue(QStringLiteral("-29"));
        const QImage shot = counter.grab().toImage();
        QCOMPARE(shot.pixelColor(2, 3), QColor(0, 100, 255)); // minus shows a zero
        QCOMPARE(shot.pixelColor(7, 3), QColor(40, 100, 215));
        QCOMPARE(shot.pixelColor(12, 3), QColor(180, 100, 75));

        // A new picture while already user-defined shows at once.
        QPixmap grey(50, 7);
        grey.fill(Qt::gray);
        counter.SetUserBitmap(grey);
        QCOMPARE(counter.grab().toImage().pixelColor(12, 3), QColor(Qt::gray));

        // A strip narrower than ten glyphs has no glyph width but keeps its
        // height, so switching Stretch off gives the control no width.
        QPixmap narrow(9, 6);
        narrow.fill(Qt::gray);
        counter.SetUserBitmap(narrow);
        QCOMPARE(QSize(counter.GlyphWidth(), counter.GlyphHeight()), QSize(0, 6));
        counter.SetStretch(true);
        counter.SetStretch(false);
        QCOMPARE(counter.size(), QSize(0, 6));
    }

    void typeChangeReloadsWithoutResizing()
    {
        TCounter counter;
        counter.resize(30, 30);
        counter.SetCounterType(ctGold);
        QCOMPARE(counter.size(), QSize(30, 30));
        QCOMPARE(QSize(counter.GlyphWidth(), counter.GlyphHeight()), QSize(18, 30));
        counter.SetStretch(true);
        counter.SetStretch(false);
        QCOMPARE(counter.size(), QSize(8 * 18, 30));
    }
};

QTEST_MAIN(TestCounter)
#include "test_counter.moc"
