#pragma once

// The mixer the audio callback runs: one module, decoded in large chunks,
// handed out in the device's short buffers at its volume, and faded out
// before anything stops.

#include "base/Constants.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace openmpt
{
class module;
}

constexpr int MixChannels = 2;

// Frames the decoder renders at each wake-up (about 40 ms of music).  The
// device asks for a few hundred frames at a time so that a stop is heard at
// once; the decoder is woken about once in eight of those calls, and its
// work stays well within the few milliseconds one device buffer allows.
constexpr std::size_t DecodeChunkFrames = 2048;

// Plays one module into the device's buffers.  Mix runs in the audio
// callback; every other call comes from the user-interface thread under the
// device lock, except IsSilent, which may be polled without it.
class TVoiceMixer
{
public:
    explicit TVoiceMixer(std::size_t decodeChunkFrames = DecodeChunkFrames);
    TVoiceMixer(const TVoiceMixer &) = delete;
    TVoiceMixer &operator=(const TVoiceMixer &) = delete;

    // Plays decoder from where it stands, at volume 0..64, heard at once.
    void Start(openmpt::module *decoder, std::uint32_t handle, int volume);
    // Drops the voice without a fade: only for a voice already silent.
    void Clear();

    openmpt::module *Decoder() const { return Voice; }
    std::uint32_t Handle() const { return VoiceHandle; }
    // The song has played to its end, the last decoded frame included.
    bool Ended() const { return SongEnded; }

    // Moves the volume (0..64) to its new level within a few milliseconds.
    void SetVolume(int volume);
    int Volume() const { return TargetVolume; }

    // Ramps the sound down to silence over `frames` frames; after the ramp
    // the mixer gives silence and holds the voice where it stands until
    // Unmute or Start.  With nothing sounding, or 0 frames, it is silent at
    // once.
    void FadeOut(std::size_t frames);
    void Unmute();
    // True once nothing more will be heard: the fade is done, or there is
    // nothing to play.  The user-interface thread waits on it before it
    // pauses or closes the device, so that the sound never stops mid-wave.
    bool IsSilent() const { return Silent.load(std::memory_order_acquire); }

    // Fills out with frames of 16-bit stereo.
    void Mix(int mixRate, std::int16_t *out, std::size_t frames);

private:
    bool Sounding() const { return Voice && !SongEnded && !Muted; }
    bool Refill(int mixRate);
    void Emit(const std::int16_t *in, std::int16_t *out, std::size_t frames);
    void UpdateSilent() { Silent.store(!Sounding(), std::memory_order_release); }

    openmpt::module *Voice = nullptr;
    std::uint32_t VoiceHandle = 0;
    bool SongEnded = false;

    // Decoded frames not yet handed out: Decoded[Next .. Filled).
    std::vector<std::int16_t> Decoded;
    std::size_t Next = 0;
    std::size_t Filled = 0;

    int TargetVolume = NaturalVolume;
    float Gain = 1.0f; // where the volume stands now, 0..1

    std::size_t FadeLeft = 0; // frames of the fade still to play; 0 = none
    std::size_t FadeLength = 0;
    bool Muted = false;
    std::atomic<bool> Silent{true};
};
