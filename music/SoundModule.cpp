#include "music/SoundModule.h"

#include "sound/SoundEngine.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace
{

const QString ModuleName = QStringLiteral(FERROX_SOUND_MODULE_NAME);

struct TLoaderState {
    QStringList Only;
    bool Tried = false;
    TSoundLibrary *Library = nullptr;
    QString Error;
};

TLoaderState &State()
{
    static TLoaderState state;
    return state;
}

// Loads one candidate file; null with the reason when it is no module of
// this build.
TSoundLibrary *LoadFile(const QString &path, QString &reason)
{
    // Local symbols (QLibrary's default): the dozens of libraries the module
    // pulls in stay out of the scope every later symbol lookup searches.
    // A module that is taken is never unloaded (the QLibrary object going
    // away leaves it), as sound engines may live until exit.
    QLibrary library(path);
    if (!library.load()) {
        reason = library.errorString();
        return nullptr;
    }
    const auto entry = reinterpret_cast<TSoundLibraryEntry>(library.resolve(SoundLibraryEntry));
    if (TSoundLibrary *found = entry ? entry(SoundInterfaceVersion) : nullptr)
        return found;
    library.unload();
    reason = QStringLiteral("%1 belongs to another build of the game").arg(path);
    return nullptr;
}

TSoundLibrary *Load(const QStringList &folders, QString &error)
{
    QStringList reasons;
    for (const QString &folder : folders) {
        const QString path = QDir(folder).filePath(ModuleName);
        if (!QFileInfo(path).isFile())
            continue;
        QString reason;
        if (TSoundLibrary *library = LoadFile(path, reason))
            return library;
        reasons << reason;
    }
    if (reasons.isEmpty())
        reasons << QStringLiteral("%1 is in none of %2")
                       .arg(ModuleName, folders.join(QStringLiteral(", ")));
    error = QStringLiteral("The sound library could not be loaded: %1.")
                .arg(reasons.join(QStringLiteral("; ")));
    return nullptr;
}

} // namespace

TSoundLibrary *TSoundModule::Library()
{
    TLoaderState &state = State();
    if (!state.Tried) {
        state.Tried = true;
        state.Library = Load(state.Only.isEmpty() ? Folders() : state.Only, state.Error);
    }
    return state.Library;
}

bool TSoundModule::IsLoaded()
{
    return State().Library != nullptr;
}

QString TSoundModule::Error()
{
    return State().Error;
}

QStringList TSoundModule::Folders()
{
    QStringList folders;
    // Without an application object Qt does not know the program's folder;
    // Linux still tells it.
    const QString programFolder = QCoreApplication::instance()
                                      ? QCoreApplication::applicationDirPath()
                                      : QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    if (!programFolder.isEmpty())
        folders << QDir::cleanPath(programFolder + QStringLiteral("/" FERROX_SOUND_FROM_BIN));
    folders << QStringLiteral(FERROX_SOUND_INSTALL_DIR);
    folders.removeDuplicates();
    return folders;
}

void TSoundModule::SearchOnly(const QStringList &folders)
{
    TLoaderState &state = State();
    if (state.Library)
        return;
    state.Only = folders;
    state.Tried = false;
    state.Error.clear();
}
