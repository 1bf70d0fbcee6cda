#pragma once

// TModuleAudio: the player's sound layer, tracker modules played by the sound
// module (libopenmpt and SDL2), and its set-up.

#include "base/Constants.h"
#include "sound/SoundEngine.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

class QSettings;
class TSoundModule;

// The program's sound library: one module plays at a time into one sound
// device.  Constructing it grabs no device; Init opens one.
//
// libopenmpt and SDL live in a module of their own, the TSoundModule it is
// made with, loaded by the first call that needs them: Init, LoadModule,
// and Setup while a stored driver waits to be checked.  Without the module
// those calls fail cleanly (LastError says why), every other call answers
// as if the device were closed, and the set-up is read and written all the
// same.
//
// Every call comes from one thread and returns at once.  The device is
// opened and closed by the sound module's device worker, in the order
// asked: Init and Resume succeed when the opening was asked for, and
// whether the device then opened shows in DeviceState (the listener hears
// of it).  A module can be started before its device has opened; it is
// heard from its beginning once the device plays.  Whatever stops the
// sound fades it out in the device's next buffer instead of cutting it.
class TModuleAudio
{
public:
    // Plays through module, which must outlive it: its device worker closes
    // the device after the audio has gone.
    explicit TModuleAudio(TSoundModule &module);
    // Fades out what plays and waits until that has been heard, at most
    // 0.4 s whatever the device or the sound server does; the device is
    // closed in the background.
    ~TModuleAudio();
    TModuleAudio(const TModuleAudio &) = delete;
    TModuleAudio &operator=(const TModuleAudio &) = delete;

    // Prepares the library for use, once before any other call: the set-up
    // goes back to the automatic choices.  Opens no device and loads no
    // sound library.
    void Startup();

    // The set-up lives in a group of the settings store.  Reading keeps the
    // automatic choice for every value that is missing or unusable, and for
    // a driver that is not one of the sound module's OutputDrivers ("disk"
    // and "dummy" at once; any other name when the set-up is first looked
    // at or used, so that reading it loads no sound library).  A rate or
    // buffer length outside what MixRates and BufferLengths offer is brought
    // into their range.
    void ReadConfig(QSettings &settings, const QString &group);
    void WriteConfig(QSettings &settings, const QString &group) const;
    const TAudioSetup &Setup() const;
    // Takes effect at the next Init; rate and length brought into range.
    void SetSetup(const TAudioSetup &setup);

    // Asks for the sound device.  False only when there is no sound library
    // or the device is already open or being opened; LastError says why.
    bool Init();
    // Open, or being opened and not failed.  False while suspended.
    bool IsOpen() const;
    TDeviceState DeviceState() const;
    // Called on another thread whenever DeviceState changes; see
    // TSoundEngine::SetDeviceListener.  Empty stops the calls.
    void SetDeviceListener(std::function<void()> listener);
    // The device plays what is mixed from now on.
    bool StartBackgroundPlay();
    // Fades out and holds; a playing module holds its place.
    bool StopBackgroundPlay();
    // Suspend stops output and gives the device back to the system; Resume
    // asks for it again with the same set-up and plays on.  Loaded modules
    // stay loaded.
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
    // How long a loaded module's song lasts, as its decoder reckons it;
    // zero when unknown.
    std::chrono::microseconds ModuleLength(TModuleHandle module) const;

    // Loudness of every later start, in percent of the decoder's natural level.
    bool SetAmplification(int percent);
    // Starts a module from its beginning at the given volume (0..64); 0 when
    // the device was not asked for or the module is unknown.  Whatever played
    // before fades out.
    TPlayHandle PlayModule(TModuleHandle module, bool loopSong, int volume = NaturalVolume);
    // Volume 0 (silence) .. 64 (natural level) of a playing module.
    bool SetMusicVolume(TPlayHandle handle, int volume);
    bool GetPlayStatus(TPlayHandle handle, TPlayStatus &status) const;
    bool StopModule(TPlayHandle handle);
    // What the desktop's sound mixer calls the music from now on.
    void SetStreamTitle(const QString &title);
    // The volume the desktop's mixer gave the music since last asked, or -1.
    int TakeMixerVolume();

    // The reason of the last failure, for the set-up window.
    QString LastError() const;
    // What libopenmpt and SDL have said (kept short).
    QString DecoderLog() const;
    // Frames mixed since the device opened.
    std::uint64_t MixedFrames() const;
    // The mixing rate and the frames of one device buffer of the open
    // device, 0 when none is open.
    int OpenMixRate() const;
    int OpenBufferFrames() const;
    // What the open device runs with, for the set-up window.
    TAudioInUse InUse() const;

    // The sound module it plays through.
    TSoundModule &SoundModule() const { return TheModule; }

    // The rates and buffer lengths the set-up window offers (its drivers
    // and devices come from the sound module).
    static QList<int> MixRates();
    static QList<int> BufferLengths();

private:
    // A driver read from the store is checked against the module's
    // OutputDrivers, which need the sound library, only when the set-up is
    // looked at or used.
    void CheckDriver() const;
    // The engine of the sound module, made on first need; null when the
    // module cannot be loaded (LastError then says why).
    TSoundEngine *Engine();

    TSoundModule &TheModule;
    mutable TAudioSetup CurrentSetup;
    mutable bool DriverUnchecked = false;
    struct TImpl;
    std::unique_ptr<TImpl> Impl;
};
