#pragma once

// TFileLock: one writer at a time for a file that several copies of the
// program share.

#include <QLockFile>
#include <QString>

// How long a save waits for another copy's save to end before it gives up.
inline constexpr int FileLockWaitMs = 3000;
// A lock whose holder cannot be asked whether it still runs (it wrote no
// process id, or runs on another machine) is taken as left over after this
// long.  A lock whose holder died on this machine is broken at once.
inline constexpr int StaleFileLockMs = 10000;

// An advisory lock on a file: the lock file "<name>.ferrox-lock" beside it
// (beside the file a symbolic link leads to), made and removed by QLockFile.
// Every writer of the file takes it before it reads the file for its new
// content, and keeps it until the new file is in place; readers need none,
// since a new file only ever appears by a rename.  The lock is released when
// the object goes.
class TFileLock
{
public:
    explicit TFileLock(const QString &path);
    TFileLock(const TFileLock &) = delete;
    TFileLock &operator=(const TFileLock &) = delete;

    // Takes the lock, waiting at most FileLockWaitMs for its holder.  False,
    // with the reason in *errorText, when another copy keeps it that long or
    // the folder takes no lock file (read-only, missing).
    bool Acquire(QString *errorText = nullptr);

    // The lock file that guards `path`.
    static QString LockPath(const QString &path);

private:
    QLockFile Lock;
};
