#include "controls/Resources.h"

#include <QFile>

// Q_INIT_RESOURCE must be used outside any namespace.
static void RegisterCompiledPictures()
{
    Q_INIT_RESOURCE(resources);
}

namespace {

// A static library keeps its compiled-in resources only if something refers
// to their registration; this object does, and every control refers to this
// file, so any program that links a control has the pictures from the start.
struct StartupRegistration {
    StartupRegistration() { FerroxRes::InitResources(); }
} startupRegistration;

} // namespace

namespace FerroxRes {

void InitResources()
{
    static const bool registered = [] {
        RegisterCompiledPictures();
        return true;
    }();
    (void)registered;
}

QString ResourcePath(const char *name)
{
    return QStringLiteral(":/") + QString::fromLatin1(name);
}

QPixmap LoadPicture(const char *name)
{
    InitResources();
    return QPixmap(ResourcePath(name));
}

QList<QPixmap> LoadTiles()
{
    const QPixmap strip = LoadPicture(MineImages);
    QList<QPixmap> tiles;
    if (strip.width() < TileCount * TileSize || strip.height() < TileSize)
        return tiles;
    for (int i = 0; i < TileCount; ++i)
        tiles.append(strip.copy(i * TileSize, 0, TileSize, TileSize));
    return tiles;
}

QPixmap LoadArrowGlyph(TArrow arrow)
{
    if (arrow < 0 || arrow >= ArrowCount)
        return QPixmap();
    return LoadPicture(ArrowNames[arrow]);
}

QCursor LoadXCrossCursor()
{
    const QPixmap shape = LoadPicture(XCross);
    if (shape.isNull())
        return QCursor(Qt::CrossCursor);
    return QCursor(shape, XCrossHotX, XCrossHotY);
}

QIcon LoadMainIcon()
{
    return QIcon(LoadPicture(MainIcon));
}

} // namespace FerroxRes
