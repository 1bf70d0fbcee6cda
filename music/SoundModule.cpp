#include "music/SoundModule.h"

#include "sound/SoundEngine.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QPointer>

namespace
{

const QString ModuleName = QStringLiteral(FERROX_SOUND_MODULE_NAME);
const QString NotLoaded = QStringLiteral("not loaded");

// Loads one candidate file; null with the reason when it is no module of
// this build.
TSoundLibrary *LoadFile(const QString &path, QString &reason)
{
    // Local symbols (QLibrary's default): the dozens of libraries the module
    // pulls in stay out of the scope every later symbol lookup searches.
    // A module that is taken is never unloaded (the QLibrary object going
    // away leaves it); another object loading it again shares the mapping
    // and gets a library of its own.
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

TSoundModule::TSoundModule(QStringList onlyFolders) : OnlyFolders(std::move(onlyFolders)) {}

// The library goes here, its device worker finishing first.
TSoundModule::~TSoundModule() = default;

TSoundLibrary *TSoundModule::Library()
{
    if (!Tried) {
        Tried = true;
        Loaded.reset(Load(OnlyFolders.isEmpty() ? Folders() : OnlyFolders, LoadError));
    }
    return Loaded.get();
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

// --- Drivers and devices -----------------------------------------------------

QStringList TSoundModule::OutputDrivers()
{
    TSoundLibrary *library = Library();
    return library ? library->OutputDrivers() : QStringList();
}

QStringList TSoundModule::OutputDevices(const QString &driver)
{
    TSoundLibrary *library = Library();
    return library ? library->OutputDevices(driver) : QStringList();
}

void TSoundModule::OutputDevicesLater(const QString &driver, QObject *receiver,
                                      std::function<void(const QStringList &)> done)
{
    // Delivered through the application object, which outlives the
    // receiver; the guard tells whether the receiver is still there.
    const QPointer<QObject> guard(receiver);
    auto deliver = [guard, done = std::move(done)](const QStringList &devices) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [guard, done, devices] {
                if (guard)
                    done(devices);
            },
            Qt::QueuedConnection);
    };
    if (TSoundLibrary *library = Library())
        library->ListOutputDevices(driver, std::move(deliver));
    else
        deliver(QStringList());
}

void TSoundModule::FinishDeviceWork()
{
    if (Loaded)
        Loaded->FinishDeviceWork();
}

// --- Formats -----------------------------------------------------------------

QStringList TSoundModule::DecoderExtensions()
{
    if (!Extensions) {
        TSoundLibrary *library = Library();
        Extensions = library ? library->ModuleExtensions() : QStringList();
    }
    return *Extensions;
}

bool TSoundModule::IsDecoderExtension(const QString &extension)
{
    return !extension.isEmpty() && DecoderExtensions().contains(extension, Qt::CaseInsensitive);
}

std::optional<QString> TSoundModule::DecoderTitle(const QString &path)
{
    TSoundLibrary *library = Library();
    return library ? library->ModuleTitle(path) : std::nullopt;
}

// --- Versions ----------------------------------------------------------------

QString TSoundModule::OpenmptVersion()
{
    TSoundLibrary *library = Library();
    return library ? library->OpenmptVersion() : NotLoaded;
}

QString TSoundModule::SdlVersion()
{
    TSoundLibrary *library = Library();
    return library ? library->SdlVersion() : NotLoaded;
}
