#include "music/SdlSoundEngine.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace
{

constexpr int DefaultMixRate = 48000;
// The automatic device buffer is the longest power of two that plays for
// at most this long (256 frames at 48 kHz).  Closing an SDL device waits for
// the buffer in flight and then for two buffers more (SDL lets them drain),
// and a stop first waits for the callback that carries the fade: three to
// four buffers in all, about 20 ms here, which leaves room within the 50 ms
// that "Turn Off" or the close box may hold the window for the settings to
// be written; with 512 frames a stop alone took some 40 ms.  The decoder
// still renders in large chunks (DecodeChunkFrames).  What the short buffer
// costs is SDL's audio thread sleeping and waking once per buffer, some
// 20 us of CPU each on a virtual machine, which makes background play about
// three times as dear as decoding alone (bench_music); a longer buffer
// chosen in the set-up makes play cheaper and stops slower.
constexpr int AutomaticBufferMs = 6;
// A stop ramps the sound down over this long rather than cutting it.
constexpr int FadeMs = 5;

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
    // SDL prefers a power of two: the nearest one to a chosen length, the
    // longest one within the automatic length.
    if (bufferMs <= 0) {
        const double longest = static_cast<double>(mixRate) * AutomaticBufferMs / 1000.0;
        const int exponent = static_cast<int>(std::floor(std::log2(std::max(longest, 1.0))));
        return 1 << std::clamp(exponent, 7, 15);
    }
    const double wanted = static_cast<double>(mixRate) * bufferMs / 1000.0;
    const int exponent = static_cast<int>(std::lround(std::log2(std::max(wanted, 1.0))));
    return 1 << std::clamp(exponent, 7, 15);
}

// Amplification in percent of the natural level becomes libopenmpt's master
// gain; 150 is a little louder, and libopenmpt clips what would overflow.
std::int32_t MillibelOfPercent(int percent)
{
    const double factor = std::clamp(percent, 1, 1000) / 100.0;
    return static_cast<std::int32_t>(std::lround(2000.0 * std::log10(factor)));
}

} // namespace

void TSdlSoundEngine::Callback(void *self, Uint8 *stream, int length)
{
    auto *engine = static_cast<TSdlSoundEngine *>(self);
    const auto frames = static_cast<std::size_t>(length) / (MixChannels * sizeof(std::int16_t));
    engine->Mixer.Mix(engine->MixRate, reinterpret_cast<std::int16_t *>(stream), frames);
    engine->Mixed.fetch_add(frames, std::memory_order_relaxed);
}

openmpt::module *TSdlSoundEngine::Find(TModuleHandle module) const
{
    const auto it = Modules.find(module);
    return it == Modules.end() ? nullptr : it->second.Decoder.get();
}

void TSdlSoundEngine::LogFromSdl(void *self, int, SDL_LogPriority, const char *message)
{
    static_cast<TSdlSoundEngine *>(self)->Log.AddLine(message);
}

void TSdlSoundEngine::CaptureSdlLog()
{
    SDL_LogGetOutputFunction(&PreviousLogOutput, &PreviousLogData);
    SDL_LogSetOutputFunction(&TSdlSoundEngine::LogFromSdl, this);
}

void TSdlSoundEngine::ReleaseSdlLog()
{
    SDL_LogSetOutputFunction(PreviousLogOutput, PreviousLogData);
}

bool TSdlSoundEngine::StartSubsystem(const TAudioSetup &setup)
{
    // SDL would otherwise take over SIGINT and SIGTERM from the program.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // SDL_AUDIODRIVER in the environment wins over the set-up, so that a
    // player or a test can always force a driver.
    const QByteArray driver = DriverChosenByEnvironment() ? QByteArray() : setup.Driver.toUtf8();
    if (!driver.isEmpty())
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, driver.constData(), SDL_HINT_OVERRIDE);
    const bool started = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (!driver.isEmpty())
        SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    if (!started)
        Error = QString::fromUtf8(SDL_GetError());
    return started;
}

