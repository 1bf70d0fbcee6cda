#pragma once

// TModuleAudio: the sound layer, modules decoded by libopenmpt and played through SDL2.

#include "base/Constants.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

class QSettings;
class TSoundEngine;

using TModuleHandle = std::uint32_t; // 0 = no module
using TPlayHandle = std::uint32_t;   // 0 = nothing playing

// How the sound device is chosen.  Empty strings and zeros mean automatic.
struct TAudioSetup {
    QString Driver;   // SDL output driver name ("pulseaudio", "alsa", ...)
    QString Device;   // output device name of that driver
    int MixRate = 0;  // frames per second
    int BufferMs = 0; // length of one device buffer in milliseconds

    bool operator==(const TAudioSetup &) const = default;
};

// True when SDL_AUDIODRIVER is set in the environment: that driver is used,
// whatever the set-up says.
inline bool DriverChosenByEnvironment()
{
    return !qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER");
}

// What the open sound device runs with.  Open is false when it is closed
// (never opened, suspended, or closed again); the rest is then empty.
struct TAudioInUse {
    bool Open = false;
    QString Driver;       // SDL's name of the driver in use
    QString Device;       // empty: the driver's default device
    int MixRate = 0;      // frames per second
    int BufferFrames = 0; // frames per device buffer

    bool operator==(const TAudioInUse &) const = default;
};

// What GetPlayStatus reports about a playing module.
struct TPlayStatus {
    std::uint32_t Position = 0; // order index
    std::uint32_t Pattern = 0;
    std::uint32_t Row = 0;
    std::uint32_t SyncInfo = 0;
    std::uint32_t SongLoopCount = 0; // non-zero once the song has played to its end
};

// The program's sound library: tracker modules decoded by libopenmpt and
// mixed into one SDL2 audio device from SDL's callback thread.  One module
// plays at a time.  Constructing it grabs no device; Init opens one.
// libopenmpt and SDL live in a module of their own (TSoundModule), loaded
// by the first call that needs them: Init, LoadModule, OutputDrivers,
// OutputDevices, and Setup while a stored driver waits to be checked.
// Without the module those calls fail cleanly (LastError says why), every
// other call answers as if the device were closed, and the set-up is read
// and written all the same.
// Every call comes from one thread (the user-interface thread); the modules
// the callback plays are only touched under the device lock.  Nothing is
// ever cut off mid-wave: whatever stops the sound (StopModule, a new
// PlayModule, FreeModule of the playing module, StopBackgroundPlay, Suspend,
// Close) first fades it out over a few milliseconds and waits until the
// fade is in the device's hands, a device buffer or two (about 5 ms each
// with the automatic set-up).
class TModuleAudio
{
public:
    TModuleAudio();
    ~TModuleAudio();
    TModuleAudio(const TModuleAudio &) = delete;
    TModuleAudio &operator=(const TModuleAudio &) = delete;

    // Prepares the library for use, once before any other call: the set-up
    // goes back to the automatic choices.  Opens no device and loads no
    // sound library.
    void Startup();

    // The set-up lives in a group of the settings store.  Reading keeps the
    // automatic choice for every value that is missing or unusable, and for
    // a driver that is not one of OutputDrivers ("disk" and "dummy" at once;
    // any other name when the set-up is first looked at or used, so that
    // reading it loads no sound library).
    void ReadConfig(QSettings &settings, const QString &group);
    void WriteConfig(QSettings &settings, const QString &group) const;
    const TAudioSetup &Setup() const;
    // Takes effect at the next Init.
    void SetSetup(const TAudioSetup &setup);

    // Opens the sound device, paused.  False when there is none; LastError
    // then says why.  IsOpen is false while suspended.
    bool Init();
    bool IsOpen() const;
    // Lets the device play: from now on the callback mixes by itself.
    bool StartBackgroundPlay();
    // Fades out and pauses the device; a playing module holds its place.
    bool StopBackgroundPlay();
    // Suspend stops output and gives the device back to the system; Resume
    // opens it again with the same set-up and plays on, and fails when the
    // device cannot be had.  Loaded modules stay loaded.
    bool Suspend();
    bool Resume();
    bool IsSuspended() const;
    // Stops playing and closes the device.  Loaded modules stay loaded.
    bool Close();

    // Loads a module file; 0 when it cannot be read or decoded.  Works
    // whether or not the device is open.
    TModuleHandle LoadModule(const QString &path);
    // Frees a module, stopping it first when it plays.
    bool FreeModule(TModuleHandle module);

    // Loudness of every later start, in percent of the decoder's natural level.
    bool SetAmplification(int percent);
    // Starts a module from its beginning at the given volume (0..64); 0
    // when the device is not open or the module is unknown.  Whatever played
    // before stops.
    TPlayHandle PlayModule(TModuleHandle module, bool loopSong, int volume = NaturalVolume);
    // Volume 0 (silence) .. 64 (natural level) of a playing module.
    bool SetMusicVolume(TPlayHandle handle, int volume);
    bool GetPlayStatus(TPlayHandle handle, TPlayStatus &status) const;
    bool StopModule(TPlayHandle handle);

    // The reason of the last failure, for the set-up window.
    QString LastError() const;
    // What libopenmpt has said while loading and playing (kept short).
    QString DecoderLog() const;
    // Frames the callback has mixed since the device opened.
    std::uint64_t MixedFrames() const;
    // The mixing rate of the open device, 0 when closed.
    int OpenMixRate() const;
    // Frames the callback mixes at each call on the open device, 0 when closed.
    int OpenBufferFrames() const;
    // What the open device runs with, for the set-up window.
    TAudioInUse InUse() const;

    // Choices for the set-up window.  Only drivers that reach a sound card
    // are offered and taken from the store, never SDL's "disk" (which
    // writes a file that grows without end) or "dummy".
    static QStringList OutputDrivers();
    // The output devices of a driver (empty: the automatic one).  While the
    // device is open only its own driver's devices can be listed.
    static QStringList OutputDevices(const QString &driver);
    static QList<int> MixRates();
    static QList<int> BufferLengths();

private:
    // A driver read from the store is checked against OutputDrivers, which
    // needs the sound library, only when the set-up is looked at or used.
    void CheckDriver() const;
    // The engine of the sound module, made on first need; null when the
    // module cannot be loaded (LastError then says why).
    TSoundEngine *Engine();

    mutable TAudioSetup CurrentSetup;
    mutable bool DriverUnchecked = false;
    struct TImpl;
    std::unique_ptr<TImpl> Impl;
};
