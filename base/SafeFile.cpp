#include "base/SafeFile.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
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

constexpr int UniqueLength = 12;

QString UniqueSuffix()
{
    static const char Digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    QString suffix(UniqueLength, Qt::Uninitialized);
    for (QChar &ch : suffix)
        ch = QLatin1Char(Digits[QRandomGenerator::global()->bounded(36)]);
    return suffix;
}

bool IsUniqueSuffix(QStringView text)
{
    if (text.size() != UniqueLength)
        return false;
    for (const QChar ch : text)
        if (!(ch >= u'0' && ch <= u'9') && !(ch >= u'a' && ch <= u'z'))
            return false;
    return true;
}

// Whether `name` is one of the names our temporary files of `stem` get.
bool IsOurTemporaryName(const QString &name, const QString &stem)
{
    if (!name.startsWith(stem))
        return false;
    const QStringView rest = QStringView(name).sliced(stem.size());
    return rest.isEmpty() || (rest.startsWith(u'.') && IsUniqueSuffix(rest.sliced(1)));
}

// Removes what saves cut short (a killed process, a power cut) left in
// `folder`: regular files named as our temporaries, old enough that no
// running writer can still be using them.
void RemoveLeftovers(const QString &folder, const QString &stem)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QDirIterator entries(folder, QDir::Files | QDir::Hidden | QDir::System);
    while (entries.hasNext()) {
        entries.next();
        const QFileInfo info = entries.fileInfo();
        if (!IsOurTemporaryName(info.fileName(), stem) || info.isSymLink())
            continue;
        if (info.lastModified().toUTC().msecsTo(now) > LeftoverTemporaryAgeMs)
            QFile::remove(info.filePath());
    }
}

// Creates a temporary file beside `target` under a name no other writer
// has, and tells the name (an open QFile no longer does).
bool CreateTemporary(QFile &file, const QString &target, const QString &stem, QString &name,
                     QString *errorText)
{
    const QDir folder = QFileInfo(target).absoluteDir();
    for (int attempt = 0; attempt < 16; ++attempt) {
        name = folder.filePath(stem + QLatin1Char('.') + UniqueSuffix());
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

bool OpenRegularFileToAppend(QFile &file, QString *errorText)
{
    const QIODevice::OpenMode mode =
        QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered;
#ifdef Q_OS_UNIX
    return OpenDescriptor(file, O_RDWR | O_CREAT | O_APPEND, mode, errorText);
#else
    if (!IsRegularFileOrAbsent(file.fileName()))
        return Fail(errorText, NotARegularFileText());
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
    // The temporary file sits beside the file a link leads to, so that the
    // rename replaces that file and keeps the link; a link that leads nowhere
    // is itself replaced.
    const QString linked = info.isSymLink() ? info.canonicalFilePath() : QString();
    const QString target = linked.isEmpty() ? path : linked;
    const QFileInfo targetInfo(target);
    const QString stem = options.TemporaryStem.isEmpty()
                             ? targetInfo.fileName() + QStringLiteral(".ferrox")
                             : options.TemporaryStem;
    RemoveLeftovers(targetInfo.absolutePath(), stem);

    QFile temporary;
    QString temporaryName;
    if (!CreateTemporary(temporary, target, stem, temporaryName, errorText))
        return false;
    bool replaced = WriteAndClose(temporary, writeContent, options.WriteDevice, errorText);
    if (replaced && info.exists())
        QFile::setPermissions(temporaryName, OwnPermissions(target));
    replaced = replaced && RenameOver(temporaryName, target, errorText);
    if (!replaced)
        QFile::remove(temporaryName);
    return replaced;
}
