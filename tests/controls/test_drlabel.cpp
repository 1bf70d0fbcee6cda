#include "controls/DRLabel.h"

#include <QtTest>

namespace
{

const QColor Paper(250, 240, 200);
const QColor Ink(0, 0, 0);
const QColor Shade(255, 0, 0);

// A label with crisp (not smoothed) text, so that pixels compare exactly.
void MakeCrisp(TDRLabel &label, const QString &caption)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(16);
    font.setBold(true);
    font.setStyleStrategy(QFont::NoAntialias);
    label.SetFont(font);
    label.SetCaption(caption);
    label.SetAutoSize(false);
    label.resize(60, 24);
    label.SetColor(Paper);
    label.SetFontColor(Ink);
    label.SetShadowColor(Shade);
}

QSet<QPair<int, int>> PixelsOf(const QImage &image, const QColor &color)
{
    QSet<QPair<int, int>> pixels;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == color)
                pixels.insert({x, y});
    return pixels;
}

QSet<QPair<int, int>> Shifted(const QSet<QPair<int, int>> &pixels, int by, QSize within)
{
    QSet<QPair<int, int>> moved;
    for (const auto &p : pixels)
        if (p.first + by < within.width() && p.second + by < within.height())
            moved.insert({p.first + by, p.second + by});
    return moved;
}

int LowestRow(const QSet<QPair<int, int>> &pixels)
{
    int lowest = -1;
    for (const auto &p : pixels)
        lowest = qMax(lowest, p.second);
    return lowest;
}

// Colours as the 8-bit pixels of a grabbed image hold them.
QColor Eight(const QColor &color)
{
    return QColor::fromRgb(color.rgb());
}

