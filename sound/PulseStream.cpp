#include "sound/PulseStream.h"

#include "base/Constants.h"
#include "sound/PulseLoopLock.h"
#include "sound/PulseVolume.h"
#include "sound/SoundEngine.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace
{

constexpr int Channels = 2;
constexpr int FrameBytes = Channels * static_cast<int>(sizeof(std::int16_t));
// What the server keeps buffered for us, and how much it asks for at a
// time.  The server gives half of what is left after two requests to the
// sound card's buffer and wakes to refill that as often: with 105 ms there,
// as a plain command-line module player asks for, it and we wake a few
// dozen times a second.  The volume is the server's, heard at once however
// much is buffered; a close rewrites what is buffered to fade out at once
// (FadeOutNow), so only the card's share is waited for.
constexpr int BufferMs = 290;
constexpr int RequestMs = 40;
// A stop ramps the sound down over this long rather than cutting it.
constexpr int FadeMs = 5;
// How far ahead of the server's reading the fade is written, for the time
// the server takes to receive it.
constexpr int FadeAheadMs = 10;
// How long an opening waits for a server that does not answer, and how
// often a lost server is looked for again.
constexpr int ConnectTimeoutMs = 1000;
constexpr int RetryMs = 1000;
// How long a close waits for the server to say where it plays: one that
// has not answered by then (stopped, swapped out, hung) is let go of with
// no fade, as waiting for it would hold up whoever closes.
constexpr int AnswerTimeoutMs = 100;

const char *const MediaRole = "game";
const char *const IconName = FERROX_APP_ID;

} // namespace

bool WantsPulseStream(const QString &setupDriver, const QString &setupDevice)
{
    const auto isPulse = [](const QString &driver) {
        return driver.isEmpty() ||
               driver.compare(QLatin1String("pulseaudio"), Qt::CaseInsensitive) == 0;
    };
    // SDL_AUDIODRIVER wins over the set-up here as it does for SDL.
    const QString driver =
        DriverChosenByEnvironment() ? qEnvironmentVariable("SDL_AUDIODRIVER") : setupDriver;
    return isPulse(driver) && setupDevice.isEmpty();
}

TPulseStream::TPulseStream(TRender render, TListener listener, TVolumeListener volumeListener)
    : Render(std::move(render)), Listener(std::move(listener)),
      VolumeListener(std::move(volumeListener))
{
}

TPulseStream::~TPulseStream()
{
    Close(0);
}

// --- Opening and closing ----------------------------------------------------

bool TPulseStream::Open(int volume, const QString &mediaName, QString &error)
{
    Loop = pa_threaded_mainloop_new();
    if (!Loop || pa_threaded_mainloop_start(Loop) < 0) {
        error = QStringLiteral("The sound server's client could not start.");
        return false;
    }
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(ConnectTimeoutMs);
    {
        TLoopLock lock(Loop);
        Volume = volume;
        Level = ServerLevel(volume);
        MediaName = mediaName;
        Closing = false;
        if (!Connect())
            Failed = true;
    }
    // The callbacks say how the connection went; a server that neither
    // answers nor refuses is given up after a second.
    while (!Heard && !Failed && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    if (Heard)
        return true;
    Unanswered = !Failed;
    {
        TLoopLock lock(Loop);
        const int code = Context ? pa_context_errno(Context) : PA_ERR_CONNECTIONREFUSED;
        error = QStringLiteral("No sound server: %1").arg(QString::fromUtf8(pa_strerror(code)));
    }
    Close(0);
    return false;
}

void TPulseStream::Close(int maxMs)
{
    if (!Loop)
        return;
    const int fadeMs = maxMs > 0 ? FadeOutNow() : 0;
    if (fadeMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(fadeMs, maxMs)));
    {
        TLoopLock lock(Loop);
        Closing = true;
        Disconnect();
    }
    pa_threaded_mainloop_stop(Loop);
    pa_threaded_mainloop_free(Loop);
    Loop = nullptr;
    Heard = false;
    Failed = false;
}

