#pragma once

// TSdlSoundEngine: modules decoded by libopenmpt and mixed into one SDL2 audio device.

#include "music/DecoderLog.h"
#include "music/SoundEngine.h"
#include "music/VoiceMixer.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <libopenmpt/libopenmpt.hpp>

#include <QString>

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <ostream>

// The sound module's engine: the modules the callback plays are only touched
// under the device lock.  Each call does what TModuleAudio's call of the
// same name promises.
class TSdlSoundEngine final : public TSoundEngine
{
public:
    TSdlSoundEngine() = default;
    ~TSdlSoundEngine() override;
    TSdlSoundEngine(const TSdlSoundEngine &) = delete;
    TSdlSoundEngine &operator=(const TSdlSoundEngine &) = delete;

    bool Init(const TAudioSetup &setup) override;
    bool IsOpen() const override { return Device != 0; }
    bool StartBackgroundPlay() override;
    bool StopBackgroundPlay() override;
    bool Suspend() override;
    bool Resume(const TAudioSetup &setup) override;
    bool IsSuspended() const override { return Suspended; }
    bool Close() override;

    TModuleHandle LoadModule(const QString &path) override;
    bool FreeModule(TModuleHandle module) override;
    bool SetAmplification(int percent) override;
    TPlayHandle PlayModule(TModuleHandle module, bool loopSong, int volume) override;
    bool SetMusicVolume(TPlayHandle handle, int volume) override;
    bool GetPlayStatus(TPlayHandle handle, TPlayStatus &status) const override;
    bool StopModule(TPlayHandle handle) override;

    QString LastError() const override { return Error; }
    QString DecoderLog() const override { return Log.Text(); }
    std::uint64_t MixedFrames() const override { return Mixed.load(std::memory_order_relaxed); }
    TAudioInUse InUse() const override;

private:
    // A decoder with the log stream it writes to, which must outlive it.
    struct TLoadedModule {
        std::unique_ptr<std::ostream> LogStream;
        std::unique_ptr<openmpt::module> Decoder;
    };

    static void Callback(void *self, Uint8 *stream, int length);
    static void LogFromSdl(void *self, int, SDL_LogPriority, const char *message);
    openmpt::module *Find(TModuleHandle module) const;
    void CaptureSdlLog();
    void ReleaseSdlLog();
    bool StartSubsystem(const TAudioSetup &setup);
    bool OpenDevice(const TAudioSetup &setup);
    void FadeToSilence();
    void CloseDevice();

    // Declared first so that it outlives every decoder that writes to it.
    TDecoderLog Log;
    std::map<TModuleHandle, TLoadedModule> Modules;
    TModuleHandle LastModule = 0;
    TPlayHandle LastPlay = 0;
    int Amplification = 100;
    QString Error;

    SDL_AudioDeviceID Device = 0;
    bool Suspended = false; // the device was given back by Suspend
    bool Running = false;   // the device is open and not paused
    int MixRate = 0;
    int ChunkFrames = 0;
    QString DriverName;
    QString DeviceName;
    TVoiceMixer Mixer;
    std::atomic<std::uint64_t> Mixed{0};

    // SDL's own messages (the disk driver announces itself, for one) go to
    // our log too while the device is ours.
    SDL_LogOutputFunction PreviousLogOutput = nullptr;
    void *PreviousLogData = nullptr;
};
