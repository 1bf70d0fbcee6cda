#pragma once

// What a test sees on disk: the names in a folder and whether a path is a
// named pipe.

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include <sys/stat.h>

// Every entry of `folder`, hidden ones included, sorted by name.
inline QStringList EntriesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden |
                                  QDir::System);
}

inline bool IsNamedPipe(const QString &path)
{
    struct stat info = {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISFIFO(info.st_mode);
}
