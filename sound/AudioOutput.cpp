#include "sound/AudioOutput.h"

#include "sound/DeviceWorker.h"

#include <QByteArray>
#include <QByteArrayList>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace
{

constexpr int DefaultMixRate = 48000;
// SDL's audio thread sleeps for a device buffer and wakes to mix the next
// one; each wake-up costs some 20 us of processor time on a virtual machine,
// more than decoding a few milliseconds of music.  With at least 40 ms per
// buffer (2048 frames at 48 kHz) the thread wakes at most 25 times a second.
// What a long buffer costs is time: a stop is heard a buffer later, and
// closing an SDL device waits for the buffer in flight and two more, which
// is why closing is the device worker's business and never holds a window.
constexpr int AutomaticBufferMs = 40;
// A stop ramps the sound down over this long rather than cutting it.
constexpr int FadeMs = 5;
// How long a close waits beyond the buffers for the fade to be heard, when
// the device has stopped asking for sound.
constexpr int StalledDeviceMs = 100;
// How long a closing server stream may wait for its fade to be heard.
constexpr int ServerFadeMs = 140;
// The longest a close waits for a fade through SDL, whatever the buffers:
// the engine's end stays well within half a second.
constexpr int LongestFadeWaitMs = 300;

} // namespace

int DeviceBufferFrames(int mixRate, int bufferMs)
{
    const bool automatic = bufferMs <= 0;
    const double wanted =
        static_cast<double>(mixRate) * (automatic ? AutomaticBufferMs : bufferMs) / 1000.0;
    const double exponent = std::log2(std::max(wanted, 1.0));
    const int rounded = static_cast<int>(automatic ? std::ceil(exponent) : std::round(exponent));
    return 1 << std::clamp(rounded, 7, 15);
}

std::shared_ptr<TAudioOutput> TAudioOutput::Create(TDeviceWorker &worker)
{
    // The constructor is private: outputs live only in shared pointers.
    std::shared_ptr<TAudioOutput> output(new TAudioOutput(worker));
    const auto lock = output->Lock();
    output->Voices.SetRunning(false);
    return output;
}

TAudioOutput::~TAudioOutput() = default;

TDecoderLog &TAudioOutput::SdlLog()
{
    // SDL may log from any thread at any time, until the process ends.
    static TDecoderLog *const log = new TDecoderLog;
    return *log;
}

void TAudioOutput::Callback(void *self, Uint8 *stream, int length)
{
    const auto frames = static_cast<std::size_t>(length) / (MixChannels * sizeof(std::int16_t));
    static_cast<TAudioOutput *>(self)->MixInto(reinterpret_cast<std::int16_t *>(stream), frames);
}

void TAudioOutput::MixInto(std::int16_t *out, std::size_t frames)
{
    {
        // Let go of while the decoder renders (see TVoiceMixer).
        std::unique_lock<std::mutex> lock(Guard);
        Voices.Mix(Rate.load(std::memory_order_relaxed), out, frames, &lock);
    }
    Mixed.fetch_add(frames, std::memory_order_relaxed);
    Callbacks.fetch_add(1, std::memory_order_release);
}

std::size_t TAudioOutput::FadeFrames() const
{
    const int rate = Rate.load(std::memory_order_relaxed);
    return static_cast<std::size_t>(rate > 0 ? rate : DefaultMixRate) * FadeMs / 1000;
}

// --- Requests ----------------------------------------------------------------

void TAudioOutput::Open(const TAudioSetup &setup)
{
    std::uint64_t request = 0;
    {
        const auto lock = Lock();
        if (Released)
            return;
        request = ++Request;
        DeviceState = TDeviceState::dsOpening;
    }
    Worker.Post([self = shared_from_this(), setup, request] { self->OpenNow(setup, request); });
}

void TAudioOutput::Hear()
{
    Worker.Post([self = shared_from_this()] {
        const auto lock = self->Lock();
        if (!self->Released)
            self->Voices.Unmute();
    });
}

