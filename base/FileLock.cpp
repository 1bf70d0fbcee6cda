#include "base/FileLock.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QThread>

#include <cerrno>
#include <system_error>

namespace
{

QString SystemErrorText(int error)
{
    return QString::fromStdString(std::generic_category().message(error));
}

// Short, uneven pauses: the holder's save takes milliseconds, and two
// waiters should not wake in step.
void PauseBeforeRetry()
{
    QThread::msleep(2 + QRandomGenerator::global()->bounded(8));
}

} // namespace

TFileLock::TFileLock(const QString &path) : Lock(LockPath(path))
{
    Lock.setStaleLockTime(StaleFileLockMs);
}

QString TFileLock::LockPath(const QString &path)
{
    const QFileInfo info(path);
    const QString target = info.isSymLink() ? info.canonicalFilePath() : path;
    return (target.isEmpty() ? path : target) + QStringLiteral(".ferrox-lock");
}

// QLockFile's own wait sleeps 100 ms and then ever longer; tryLock(0) in a
// loop hands the lock on within a few milliseconds.  Each try also breaks a
// stale lock: one whose holder no longer runs on this machine, or an
// unreadable one older than StaleFileLockMs.
bool TFileLock::Acquire(QString *errorText)
{
    const QDeadlineTimer deadline(FileLockWaitMs);
    for (;;) {
        if (Lock.tryLock(0))
            return true;
        if (Lock.error() != QLockFile::LockFailedError || deadline.hasExpired())
            break;
        PauseBeforeRetry();
    }
    if (errorText) {
        switch (Lock.error()) {
        case QLockFile::LockFailedError:
            *errorText = QStringLiteral("The file is being saved by another copy of Ferrox");
            break;
        case QLockFile::PermissionError:
            *errorText = SystemErrorText(EACCES);
            break;
        default:
            // QLockFile keeps the system's reason to itself; a missing
            // folder is the one a person can mend.
            *errorText = QFileInfo(QFileInfo(Lock.fileName()).absolutePath()).isDir()
                             ? QStringLiteral("The lock file cannot be made")
                             : SystemErrorText(ENOENT);
            break;
        }
    }
    return false;
}
