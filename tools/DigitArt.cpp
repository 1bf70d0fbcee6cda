#include "PictureArt.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>

namespace Art
{
namespace
{

struct StripStyle {
    int glyphWidth;
    int height;
    int glyphs;
};

// The bounds of "0" give every digit the same box, so "1" stays narrow.
QPainterPath DigitPathInRow(QChar digit, const QFont &font, const QRectF &zeroBox)
{
    QPainterPath zero;
    zero.addText(0, 0, font, QStringLiteral("0"));
    QPainterPath path;
    path.addText(0, 0, font, QString(digit));
    const QRectF zeroBounds = zero.boundingRect();
    const qreal sx = zeroBox.width() / zeroBounds.width();
    const qreal sy = zeroBox.height() / zeroBounds.height();
    const QFontMetricsF metrics(font);
    const qreal advanceShift = (metrics.horizontalAdvance(QStringLiteral("0")) -
                                metrics.horizontalAdvance(QString(digit))) /
                               2.0;
    QTransform fit;
    fit.translate(zeroBox.left(), zeroBox.top());
    fit.scale(sx, sy);
    fit.translate(-zeroBounds.left() + advanceShift, -zeroBounds.top());
    return fit.map(path);
}

void GreyEdgedCell(QPainter &painter, const QRect &cell)
{
    painter.setPen(QColor(160, 160, 160));
    painter.drawLine(cell.topLeft(), cell.topRight());
    painter.drawLine(cell.topLeft(), cell.bottomLeft());
    painter.setPen(QColor(72, 72, 72));
    painter.drawLine(cell.bottomLeft(), cell.bottomRight());
    painter.drawLine(cell.topRight(), cell.bottomRight());
}

QImage Small()
{
    QImage strip(110, 30, QImage::Format_RGB32);
    strip.fill(Qt::white);
    QPainter painter(&strip);
    painter.setRenderHint(QPainter::Antialiasing, true);
    QFont font(QStringLiteral("Liberation Sans Narrow"));
    font.setPixelSize(40);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    for (int i = 0; i < 10; ++i) {
        const QRectF box(i * 11 + 1.5, 4, 8, 22);
        painter.drawPath(DigitPathInRow(QChar('0' + i), font, box));
    }
    return strip;
}

QImage Typo()
{
    QImage strip(210, 27, QImage::Format_RGB32);
    strip.fill(Qt::white);
    QPainter painter(&strip);
    painter.setRenderHint(QPainter::Antialiasing, true);
    QFont font(QStringLiteral("Liberation Mono"));
    font.setPixelSize(40);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    for (int i = 0; i < 10; ++i) {
        const QRectF box(i * 21 + 4, 4, 13, 19);
        painter.drawPath(DigitPathInRow(QChar('0' + i), font, box));
    }
    return strip;
}

QImage Trad()
{
    QImage strip(180, 24, QImage::Format_RGB32);
    strip.fill(QColor(24, 16, 8));
    QRandomGenerator speckles(1997);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 180; ++x)
            if (speckles.bounded(5) == 0) {
                const int v = 40 + speckles.bounded(40);
                strip.setPixelColor(x, y, QColor(v, v * 3 / 4, v / 2));
            }
    QPainter painter(&strip);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(40);
    for (int i = 0; i < 10; ++i) {
        const QRect cell(i * 18, 0, 18, 24);
        painter.setRenderHint(QPainter::Antialiasing, false);
        GreyEdgedCell(painter, cell);
        painter.setRenderHint(QPainter::Antialiasing, true);
        const QRectF box(cell.left() + 3.5, 3.5, 11, 17);
        QLinearGradient fire(0, box.top(), 0, box.bottom());
        fire.setColorAt(0.0, QColor(255, 250, 90));
        fire.setColorAt(0.45, QColor(255, 200, 0));
        fire.setColorAt(1.0, QColor(240, 110, 0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(fire);
        painter.drawPath(DigitPathInRow(QChar('0' + i), font, box));
    }
    return strip;
}

QImage Gold()
{
    QImage strip(180, 30, QImage::Format_RGB32);
    strip.fill(Qt::black);
    QPainter painter(&strip);
    QFont font(QStringLiteral("Liberation Serif"));
    font.setBold(true);
    font.setPixelSize(40);
    for (int i = 0; i < 10; ++i) {
        const QRect cell(i * 18, 0, 18, 30);
        painter.setRenderHint(QPainter::Antialiasing, false);
        GreyEdgedCell(painter, cell);
        painter.setRenderHint(QPainter::Antialiasing, true);
        const QRectF box(cell.left() + 3.5, 5, 11, 20);
        QLinearGradient gold(0, box.top(), 0, box.bottom());
        gold.setColorAt(0.0, QColor(255, 240, 160));
        gold.setColorAt(0.4, QColor(240, 190, 40));
        gold.setColorAt(1.0, QColor(170, 110, 10));
        painter.setPen(Qt::NoPen);
        painter.setBrush(gold);
        painter.drawPath(DigitPathInRow(QChar('0' + i), font, box));
    }
    return strip;
}

// Segments a..g of a seven-segment digit, and which are lit for 0..9 and "-".
constexpr unsigned SegmentMasks[11] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D,
                                       0x7D, 0x07, 0x7F, 0x6F, 0x40};

// Three pixels thick with bevelled ends and a one-pixel gap at the joints,
// like the segments of a real display.  The digit is 12 x 19 pixels.
void PutSegment(QImage &strip, int which, int left, int top, const QColor &color)
{
    const int right = left + 11;
    const int rows[3] = {top + 1, top + 9, top + 17}; // a, g, d
    auto horizontal = [&](int yc) {
        for (int x = left + 2; x <= right - 2; ++x)
            strip.setPixelColor(x, yc, color);
        for (int x = left + 3; x <= right - 3; ++x) {
            strip.setPixelColor(x, yc - 1, color);
            strip.setPixelColor(x, yc + 1, color);
        }
    };
    auto vertical = [&](int xc, int y0, int y1) {
        for (int y = y0 + 1; y <= y1 - 1; ++y)
            strip.setPixelColor(xc, y, color);
        for (int y = y0 + 2; y <= y1 - 2; ++y) {
            strip.setPixelColor(xc - 1, y, color);
            strip.setPixelColor(xc + 1, y, color);
        }
    };
    switch (which) {
    case 0:
        horizontal(rows[0]);
        break;
    case 1:
        vertical(right - 1, rows[0], rows[1]);
        break;
    case 2:
        vertical(right - 1, rows[1], rows[2]);
        break;
    case 3:
        horizontal(rows[2]);
        break;
    case 4:
        vertical(left + 1, rows[1], rows[2]);
        break;
    case 5:
        vertical(left + 1, rows[0], rows[1]);
        break;
    default:
        horizontal(rows[1]);
        break;
    }
}

QImage Led()
{
    QImage strip(198, 24, QImage::Format_RGB32);
    strip.fill(Qt::black);
    {
        QPainter painter(&strip);
        painter.setPen(QColor(128, 128, 128));
        for (int i = 0; i < 11; ++i)
            painter.drawRect(QRect(i * 18, 0, 18, 24).adjusted(0, 0, -1, -1));
    }
    for (int i = 0; i < 11; ++i)
        for (int s = 0; s < 7; ++s) {
            const bool lit = SegmentMasks[i] & (1u << s);
            PutSegment(strip, s, i * 18 + 3, 2, lit ? QColor(0, 255, 0) : QColor(0, 40, 0));
        }
    return strip;
}

} // namespace

QImage DigitStrip(const QString &name)
{
    if (name == QLatin1String("SMALL"))
        return Small();
    if (name == QLatin1String("TRAD"))
        return Trad();
    if (name == QLatin1String("TYPO"))
        return Typo();
    if (name == QLatin1String("LED"))
        return Led();
    return Gold();
}

} // namespace Art
