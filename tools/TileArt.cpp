#include "PictureArt.h"

#include <QPainter>

namespace Art
{

const QColor *Palette::find(char c) const
{
    for (const auto &entry : entries)
        if (entry.first == c)
            return &entry.second;
    return nullptr;
}

void PutPattern(QImage &image, int left, int top, const QList<const char *> &rows,
                const Palette &palette)
{
    for (int y = 0; y < rows.size(); ++y)
        for (int x = 0; rows[y][x] != '\0'; ++x)
            if (const QColor *color = palette.find(rows[y][x]))
                image.setPixelColor(left + x, top + y, *color);
}

namespace
{

constexpr int T = 17;

void FillTile(QImage &strip, int index, const QColor &color)
{
    for (int y = 0; y < T; ++y)
        for (int x = 0; x < T; ++x)
            strip.setPixelColor(index * T + x, y, color);
}

void Set(QImage &strip, int index, int x, int y, const QColor &color)
{
    strip.setPixelColor(index * T + x, y, color);
}

// Flat face with a dotted separator on the right column and bottom row, so
// neighbouring open cells read as a grid without drawn grid lines.
void OpenFace(QImage &strip, int index)
{
    FillTile(strip, index, FaceGrey);
    for (int i = 0; i < T; ++i) {
        const QColor &dot = (i % 2 == 0) ? QColor(Qt::black) : ShadowGrey;
        Set(strip, index, T - 1, i, dot);
        Set(strip, index, i, T - 1, dot);
    }
}

void RaisedFace(QImage &strip, int index)
{
    FillTile(strip, index, FaceGrey);
    for (int i = 0; i < T - 1; ++i) {
        Set(strip, index, i, 0, Qt::white);
        Set(strip, index, 0, i, Qt::white);
    }
    for (int i = 1; i < T - 1; ++i) {
        Set(strip, index, T - 2, i, ShadowGrey);
        Set(strip, index, i, T - 2, ShadowGrey);
    }
    for (int i = 0; i < T; ++i) {
        Set(strip, index, T - 1, i, Qt::black);
        Set(strip, index, i, T - 1, Qt::black);
    }
}

void PressedFace(QImage &strip, int index)
{
    FillTile(strip, index, FaceGrey);
    for (int i = 0; i < T; ++i) {
        Set(strip, index, i, 0, ShadowGrey);
        Set(strip, index, 0, i, ShadowGrey);
    }
    for (int i = 0; i < T; ++i) {
        Set(strip, index, T - 1, i, Qt::black);
        Set(strip, index, i, T - 1, Qt::black);
    }
}

const QList<const char *> QuestionMark = {
    "..#####.", ".##+..##", ".##...##", "......##", ".....##.", "....##..",
    "...##...", "...##...", "........", "...##...", "...##...",
};

void DrawQuestion(QImage &strip, int index, int shift)
{
    const Palette blue{{{'#', QColor(0, 0, 255)}, {'+', QColor(0, 0, 160)}}};
    PutPattern(strip, index * T + 4 + shift, 3 + shift, QuestionMark, blue);
}

// Three nested jagged stars: the flash of the mine that was hit.
void DrawBurst(QImage &strip, int index)
{
    QPainter painter(&strip);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    const QPointF centre(index * T + 8.0, 8.0);
    const struct {
        qreal outer, inner;
        QColor color;
        int points;
        qreal turn;
    } layers[] = {
        {8.0, 4.2, QColor(220, 0, 0), 10, 0.0},
        {6.0, 3.0, QColor(255, 128, 0), 8, 0.3},
        {3.6, 1.8, QColor(255, 240, 0), 6, 0.1},
    };
    for (const auto &layer : layers) {
        QPolygonF star;
        for (int i = 0; i < layer.points * 2; ++i) {
            const qreal angle = layer.turn + M_PI * i / layer.points;
            const qreal r = (i % 2 == 0) ? layer.outer : layer.inner;
            star << centre + QPointF(r * std::cos(angle), r * std::sin(angle));
        }
        painter.setBrush(layer.color);
        painter.drawPolygon(star);
    }
}

void DrawCross(QImage &strip, int index)
{
    const QColor red(230, 0, 0);
    for (int i = 0; i <= 10; ++i) {
        for (int w = 0; w < 2; ++w) {
            Set(strip, index, 3 + i + w, 3 + i, red);
            Set(strip, index, 13 - i - w, 3 + i, red);
        }
    }
}

const QList<const char *> CheckMark = {
    "..........ww", ".........w##", "........w##w", ".ww....w##w.", "w##w..w##w..",
    "w###ww##w...", ".w######w...", "..w####w....", "...w##w.....", "....ww......",
};

void DrawCheck(QImage &strip, int index)
{
    const Palette green{{{'#', QColor(0, 160, 0)}, {'w', Qt::white}}};
    PutPattern(strip, index * T + 3, 4, CheckMark, green);
}

} // namespace

const QList<const char *> MinePattern = {
    "......#......", "......#......", "..#.#####.#..", "...#######...", "..##ww#####..",
    "..##ww#####..", "#############", "..#########..", "..#########..", "...#######...",
    "..#.#####.#..", "......#......", "......#......",
};

void DrawMine(QImage &image, int left, int top)
{
    const Palette colors{{{'#', Qt::black}, {'w', Qt::white}}};
    PutPattern(image, left, top, MinePattern, colors);
}

QImage TileStrip()
{
    QImage strip(9 * T, T, QImage::Format_RGB32);
    OpenFace(strip, 0);
    RaisedFace(strip, 1);
    PressedFace(strip, 2);
    RaisedFace(strip, 3);
    DrawMine(strip, 3 * T + 2, 2);
    RaisedFace(strip, 4);
    DrawQuestion(strip, 4, 0);
    PressedFace(strip, 5);
    DrawQuestion(strip, 5, 1);
    OpenFace(strip, 6);
    DrawBurst(strip, 6);
    RaisedFace(strip, 7);
    DrawMine(strip, 7 * T + 2, 2);
    DrawCross(strip, 7);
    RaisedFace(strip, 8);
    DrawMine(strip, 8 * T + 2, 2);
    DrawCheck(strip, 8);
    return strip;
}

} // namespace Art
