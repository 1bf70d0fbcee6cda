// Redraws every picture of the program into a folder (by default the
// source tree's resources/), so the committed PNGs can be reproduced.
#include "PictureArt.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QTextStream>
#ifdef FERROX_HAVE_SVG
#include <QSvgGenerator>
#endif

namespace
{

bool Save(const QImage &image, const QDir &dir, const QString &name)
{
    const QString path = dir.filePath(name + QStringLiteral(".png"));
    if (image.save(path, "PNG"))
        return true;
    QTextStream(stderr) << "cannot write " << path << '\n';
    return false;
}

// The desktop icon at the sizes icon themes look for, and as a scalable
// drawing where Qt's SVG module is there to write one.
bool SaveDesktopIcons(const QDir &resources)
{
    const QString folder = resources.filePath(QStringLiteral("icons"));
    if (!QDir().mkpath(folder)) {
        QTextStream(stderr) << "cannot create " << folder << '\n';
        return false;
    }
    const QDir dir(folder);
    bool ok = true;
    for (int size : {16, 32, 48, 64, 128, 256})
        ok = Save(Art::DesktopIcon(size), dir, QStringLiteral("Ferrox%1").arg(size)) && ok;
#ifdef FERROX_HAVE_SVG
    constexpr int SvgSize = 256;
    QSvgGenerator svg;
    svg.setFileName(dir.filePath(QStringLiteral("Ferrox.svg")));
    svg.setSize(QSize(SvgSize, SvgSize));
    svg.setViewBox(QRect(0, 0, SvgSize, SvgSize));
    svg.setTitle(QStringLiteral("Ferrox"));
    QPainter painter;
    if (!painter.begin(&svg)) {
        QTextStream(stderr) << "cannot write " << svg.fileName() << '\n';
        return false;
    }
    Art::PaintDesktopIcon(painter, SvgSize);
    ok = painter.end() && ok;
#else
    QTextStream(stderr) << "Qt's SVG module is missing: icons/Ferrox.svg left as it is\n";
#endif
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QString target =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(FERROX_RESOURCES_DIR);
    QDir dir(target);
    if (!dir.exists() && !QDir().mkpath(target)) {
        QTextStream(stderr) << "cannot create " << target << '\n';
        return 1;
    }
    const char *arrows[] = {"ArrowDown",      "ArrowUp",       "ArrowLeft",    "ArrowRight",
                            "ArrowDownRight", "ArrowDownLeft", "ArrowUpRight", "ArrowUpLeft"};
    bool ok = Save(Art::TileStrip(), dir, QStringLiteral("MineImages"));
    for (const char *strip : {"SMALL", "TRAD", "TYPO", "LED", "GOLD"})
        ok = Save(Art::DigitStrip(QString::fromLatin1(strip)), dir, QString::fromLatin1(strip)) &&
             ok;
    for (int i = 0; i < 8; ++i)
        ok = Save(Art::ArrowGlyph(i), dir, QString::fromLatin1(arrows[i])) && ok;
    ok = Save(Art::XCross(), dir, QStringLiteral("XCross")) && ok;
    ok = Save(Art::ProgramIcon(), dir, QStringLiteral("ProgramIcon")) && ok;
    ok = Save(Art::AboutImage(), dir, QStringLiteral("AboutImage")) && ok;
    ok = Save(Art::MainIcon(), dir, QStringLiteral("MainIcon")) && ok;
    ok = SaveDesktopIcons(dir) && ok;
    return ok ? 0 : 1;
}
