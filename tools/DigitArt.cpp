#include "PictureArt.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>

namespace Art {
namespace {

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
    const qreal advanceShift = (metrics.horizontalAdvance(QStringLiteral("0"))
                                - metrics.horizontalAdvance(QString(digit))) / 2.0;
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
constexpr unsigned SegmentMasks[11] = {
    0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F, 0x40};

QPolygon Segment(int which, int left, int top)
{
    // A 12 x 18 digit area; horizontal segments are 2 pixels thick with
    // bevelled ends, vertical ones likewise.
    const int w = 12, h = 18, mid = h / 2;
    auto horizontal = [&](int y) {
        return QPolygon({QPoint(left + 2, top + y), QPoint(left + w - 3, top + y),
                         QPoint(left + w - 2, top + y + 1), QPoint(left + w - 3, top + y + 2),
                         QPoint(left + 2, top + y + 2), QPoint(left + 1, top + y + 1)});
    };
    auto vertical = [&](int x, int y0, int y1) {
        return QPolygon({QPoint(left + x + 1, top + y0), QPoint(left + x + 2, top + y0 + 1),
                         QPoint(left + x + 2, top + y1 - 1), QPoint(left + x + 1, top + y1),
                         QPoint(left + x, top + y1 - 1), QPoint(left + x, top + y0 + 1)});
    };
    switch (which) {
    case 0: return horizontal(0);
    case 1: return vertical(w - 3, 1, mid);
    case 2: return vertical(w - 3, mid, h - 1);
    case 3: return horizontal(h - 2);
    case 4: return vertical(0, mid, h - 1);
    case 5: return vertical(0, 1, mid);
    default: return horizontal(mid - 1);
    }
}

QImage Led()
{
    QImage strip(198, 24, QImage::Format_RGB32);
    strip.fill(Qt::black);
    QPainter painter(&strip);
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 0; i < 11; ++i) {
        const QRect cell(i * 18, 0, 18, 24);
        painter.setPen(QColor(128, 128, 128));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(cell.adjusted(0, 0, -1, -1));
        for (int s = 0; s < 7; ++s) {
            const bool lit = SegmentMasks[i] & (1u << s);
            const QColor color = lit ? QColor(0, 255, 0) : QColor(0, 48, 0);
            painter.setPen(color);
            painter.setBrush(color);
            painter.drawPolygon(Segment(s, cell.left() + 3, 3));
        }
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