void TAudioOutput::Hush()
{
    Worker.Post([self = shared_from_this()] {
        const auto lock = self->Lock();
        self->Voices.FadeOut(self->FadeFrames());
    });
}

void TAudioOutput::SetMusicVolume(int volume)
{
    const std::lock_guard<std::mutex> server(ServerGuard);
    MusicVolume = volume;
    if (ServerStream)
        ServerStream->SetVolume(volume);
    const auto lock = Lock();
    Voices.SetVolume(VoiceVolume(volume));
}

int TAudioOutput::VoiceVolume(int volume) const
{
    return ServerVolume ? NaturalVolume : volume;
}

void TAudioOutput::SetStreamName(const QString &name)
{
    const std::lock_guard<std::mutex> server(ServerGuard);
    StreamName = name;
    if (ServerStream)
        ServerStream->SetMediaName(name);
}

void TAudioOutput::Close()
{
    {
        const auto lock = Lock();
        ++Request;
        DeviceState = TDeviceState::dsClosed;
    }
    Worker.Post([self = shared_from_this()] { self->CloseNow(); });
}

void TAudioOutput::Release()
{
    SetListener(nullptr);
    bool sounding = false;
    {
        const auto lock = Lock();
        Released = true;
        ++Request;
        DeviceState = TDeviceState::dsClosed;
        sounding = Voices.IsRunning() && !Voices.IsSilent();
        Voices.FadeOut(FadeFrames());
    }
    // Nothing waits for the device's closing: the process may end before it.
    // A server's stream fades out what it holds itself, and only while we
    // are connected: that is heard before the process may end.  A stream
    // still connecting has had nothing heard: the opening drops it.  One
    // the worker is closing is faded out there, or let go of when its
    // server does not answer, while nothing mixes for it here.
    const bool serverOpening = ServerVolume;
    if (const std::unique_ptr<TPulseStream> stream = TakeServerStream()) {
        stream->Close(sounding ? ServerFadeMs : 0);
        --ServerClosings;
    } else if (!serverOpening && ServerClosings == 0) {
        WaitForFade(sounding, true);
    }
    // Music switched off just before fades out on the worker meanwhile.
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(ServerFadeMs);
    while (ServerClosings > 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    for (;;) {
        auto lock = Lock();
        // The engine frees its decoders next: none may still be rendering.
        if (!Voices.IsRendering()) {
            Voices.Clear();
            Voices.FadeOut(0);
            break;
        }
        lock.unlock();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    Worker.Post([self = shared_from_this()] { self->CloseNow(); });
}

// --- What the engine reads ------------------------------------------------------

TDeviceState TAudioOutput::State() const
{
    const auto lock = Lock();
    return DeviceState;
}

QString TAudioOutput::Error() const
{
    const auto lock = Lock();
    return LastError;
}

void TAudioOutput::SetError(const QString &error)
{
    const auto lock = Lock();
    LastError = error;
}

TAudioInUse TAudioOutput::InUse() const
{
    const auto lock = Lock();
    return Used;
}

void TAudioOutput::SetListener(std::function<void()> listener)
{
    // Taken while a call is under way, so that none follows once cleared.
    const std::lock_guard<std::mutex> lock(ListenerGuard);
    Listener = std::move(listener);
}

void TAudioOutput::Notify()
{
    const std::lock_guard<std::mutex> lock(ListenerGuard);
    if (Listener)
        Listener();
}

void TAudioOutput::Report(std::uint64_t request, TDeviceState state, const QString &error)
{
    {
        const auto lock = Lock();
        if (request != Request)
            return; // a later request has taken over
        DeviceState = state;
        if (!error.isEmpty())
            LastError = error;
    }
    Notify();
}

// --- On the worker ---------------------------------------------------------------

namespace
{

void LogFromSdl(void *, int, SDL_LogPriority, const char *message)
{
    TAudioOutput::SdlLog().AddLine(message);
}

// SDL's automatic choice without its PulseAudio driver, which would wait
// half a minute for a server that took the connection and does not answer.
QByteArray DriversButPulse()
{
    QByteArrayList drivers;
    for (int i = 0; i < SDL_GetNumAudioDrivers(); ++i) {
        const QByteArray driver = SDL_GetAudioDriver(i);
        if (driver != "pulseaudio" && !IsSilentDriver(QString::fromLatin1(driver)))
            drivers << driver;
    }
    return drivers.join(',');
}

bool StartSubsystem(const TAudioSetup &setup, const QString &streamName, bool serverHangs,
                    QString &error)
{
    // SDL's own messages (the disk driver announces itself, for one) go to
    // our log instead of the terminal.
    SDL_LogSetOutputFunction(&LogFromSdl, nullptr);
    // SDL would otherwise take over SIGINT and SIGTERM from the program.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // What SDL's PulseAudio and PipeWire drivers tell the sound server:
    // the desktop's mixer lists the game by name, with what it plays.
    SDL_SetHint(SDL_HINT_APP_NAME, ProgramName.toUtf8().constData());
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_NAME, streamName.toUtf8().constData());
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_ROLE, "game");
    // SDL_AUDIODRIVER in the environment wins over the set-up, so that a
    // player or a test can always force a driver.
    QByteArray driver = DriverChosenByEnvironment() ? QByteArray() : setup.Driver.toUtf8();
    if (driver.isEmpty() && serverHangs && !DriverChosenByEnvironment())
        driver = DriversButPulse();
    if (!driver.isEmpty())
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, driver.constData(), SDL_HINT_OVERRIDE);
    const bool started = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (!driver.isEmpty())
        SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    if (!started)
        error = QString::fromUtf8(SDL_GetError());
    return started;
}

} // namespace

