#pragma once

// TSdlSoundEngine: modules decoded by libopenmpt, played through one SDL2
// audio device.

#include "sound/AudioOutput.h"
#include "sound/SoundEngine.h"

#include <libopenmpt/libopenmpt.hpp>

#include <QString>

#include <map>
#include <memory>
#include <ostream>
#include <vector>

// The sound module's engine.  Its modules belong to its owner's thread; the
// one that plays is handed to the output's mixer under the output's lock.
// Each call does what TSoundEngine's call of the same name promises.
class TSdlSoundEngine final : public TSoundEngine
{
public:
    // Its device is opened and closed by worker.
    explicit TSdlSoundEngine(TDeviceWorker &worker);
    ~TSdlSoundEngine() override;
    TSdlSoundEngine(const TSdlSoundEngine &) = delete;
    TSdlSoundEngine &operator=(const TSdlSoundEngine &) = delete;

    bool Init(const TAudioSetup &setup) override;
    bool IsOpen() const override;
    bool StartBackgroundPlay() override;
    bool StopBackgroundPlay() override;
    bool Suspend() override;
    bool Resume(const TAudioSetup &setup) override;
    bool IsSuspended() const override { return Suspended; }
    bool Close() override;
    TDeviceState DeviceState() const override { return Output->State(); }
    void SetDeviceListener(std::function<void()> listener) override;

    TModuleHandle LoadModule(const QString &path) override;
    bool FreeModule(TModuleHandle module) override;
    std::chrono::microseconds ModuleLength(TModuleHandle module) const override;
    bool SetAmplification(int percent) override;
    TPlayHandle PlayModule(TModuleHandle module, bool loopSong, int volume) override;
    bool SetMusicVolume(TPlayHandle handle, int volume) override;
    bool GetPlayStatus(TPlayHandle handle, TPlayStatus &status) const override;
    bool StopModule(TPlayHandle handle) override;
    void SetStreamTitle(const QString &title) override { Output->SetStreamName(title); }
    int TakeMixerVolume() override { return Output->TakeMixerVolume(); }

    QString LastError() const override { return Output->Error(); }
    QString DecoderLog() const override;
    std::uint64_t MixedFrames() const override { return Output->MixedFrames(); }
    TAudioInUse InUse() const override { return Output->InUse(); }

private:
    // A decoder with the log stream it writes to, which must outlive it.
    struct TLoadedModule {
        std::unique_ptr<std::ostream> LogStream;
        std::unique_ptr<openmpt::module> Decoder;
        std::chrono::microseconds Length{0};
    };

    openmpt::module *Find(TModuleHandle module) const;
    // Frees the freed modules the mixer has let go of.
    void FreeRetired();

    // Declared first: it holds the log every decoder writes to.
    std::shared_ptr<TAudioOutput> Output;
    std::map<TModuleHandle, TLoadedModule> Modules;
    // Freed while the mixer still faded them out.
    std::vector<TLoadedModule> Retired;
    TModuleHandle LastModule = 0;
    TPlayHandle LastPlay = 0;
    int Amplification = 100;
    bool Requested = false; // Init or Resume asked for the device, Close not since
    bool Suspended = false; // the device was given back by Suspend
};
