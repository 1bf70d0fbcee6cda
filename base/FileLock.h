#pragma once

// TFileLock: one writer at a time for a file that several copies of the
// program share.

#include <QString>

#include <memory>

class QLockFile;

// How long a save waits for another copy's save to end before it gives up.
inline constexpr int FileLockWaitMs = 3000;

// An advisory lock on a file, taken on the lock file "<name>.ferrox-lock"
// beside it (beside the file a symbolic link leads to).  Every writer of the
// file takes it before it reads the file for its new content and keeps it
// until the new file is in place; readers need none, since new content only
// ever appears by a rename.
//
// On Unix the lock is flock() on the lock file, which the holder removes
// when it lets go.  The system drops a holder's flock the moment the holder
// ends, however it ends (killed, crashed), so a left-over lock file holds
// nobody up: the next writer takes its lock at once and goes on.  Elsewhere
// it is a QLockFile, which takes a lock whose holder no longer runs as stale.
class TFileLock
{
public:
    explicit TFileLock(const QString &path);
    ~TFileLock();
    TFileLock(const TFileLock &) = delete;
    TFileLock &operator=(const TFileLock &) = delete;

    // Takes the lock, waiting at most FileLockWaitMs for its holder.  False,
    // with the reason in *errorText, when another copy keeps it that long or
    // the folder takes no lock file (read-only, missing).
    bool Acquire(QString *errorText = nullptr);

    // The lock file that guards `path`.
    static QString LockPath(const QString &path);

private:
    void Release();

    QString Path;
#ifdef Q_OS_UNIX
    int Descriptor = -1;
#else
    std::unique_ptr<QLockFile> Lock;
#endif
};