bool TAudioOutput::OpenDevice(const TAudioSetup &setup, QString &error)
{
    SDL_AudioSpec wanted{};
    wanted.freq = setup.MixRate > 0 ? setup.MixRate : DefaultMixRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = MixChannels;
    wanted.samples = static_cast<Uint16>(DeviceBufferFrames(wanted.freq, setup.BufferMs));
    wanted.callback = &TAudioOutput::Callback;
    wanted.userdata = this;
    SDL_AudioSpec obtained{};
    // An automatic rate follows the device; a chosen one is resampled by SDL.
    const int changes = setup.MixRate > 0 ? 0 : SDL_AUDIO_ALLOW_FREQUENCY_CHANGE;
    const QByteArray device = setup.Device.toUtf8();
    Device = SDL_OpenAudioDevice(device.isEmpty() ? nullptr : device.constData(), 0, &wanted,
                                 &obtained, changes);
    if (!Device) {
        error = QString::fromUtf8(SDL_GetError());
        return false;
    }
    Rate = obtained.freq;
    BufferFrames = obtained.samples;
    Mixed = 0;
    // A paused device plays silence that no callback mixed; started at once,
    // the frames counted are the frames played (with no voice yet, the
    // callback mixes silence itself).
    SDL_PauseAudioDevice(Device, 0);
    const char *driverName = SDL_GetCurrentAudioDriver();
    {
        const auto lock = Lock();
        Used = {true, driverName ? QString::fromUtf8(driverName) : QString(), setup.Device,
                obtained.freq, obtained.samples};
        Voices.SetRunning(true);
    }
    if (SDL_GetAudioDeviceStatus(Device) == SDL_AUDIO_PLAYING)
        return true;
    error = QStringLiteral("The sound device does not play.");
    {
        const auto lock = Lock();
        Voices.SetRunning(false);
        Used = {};
    }
    SDL_CloseAudioDevice(Device);
    Device = 0;
    return false;
}

