#pragma once

// TSoundEngine, TSoundLibrary: what the loadable sound module offers the sound layer.

#include "music/ModuleAudio.h"

#include <QString>
#include <QStringList>

#include <cstdint>

// The program and its sound module are built together; a module of another
// build that answers to another number is not used.  Raise it whenever
// anything in this file or in the structures it passes changes.
inline constexpr int SoundInterfaceVersion = 1;

// SDL's drivers that play nothing: "disk" writes the sound to a file in the
// working folder, which grows for as long as music plays, and "dummy"
// throws it away.  Tests ask for them through SDL_AUDIODRIVER; they are
// never offered or taken from the store.
inline bool IsSilentDriver(const QString &driver)
{
    return driver.compare(QLatin1String("disk"), Qt::CaseInsensitive) == 0 ||
           driver.compare(QLatin1String("dummy"), Qt::CaseInsensitive) == 0;
}

// The name the module's one entry point is exported under.
inline constexpr const char *SoundLibraryEntry = "FerroxSoundLibrary";

// One sound device and the modules it plays: the work behind TModuleAudio,
// which forwards each call of the same name.  The set-up is handed in where
// the device is opened.
class TSoundEngine
{
public:
    virtual ~TSoundEngine() = default;

    virtual bool Init(const TAudioSetup &setup) = 0;
    virtual bool IsOpen() const = 0;
    virtual bool StartBackgroundPlay() = 0;
    virtual bool StopBackgroundPlay() = 0;
    virtual bool Suspend() = 0;
    virtual bool Resume(const TAudioSetup &setup) = 0;
    virtual bool IsSuspended() const = 0;
    virtual bool Close() = 0;

    virtual TModuleHandle LoadModule(const QString &path) = 0;
    virtual bool FreeModule(TModuleHandle module) = 0;
    virtual bool SetAmplification(int percent) = 0;
    virtual TPlayHandle PlayModule(TModuleHandle module, bool loopSong, int volume) = 0;
    virtual bool SetMusicVolume(TPlayHandle handle, int volume) = 0;
    virtual bool GetPlayStatus(TPlayHandle handle, TPlayStatus &status) const = 0;
    virtual bool StopModule(TPlayHandle handle) = 0;

    virtual QString LastError() const = 0;
    virtual QString DecoderLog() const = 0;
    virtual std::uint64_t MixedFrames() const = 0;
    virtual TAudioInUse InUse() const = 0;
};

// The module as a whole: it makes engines and answers what needs no device.
// It lives as long as the process; nobody deletes it.
class TSoundLibrary
{
public:
    virtual TSoundEngine *NewEngine() = 0;
    virtual QStringList OutputDrivers() = 0;
    virtual QStringList OutputDevices(const QString &driver) = 0;
    virtual QString OpenmptVersion() = 0;
    virtual QString SdlVersion() = 0;

protected:
    ~TSoundLibrary() = default;
};

// The entry point: the module's library, or null when interfaceVersion is
// not the module's own SoundInterfaceVersion.
using TSoundLibraryEntry = TSoundLibrary *(*)(int interfaceVersion);
