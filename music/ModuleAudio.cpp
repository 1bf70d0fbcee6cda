#include "music/ModuleAudio.h"

#include "music/DecoderLog.h"
#include "music/VoiceMixer.h"

#include <QFile>

#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <map>

namespace
{

constexpr int DefaultMixRate = 48000;
// About 170 ms at 48 kHz.  Every buffer costs the audio thread a sleep and
// a wake-up, some 30 us of CPU each, which at 85 ms buffers made background
// play a fifth dearer than decoding alone.  Background music needs no low
// latency; a volume change is still heard within a third of a second.
constexpr int DefaultBufferFrames = 8192;

// Tracker modules are small; a bigger file is not one, and reading it
// whole would only waste memory.
constexpr qint64 LargestModuleBytes = 64 * 1024 * 1024;

// Holds the device lock while it lives, so that the callback never sees a
// module half changed.  Without an open device there is no callback to fear.
class TDeviceLock
{
public:
    explicit TDeviceLock(SDL_AudioDeviceID device) : Device(device)
    {
        if (Device)
            SDL_LockAudioDevice(Device);
    }
    ~TDeviceLock()
    {
        if (Device)
            SDL_UnlockAudioDevice(Device);
    }
    TDeviceLock(const TDeviceLock &) = delete;
    TDeviceLock &operator=(const TDeviceLock &) = delete;

private:
    SDL_AudioDeviceID Device;
};

int BufferFrames(int mixRate, int bufferMs)
{
    if (bufferMs <= 0)
        return DefaultBufferFrames;
    // SDL prefers a power of two; take the nearest one.
    const double wanted = static_cast<double>(mixRate) * bufferMs / 1000.0;
    const int exponent = static_cast<int>(std::lround(std::log2(std::max(wanted, 1.0))));
    return 1 << std::clamp(exponent, 8, 15);
}

// Amplification in percent of the natural level becomes libopenmpt's master
// gain; 150 is a little louder, and libopenmpt clips what would overflow.
std::int32_t MillibelOfPercent(int percent)
{
    const double factor = std::clamp(percent, 1, 1000) / 100.0;
    return static_cast<std::int32_t>(std::lround(2000.0 * std::log10(factor)));
}

// A decoder with the log stream it writes to, which must outlive it.
struct TLoadedModule {
    std::unique_ptr<std::ostream> LogStream;
    std::unique_ptr<openmpt::module> Decoder;
};

} // namespace

struct TModuleAudio::TImpl {
    // Declared first so that it outlives every decoder that writes to it.
    TDecoderLog Log;
    std::map<TModuleHandle, TLoadedModule> Modules;
    TModuleHandle LastModule = 0;
    TPlayHandle LastPlay = 0;
    int Amplification = 100;
    QString Error;

    SDL_AudioDeviceID Device = 0;
    bool Suspended = false; // the device was given back by Suspend
    int MixRate = 0;
    int ChunkFrames = 0;
    TVoice Voice;
    std::atomic<std::uint64_t> Mixed{0};

    static void Callback(void *self, Uint8 *stream, int length)
    {
        auto *impl = static_cast<TImpl *>(self);
        const auto frames = static_cast<std::size_t>(length) / (MixChannels * sizeof(std::int16_t));
        MixVoice(impl->Voice, impl->MixRate, reinterpret_cast<std::int16_t *>(stream), frames);
        impl->Mixed.fetch_add(frames, std::memory_order_relaxed);
    }

    openmpt::module *Find(TModuleHandle module) const
    {
        const auto it = Modules.find(module);
        return it == Modules.end() ? nullptr : it->second.Decoder.get();
    }

    // SDL's own messages (the disk driver announces itself, for one) go to
    // our log too while the device is ours.
    SDL_LogOutputFunction PreviousLogOutput = nullptr;
    void *PreviousLogData = nullptr;

    static void LogFromSdl(void *self, int, SDL_LogPriority, const char *message)
    {
        static_cast<TImpl *>(self)->Log.AddLine(message);
    }

    void CaptureSdlLog()
    {
        SDL_LogGetOutputFunction(&PreviousLogOutput, &PreviousLogData);
        SDL_LogSetOutputFunction(&TImpl::LogFromSdl, this);
    }

    void ReleaseSdlLog() { SDL_LogSetOutputFunction(PreviousLogOutput, PreviousLogData); }

