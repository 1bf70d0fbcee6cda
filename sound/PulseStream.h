#pragma once

// TPulseStream: music played as a stream of the desktop's sound server
// (PulseAudio, or PipeWire's PulseAudio service) through libpulse.

#include <QString>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

struct pa_context;
struct pa_operation;
struct pa_stream;
struct pa_threaded_mainloop;
struct pa_time_event;
struct pa_mainloop_api;
struct timeval;

// Why not SDL's own PulseAudio driver: it keeps a short buffer towards the
// server, so that the server and SDL's thread wake several hundred times a
// second, it names the stream after the executable with no icon or role,
// and once the server goes away it never finds it again.  This stream asks
// for a buffer of about a tenth of a second and is refilled in a few large
// writes, carries the game's name, icon and role, takes its volume on the
// server (heard at once, whatever is buffered, and shown in the desktop's
// mixer), and when the server goes away it tries again once a second until
// the server is back, rendering nothing meanwhile.
//
// Open and Close come from one thread (the device worker); SetVolume and
// SetMediaName from any thread but never from inside the render function.
// The render and listener functions run on libpulse's own thread while it
// holds its lock: they must not call back into the stream.
class TPulseStream
{
public:
    // Fills frames of interleaved 16-bit stereo.
    using TRender = std::function<void(std::int16_t *out, std::size_t frames)>;
    // Told true when the stream starts being heard, false when the server
    // has gone away.
    using TListener = std::function<void(bool heard)>;
    // Told the stream's new volume (0..64) when someone else, the
    // desktop's mixer, has changed it: the step nearest to the mixer's
    // level, and at least 1 for any level that is heard.
    using TVolumeListener = std::function<void(int volume)>;

    TPulseStream(TRender render, TListener listener, TVolumeListener volumeListener);
    ~TPulseStream();
    TPulseStream(const TPulseStream &) = delete;
    TPulseStream &operator=(const TPulseStream &) = delete;

    // Connects to the server and waits until the stream plays: false, with
    // the reason, when no server answers within a second or it refuses.
    bool Open(int volume, const QString &mediaName, QString &error);
    // Fades out what is about to be heard, waits until the fade has been
    // (at most maxMs) and lets go of the server; with maxMs 0 at once.  A
    // server that does not answer within a tenth of a second is let go of
    // at once, unfaded: a close never waits longer than that and maxMs.
    void Close(int maxMs);

    // 0..64, 64 the natural level: the mixer's 0..100 % in 64 steps.  A
    // volume the stream has already, as the mixer's last change left it,
    // is not sent: the server keeps the mixer's own level.
    void SetVolume(int volume);
    void SetMediaName(const QString &name);

    bool IsHeard() const { return Heard.load(); }
    // The last Open failed because the server took the connection (or
    // none refused it) and did not answer: a server that hangs.
    bool WasUnanswered() const { return Unanswered; }
    int Rate() const { return SampleRate; }
    // What the server keeps buffered, in frames.
    int BufferFrames() const;
    std::uint64_t Reconnections() const { return Reconnects.load(); }

private:
    static void ContextChanged(pa_context *context, void *self);
    static void StreamChanged(pa_stream *stream, void *self);
    static void Writable(pa_stream *stream, std::size_t bytes, void *self);
    static void RetryNow(pa_mainloop_api *api, pa_time_event *event, const timeval *, void *self);
    static void TimingUpdated(pa_stream *stream, int success, void *self);
    static void AnswerOverdue(pa_mainloop_api *api, pa_time_event *event, const timeval *,
                              void *self);
    bool AwaitTiming(pa_operation *update);
    static void VolumeSet(pa_context *context, int success, void *self);
    void Subscribed(pa_context *context, int event, std::uint32_t index);
    static void InputInfo(pa_context *context, const struct pa_sink_input_info *info, int eol,
                          void *self);

    // On libpulse's thread, under its lock.
    bool Connect();
    void CreateStream();
    void Lose();
    void ScheduleRetry();
    void Disconnect();
    void ApplyVolume();
    // From a thread of ours: how long until the fade is heard, in ms.
    int FadeOutNow();
    void Remember(const std::int16_t *frames, std::size_t count);

    TRender Render;
    TListener Listener;
    TVolumeListener VolumeListener;
    int VolumesInFlight = 0; // our own changes the server has not confirmed
    pa_threaded_mainloop *Loop = nullptr;
    pa_context *Context = nullptr;
    pa_stream *Stream = nullptr;
    pa_time_event *Retry = nullptr;
    int SampleRate = 48000;
    int Volume = 64;
    std::uint32_t Level = 0; // the server's level of Volume, or the mixer's own
    QString MediaName;
    bool Closing = false;
    bool WasReady = false; // the stream has played since the last Open
    bool TimingDone = false;
    bool AnswerLate = false;
    bool Unanswered = false;
    // Once faded out for a close, only silence is written.
    bool Silenced = false;
    // What was written lately, so that a close can fade out from where the
    // server is playing instead of after all it holds.
    std::vector<std::int16_t> History;
    std::int64_t WrittenFrames = 0; // since the stream was made
    std::atomic<bool> Heard{false};
    std::atomic<bool> Failed{false};
    std::atomic<std::uint64_t> Reconnects{0};
};

// True when music is to be played by TPulseStream rather than by SDL: the
// driver is the automatic one or PulseAudio's (by the set-up, or forced by
// SDL_AUDIODRIVER), and no particular device was chosen.
bool WantsPulseStream(const QString &setupDriver, const QString &setupDevice);
