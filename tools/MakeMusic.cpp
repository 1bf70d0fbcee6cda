// Writes the program's own music into a folder (by default the source
// tree's resources/): the module "Ferrox.MOD" and the default play list
// "Ferrox.M3U" that names it, so both can be reproduced from source.
#include "MusicArt.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>

namespace
{

bool Save(const QDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
        file.write(bytes) == bytes.size() && file.flush())
        return true;
    QTextStream(stderr) << "cannot write " << path << '\n';
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString target =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(FERROX_RESOURCES_DIR);
    if (!QDir().mkpath(target)) {
        QTextStream(stderr) << "cannot create " << target << '\n';
        return 1;
    }
    const QDir dir(target);
    // Play lists are written with CR LF, like every list the game saves.
    const bool ok =
        Save(dir, QStringLiteral("Ferrox.MOD"), MusicArt::ModFile(MusicArt::FerroxTune())) &&
        Save(dir, QStringLiteral("Ferrox.M3U"), QByteArray("Ferrox.MOD\r\n"));
    return ok ? 0 : 1;
}
