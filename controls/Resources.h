#pragma once

// The program's compiled-in pictures and their loaders.

#include "base/Constants.h"

#include <QCursor>
#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QString>

// The program's compiled-in pictures and their resource names.  Each name is
// a file path ":/<name>" in Qt's resource system.  The pictures are drawn by
// tools/DrawPictures and committed as PNGs in resources/.
namespace FerroxRes
{

// The nine 17 x 17 board tiles side by side (153 x 17), in this order:
// open, covered, covered pressed, mine, question, question pressed,
// exploded mine, wrong flag (crossed mine), found mine (checked).
inline constexpr const char *MineImages = "MineImages";
inline constexpr int TileSize = CellSize;
inline constexpr int TileCount = 9;
enum TTile {
    tiOpen,
    tiCovered,
    tiPressed,
    tiMine,
    tiQuestion,
    tiQuestionPressed,
    tiExploded,
    tiWrongFlag,
    tiFoundMine
};

// The digit strips of the counter: ten digits (LED: and a minus sign).
inline constexpr const char *Small = "SMALL"; // 110 x 30
inline constexpr const char *Trad = "TRAD";   // 180 x 24
inline constexpr const char *Typo = "TYPO";   // 210 x 27
inline constexpr const char *Led = "LED";     // 198 x 24
inline constexpr const char *Gold = "GOLD";   // 180 x 30

// The edge-button glyphs: two 16 x 16 pictures side by side (normal,
// disabled) of an outlined arrow pointing the way the board's contents move.
enum TArrow { arDown, arUp, arLeft, arRight, arDownRight, arDownLeft, arUpRight, arUpLeft };
inline constexpr int ArrowCount = 8;
inline constexpr int GlyphSize = 16;
inline constexpr const char *ArrowNames[ArrowCount] = {
    "ArrowDown",      "ArrowUp",       "ArrowLeft",    "ArrowRight",
    "ArrowDownRight", "ArrowDownLeft", "ArrowUpRight", "ArrowUpLeft"};

// The board's cross-hair pointer: 32 x 32, hot spot at its centre.
inline constexpr const char *XCross = "XCross";
inline constexpr int XCrossHotX = 16;
inline constexpr int XCrossHotY = 16;

// The about window's pictures and the application icon.
inline constexpr const char *ProgramIcon = "ProgramIcon"; // 142 x 140
inline constexpr const char *AboutImage = "AboutImage";   // 64 x 64
inline constexpr const char *MainIcon = "MainIcon";       // 64 x 64

// Registers the compiled-in pictures with Qt's resource system.  Safe to call
// any number of times; the loaders below and every control call it, and it
// also runs at start-up in any program that links a control.
void InitResources();

// ":/<name>".
QString ResourcePath(const char *name);
// The picture of that name; a null pixmap when there is none.
QPixmap LoadPicture(const char *name);
// The nine tiles cut from MineImages, in TTile order (empty if missing).
QList<QPixmap> LoadTiles();
// The 32 x 16 two-picture glyph of an edge button.
QPixmap LoadArrowGlyph(TArrow arrow);
// The cross-hair pointer with its hot spot.
QCursor LoadXCrossCursor();
// The application icon.
QIcon LoadMainIcon();

} // namespace FerroxRes
