#include "base/SafeFile.h"

#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace
{

bool Fail(QString *errorText, const QString &text)
{
    if (errorText)
        *errorText = text;
    return false;
}

#ifdef Q_OS_UNIX

QString SystemErrorText(int error)
{
    return QString::fromStdString(std::generic_category().message(error));
}

// O_NONBLOCK makes opening a named pipe return at once instead of waiting for
// the other end; the descriptor is checked and made blocking again before Qt
// gets it.
bool OpenDescriptor(QFile &file, int flags, QIODevice::OpenMode mode, QString *errorText)
{
    const QByteArray name = QFile::encodeName(file.fileName());
    const int fd = ::open(name.constData(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0)
        return Fail(errorText, SystemErrorText(errno));
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return Fail(errorText, NotARegularFileText());
    }
    const int statusFlags = ::fcntl(fd, F_GETFL);
    if (statusFlags < 0 || ::fcntl(fd, F_SETFL, statusFlags & ~O_NONBLOCK) != 0 ||
        !file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        const QString text = file.errorString();
        ::close(fd);
        return Fail(errorText, text);
    }
    return true;
}

#endif

std::filesystem::path FileSystemPath(const QString &path)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

// POSIX rename and MoveFileEx with replacing both swap the file in one step;
// QFile::rename refuses an existing target, and deleting the old file first
// would open a window in which a crash loses it.
bool RenameOver(const QString &from, const QString &to, QString *errorText)
{
    std::error_code error;
    std::filesystem::rename(FileSystemPath(from), FileSystemPath(to), error);
    if (error)
        return Fail(errorText, QString::fromStdString(error.message()));
    return true;
}

// The temporary file must be on the disk before it takes the old file's
// place, or a power cut right after the rename could leave an empty file.
bool FlushToDisk(QFile &file)
{
    if (!file.flush())
        return false;
#ifdef Q_OS_UNIX
    return ::fsync(file.handle()) == 0;
#else
    return true;
#endif
}

// Creates the temporary file; a name that exists already is refused, so that
// nothing placed there (a link above all) can lead the content elsewhere.
bool CreateNewFile(QFile &file, QString *errorText)
{
#ifdef Q_OS_UNIX
    return OpenDescriptor(file, O_WRONLY | O_CREAT | O_EXCL, QIODevice::WriteOnly, errorText);
#else
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return Fail(errorText, file.errorString());
    return true;
#endif
}

QString FreshNameBeside(const QString &path)
{
    return path + QLatin1Char('.') +
           QString::number(QRandomGenerator::global()->generate() | 0x10000000u, 36);
}

// Opens a temporary file for `target`, under the caller's name or a fresh
// one, and tells the name (an open QFile no longer does).
bool CreateTemporary(QFile &file, const QString &target, const QString &fixedName, QString &name,
                     QString *errorText)
{
    if (!fixedName.isEmpty()) {
        // The fixed name belongs to us: whatever stands there is what a save
        // cut short left behind.  A folder cannot be removed and stays.
        QFile::remove(fixedName);
        name = fixedName;
        file.setFileName(name);
        return CreateNewFile(file, errorText);
    }
    for (int attempt = 0; attempt < 16; ++attempt) {
        name = FreshNameBeside(target);
        file.setFileName(name);
        if (CreateNewFile(file, errorText))
            return true;
        if (!QFileInfo::exists(name))
            return false; // no clash of names: the folder refuses
    }
    return false;
}

bool WriteAndClose(QFile &temporary, const TContentWriter &writeContent,
                   const TWriteDeviceFactory &makeDevice, QString *errorText)
{
    bool written = false;
    if (makeDevice) {
        const std::unique_ptr<QIODevice> device = makeDevice(temporary);
        written = device && writeContent(*device);
        if (!written && device)
            Fail(errorText, device->errorString());
    } else {
        written = writeContent(temporary);
        if (!written)
            Fail(errorText, temporary.errorString());
    }
    if (written && !FlushToDisk(temporary))
        written = Fail(errorText, temporary.errorString());
    temporary.close();
    if (written && temporary.error() != QFileDevice::NoError)
        written = Fail(errorText, temporary.errorString());
    return written;
}

// The file's own bits.  The "user" flags tell what the running user may do,
// and setting them would set the owner's bits: a root user, who may run
// any file with one execute bit, would make it executable for its owner.
QFile::Permissions OwnPermissions(const QString &path)
{
    return QFile::permissions(path) & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
}

} // namespace

QString NotARegularFileText()
{
    return QStringLiteral("Not a regular file");
}

bool OpenRegularFile(QFile &file, QIODevice::OpenMode mode, QString *errorText)
{
#ifdef Q_OS_UNIX
    return OpenDescriptor(file, O_RDONLY, mode, errorText);
#else
    if (!QFileInfo(file.fileName()).isFile()) {
        if (!QFileInfo::exists(file.fileName()))
            return Fail(errorText, QStringLiteral("No such file or directory"));
        return Fail(errorText, NotARegularFileText());
    }
    if (!file.open(mode))
        return Fail(errorText, file.errorString());
    return true;
#endif
}

bool IsRegularFileOrAbsent(const QString &path)
{
    const QFileInfo info(path);
    return !info.exists() || info.isFile();
}

bool ReplaceFileSafely(const QString &path, const TContentWriter &writeContent,
                       const TReplaceOptions &options, QString *errorText)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return Fail(errorText, NotARegularFileText());
    // With a name of our choosing the temporary file sits beside the file a
    // link leads to, so that the rename replaces that file and keeps the link.
    const bool followLink = options.TemporaryPath.isEmpty() && info.isSymLink();
    const QString target = followLink ? info.canonicalFilePath() : path;

    QFile temporary;
    QString temporaryName;
    if (!CreateTemporary(temporary, target, options.TemporaryPath, temporaryName, errorText))
        return false;
    bool replaced = WriteAndClose(temporary, writeContent, options.WriteDevice, errorText);
    if (replaced && info.exists())
        QFile::setPermissions(temporaryName, OwnPermissions(target));
    replaced = replaced && RenameOver(temporaryName, target, errorText);
    if (!replaced)
        QFile::remove(temporaryName);
    return replaced;
}
