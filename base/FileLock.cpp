#include "base/FileLock.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QThread>

#include <cerrno>
#include <system_error>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QLockFile>
#endif

namespace
{

bool Fail(QString *errorText, const QString &text)
{
    if (errorText)
        *errorText = text;
    return false;
}

QString SystemErrorText(int error)
{
    return QString::fromStdString(std::generic_category().message(error));
}

QString BusyText()
{
    return QStringLiteral("The file is being saved by another copy of Ferrox");
}

// Short, uneven pauses: the holder's save takes milliseconds, and two
// waiters should not wake in step.
void PauseBeforeRetry()
{
    QThread::msleep(2 + QRandomGenerator::global()->bounded(8));
}

#ifdef Q_OS_UNIX
// Whether the lock file open on `fd` is still the one named `name`: its
// holder removes it when done, and a waiter that got the lock on a removed
// file must start again with the new one.
bool IsStillNamed(int fd, const QByteArray &name)
{
    struct stat open = {};
    struct stat named = {};
    return ::fstat(fd, &open) == 0 && ::lstat(name.constData(), &named) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}
#endif

} // namespace

TFileLock::TFileLock(const QString &path) : Path(LockPath(path)) {}

TFileLock::~TFileLock()
{
    Release();
}

QString TFileLock::LockPath(const QString &path)
{
    const QFileInfo info(path);
    const QString linked = info.isSymLink() ? info.canonicalFilePath() : QString();
    return (linked.isEmpty() ? path : linked) + QStringLiteral(".ferrox-lock");
}

#ifdef Q_OS_UNIX

bool TFileLock::Acquire(QString *errorText)
{
    const QByteArray name = QFile::encodeName(Path);
    const QDeadlineTimer deadline(FileLockWaitMs);
    for (;;) {
        // O_NOFOLLOW: a link planted at the lock's name makes nothing elsewhere.
        const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0)
            return Fail(errorText, SystemErrorText(errno));
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            if (IsStillNamed(fd, name)) {
                Descriptor = fd;
                return true;
            }
            ::close(fd);
            continue;
        }
        const int error = errno;
        ::close(fd);
        if (error != EWOULDBLOCK && error != EINTR)
            return Fail(errorText, SystemErrorText(error));
        if (deadline.hasExpired())
            return Fail(errorText, BusyText());
        PauseBeforeRetry();
    }
}

// The file goes while it is still locked, so nobody can take the lock on it
// after this and believe it current.
void TFileLock::Release()
{
    if (Descriptor < 0)
        return;
    ::unlink(QFile::encodeName(Path).constData());
    ::close(Descriptor);
    Descriptor = -1;
}

#else

bool TFileLock::Acquire(QString *errorText)
{
    Lock = std::make_unique<QLockFile>(Path);
    const QDeadlineTimer deadline(FileLockWaitMs);
    for (;;) {
        if (Lock->tryLock(0))
            return true;
        if (Lock->error() != QLockFile::LockFailedError)
            return Fail(errorText, Lock->error() == QLockFile::PermissionError
                                       ? SystemErrorText(EACCES)
                                       : QStringLiteral("The lock file cannot be made"));
        if (deadline.hasExpired())
            return Fail(errorText, BusyText());
        PauseBeforeRetry();
    }
}

void TFileLock::Release()
{
    Lock.reset();
}

#endif
