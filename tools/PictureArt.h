#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QString>

// The program's pictures, drawn pixel by pixel or with QPainter at their
// exact sizes.  Everything is deterministic so that a redraw gives the same
// files (given the same fonts).
namespace Art
{

inline const QColor FaceGrey(189, 189, 189);
inline const QColor ShadowGrey(123, 123, 123);

// A pixel picture: one string per row, one character per pixel; characters
// not in the palette are left untouched.
struct Palette {
    QList<QPair<char, QColor>> entries;
    const QColor *find(char c) const;
};
void PutPattern(QImage &image, int left, int top, const QList<const char *> &rows,
                const Palette &palette);

QImage TileStrip();                     // 153 x 17, nine tiles
QImage DigitStrip(const QString &name); // SMALL, TRAD, TYPO, LED, GOLD
QImage ArrowGlyph(int arrow);           // 32 x 16, order of FerroxRes::TArrow
QImage XCross();                        // 32 x 32
QImage ProgramIcon();                   // 142 x 140
QImage AboutImage();                    // 64 x 64
QImage MainIcon();                      // 64 x 64
QImage DesktopIcon(int size);           // size x size, for the icon theme

// The desktop icon on any painter, a picture or a scalable drawing.
void PaintDesktopIcon(class QPainter &painter, int size);

// Shared motifs.
void DrawMine(QImage &image, int left, int top); // 13 x 13 pixel mine
void DrawBigMine(class QPainter &painter, QPointF centre, qreal radius);

} // namespace Art
