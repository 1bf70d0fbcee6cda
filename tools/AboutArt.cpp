#include "PictureArt.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace Art
{
namespace
{

void Bevel(QPainter &painter, const QRect &rect, int width, const QColor &light, const QColor &dark)
{
    for (int i = 0; i < width; ++i) {
        const QRect r = rect.adjusted(i, i, -i - 1, -i - 1);
        painter.setPen(light);
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(dark);
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
    }
}

void RaisedTile(QPainter &painter, const QRect &rect, int bevel)
{
    painter.fillRect(rect, FaceGrey);
    Bevel(painter, rect, bevel, Qt::white, ShadowGrey);
}

void DrawFlag(QPainter &painter, const QRect &cell)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const int cx = cell.center().x();
    painter.fillRect(QRect(cx - 7, cell.bottom() - 8, 16, 3), Qt::black);
    painter.fillRect(QRect(cx - 3, cell.bottom() - 10, 8, 2), Qt::black);
    painter.fillRect(QRect(cx, cell.top() + 6, 2, 14), Qt::black);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(230, 0, 0));
    painter.drawPolygon(QPolygon({QPoint(cx + 1, cell.top() + 5), QPoint(cx - 10, cell.top() + 10),
                                  QPoint(cx + 1, cell.top() + 15)}));
    painter.restore();
}

} // namespace

void DrawBigMine(QPainter &painter, QPointF centre, qreal radius)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    QPen spike(Qt::black, radius * 0.22, Qt::SolidLine, Qt::FlatCap);
    painter.setPen(spike);
    for (int i = 0; i < 4; ++i) {
        const qreal angle = M_PI / 4 * i;
        const QPointF d(std::cos(angle), std::sin(angle));
        const qreal reach = (i % 2 == 0) ? 1.55 : 1.25;
        painter.drawLine(centre - d * radius * reach, centre + d * radius * reach);
    }
    painter.setPen(Qt::NoPen);
    QRadialGradient body(centre - QPointF(radius * 0.35, radius * 0.35), radius * 1.3);
    body.setColorAt(0.0, QColor(110, 110, 110));
    body.setColorAt(0.35, QColor(30, 30, 30));
    body.setColorAt(1.0, Qt::black);
    painter.setBrush(body);
    painter.drawEllipse(centre, radius, radius);
    painter.setBrush(Qt::white);
    painter.drawEllipse(centre - QPointF(radius * 0.38, radius * 0.38), radius * 0.2, radius * 0.2);
    painter.restore();
}

QImage ProgramIcon()
{
    QImage picture(142, 140, QImage::Format_RGB32);
    QPainter painter(&picture);
    QLinearGradient sky(0, 0, 0, 140);
    sky.setColorAt(0.0, QColor(0, 0, 128));
    sky.setColorAt(1.0, QColor(0, 96, 160));
    painter.fillRect(picture.rect(), sky);
    // A corner of a board: the mine lies open in the middle four cells,
    // surrounded by its counts, one flag and covered cells.
    const QPoint origin(7, 6);
    auto cellRect = [&](int col, int row) {
        return QRect(origin.x() + col * 32, origin.y() + row * 32, 32, 32);
    };
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) {
            const bool open = (col == 1 || col == 2) && (row == 1 || row == 2);
            const bool counted =
                (row == 0 && col <= 2) || (col == 0 && row == 2) || (row == 3 && col == 1);
            if (open || counted) {
                painter.fillRect(cellRect(col, row), FaceGrey);
                Bevel(painter, cellRect(col, row), 1, ShadowGrey, ShadowGrey);
            } else {
                RaisedTile(painter, cellRect(col, row), 3);
            }
        }
    painter.fillRect(QRect(cellRect(1, 1).topLeft(), cellRect(2, 2).bottomRight()), FaceGrey);
    DrawFlag(painter, cellRect(3, 0));
    painter.setRenderHint(QPainter::Antialiasing, true);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setBold(true);
    font.setPixelSize(24);
    painter.setFont(font);
    const struct {
        int col, row;
        const char *text;
        QColor color;
    } numbers[] = {
        {0, 0, "1", QColor(0, 0, 255)}, {1, 0, "2", QColor(0, 128, 0)},
        {2, 0, "3", QColor(255, 0, 0)}, {0, 2, "1", QColor(0, 0, 255)},
        {1, 3, "2", QColor(0, 128, 0)},
    };
    for (const auto &n : numbers) {
        painter.setPen(n.color);
        painter.drawText(cellRect(n.col, n.row), Qt::AlignCenter, QString::fromLatin1(n.text));
    }
    DrawBigMine(painter, QRectF(cellRect(1, 1).topLeft(), cellRect(2, 2).bottomRight()).center(),
                19);
    return picture;
}

QImage AboutImage()
{
    QImage picture(64, 64, QImage::Format_RGB32);
    QPainter painter(&picture);
    RaisedTile(painter, picture.rect(), 2);
    painter.setRenderHint(QPainter::Antialiasing, true);
    // Two beamed quavers: the music that plays beside the game.
    const QColor ink(0, 0, 128);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    painter.drawEllipse(QPointF(20, 47), 7, 5.5);
    painter.drawEllipse(QPointF(44, 42), 7, 5.5);
    painter.fillRect(QRectF(25, 14, 3, 33), ink);
    painter.fillRect(QRectF(49, 9, 3, 33), ink);
    QPainterPath beam;
    beam.moveTo(25, 14);
    beam.lineTo(52, 9);
    beam.lineTo(52, 17);
    beam.lineTo(25, 22);
    beam.closeSubpath();
    painter.drawPath(beam);
    return picture;
}

QImage MainIcon()
{
    QImage icon(64, 64, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    RaisedTile(painter, icon.rect(), 3);
    DrawBigMine(painter, QPointF(32, 32), 13);
    return icon;
}

} // namespace Art
