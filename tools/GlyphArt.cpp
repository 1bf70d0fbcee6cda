#include "PictureArt.h"

#include <QPainter>
#include <array>
#include <cmath>

namespace Art
{
namespace
{

using Mask = std::array<std::array<bool, 16>, 16>; // [y][x]

Mask DownArrow()
{
    Mask m{};
    for (int y = 1; y <= 8; ++y)
        for (int x = 6; x <= 9; ++x)
            m[y][x] = true;
    for (int y = 8; y <= 14; ++y) {
        const int half = 14 - y; // 6 at the head's base, 0 at the tip
        for (int x = 7 - half; x <= 8 + half; ++x)
            m[y][x] = true;
    }
    return m;
}

Mask DownRightArrow()
{
    Mask m{};
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool head = x <= 14 && y <= 14 && x + y >= 18;
            const bool shaft = std::abs(x - y) <= 1 && x + y >= 3 && x + y <= 20;
            m[y][x] = head || shaft;
        }
    return m;
}

Mask Transposed(const Mask &in)
{
    Mask m{};
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            m[y][x] = in[x][y];
    return m;
}

Mask Flipped(const Mask &in, bool horizontally, bool vertically)
{
    Mask m{};
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            m[y][x] = in[vertically ? 15 - y : y][horizontally ? 15 - x : x];
    return m;
}

Mask ArrowMask(int arrow)
{
    const Mask down = DownArrow();
    const Mask right = Transposed(down);
    const Mask downRight = DownRightArrow();
    switch (arrow) {
    case 0:
        return down;
    case 1:
        return Flipped(down, false, true);
    case 2:
        return Flipped(right, true, false);
    case 3:
        return right;
    case 4:
        return downRight;
    case 5:
        return Flipped(downRight, true, false);
    case 6:
        return Flipped(downRight, false, true);
    default:
        return Flipped(downRight, true, true);
    }
}

bool Inside(const Mask &m, int x, int y)
{
    return x >= 0 && y >= 0 && x < 16 && y < 16 && m[y][x];
}

bool OnEdge(const Mask &m, int x, int y)
{
    return !Inside(m, x - 1, y) || !Inside(m, x + 1, y) || !Inside(m, x, y - 1) ||
           !Inside(m, x, y + 1);
}

void PaintArrow(QImage &image, int left, const Mask &m, const QColor &outline, const QColor &fill,
                int shift = 0)
{
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            if (!m[y][x] || x + shift > 15 || y + shift > 15)
                continue;
            const QColor &color = OnEdge(m, x, y) ? outline : fill;
            if (color.alpha() > 0)
                image.setPixelColor(left + x + shift, y + shift, color);
        }
}

} // namespace

QImage ArrowGlyph(int arrow)
{
    QImage glyph(32, 16, QImage::Format_ARGB32);
    glyph.fill(Qt::transparent);
    const Mask mask = ArrowMask(arrow);
    PaintArrow(glyph, 0, mask, Qt::black, QColor(0, 0, 160));
    // The disabled picture: the classic etched look, a white copy one pixel
    // down and right under a grey outline.
    PaintArrow(glyph, 16, mask, Qt::white, Qt::transparent, 1);
    PaintArrow(glyph, 16, mask, ShadowGrey, Qt::transparent);
    return glyph;
}

QImage XCross()
{
    QImage cursor(32, 32, QImage::Format_ARGB32);
    cursor.fill(Qt::transparent);
    auto black = [](int x, int y) {
        const int dx = x - 16, dy = y - 16;
        return std::abs(dx) <= 8 && (dx == dy || dx == -dy);
    };
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            if (black(x, y)) {
                cursor.setPixelColor(x, y, Qt::black);
                continue;
            }
            bool nearBlack = false;
            for (int ny = y - 1; ny <= y + 1; ++ny)
                for (int nx = x - 1; nx <= x + 1; ++nx)
                    nearBlack = nearBlack || black(nx, ny);
            if (nearBlack)
                cursor.setPixelColor(x, y, Qt::white);
        }
    return cursor;
}

} // namespace Art
