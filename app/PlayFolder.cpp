#include "app/PlayFolder.h"

#include "base/Constants.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace
{

QString DataHome()
{
    // A relative XDG_DATA_HOME is invalid, and is ignored as the XDG base
    // directory rules say.
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (QDir::isAbsolutePath(dataHome))
        return dataHome;
    return QDir::homePath() + QStringLiteral("/.local/share");
}

// A name that is taken, even by a link that points nowhere, is left alone.
bool IsTaken(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

QString PreparePlayFolder(const QString &dataFolder, QString &error)
{
    const QString folder = DataHome() + QStringLiteral("/Ferrox");
    if (!QDir().mkpath(folder)) {
        error = QStringLiteral("The play folder \"%1\" cannot be made.").arg(folder);
        return QString();
    }
    // Without them the game still plays, silently; it says so itself.
    for (const QString &name : {DefaultPlayListName, FallbackModuleName}) {
        const QString target = QDir(folder).filePath(name);
        const QString source = QDir(dataFolder).filePath(name);
        if (!IsTaken(target) && QFileInfo(source).isFile())
            QFile::copy(source, target);
    }
    return folder;
}

bool EnterPlayFolder(const QString &folder, QString &error)
{
    if (QFileInfo(folder).isDir() && QDir::setCurrent(folder))
        return true;
    error = QStringLiteral("The game cannot play in \"%1\": there is no such folder, or it "
                           "cannot be entered.")
                .arg(folder);
    return false;
}
