#include "app/SavedGameFile.h"

#include "base/FileLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace
{

QString BadPath(const QString &folder)
{
    return QDir(folder).filePath(QString::fromLatin1(BadSavedGameFileName));
}

// What the file holds now: nothing when there is no file, the list when it
// can be read, nullopt when it cannot.
std::optional<QList<TSavedGame>> ReadList(const QString &path)
{
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return QList<TSavedGame>();
    QFile file(path);
    if (!OpenRegularFile(file))
        return std::nullopt;
    return ReadSavedGames(file);
}

// In one rename, over an older one: the file is kept for whoever wants to
// look at it, and the next start finds no file it cannot read.  What is no
// regular file (a folder, a pipe) is not ours to move.
void MoveAside(const QString &folder)
{
    if (!QFileInfo(SavedGamePath(folder)).isFile())
        return;
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(SavedGamePath(folder)).toStdString(),
                            QFile::encodeName(BadPath(folder)).toStdString(), error);
}

// The list as the file's new content; the last entry gone, the file goes.
bool WriteList(const QString &path, const QList<TSavedGame> &games,
               const TWriteDeviceFactory &writeDevice)
{
    if (games.isEmpty())
        return !QFileInfo::exists(path) || QFile::remove(path);
    TReplaceOptions options;
    options.WriteDevice = writeDevice;
    const QByteArray bytes = EncodeSavedGames(games);
    return ReplaceFileSafely(
        path, [&bytes](QIODevice &out) { return out.write(bytes) == bytes.size(); }, options);
}

void RemoveKeeper(QList<TSavedGame> &games, quint64 keeper)
{
    games.removeIf([keeper](const TSavedGame &game) { return game.Keeper == keeper; });
}

} // namespace

QString SavedGamePath(const QString &folder)
{
    return QDir(folder).filePath(QString::fromLatin1(SavedGameFileName));
}

bool KeepSavedGame(const QString &folder, const TSavedGame &game,
                   const TWriteDeviceFactory &writeDevice)
{
    const QString path = SavedGamePath(folder);
    TFileLock lock(path);
    if (!lock.Acquire())
        return false;
    std::optional<QList<TSavedGame>> games = ReadList(path);
    if (!games) {
        MoveAside(folder);
        games.emplace();
    }
    RemoveKeeper(*games, game.Keeper);
    games->prepend(game);
    while (games->size() > MaxSavedGames)
        games->removeLast();
    return WriteList(path, *games, writeDevice);
}

bool DropSavedGame(const QString &folder, quint64 keeper)
{
    const QString path = SavedGamePath(folder);
    if (!QFileInfo::exists(path))
        return true;
    TFileLock lock(path);
    if (!lock.Acquire())
        return false;
    std::optional<QList<TSavedGame>> games = ReadList(path);
    if (!games)
        return true; // nothing of ours can be read there; the next start moves it aside
    const qsizetype before = games->size();
    RemoveKeeper(*games, keeper);
    return games->size() == before || WriteList(path, *games, {});
}

TTakenGame TakeSavedGame(const QString &folder, const TBoardLimits &limits)
{
    const QString path = SavedGamePath(folder);
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return {};
    TFileLock lock(path);
    if (!lock.Acquire())
        return {}; // another copy is saving: the game stays for the next start
    TTakenGame taken;
    std::optional<QList<TSavedGame>> games = ReadList(path);
    const qsizetype fitting =
        games ? std::find_if(games->cbegin(), games->cend(),
                             [&limits](const TSavedGame &game) { return game.Fits(limits); }) -
                    games->cbegin()
              : 0;
    if (!games || (!games->isEmpty() && fitting == games->size())) {
        MoveAside(folder);
        taken.Unreadable = true;
        return taken;
    }
    if (games->isEmpty())
        return taken;
    const TSavedGame game = games->takeAt(fitting);
    // Resumed only once it is out of the file: never by two copies.
    if (WriteList(path, *games, {}))
        taken.Game = game;
    return taken;
}