    bool StartSubsystem(const TAudioSetup &setup);
    bool OpenDevice(const TAudioSetup &setup);
    void CloseDevice();
};

bool TModuleAudio::TImpl::StartSubsystem(const TAudioSetup &setup)
{
    // SDL would otherwise take over SIGINT and SIGTERM from the program.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    const QByteArray driver = setup.Driver.toUtf8();
    if (!driver.isEmpty())
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, driver.constData(), SDL_HINT_OVERRIDE);
    const bool started = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (!driver.isEmpty())
        SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    if (!started)
        Error = QString::fromUtf8(SDL_GetError());
    return started;
}

bool TModuleAudio::TImpl::OpenDevice(const TAudioSetup &setup)
{
    SDL_AudioSpec wanted{};
    wanted.freq = setup.MixRate > 0 ? setup.MixRate : DefaultMixRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = MixChannels;
    wanted.samples = static_cast<Uint16>(BufferFrames(wanted.freq, setup.BufferMs));
    wanted.callback = &TImpl::Callback;
    wanted.userdata = this;
    SDL_AudioSpec obtained{};
    // An automatic rate follows the device; a chosen one is resampled by SDL.
    const int changes = setup.MixRate > 0 ? 0 : SDL_AUDIO_ALLOW_FREQUENCY_CHANGE;
    const QByteArray device = setup.Device.toUtf8();
    Device = SDL_OpenAudioDevice(device.isEmpty() ? nullptr : device.constData(), 0, &wanted,
                                 &obtained, changes);
    if (!Device) {
        Error = QString::fromUtf8(SDL_GetError());
        return false;
    }
    MixRate = obtained.freq;
    ChunkFrames = obtained.samples;
    Mixed = 0;
    return true;
}

void TModuleAudio::TImpl::CloseDevice()
{
    // Closing waits for a running callback, so no lock is needed after it.
    SDL_CloseAudioDevice(Device);
    Device = 0;
    MixRate = 0;
    ChunkFrames = 0;
    Voice = TVoice{};
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    ReleaseSdlLog();
}

TModuleAudio::TModuleAudio() : Impl(std::make_unique<TImpl>()) {}

TModuleAudio::~TModuleAudio()
{
    Close();
}

void TModuleAudio::Startup()
{
    CurrentSetup = TAudioSetup{};
    // Our main is the program's own (SDL_MAIN_HANDLED); SDL refuses to
    // start on the platforms that want its main unless told so.
    SDL_SetMainReady();
}

bool TModuleAudio::Init()
{
    if (Impl->Device)
        return true;
    Impl->Suspended = false;
    Impl->CaptureSdlLog();
    if (Impl->StartSubsystem(CurrentSetup)) {
        if (Impl->OpenDevice(CurrentSetup))
            return true;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    Impl->ReleaseSdlLog();
    return false;
}

bool TModuleAudio::IsOpen() const
{
    return Impl->Device != 0;
}

bool TModuleAudio::IsSuspended() const
{
    return Impl->Suspended;
}

bool TModuleAudio::StartBackgroundPlay()
{
    if (!Impl->Device)
        return false;
    SDL_PauseAudioDevice(Impl->Device, 0);
    if (SDL_GetAudioDeviceStatus(Impl->Device) == SDL_AUDIO_PLAYING)
        return true;
    Impl->Error = QStringLiteral("The sound device does not play.");
    return false;
}

bool TModuleAudio::StopBackgroundPlay()
{
    if (!Impl->Device)
        return false;
    SDL_PauseAudioDevice(Impl->Device, 1);
    return true;
}

// Music switched off gives the device back, so that other programs can
// use it meanwhile; the modules stay loaded.
bool TModuleAudio::Suspend()
{
    if (!Impl->Device)
        return false;
    Impl->CloseDevice();
    Impl->Suspended = true;
    return true;
}

bool TModuleAudio::Resume()
{
    if (Impl->Device)
        return StartBackgroundPlay();
    if (!Impl->Suspended)
        return false;
    // Init clears the suspension only once the device is back.
    if (!Init()) {
        Impl->Suspended = true;
        return false;
    }
    return StartBackgroundPlay();
}

bool TModuleAudio::Close()
{
    const bool wasOpen = Impl->Device != 0 || Impl->Suspended;
    if (Impl->Device)
        Impl->CloseDevice();
    Impl->Suspended = false;
    return wasOpen;
}

TModuleHandle TModuleAudio::LoadModule(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > LargestModuleBytes) {
        Impl->Error = file.isOpen() ? QStringLiteral("The file is too large for a module.")
                                    : file.errorString();
        return 0;
    }
    const QByteArray bytes = file.readAll();
    TLoadedModule loaded;
    loaded.LogStream = Impl->Log.NewStream();
    try {
        loaded.Decoder = std::make_unique<openmpt::module>(
            bytes.constData(), static_cast<std::size_t>(bytes.size()), *loaded.LogStream);
    } catch (const std::exception &error) {
        Impl->Error = QString::fromUtf8(error.what());
        return 0;
    }
    if (++Impl->LastModule == 0)
        ++Impl->LastModule;
    Impl->Modules[Impl->LastModule] = std::move(loaded);
    return Impl->LastModule;
}

