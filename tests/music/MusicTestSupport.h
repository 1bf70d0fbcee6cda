#pragma once

// What the music tests share: SDL's disk driver, a folder and a sound module
// of their own, the player's list made from files, and small playable
// modules.

#include "base/SettingsStore.h"
#include "music/Music.h"
#include "music/SoundModule.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include <functional>
#include <optional>

// SDL's disk driver, writing as fast as it can, unless the one running the
// test chose a driver of their own (CTest sets the same).
inline void UseDiskDriverUnlessSet()
{
    if (!qEnvironmentVariableIsSet("SDL_AUDIODRIVER"))
        qputenv("SDL_AUDIODRIVER", "disk");
    if (!qEnvironmentVariableIsSet("SDL_DISKAUDIODELAY"))
        qputenv("SDL_DISKAUDIODELAY", "0");
}

// A fresh folder for every test: fixtures are written there, its settings
// Store lies there (where TestStore reads it too) and it is the working
// directory while the test runs.
// The test's players play through its Sound, made with it (a player made
// after the folder goes before it).
class TTestFolder
{
public:
    TTestFolder() : Previous(QDir::currentPath())
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, Dir.path());
        QDir::setCurrent(Dir.path());
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(File(QStringLiteral("audio.raw"))));
    }
    // The sound device of a test is closed before the next test begins.
    ~TTestFolder()
    {
        Sound.FinishDeviceWork();
        QDir::setCurrent(Previous);
    }
    TTestFolder(const TTestFolder &) = delete;
    TTestFolder &operator=(const TTestFolder &) = delete;

    bool IsValid() const { return Dir.isValid(); }
    QString Path() const { return Dir.path(); }
    QString File(const QString &name) const { return Dir.filePath(name); }

    bool Write(const QString &name, const QByteArray &bytes) const
    {
        const QString path = File(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }

    QByteArray Read(const QString &name) const
    {
        QFile file(File(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    QTemporaryDir Dir;
    QString Previous;

public:
    // The players of a test that keep values in the store are made with it.
    TSettingsStore Store{Dir.filePath(QStringLiteral("Olvane/Ferrox.conf"))};

    // Last, so that it goes first: its device worker ends before the folder.
    TSoundModule Sound;
};

// Sets (or, given nothing, removes) an environment variable for one test and
// puts the old value back.
class TScopedEnv
{
public:
    TScopedEnv(const char *name, const std::optional<QByteArray> &value)
        : Name(name), Old(qgetenv(name)), Had(qEnvironmentVariableIsSet(name))
    {
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
    ~TScopedEnv()
    {
        if (Had)
            qputenv(Name, Old);
        else
            qunsetenv(Name);
    }
    TScopedEnv(const TScopedEnv &) = delete;
    TScopedEnv &operator=(const TScopedEnv &) = delete;

private:
    const char *Name;
    QByteArray Old;
    bool Had;
};

// The program's settings store, as the test folder holds it.
inline QSettings TestStore()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Olvane"),
                     QStringLiteral("Ferrox"));
}

// Polls condition until it holds or the time runs out; never waits longer.
inline bool WaitUntil(const std::function<bool()> &condition, int timeoutMs = 10000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QThread::msleep(2);
    }
    return true;
}

// Appends the given module files to list, in order, each with its title
// as decoder reads it.
inline void AddFiles(TPlayList &list, const QStringList &paths, TSoundModule &decoder)
{
    for (const QString &path : paths) {
        TPlayListItem item;
        item.FileName = QFile::encodeName(path);
        item.ReadTitle(decoder);
        list.AddCopy(item);
    }
}

// The player's list becomes those files, with the titles its own sound
// module reads; startIndex as for ReplaceList.
inline void GiveList(TMusic &music, const QStringList &paths, int startIndex = -1)
{
    TPlayList list;
    AddFiles(list, paths, music.Sound().SoundModule());
    music.ReplaceList(list, startIndex);
}

// Waits until the device the player asked for has opened (or failed to),
// handling events meanwhile.
inline bool WaitForDevice(const TMusic &music)
{
    QElapsedTimer clock;
    clock.start();
    // The player hears of the device on its own thread, a moment later.
    while (music.Sound().DeviceState() == TDeviceState::dsOpening || music.IsAwaitingDevice()) {
        if (clock.elapsed() > 10000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
        QThread::msleep(1);
    }
    return true;
}

// Switches music on and waits until it is heard (or its device failed).
inline bool PlayHeard(TMusic &music)
{
    return music.Play() && WaitForDevice(music) && music.IsPlaying();
}

// A playable four-channel MOD: one sample of a looped square wave, a note on
// every row of one pattern, the given speed, and a pattern break after the
// given number of rows so that the song ends there.
inline QByteArray TinyModule(const QByteArray &title, int rows = 8, int speed = 2)
{
    constexpr int HeaderSize = 1084;
    constexpr int SampleWords = 256;
    QByteArray module(HeaderSize + 1024, '\0');
    module.replace(0, qMin<qsizetype>(title.size(), 20), title.left(20));
    char *sample = module.data() + 20;
    sample[22] = static_cast<char>(SampleWords >> 8);
    sample[23] = static_cast<char>(SampleWords & 0xFF);
    sample[25] = 64;                                  // volume
    sample[28] = static_cast<char>(SampleWords >> 8); // loop the whole sample
    sample[29] = static_cast<char>(SampleWords & 0xFF);
    for (int i = 1; i < 31; ++i)
        module[20 + i * 30 + 29] = 1; // unused samples: no loop
    module[950] = 1;                  // one order
    module[951] = 127;
    module.replace(1080, 4, "M.K.");
    auto cell = [&](int row, int channel) {
        return module.data() + HeaderSize + row * 16 + channel * 4;
    };
    constexpr int Period = 214; // C-3
    for (int row = 0; row < rows; ++row) {
        char *note = cell(row, 0);
        note[0] = static_cast<char>(Period >> 8);
        note[1] = static_cast<char>(Period & 0xFF);
        note[2] = static_cast<char>(1 << 4); // sample 1
    }
    cell(0, 1)[2] = 0x0F; // set speed
    cell(0, 1)[3] = static_cast<char>(speed);
    if (rows < 64)
        cell(rows - 1, 2)[2] = 0x0D; // pattern break: the song ends
    QByteArray wave(SampleWords * 2, '\0');
    for (int i = 0; i < wave.size(); ++i)
        wave[i] = static_cast<char>((i / 16) % 2 ? 100 : -100);
    return module + wave;
}

// A playable MultiTracker module, a format whose title only the decoder
// reads: one channel playing a looped square wave on every row of one
// pattern of the given rows (at most 64) at the given speed, played once.
// The title is code page 437, as the tracker wrote it.
inline QByteArray TinyMtm(const QByteArray &title, int rows = 8, int speed = 2)
{
    constexpr int SampleBytes = 512;
    QByteArray module("MTM\x10", 4);
    auto put16 = [&](int value) {
        module.append(static_cast<char>(value & 0xFF));
        module.append(static_cast<char>((value >> 8) & 0xFF));
    };
    auto put32 = [&](int value) {
        put16(value & 0xFFFF);
        put16(value >> 16);
    };
    module.append(title.left(20).leftJustified(20, '\0'));
    put16(1);                               // tracks
    module.append('\0');                    // last pattern
    module.append('\0');                    // last order
    put16(0);                               // comment length
    module.append('\1');                    // samples
    module.append('\0');                    // attributes
    module.append(static_cast<char>(rows)); // rows of a track
    module.append('\1');                    // channels
    module.append(QByteArray(32, '\x07'));  // pan positions
    module.append(QByteArray("square").leftJustified(22, '\0'));
    put32(SampleBytes); // length, loop start, loop end: all of it loops
    put32(0);
    put32(SampleBytes);
    module.append('\0');                  // finetune
    module.append('\x40');                // volume
    module.append('\0');                  // 8-bit
    module.append(QByteArray(128, '\0')); // the order list: pattern 0
    QByteArray track(192, '\0');
    for (int row = 0; row < rows; ++row) {
        track[row * 3] = static_cast<char>(24 << 2); // a note, sample 1
        track[row * 3 + 1] = static_cast<char>(1 << 4);
    }
    track[1] = static_cast<char>((1 << 4) | 0x0F); // set speed
    track[2] = static_cast<char>(speed);
    module.append(track);
    put16(1); // pattern 0: the track on channel 1, nothing on the others
    module.append(QByteArray(62, '\0'));
    for (int i = 0; i < SampleBytes; ++i)
        module.append(static_cast<char>((i / 16) % 2 ? 228 : 28)); // unsigned
    return module;
}

// The real modules of the shared folder, when it is there.
inline QString SharedModules()
{
    return QStringLiteral(FERROX_SHARED_MODULES);
}