void TAudioOutput::OpenNow(const TAudioSetup &setup, std::uint64_t request)
{
    {
        const auto lock = Lock();
        if (Released || request != Request)
            return;
    }
    const bool serverOpen = [this] {
        const std::lock_guard<std::mutex> server(ServerGuard);
        return ServerStream != nullptr;
    }();
    if (Device || serverOpen) {
        Report(request, TDeviceState::dsOpen, QString());
        return;
    }
    QString error;
    // On a desktop the sound server plays the music; SDL drives every
    // other output, and the automatic choice when no server answers.
    ServerUnanswered = false;
    if (WantsPulseStream(setup.Driver, setup.Device)) {
        if (OpenServerStream(request, error))
            return;
        // The connection may have taken a second: SDL is not started for
        // a request that is no longer wanted.
        const auto lock = Lock();
        if (Released || request != Request)
            return;
    }
    QString name;
    {
        const std::lock_guard<std::mutex> server(ServerGuard);
        name = StreamName.isEmpty() ? QString::fromLatin1(DefaultStreamName) : StreamName;
    }
    if (!StartSubsystem(setup, name, ServerUnanswered, error)) {
        Report(request, TDeviceState::dsFailed, error);
        return;
    }
    if (!OpenDevice(setup, error)) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        Report(request, TDeviceState::dsFailed, error);
        return;
    }
    Report(request, TDeviceState::dsOpen, QString());
}

// Waits until whatever was sounding has faded out in a buffer handed to
// the device and, untilHeard, until the device has asked for the buffer
// after it, so that the fade is being played; never longer than a couple
// of buffers and then some, for a device that has stalled.
void TAudioOutput::WaitForFade(bool wasSounding, bool untilHeard) const
{
    if (!wasSounding)
        return;
    using namespace std::chrono;
    const int rate = std::max(Rate.load(), 1);
    const auto bufferTime = milliseconds(1000LL * BufferFrames.load() / rate + 1);
    const auto deadline =
        steady_clock::now() + std::min<milliseconds>(2 * bufferTime + milliseconds(StalledDeviceMs),
                                                     milliseconds(LongestFadeWaitMs));
    const auto poll = std::min<milliseconds>(bufferTime / 8 + milliseconds(1), milliseconds(5));
    while (!Voices.IsSilent() && steady_clock::now() < deadline)
        std::this_thread::sleep_for(poll);
    if (!untilHeard)
        return;
    // The next callback, or a buffer's time when the device is being closed
    // meanwhile and asks for no more.
    const std::uint64_t seen = Callbacks.load(std::memory_order_acquire);
    const auto played = std::min(deadline, steady_clock::now() + bufferTime);
    while (Callbacks.load(std::memory_order_acquire) == seen && steady_clock::now() < played)
        std::this_thread::sleep_for(poll);
}

void TAudioOutput::CloseNow()
{
    bool sounding = false;
    {
        const auto lock = Lock();
        sounding = Voices.IsRunning() && !Voices.IsSilent();
        Voices.FadeOut(FadeFrames());
    }
    // SDL's closing plays out what was mixed: it ends the audio thread after
    // the buffer in flight and lets two more buffers' time pass.  A
    // server's stream fades out what it holds itself.
    if (const std::unique_ptr<TPulseStream> stream = TakeServerStream()) {
        stream->Close(sounding ? ServerFadeMs : 0);
        --ServerClosings;
    } else {
        WaitForFade(sounding, false);
    }
    const int volume = [this] {
        const std::lock_guard<std::mutex> server(ServerGuard);
        return MusicVolume;
    }();
    {
        const auto lock = Lock();
        Voices.SetRunning(false);
        Voices.SetVolume(volume);
        Used = {};
    }
    if (!Device) {
        Rate = 0;
        BufferFrames = 0;
        return;
    }
    // Closing waits for a running callback, so nothing mixes after it.
    SDL_CloseAudioDevice(Device);
    Device = 0;
    Rate = 0;
    BufferFrames = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}