QImage Shot(TDRLabel &label)
{
    return label.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class TestDRLabel : public QObject
{
    Q_OBJECT

private slots:
    void createdWithItsDefaults()
    {
        TDRLabel label;
        QCOMPARE(label.size(), QSize(66, 18));
        QCOMPARE(label.Deep(), 1);
        QCOMPARE(label.HiColor(), QColor(0, 0, 255));
        QCOMPARE(label.LoColor(), QColor(0, 0, 128));
        QVERIFY(label.Ctl3D());
        QCOMPARE(label.Border(), boNone);
        QCOMPARE(label.Blink(), blNone);
        QCOMPARE(label.BlinkInterval(), 300);
        QVERIFY(!label.BlinkTimerActive());
        QCOMPARE(label.RememberedColor(), label.FontColor());
        QCOMPARE(label.ShadowColor(), label.palette().color(QPalette::Light));

        // AutoSize measures a caption that draws nothing as one space.
        const QSize space(label.fontMetrics().horizontalAdvance(QLatin1Char(' ')),
                          label.fontMetrics().height());
        label.SetCaption(QStringLiteral("Mines:"));
        label.SetCaption(QString());
        QCOMPARE(label.size(), space);
        label.SetCaption(QStringLiteral("&"));
        QCOMPARE(label.size(), space);
    }

    void autoSizeWrapsOnlyWithWordWrapAndKeepsARightEdge()
    {
        QWidget parent;
        TDRLabel label(&parent);
        label.move(100, 10);
        label.SetCaption(QStringLiteral("one two three"));
        const int lineHeight = label.height();
        const int narrow = label.fontMetrics().horizontalAdvance(QStringLiteral("three")) + 2;
        label.resize(narrow, lineHeight);
        label.SetWordWrap(true);
        QVERIFY(label.height() >= 3 * lineHeight);
        QVERIFY(label.width() <= narrow);
        label.SetWordWrap(false);
        QCOMPARE(label.height(), lineHeight);

        label.SetAlignment(taRightJustify);
        const int right = label.geometry().right();
        label.SetCaption(QStringLiteral("one"));
        QCOMPARE(label.geometry().right(), right);
        QVERIFY(label.x() > 100);
    }

    void loweredFrameLeavesTheLastColumnAndRowAlone()
    {
        TDRLabel label;
        label.SetAutoSize(false);
        label.resize(40, 24);
        label.SetColor(Paper);
        label.SetBorder(boLowered);
        const QColor dark = Eight(label.palette().color(QPalette::Dark));
        const QColor light = Eight(label.palette().color(QPalette::Light));
        QVERIFY(dark != light && light != Paper);
        const QImage shot = Shot(label);
        for (int x = 0; x <= 37; ++x)
            QCOMPARE(shot.pixelColor(x, 0), dark);
        for (int y = 0; y <= 21; ++y)
            QCOMPARE(shot.pixelColor(0, y), dark);
        for (int y = 0; y <= 22; ++y)
            QCOMPARE(shot.pixelColor(38, y), light);
        for (int x = 0; x <= 38; ++x)
            QCOMPARE(shot.pixelColor(x, 22), light);
        for (int y = 0; y < 24; ++y)
            QCOMPARE(shot.pixelColor(39, y), Paper);
        for (int x = 0; x < 40; ++x)
            QCOMPARE(shot.pixelColor(x, 23), Paper);
        QCOMPARE(shot.pixelColor(20, 10), Paper);
    }

    void shadowLiesDeepPixelsRightAndDown_data()
    {
        QTest::addColumn<int>("deep");
        QTest::newRow("1") << 1;
        QTest::newRow("2") << 2;
    }

    void shadowLiesDeepPixelsRightAndDown()
    {
        QFETCH(int, deep);
        TDRLabel flat;
        MakeCrisp(flat, QStringLiteral("Hw"));
        flat.SetCtl3D(false);
        const QSet<QPair<int, int>> text = PixelsOf(Shot(flat), Ink);
        QVERIFY(!text.isEmpty());
        QVERIFY(PixelsOf(Shot(flat), Shade).isEmpty());

        TDRLabel relief;
        MakeCrisp(relief, QStringLiteral("Hw"));
        relief.SetDeep(deep);
        QCOMPARE(relief.Deep(), deep);
        const QImage shot = Shot(relief);
        QCOMPARE(PixelsOf(shot, Ink), text);
        QCOMPARE(PixelsOf(shot, Shade), Shifted(text, deep, shot.size()) - text);
    }

    void deepTakesOnlyOneOrTwo()
    {
        TDRLabel label;
        label.SetDeep(2);
        label.SetDeep(3);
        QCOMPARE(label.Deep(), 2);
        label.SetDeep(0);
        QCOMPARE(label.Deep(), 2);
    }

    void textInTheBackgroundColourHidesTextAndShadow()
    {
        TDRLabel label;
        MakeCrisp(label, QStringLiteral("Hw"));
        label.SetBorder(boSingle);
        label.SetFontColor(Paper);
        const QImage shot = Shot(label);
        QVERIFY(PixelsOf(shot, Shade).isEmpty());
        QCOMPARE(shot.pixelColor(0, 0), Eight(label.palette().color(QPalette::Shadow)));
        // Everything but the 160 frame pixels is background.
        QCOMPARE(PixelsOf(shot, Paper).size(), 60 * 24 - 160);
    }

    void disabledTextIsGreyAndStillHasItsShadow()
    {
        TDRLabel label;
        MakeCrisp(label, QStringLiteral("Hw"));
        label.setEnabled(false);
        const QColor grey = Eight(label.palette().color(QPalette::Disabled, QPalette::WindowText));
        const QImage shot = Shot(label);
        QVERIFY(PixelsOf(shot, Ink).isEmpty());
        QVERIFY(!PixelsOf(shot, grey).isEmpty());
        QVERIFY(!PixelsOf(shot, Shade).isEmpty());
    }

    void transparentLabelPaintsOverItsParent()
    {
        QWidget parent;
        parent.resize(80, 40);
        parent.setAutoFillBackground(true);
        QPalette green = parent.palette();
        green.setColor(QPalette::Window, QColor(0, 200, 0));
        parent.setPalette(green);
        auto *label = new TDRLabel(&parent);
        MakeCrisp(*label, QStringLiteral("Hw"));
        label->SetTransparent(true);
        label->SetBorder(boSingle);
        const QImage shot = parent.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shot.pixelColor(30, 10).green(), 200); // inside the label, no fill
        QVERIFY(!PixelsOf(shot.copy(0, 0, 60, 24), Shade).isEmpty());
        QVERIFY(!PixelsOf(shot.copy(0, 0, 60, 24), Ink).isEmpty());
    }

    void accessKeyUnderlinesOnlyWhileShown()
    {
        TDRLabel withKey, plain, literal, escaped;
        MakeCrisp(withKey, QStringLiteral("&Word"));
        MakeCrisp(plain, QStringLiteral("Word"));
        MakeCrisp(literal, QStringLiteral("&Word"));
        literal.SetShowAccelChar(false);
        MakeCrisp(escaped, QStringLiteral("&&Word"));
        for (TDRLabel *label : {&withKey, &plain, &literal, &escaped})
            label->SetCtl3D(false);
        const auto keyInk = PixelsOf(Shot(withKey), Ink);
        const auto plainInk = PixelsOf(Shot(plain), Ink);
        QVERIFY(plainInk.size() < keyInk.size());
        // "Word" has no descenders: only an underline reaches below it.
        QVERIFY(LowestRow(keyInk) > LowestRow(plainInk));
        QCOMPARE(PixelsOf(Shot(literal), Ink), PixelsOf(Shot(escaped), Ink));
        QVERIFY(PixelsOf(Shot(literal), Ink) != plainInk);
    }

    void hiLoBlinkAlternatesAndComesBack()
    {
        TDRLabel label;
        const QColor remembered = label.FontColor();
        label.SetBlinkInterval(40);
        label.SetBlink(blHiLo);
        QVERIFY(label.BlinkTimerActive());
        QCOMPARE(label.FontColor(), remembered);
        QTRY_COMPARE(label.FontColor(), QColor(0, 0, 255));
        QTRY_COMPARE(label.FontColor(), QColor(0, 0, 128));
        QTRY_COMPARE(label.FontColor(), QColor(0, 0, 255));
        label.SetBlink(blNone);
        QVERIFY(!label.BlinkTimerActive());
        QCOMPARE(label.FontColor(), remembered);
    }

    void onOffBlinkHidesAndShowsTheColourItStartedWith()
    {
        TDRLabel label;
        label.SetColor(Paper);
        label.SetFontColor(QColor(128, 0, 0));
        label.SetBlinkInterval(40);
        label.SetBlink(blBlink);
        QCOMPARE(label.RememberedColor(), QColor(128, 0, 0));
        QTRY_COMPARE(label.FontColor(), Paper);
        QTRY_COMPARE(label.FontColor(), QColor(128, 0, 0));
        QTRY_COMPARE(label.FontColor(), Paper);
        label.SetBlink(blNone);
        QCOMPARE(label.FontColor(), QColor(128, 0, 0));
    }

    void zeroIntervalStopsBlinkingAndANegativeOneIsRefused()
    {
        TDRLabel label;
        label.SetBlinkInterval(0);
        label.SetBlink(blHiLo);
        QVERIFY(!label.BlinkTimerActive());
        const QColor before = label.FontColor();
        QTest::qWait(60);
        QCOMPARE(label.FontColor(), before);
        label.SetBlinkInterval(-5);
        QCOMPARE(label.BlinkInterval(), 0);
        label.SetBlinkInterval(30);
        QVERIFY(label.BlinkTimerActive());
        QTRY_COMPARE(label.FontColor(), QColor(0, 0, 255));
    }
};

QTEST_MAIN(TestDRLabel)
#include "test_drlabel.moc"