void TPulseStream::TimingUpdated(pa_stream *, int, void *self)
{
    auto *pulse = static_cast<TPulseStream *>(self);
    pulse->TimingDone = true;
    pa_threaded_mainloop_signal(pulse->Loop, 0);
}

void TPulseStream::AnswerOverdue(pa_mainloop_api *, pa_time_event *, const timeval *, void *self)
{
    auto *pulse = static_cast<TPulseStream *>(self);
    pulse->AnswerLate = true;
    pa_threaded_mainloop_signal(pulse->Loop, 0);
}

// Waits under the loop's lock until the timing asked for has come, the
// server has gone or it is AnswerTimeoutMs late; true when it came.
bool TPulseStream::AwaitTiming(pa_operation *update)
{
    pa_mainloop_api *api = pa_threaded_mainloop_get_api(Loop);
    timeval when{};
    pa_timeval_add(pa_gettimeofday(&when),
                   static_cast<pa_usec_t>(AnswerTimeoutMs) * PA_USEC_PER_MSEC);
    AnswerLate = false;
    pa_time_event *alarm = api->time_new(api, &when, &TPulseStream::AnswerOverdue, this);
    // Lose wakes this too, should the server go away meanwhile.
    while (!TimingDone && !AnswerLate && Stream && alarm)
        pa_threaded_mainloop_wait(Loop);
    if (alarm)
        api->time_free(alarm);
    if (!TimingDone)
        pa_operation_cancel(update);
    pa_operation_unref(update);
    return TimingDone && Stream;
}

// The server plays what it holds from its read index on: asked where that
// stands, the sound from a little after it is rewritten as a short fade
// followed by silence, so that a close is heard within the sound card's
// share of the buffer, not after all of it.
int TPulseStream::FadeOutNow()
{
    TLoopLock lock(Loop);
    if (!Stream || pa_stream_get_state(Stream) != PA_STREAM_READY)
        return 0;
    TimingDone = false;
    pa_operation *update = pa_stream_update_timing_info(Stream, &TPulseStream::TimingUpdated, this);
    // A server that does not answer is not faded out for: it is let go of.
    Silenced = true;
    if (!update || !AwaitTiming(update))
        return 0;
    const pa_timing_info *timing = pa_stream_get_timing_info(Stream);
    if (!timing || timing->read_index_corrupt)
        return 0;
    const std::int64_t fadeFrames = SampleRate * FadeMs / 1000;
    const std::int64_t read = timing->read_index / FrameBytes;
    const std::int64_t from = read + SampleRate * FadeAheadMs / 1000;
    const auto history = static_cast<std::int64_t>(History.size() / Channels);
    if (from >= WrittenFrames || WrittenFrames - from > history)
        return 0; // nearly nothing left to hear, or a server that reads ahead of us
    std::vector<std::int16_t> rewrite(static_cast<std::size_t>(WrittenFrames - from) * Channels, 0);
    for (std::int64_t frame = 0; frame < std::min(fadeFrames, WrittenFrames - from); ++frame) {
        const double gain = 1.0 - double(frame + 1) / double(fadeFrames);
        for (int channel = 0; channel < Channels; ++channel) {
            const std::int16_t sample = History[((from + frame) % history) * Channels + channel];
            rewrite[frame * Channels + channel] = static_cast<std::int16_t>(sample * gain);
        }
    }
    if (pa_stream_write(Stream, rewrite.data(), rewrite.size() * sizeof(std::int16_t), nullptr,
                        from * FrameBytes, PA_SEEK_ABSOLUTE) < 0)
        return 0;
    const auto aheadUs = static_cast<std::int64_t>(from + fadeFrames - read) * 1000000 / SampleRate;
    return static_cast<int>((aheadUs + timing->sink_usec + timing->transport_usec) / 1000 + 2);
}

