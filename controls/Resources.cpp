#include "controls/Resources.h"

#include <QFile>
#include <QImageReader>
#include <QPixmapCache>

// Q_INIT_RESOURCE must be used outside any namespace.
static void RegisterCompiledPictures()
{
    Q_INIT_RESOURCE(resources);
}

namespace
{

// A static library keeps its compiled-in resources only if something refers
// to their registration; this object does, and every control refers to this
// file, so any program that links a control has the pictures from the start.
struct StartupRegistration {
    StartupRegistration() { FerroxRes::InitResources(); }
} startupRegistration;

} // namespace

namespace FerroxRes
{

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
    const QString path = ResourcePath(name);
    // The counters load their strips more than once while they are set up,
    // and twelve edge buttons share eight glyphs: decode each picture once.
    QPixmap picture;
    if (QPixmapCache::find(path, &picture))
        return picture;
    // Naming the format keeps Qt from loading every image plugin to sniff
    // the data, which costs milliseconds at start-up.
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    picture = QPixmap::fromImage(reader.read());
    if (!picture.isNull())
        QPixmapCache::insert(path, picture);
    return picture;
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
    if (const int index = arrow; index < 0 || index >= ArrowCount)
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