bool TSdlSoundEngine::OpenDevice(const TAudioSetup &setup)
{
    SDL_AudioSpec wanted{};
    wanted.freq = setup.MixRate > 0 ? setup.MixRate : DefaultMixRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = MixChannels;
    wanted.samples = static_cast<Uint16>(BufferFrames(wanted.freq, setup.BufferMs));
    wanted.callback = &TSdlSoundEngine::Callback;
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
    const char *driverName = SDL_GetCurrentAudioDriver();
    DriverName = driverName ? QString::fromUtf8(driverName) : QString();
    DeviceName = setup.Device;
    Mixed = 0;
    return true;
}

// Ramps whatever sounds down to silence and returns once the callback has
// handed the ramp to the device, so that a pause, a close or the next
// module starts from silence instead of cutting the wave, which clicks.
// Takes a device buffer or two; a device that stalls is not waited for
// longer than a few buffers.
void TSdlSoundEngine::FadeToSilence()
{
    if (Mixer.IsSilent())
        return;
    {
        TDeviceLock lock(Device);
        if (!Running) {
            // A paused or closed device plays nothing that could click.
            Mixer.FadeOut(0);
            return;
        }
        Mixer.FadeOut(static_cast<std::size_t>(MixRate) * FadeMs / 1000);
    }
    const double bufferMs = 1000.0 * ChunkFrames / std::max(MixRate, 1);
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(static_cast<int>(3 * bufferMs) + FadeMs + 40);
    while (!Mixer.IsSilent() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::microseconds(250));
}

void TSdlSoundEngine::CloseDevice()
{
    FadeToSilence();
    // Closing waits for a running callback, so no lock is needed after it.
    SDL_CloseAudioDevice(Device);
    Device = 0;
    Running = false;
    MixRate = 0;
    ChunkFrames = 0;
    DriverName.clear();
    DeviceName.clear();
    Mixer.Clear();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    ReleaseSdlLog();
}

TSdlSoundEngine::~TSdlSoundEngine()
{
    Close();
}

