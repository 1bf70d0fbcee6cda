#pragma once

// TAudioOutput: one SDL audio device, the mixer its callback plays, and the
// device work done for it on the device worker.

#include "sound/DecoderLog.h"
#include "sound/PulseStream.h"
#include "sound/SoundEngine.h"
#include "sound/VoiceMixer.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

class TDeviceWorker;

// Shared by the engine (its owner's thread), the jobs on the device worker
// and SDL's audio thread, which lives as long as the device: whoever lets
// go of it last frees it, usually the job that closed the device after the
// engine had gone.  The mixer is touched only under Lock().
class TAudioOutput : public std::enable_shared_from_this<TAudioOutput>
{
public:
    // The device work is done by worker, which outlives every request
    // (it runs every job posted before it ends).
    static std::shared_ptr<TAudioOutput> Create(TDeviceWorker &worker);
    ~TAudioOutput();
    TAudioOutput(const TAudioOutput &) = delete;
    TAudioOutput &operator=(const TAudioOutput &) = delete;

    // Requests of the engine's thread.  Each returns at once; the device
    // worker carries them out in order.  An opening that a later request
    // has overtaken is left out.
    //
    // Opens the device unless it is open; the mixer is not heard before Hear.
    void Open(const TAudioSetup &setup);
    void Hear();
    // Fades the output out and holds it there.
    void Hush();
    // Fades out, waits until the fade has been heard, closes the device.
    void Close();
    // The engine goes: fades out at once and waits until that has been
    // heard (about two device buffers at most), then drops every voice so
    // that no decoder is used any more.  The device is closed afterwards on
    // the worker; requests after this do nothing.
    void Release();

    // The playing module's volume, 0..64: the sound server's volume of the
    // stream where the music is a stream of the server, heard at once
    // whatever is buffered, otherwise the mixer's.  Call without Lock().
    void SetMusicVolume(int volume);
    // The mixer's volume for a voice started at volume.
    int VoiceVolume(int volume) const;
    // What the sound server's mixer calls the stream: the module's title.
    void SetStreamName(const QString &name);
    // What the desktop's mixer last set the stream's volume to, or -1.
    int TakeMixerVolume() { return MixerVolume.exchange(-1); }

    TDeviceState State() const;
    // The reason of the last failure, the device's or the engine's.
    QString Error() const;
    void SetError(const QString &error);
    TAudioInUse InUse() const;
    std::uint64_t MixedFrames() const { return Mixed.load(std::memory_order_relaxed); }
    // Called on the worker after the device opened or failed to.
    void SetListener(std::function<void()> listener);

    std::unique_lock<std::mutex> Lock() const { return std::unique_lock<std::mutex>(Guard); }
    // The mixer the callback plays: only under Lock().
    TVoiceMixer &Mixer() { return Voices; }
    const TVoiceMixer &Mixer() const { return Voices; }
    // Frames of a fade at the device's rate.
    std::size_t FadeFrames() const;

    // Where the decoders write what they have to say.
    TDecoderLog Log;
    // Where SDL writes what it has to say, for every device of the process.
    static TDecoderLog &SdlLog();

private:
    explicit TAudioOutput(TDeviceWorker &worker) : Worker(worker) {}

    // What the sound server's mixer calls the stream before a module plays.
    static constexpr const char *DefaultStreamName = "Music";

    // On the worker.
    void OpenNow(const TAudioSetup &setup, std::uint64_t request);
    void CloseNow();
    bool OpenDevice(const TAudioSetup &setup, QString &error);
    // True when the server's stream opened (and was reported) or was
    // overtaken by a later request.
    bool OpenServerStream(std::uint64_t request, QString &error);
    void ReportServerOpen(std::uint64_t request);
    void ServerHeard(bool heard);
    // The stream, to be closed by the caller, who then counts it off
    // ServerClosings.
    std::unique_ptr<TPulseStream> TakeServerStream();
    void MixInto(std::int16_t *out, std::size_t frames);
    void WaitForFade(bool wasSounding, bool untilHeard) const;
    void Report(std::uint64_t request, TDeviceState state, const QString &error);
    void Notify();
    static void Callback(void *self, Uint8 *stream, int length);

    TDeviceWorker &Worker;
    mutable std::mutex Guard; // the mixer and what the engine reads below
    TVoiceMixer Voices;
    std::uint64_t Request = 0; // the latest opening or closing asked for
    TDeviceState DeviceState = TDeviceState::dsClosed;
    QString LastError;
    TAudioInUse Used;
    bool Released = false;

    std::mutex ListenerGuard;
    std::function<void()> Listener;

    // The stream of the sound server, made and dropped on the worker;
    // Guard is taken within ServerGuard, never the other way round.
    std::mutex ServerGuard;
    std::unique_ptr<TPulseStream> ServerStream;
    int MusicVolume = NaturalVolume;
    QString StreamName;
    std::atomic<bool> ServerVolume{false};
    std::atomic<int> MixerVolume{-1};
    // Streams taken to be closed whose fade is still to be heard.
    std::atomic<int> ServerClosings{0};
    // The last opening found a server that took the connection and did not
    // answer (on the worker).
    bool ServerUnanswered = false;

    // The device, on the worker (the callback reads the rate).
    SDL_AudioDeviceID Device = 0;
    std::atomic<int> Rate{0};
    std::atomic<int> BufferFrames{0};
    std::atomic<std::uint64_t> Mixed{0};
    std::atomic<std::uint64_t> Callbacks{0};
};

// The device buffer SDL is asked for: the power of two nearest to a chosen
// length, or for the automatic choice (bufferMs 0) the shortest that plays
// for at least AutomaticBufferMs.
int DeviceBufferFrames(int mixRate, int bufferMs);