void TPulseStream::Remember(const std::int16_t *frames, std::size_t count)
{
    const auto history = History.size() / Channels;
    for (std::size_t frame = 0; frame < count; ++frame) {
        const auto slot =
            static_cast<std::size_t>((WrittenFrames + std::int64_t(frame)) % std::int64_t(history));
        History[slot * Channels] = frames[frame * Channels];
        History[slot * Channels + 1] = frames[frame * Channels + 1];
    }
    WrittenFrames += static_cast<std::int64_t>(count);
}

// --- What the game changes ----------------------------------------------------

void TPulseStream::SetMediaName(const QString &name)
{
    if (!Loop)
        return;
    TLoopLock lock(Loop);
    MediaName = name;
    if (Stream && pa_stream_get_state(Stream) == PA_STREAM_READY) {
        if (pa_operation *op =
                pa_stream_set_name(Stream, MediaName.toUtf8().constData(), nullptr, nullptr))
            pa_operation_unref(op);
    }
}

int TPulseStream::BufferFrames() const
{
    return SampleRate * BufferMs / 1000;
}

// --- On libpulse's thread -------------------------------------------------------

bool TPulseStream::Connect()
{
    pa_proplist *props = pa_proplist_new();
    pa_proplist_sets(props, PA_PROP_APPLICATION_NAME, ProgramName.toUtf8().constData());
    pa_proplist_sets(props, PA_PROP_APPLICATION_ID, FERROX_APP_ID);
    pa_proplist_sets(props, PA_PROP_APPLICATION_ICON_NAME, IconName);
    Context = pa_context_new_with_proplist(pa_threaded_mainloop_get_api(Loop),
                                           ProgramName.toUtf8().constData(), props);
    pa_proplist_free(props);
    if (!Context)
        return false;
    pa_context_set_state_callback(Context, &TPulseStream::ContextChanged, this);
    // A server that is not running is not started for us: the desktop runs
    // one, or the game plays through another driver.
    return pa_context_connect(Context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0;
}

void TPulseStream::ContextChanged(pa_context *context, void *self)
{
    auto *stream = static_cast<TPulseStream *>(self);
    if (context != stream->Context)
        return;
    switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY:
        stream->CreateStream();
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        stream->Lose();
        break;
    default:
        break;
    }
}

void TPulseStream::CreateStream()
{
    // Twice what the server holds: the fade of a close always finds its sound.
    History.assign(static_cast<std::size_t>(SampleRate * BufferMs / 1000 * 2 * Channels), 0);
    WrittenFrames = 0;
    Silenced = false;
    const pa_sample_spec format{PA_SAMPLE_S16NE, static_cast<std::uint32_t>(SampleRate), Channels};
    pa_proplist *props = pa_proplist_new();
    pa_proplist_sets(props, PA_PROP_MEDIA_ROLE, MediaRole);
    pa_proplist_sets(props, PA_PROP_MEDIA_ICON_NAME, IconName);
    Stream = pa_stream_new_with_proplist(Context, MediaName.toUtf8().constData(), &format, nullptr,
                                         props);
    pa_proplist_free(props);
    if (!Stream) {
        Lose();
        return;
    }
    pa_stream_set_state_callback(Stream, &TPulseStream::StreamChanged, this);
    pa_stream_set_write_callback(Stream, &TPulseStream::Writable, this);
    pa_buffer_attr attr;
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.tlength = static_cast<std::uint32_t>(SampleRate * BufferMs / 1000 * FrameBytes);
    attr.prebuf = static_cast<std::uint32_t>(-1);
    attr.minreq = static_cast<std::uint32_t>(SampleRate * RequestMs / 1000 * FrameBytes);
    attr.fragsize = static_cast<std::uint32_t>(-1);
    const pa_cvolume level = StereoVolume(Level);
    const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY);
    if (pa_stream_connect_playback(Stream, nullptr, &attr, flags, &level, nullptr) < 0)
        Lose();
}

