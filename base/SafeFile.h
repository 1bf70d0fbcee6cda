#pragma once

// The program's own files on disk: only regular files are opened, and a file
// is replaced by writing its new content completely beside it first, under a
// name no other writer uses.

#include <QFile>
#include <QIODevice>
#include <QString>

#include <functional>
#include <memory>

// Opens `file` (the name it was given) for reading when that name leads to
// a regular file.  A named pipe, a device or a folder is refused without
// ever waiting on it, like an unreadable file: false, with the reason in
// *errorText.  Once open, the file may no longer tell its name.
bool OpenRegularFile(QFile &file, QIODevice::OpenMode mode = QIODevice::ReadOnly,
                     QString *errorText = nullptr);

// Opens `file` for reading and appending, creating it when it is missing
// (as a regular file, for everyone the umask allows): every write goes to
// the file's end, however many writers share it.  Anything but a regular
// file is refused as OpenRegularFile refuses it.
bool OpenRegularFileToAppend(QFile &file, QString *errorText = nullptr);

// True when `path` names nothing, or a regular file (links followed).
bool IsRegularFileOrAbsent(const QString &path);

// The text a refused file gets.
QString NotARegularFileText();

// Makes the device the new content is written through, around the opened
// temporary file.  Tests hand in one that fails part-way, as a full disk
// would.
using TWriteDeviceFactory = std::function<std::unique_ptr<QIODevice>(QIODevice &file)>;

// Writes the new content to the device it is given; false when it could not.
using TContentWriter = std::function<bool(QIODevice &out)>;

// A temporary file of a save that was cut short is removed by a later save
// of the same file once it is this old: no save takes that long, so no
// running writer still needs it.
inline constexpr int LeftoverTemporaryAgeMs = 60 * 1000;

struct TReplaceOptions {
    // How the temporary files are named: this stem, a dot and twelve random
    // letters and digits, so that no two writers ever share one.  Empty gives
    // "<file name>.ferrox".  The stem is a name only this program uses: a
    // regular file of exactly that name counts as a leftover too.
    QString TemporaryStem;
    // Empty: the content goes straight to the temporary file.
    TWriteDeviceFactory WriteDevice;
};

// Replaces the file at `path` by what `writeContent` writes, in one step:
// the content goes to a temporary file of a name unique to this writer
// beside it (beside the file a symbolic link leads to), is flushed to the
// disk and then renamed over `path`, which keeps its permissions.  The rename
// is the only step that makes new content visible.  True when the file now
// holds the new content.  On any failure `path` is left exactly as it was,
// our temporary file is removed, and *errorText says why.  A `path` that
// exists but is no regular file is never touched.  Temporary files of this
// file's earlier saves that are older than LeftoverTemporaryAgeMs are
// removed first; another writer's younger one is never touched.  Writers
// that share the file take its TFileLock around the call.
bool ReplaceFileSafely(const QString &path, const TContentWriter &writeContent,
                       const TReplaceOptions &options = {}, QString *errorText = nullptr);
