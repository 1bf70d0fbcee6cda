#pragma once

// TVoiceMixer: what the audio callback plays: one module, decoded in large
// chunks, handed out in the device's buffers at its volume, faded out
// before anything stops.

#include "base/Constants.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace openmpt
{
class module;
}

constexpr int MixChannels = 2;

// Frames the decoder renders at each refill (about 170 ms of music).  The
// decoder works fastest in long runs: each refill after the audio thread has
// slept starts with cold caches.
constexpr std::size_t DecodeChunkFrames = 8192;

// How a voice is to start: its decoder is rewound and set up when the voice
// starts, which may be a fade later than asked.
struct TVoiceStart {
    openmpt::module *Decoder = nullptr;
    std::uint32_t Handle = 0;
    int Volume = NaturalVolume;
    bool Loop = false;
    std::int32_t GainMillibel = 0;
};

// Where a voice's decoder stood after its last refill, and the song's time
// at the last frame handed out.
struct TVoicePosition {
    int Order = 0;
    int Pattern = 0;
    int Row = 0;
    double Seconds = 0;
};

// Mix runs in the audio callback; every other call comes from elsewhere
// under the caller's lock, except IsSilent, which may be polled without it.
// Mix may let go of that lock while its decoder renders, so that a decoder
// working on a long chunk never holds up the caller; meanwhile that decoder
// is the callback's alone: it is set up and rewound only by the mixer, in
// the callback, and its position is read from Position().
//
// Two things fade: the voice, when it is stopped or another one starts (the
// new one follows once the old one is silent), and the output as a whole,
// which FadeOut closes and Unmute opens again while the voice holds its
// place.  A fade takes time only while the device runs (SetRunning); with
// no device every change is heard, or rather not heard, at once.
class TVoiceMixer
{
public:
    explicit TVoiceMixer(std::size_t decodeChunkFrames = DecodeChunkFrames);
    TVoiceMixer(const TVoiceMixer &) = delete;
    TVoiceMixer &operator=(const TVoiceMixer &) = delete;

    // Whether the device calls Mix from now on.
    void SetRunning(bool running);
    bool IsRunning() const { return Running; }

    // Starts a voice from its beginning; a voice that sounds fades out over
    // fadeFrames first.
    void Start(const TVoiceStart &start, std::size_t fadeFrames = 0);
    // Fades out and drops the voice under handle (a voice waiting to start
    // is dropped at once).
    void Stop(std::uint32_t handle, std::size_t fadeFrames);
    // Drops every voice without a fade: only for voices already silent.
    void Clear();

    // The voice that plays or is about to: its handle (0 when none, or when
    // it is being stopped) and its decoder.
    std::uint32_t Handle() const;
    openmpt::module *Decoder() const;
    // A voice waits for the one before it to fade out; it has not started.
    bool Waiting() const { return Next.Decoder != nullptr; }
    // Whether a decoder is still in use: playing, fading, waiting or
    // rendering.
    bool Uses(const openmpt::module *decoder) const;
    // The callback renders a decoder right now, without the lock.
    bool IsRendering() const { return Rendering != nullptr; }
    // The song has played to its end, the last decoded frame included.
    bool Ended() const { return !Next.Decoder && Voice && SongEnded; }
    // Where the voice stands: all zeros for a voice waiting to start.
    TVoicePosition Position() const;
    // The voice's loudness as the decoder's master gain, from its next refill.
    void SetGain(std::int32_t millibel);

    // Moves the volume (0..64) to its new level within a few milliseconds.
    void SetVolume(int volume);
    int Volume() const { return TargetVolume; }

    // Ramps the output down to silence over `frames` frames, then gives
    // silence and holds the voice where it stands until Unmute.
    void FadeOut(std::size_t frames);
    void Unmute();
    // True once nothing more will be heard until something is started or
    // unmuted.
    bool IsSilent() const { return Silent.load(std::memory_order_acquire); }

    // Fills out with frames of 16-bit stereo.  With a lock given (the one
    // held by the caller), it is let go while the decoder renders.
    void Mix(int mixRate, std::int16_t *out, std::size_t frames,
             std::unique_lock<std::mutex> *lock = nullptr);

private:
    // A ramp down to silence; Left = 0 means none.
    struct TRamp {
        std::size_t Left = 0;
        std::size_t Length = 0;
        bool Active() const { return Left > 0; }
        void Begin(std::size_t frames);
        float Factor() const { return static_cast<float>(Left - 1) / static_cast<float>(Length); }
    };

    bool Sounding() const { return Voice && !SongEnded && !Muted; }
    void StartNow(const TVoiceStart &start);
    void DropVoice();
    bool Refill(int mixRate, std::unique_lock<std::mutex> *lock);
    void Emit(const std::int16_t *in, std::int16_t *out, std::size_t frames);
    void AfterRamps(bool voiceWasFading, bool outputWasFading);
    void UpdateSilent();

    openmpt::module *Voice = nullptr;
    std::uint32_t VoiceHandle = 0;
    bool SongEnded = false;
    bool Stopping = false; // the voice fades out and is then dropped
    TVoiceStart Next;      // starts once the voice is silent
    std::int32_t GainMillibel = 0;
    std::int32_t AppliedGain = 0;
    TVoicePosition Where; // Seconds: where the decoded chunk begins
    int RefillRate = 0;   // the mixing rate of the decoded chunk
    // The decoder rendering without the lock, or null.
    openmpt::module *Rendering = nullptr;

    // Decoded frames not yet handed out: Decoded[NextFrame .. Filled).
    // Rendered is where the decoder renders into, without the lock.
    std::vector<std::int16_t> Decoded;
    std::vector<std::int16_t> Rendered;
    std::size_t NextFrame = 0;
    std::size_t Filled = 0;

    int TargetVolume = NaturalVolume;
    float Gain = 1.0f; // where the volume stands now, 0..1

    TRamp VoiceFade;
    TRamp OutputFade;
    bool Muted = false;
    bool Running = true;
    std::atomic<bool> Silent{true};
};