bool TModuleAudio::FreeModule(TModuleHandle module)
{
    const auto it = Impl->Modules.find(module);
    if (it == Impl->Modules.end())
        return false;
    TLoadedModule freed = std::move(it->second);
    {
        TDeviceLock lock(Impl->Device);
        if (Impl->Voice.Decoder == freed.Decoder.get())
            Impl->Voice = TVoice{};
        Impl->Modules.erase(it);
    }
    return true; // the decoder is destroyed here, outside the lock
}

bool TModuleAudio::SetAmplification(int percent)
{
    Impl->Amplification = percent;
    TDeviceLock lock(Impl->Device);
    if (Impl->Voice.Decoder)
        Impl->Voice.Decoder->set_render_param(openmpt::module::RENDER_MASTERGAIN_MILLIBEL,
                                              MillibelOfPercent(percent));
    return true;
}

TPlayHandle TModuleAudio::PlayModule(TModuleHandle module, bool loopSong, int volume)
{
    openmpt::module *decoder = Impl->Find(module);
    if (!Impl->Device || !decoder) {
        Impl->Error = Impl->Device ? QStringLiteral("No such module.")
                                   : QStringLiteral("The sound device is not open.");
        return 0;
    }
    if (++Impl->LastPlay == 0)
        ++Impl->LastPlay;
    TDeviceLock lock(Impl->Device);
    decoder->set_repeat_count(loopSong ? -1 : 0);
    decoder->set_position_order_row(0, 0);
    decoder->set_render_param(openmpt::module::RENDER_MASTERGAIN_MILLIBEL,
                              MillibelOfPercent(Impl->Amplification));
    Impl->Voice = TVoice{decoder, Impl->LastPlay, std::clamp(volume, 0, NaturalVolume), false};
    return Impl->LastPlay;
}

bool TModuleAudio::SetMusicVolume(TPlayHandle handle, int volume)
{
    TDeviceLock lock(Impl->Device);
    if (handle == 0 || Impl->Voice.Handle != handle)
        return false;
    Impl->Voice.Volume = std::clamp(volume, 0, NaturalVolume);
    return true;
}

bool TModuleAudio::GetPlayStatus(TPlayHandle handle, TPlayStatus &status) const
{
    TDeviceLock lock(Impl->Device);
    const TVoice &voice = Impl->Voice;
    if (handle == 0 || voice.Handle != handle)
        return false;
    status.Position = static_cast<std::uint32_t>(std::max(voice.Decoder->get_current_order(), 0));
    status.Pattern = static_cast<std::uint32_t>(std::max(voice.Decoder->get_current_pattern(), 0));
    status.Row = static_cast<std::uint32_t>(std::max(voice.Decoder->get_current_row(), 0));
    status.SyncInfo = 0;
    status.SongLoopCount = voice.Ended ? 1 : 0;
    return true;
}

bool TModuleAudio::StopModule(TPlayHandle handle)
{
    TDeviceLock lock(Impl->Device);
    if (handle == 0 || Impl->Voice.Handle != handle)
        return false;
    Impl->Voice = TVoice{};
    return true;
}

QString TModuleAudio::LastError() const
{
    return Impl->Error;
}

QString TModuleAudio::DecoderLog() const
{
    return Impl->Log.Text();
}

std::uint64_t TModuleAudio::MixedFrames() const
{
    return Impl->Mixed.load(std::memory_order_relaxed);
}

int TModuleAudio::OpenMixRate() const
{
    return Impl->MixRate;
}

int TModuleAudio::OpenBufferFrames() const
{
    return Impl->ChunkFrames;
}
