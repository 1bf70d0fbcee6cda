#pragma once

// "Ferrox game.sav" in the play folder: the games under way that copies of
// the game kept when they ended, newest first, shared by every copy that
// plays in the folder.

#include "base/SafeFile.h"
#include "model/SavedGame.h"

#include <QString>

#include <optional>

inline constexpr char SavedGameFileName[] = "Ferrox game.sav";
// Where a file that cannot be read is moved, so that nothing is deleted.
inline constexpr char BadSavedGameFileName[] = "Ferrox game.sav.bad";

QString SavedGamePath(const QString &folder);

// Every change is made under the file's TFileLock, on the list read again
// under it, and lands by a rename (ReplaceFileSafely): a copy killed at any
// moment leaves the old list or the new one.  `writeDevice` is for tests
// that fail the write part way.

// Puts `game` first in the list, in place of an entry of the same keeper;
// the oldest entries beyond MaxSavedGames go.  A file that cannot be read is
// moved aside first.  False when the file could not be replaced or locked.
bool KeepSavedGame(const QString &folder, const TSavedGame &game,
                   const TWriteDeviceFactory &writeDevice = {});

// Removes the entry of `keeper`, and the file with the last entry.  True
// when no entry of `keeper` is left.
bool DropSavedGame(const QString &folder, quint64 keeper);

// What a start finds.
struct TTakenGame {
    std::optional<TSavedGame> Game; // the newest game that fits, now out of the file
    bool Unreadable = false;        // the file was moved aside to BadSavedGameFileName
};

// Takes the newest game that fits `limits` out of the file, so that no
// other copy resumes it; the others stay.  A file that cannot be read, or
// whose games all are too large for `limits`, is moved aside (replacing an
// older one) and Unreadable is set.  Nothing there: nothing taken, and the
// folder is not touched.
TTakenGame TakeSavedGame(const QString &folder, const TBoardLimits &limits);
