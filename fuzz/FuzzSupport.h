#pragma once

// What the fuzzers share: a Qt application object, a scratch folder and a
// sound module that live as long as the fuzzer, and writing the input to a
// file there.

#include "music/SoundModule.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

// The fuzzer's folder for the files it hands to the program: in memory where
// the system has such a folder, since every run writes a file.
inline QTemporaryDir &ScratchFolder()
{
    static QTemporaryDir folder(QDir(QStringLiteral("/dev/shm")).exists()
                                    ? QStringLiteral("/dev/shm/ferrox-fuzz-XXXXXX")
                                    : QDir::temp().filePath(QStringLiteral("ferrox-fuzz-XXXXXX")));
    return folder;
}

// A QCoreApplication for the whole run, as the program has one.
inline void StartQt()
{
    static int argc = 1;
    static char name[] = "ferrox_fuzzer";
    static char *argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
    if (!ScratchFolder().isValid())
        std::abort();
}

// The sound module whose decoder reads the titles of the formats the program
// does not read itself, as the program has one; made at its first use,
// after the application object, and gone before it.
inline TSoundModule &Decoder()
{
    static TSoundModule decoder;
    return decoder;
}

inline void WriteFile(const QString &path, const uint8_t *data, size_t size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        std::abort();
}

// A finding that is no crash: an invariant of ours that the input broke.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            fprintf(stderr, "check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__);         \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