void TPulseStream::StreamChanged(pa_stream *stream, void *self)
{
    auto *pulse = static_cast<TPulseStream *>(self);
    if (stream != pulse->Stream)
        return;
    switch (pa_stream_get_state(stream)) {
    case PA_STREAM_READY:
        pa_context_set_subscribe_callback(
            pulse->Context,
            [](pa_context *context, pa_subscription_event_type_t event, std::uint32_t index,
               void *userdata) {
                static_cast<TPulseStream *>(userdata)->Subscribed(context, event, index);
            },
            pulse);
        if (pa_operation *op = pa_context_subscribe(pulse->Context, PA_SUBSCRIPTION_MASK_SINK_INPUT,
                                                    nullptr, nullptr))
            pa_operation_unref(op);
        if (pulse->WasReady)
            ++pulse->Reconnects;
        pulse->WasReady = true;
        pulse->Heard = true;
        if (pulse->Listener)
            pulse->Listener(true);
        break;
    case PA_STREAM_FAILED:
    case PA_STREAM_TERMINATED:
        pulse->Lose();
        break;
    default:
        break;
    }
}

void TPulseStream::Writable(pa_stream *stream, std::size_t bytes, void *self)
{
    auto *pulse = static_cast<TPulseStream *>(self);
    while (bytes >= static_cast<std::size_t>(FrameBytes)) {
        void *data = nullptr;
        std::size_t size = bytes;
        if (pa_stream_begin_write(stream, &data, &size) < 0 || !data)
            return;
        size -= size % FrameBytes;
        if (size == 0) {
            pa_stream_cancel_write(stream);
            return;
        }
        auto *frames = static_cast<std::int16_t *>(data);
        if (pulse->Silenced)
            std::fill_n(frames, size / sizeof(std::int16_t), std::int16_t(0));
        else
            pulse->Render(frames, size / FrameBytes);
        pulse->Remember(frames, size / FrameBytes);
        if (pa_stream_write(stream, data, size, nullptr, 0, PA_SEEK_RELATIVE) < 0)
            return;
        bytes -= size;
    }
}

// The server has gone away (or refused): nothing is heard and nothing is
// rendered until a new connection plays again.
void TPulseStream::Lose()
{
    const bool wasHeard = Heard.exchange(false);
    Disconnect();
    // A close waiting for the server's answer waits no more.
    pa_threaded_mainloop_signal(Loop, 0);
    if (!WasReady) {
        // Still opening: the opening fails, and Open says so.
        Failed = true;
        return;
    }
    if (Closing)
        return;
    if (wasHeard && Listener)
        Listener(false);
    ScheduleRetry();
}

void TPulseStream::ScheduleRetry()
{
    if (Retry)
        return;
    timeval when{};
    pa_timeval_add(pa_gettimeofday(&when), static_cast<pa_usec_t>(RetryMs) * PA_USEC_PER_MSEC);
    Retry = pa_threaded_mainloop_get_api(Loop)->time_new(pa_threaded_mainloop_get_api(Loop), &when,
                                                         &TPulseStream::RetryNow, this);
}

void TPulseStream::RetryNow(pa_mainloop_api *api, pa_time_event *event, const timeval *, void *self)
{
    auto *pulse = static_cast<TPulseStream *>(self);
    api->time_free(event);
    pulse->Retry = nullptr;
    if (pulse->Closing)
        return;
    if (!pulse->Connect())
        pulse->Lose();
}

void TPulseStream::Disconnect()
{
    if (Retry) {
        pa_threaded_mainloop_get_api(Loop)->time_free(Retry);
        Retry = nullptr;
    }
    if (Stream) {
        pa_stream_set_state_callback(Stream, nullptr, nullptr);
        pa_stream_set_write_callback(Stream, nullptr, nullptr);
        pa_stream_disconnect(Stream);
        pa_stream_unref(Stream);
        Stream = nullptr;
    }
    VolumesInFlight = 0;
    if (Context) {
        pa_context_set_state_callback(Context, nullptr, nullptr);
        pa_context_set_subscribe_callback(Context, nullptr, nullptr);
        pa_context_disconnect(Context);
        pa_context_unref(Context);
        Context = nullptr;
    }
}