bool TSdlSoundEngine::Init(const TAudioSetup &setup)
{
    if (Device)
        return true;
    Suspended = false;
    CaptureSdlLog();
    if (StartSubsystem(setup)) {
        if (OpenDevice(setup))
            return true;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    ReleaseSdlLog();
    return false;
}

bool TSdlSoundEngine::StartBackgroundPlay()
{
    if (!Device)
        return false;
    {
        TDeviceLock lock(Device);
        Mixer.Unmute();
    }
    SDL_PauseAudioDevice(Device, 0);
    Running = SDL_GetAudioDeviceStatus(Device) == SDL_AUDIO_PLAYING;
    if (Running)
        return true;
    Error = QStringLiteral("The sound device does not play.");
    return false;
}

bool TSdlSoundEngine::StopBackgroundPlay()
{
    if (!Device)
        return false;
    FadeToSilence();
    SDL_PauseAudioDevice(Device, 1);
    Running = false;
    return true;
}

// Music switched off gives the device back, so that other programs can
// use it meanwhile; the modules stay loaded.
bool TSdlSoundEngine::Suspend()
{
    if (!Device)
        return false;
    CloseDevice();
    Suspended = true;
    return true;
}

bool TSdlSoundEngine::Resume(const TAudioSetup &setup)
{
    if (Device)
        return StartBackgroundPlay();
    if (!Suspended)
        return false;
    // Init clears the suspension only once the device is back.
    if (!Init(setup)) {
        Suspended = true;
        return false;
    }
    return StartBackgroundPlay();
}

bool TSdlSoundEngine::Close()
{
    const bool wasOpen = Device != 0 || Suspended;
    if (Device)
        CloseDevice();
    Suspended = false;
    return wasOpen;
}

TModuleHandle TSdlSoundEngine::LoadModule(const QString &path)
{
    // Only plain files: a named pipe listed as a module would wait for a
    // writer for ever.
    if (!QFileInfo(path).isFile()) {
        Error = QStringLiteral("The file is not a regular file.");
        return 0;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > LargestModuleBytes) {
        Error = file.isOpen() ? QStringLiteral("The file is too large for a module.")
                              : file.errorString();
        return 0;
    }
    const QByteArray bytes = file.readAll();
    TLoadedModule loaded;
    loaded.LogStream = Log.NewStream();
    try {
        loaded.Decoder = std::make_unique<openmpt::module>(
            bytes.constData(), static_cast<std::size_t>(bytes.size()), *loaded.LogStream);
    } catch (const std::exception &error) {
        Error = QString::fromUtf8(error.what());
        return 0;
    }
    if (++LastModule == 0)
        ++LastModule;
    Modules[LastModule] = std::move(loaded);
    return LastModule;
}

bool TSdlSoundEngine::FreeModule(TModuleHandle module)
{
    const auto it = Modules.find(module);
    if (it == Modules.end())
        return false;
    TLoadedModule freed = std::move(it->second);
    const bool playing = Mixer.Decoder() == freed.Decoder.get();
    if (playing)
        FadeToSilence();
    {
        TDeviceLock lock(Device);
        if (playing)
            Mixer.Clear();
        Modules.erase(it);
    }
    return true; // the decoder is destroyed here, outside the lock
}

bool TSdlSoundEngine::SetAmplification(int percent)
{
    Amplification = percent;
    TDeviceLock lock(Device);
    if (Mixer.Decoder())
        Mixer.Decoder()->set_render_param(openmpt::module::RENDER_MASTERGAIN_MILLIBEL,
                                          MillibelOfPercent(percent));
    return true;
}

TPlayHandle TSdlSoundEngine::PlayModule(TModuleHandle module, bool loopSong, int volume)
{
    openmpt::module *decoder = Find(module);
    if (!Device || !decoder) {
        Error = Device ? QStringLiteral("No such module.")
                       : QStringLiteral("The sound device is not open.");
        return 0;
    }
    if (++LastPlay == 0)
        ++LastPlay;
    FadeToSilence();
    TDeviceLock lock(Device);
    decoder->set_repeat_count(loopSong ? -1 : 0);
    decoder->set_position_order_row(0, 0);
    decoder->set_render_param(openmpt::module::RENDER_MASTERGAIN_MILLIBEL,
                              MillibelOfPercent(Amplification));
    Mixer.Start(decoder, LastPlay, volume);
    return LastPlay;
}

bool TSdlSoundEngine::SetMusicVolume(TPlayHandle handle, int volume)
{
    TDeviceLock lock(Device);
    if (handle == 0 || Mixer.Handle() != handle) {
        Error = QStringLiteral("No module plays under that handle.");
        return false;
    }
    Mixer.SetVolume(volume);
    return true;
}

bool TSdlSoundEngine::GetPlayStatus(TPlayHandle handle, TPlayStatus &status) const
{
    TDeviceLock lock(Device);
    const TVoiceMixer &mixer = Mixer;
    if (handle == 0 || mixer.Handle() != handle)
        return false;
    // The decoder runs ahead of what is heard by at most one decoded chunk.
    const openmpt::module &decoder = *mixer.Decoder();
    status.Position = static_cast<std::uint32_t>(std::max(decoder.get_current_order(), 0));
    status.Pattern = static_cast<std::uint32_t>(std::max(decoder.get_current_pattern(), 0));
    status.Row = static_cast<std::uint32_t>(std::max(decoder.get_current_row(), 0));
    status.SyncInfo = 0;
    status.SongLoopCount = mixer.Ended() ? 1 : 0;
    return true;
}

bool TSdlSoundEngine::StopModule(TPlayHandle handle)
{
    if (handle == 0 || Mixer.Handle() != handle)
        return false;
    FadeToSilence();
    TDeviceLock lock(Device);
    Mixer.Clear();
    return true;
}

TAudioInUse TSdlSoundEngine::InUse() const
{
    if (!Device)
        return {};
    return {true, DriverName, DeviceName, MixRate, ChunkFrames};
}
