// The program's icon for desktops: the raised tile with a mine of the
// window icon, drawn in shapes so that it stays sharp at every size and
// can be written as a scalable picture too.
#include "PictureArt.h"

#include <QPainter>
#include <QPolygonF>
#include <cmath>

namespace Art
{

void PaintDesktopIcon(QPainter &painter, int size)
{
    const qreal s = size;
    // The window icon's bevel is 3 pixels of 64; never thinner than a pixel.
    const qreal b = std::max(1.0, std::round(s * 3 / 64));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.fillRect(QRectF(0, 0, s, s), FaceGrey);
    painter.setBrush(Qt::white);
    painter.drawPolygon(QPolygonF({{0, 0}, {s, 0}, {s - b, b}, {b, b}, {b, s - b}, {0, s}}));
    painter.setBrush(ShadowGrey);
    painter.drawPolygon(
        QPolygonF({{s, 0}, {s, s}, {0, s}, {b, s - b}, {s - b, s - b}, {s - b, b}}));
    painter.restore();
    DrawBigMine(painter, QPointF(s / 2, s / 2), s * 13 / 64);
}

QImage DesktopIcon(int size)
{
    QImage icon(size, size, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    PaintDesktopIcon(painter, size);
    return icon;
}

} // namespace Art
