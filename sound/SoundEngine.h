#pragma once

// TSoundEngine, TSoundLibrary: the face of the sound module, and the values
// that pass through it.

#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

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

// What the open sound device runs with.  Open is false when it is closed
// (never opened, suspended, being opened, or closed again); the rest is
// then empty.
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
    // The time from the song's beginning to where it is being heard.
    std::chrono::microseconds Elapsed{0};
};

// Where the device stands after the last request: being opened, open, or
// failed to open (the engine's LastError says why); closed before the first
// request and after a close.  Lost: the desktop's sound server went away
// while the device was open; nothing is heard or rendered, and the engine
// looks for the server once a second and is open again when it is back.
enum class TDeviceState { dsClosed, dsOpening, dsOpen, dsFailed, dsLost };

// True when SDL_AUDIODRIVER is set in the environment: that driver is used,
// whatever the set-up says.
inline bool DriverChosenByEnvironment()
{
    return !qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER");
}

// SDL's drivers that play nothing: "disk" writes the sound to a file in the
// working folder, which grows for as long as music plays, and "dummy"
// throws it away.  Tests ask for them through SDL_AUDIODRIVER; they are
// never offered or taken from the store.
inline bool IsSilentDriver(const QString &driver)
{
    return driver.compare(QLatin1String("disk"), Qt::CaseInsensitive) == 0 ||
           driver.compare(QLatin1String("dummy"), Qt::CaseInsensitive) == 0;
}

// The program and its sound module are built together; a module of another
// build that answers to another number is not used.  Raise it whenever
// anything in this file changes.
inline constexpr int SoundInterfaceVersion = 6;

// The name the module's one entry point is exported under.
inline constexpr const char *SoundLibraryEntry = "FerroxSoundLibrary";

// One sound device and the modules it plays, one module at a time.
//
// Every call comes from one thread, the caller's, and returns at once: the
// device is opened, closed and opened again by the library's device worker,
// in the order asked, so that no call waits for a sound card (closing an
// SDL device waits for three of its buffers), for the sound server (which
// may take a second to connect to, or hang) or for the worker.  The outcome of an opening
// shows in DeviceState, and the listener hears of every change of it.
// Nothing is ever cut off mid-wave: whatever stops the sound (StopModule, a
// new PlayModule, FreeModule of the playing module, StopBackgroundPlay,
// Suspend, Close) fades it out over a few milliseconds in the device's next
// buffer, and a device is closed only once the fade has been heard.
class TSoundEngine
{
public:
    // Fades out whatever sounds and returns once the fade has been heard, in
    // at most 0.4 s whatever the device or the sound server does: a server
    // that does not answer within a tenth of a second is let go of without
    // the fade, and a stream still connecting is dropped.  The device is
    // closed afterwards by the device worker, which nothing waits for.
    virtual ~TSoundEngine() = default;

    // Opens the device with the set-up, paused; true unless it is already
    // open or being opened.
    virtual bool Init(const TAudioSetup &setup) = 0;
    // Open or being opened (not failed).
    virtual bool IsOpen() const = 0;
    // From now on the device plays what the engine mixes.
    virtual bool StartBackgroundPlay() = 0;
    // Fades out and holds: a playing module keeps its place.
    virtual bool StopBackgroundPlay() = 0;
    // Suspend gives the device back to the system; Resume opens it again
    // with the set-up and plays on.  Loaded modules stay loaded.
    virtual bool Suspend() = 0;
    virtual bool Resume(const TAudioSetup &setup) = 0;
    virtual bool IsSuspended() const = 0;
    // Stops playing and closes the device.  Loaded modules stay loaded.
    virtual bool Close() = 0;
    virtual TDeviceState DeviceState() const = 0;
    // Called on the device worker's thread after every change of
    // DeviceState; it must only pass the news on to the caller's thread.
    // Once set to empty it is not called again.
    virtual void SetDeviceListener(std::function<void()> listener) = 0;

    // Loads a module file; 0 when it cannot be read or decoded.
    virtual TModuleHandle LoadModule(const QString &path) = 0;
    virtual bool FreeModule(TModuleHandle module) = 0;
    // How long the song lasts from its beginning to its end, as the decoder
    // reckons it; zero for an unknown module.
    virtual std::chrono::microseconds ModuleLength(TModuleHandle module) const = 0;
    // Loudness in percent of the decoder's natural level.
    virtual bool SetAmplification(int percent) = 0;
    // Starts a module from its beginning at volume 0..64; 0 when the device
    // is not open or the module unknown.  Whatever played before fades out.
    virtual TPlayHandle PlayModule(TModuleHandle module, bool loopSong, int volume) = 0;
    virtual bool SetMusicVolume(TPlayHandle handle, int volume) = 0;
    virtual bool GetPlayStatus(TPlayHandle handle, TPlayStatus &status) const = 0;
    virtual bool StopModule(TPlayHandle handle) = 0;
    // What the sound server's mixer calls the music from now on: the title
    // of the module that plays.
    virtual void SetStreamTitle(const QString &title) = 0;
    // The volume (0..64) the desktop's mixer gave the music since this was
    // last asked, or -1; the listener hears of each such change.  It is the
    // step of SetMusicVolume's scale nearest to the mixer's level, at least
    // 1 for any level that is heard; the server keeps the mixer's own level,
    // and setting the volume it reports sends nothing back.
    virtual int TakeMixerVolume() = 0;

    virtual QString LastError() const = 0;
    // What the decoders and SDL have said (kept short).
    virtual QString DecoderLog() const = 0;
    // Frames mixed since the device opened.
    virtual std::uint64_t MixedFrames() const = 0;
    virtual TAudioInUse InUse() const = 0;
};

// The module as a whole: it makes engines and answers what needs no device.
// Whoever takes one from the entry point owns it and deletes it once every
// engine it made is gone; deleting it waits until its device worker has
// done everything asked of it, but no longer than 0.4 s: work held up by a
// device or a server that does not answer is left to finish on its own,
// and the program may end meanwhile.
class TSoundLibrary
{
public:
    virtual ~TSoundLibrary() = default;

    virtual TSoundEngine *NewEngine() = 0;
    virtual QStringList OutputDrivers() = 0;
    // Waits for the device worker: it lists the devices between its other work.
    virtual QStringList OutputDevices(const QString &driver) = 0;
    // The same without waiting: done is called on the device worker's thread
    // with the list, once the work asked for before is done.
    virtual void ListOutputDevices(const QString &driver,
                                   std::function<void(const QStringList &)> done) = 0;
    virtual QString OpenmptVersion() = 0;
    // The file-name extensions of every format the decoder reads, lower
    // case, without the dot ("mod", "mtm", ...).
    virtual QStringList ModuleExtensions() = 0;
    // The title the decoder reads in a module file (the first line of its
    // "title"), or nothing when the file is no module it reads.  The
    // samples and patterns are not loaded.
    virtual std::optional<QString> ModuleTitle(const QString &path) = 0;
    virtual QString SdlVersion() = 0;
    // Waits until the device worker has done everything asked of it so far
    // (closed what was to be closed).
    virtual void FinishDeviceWork() = 0;
};

// The entry point: a new library of the module for the caller to own, or
// null when interfaceVersion is not the module's own SoundInterfaceVersion.
using TSoundLibraryEntry = TSoundLibrary *(*)(int interfaceVersion);
