#pragma once

// The program's own files on disk: only regular files are opened, and a file
// is replaced by writing its new content completely beside it first.

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

struct TReplaceOptions {
    // The temporary file's name; empty gives a fresh name beside the file,
    // which is then the file a symbolic link leads to.
    QString TemporaryPath;
    // Empty: the content goes straight to the temporary file.
    TWriteDeviceFactory WriteDevice;
};

// Replaces the file at `path` by what `writeContent` writes, in one step:
// the content goes to the temporary file, is flushed to the disk and then
// renamed over `path`, which keeps its permissions.  True when the file now
// holds the new content.  On any failure `path` is left exactly as it was, no
// temporary file stays, and *errorText says why.  A `path` that exists but is
// no regular file is never touched.
bool ReplaceFileSafely(const QString &path, const TContentWriter &writeContent,
                       const TReplaceOptions &options = {}, QString *errorText = nullptr);
