#pragma once

// The mixing of one module into the sound device's buffer.

#include <cstddef>
#include <cstdint>

namespace openmpt
{
class module;
}

constexpr int NaturalVolume = 64;
constexpr int MixChannels = 2;

// The one module the audio callback plays.  Changed only under the device
// lock; the callback owns it while it mixes.
struct TVoice {
    openmpt::module *Decoder = nullptr;
    std::uint32_t Handle = 0;
    int Volume = NaturalVolume; // 0..64
    bool Ended = false;         // the song has played to its end
};

// Fills out with frames of 16-bit stereo: the voice's music at its volume,
// then silence.  The voice is marked ended once its decoder gives nothing
// more, which happens only for a song played without looping.
void MixVoice(TVoice &voice, int mixRate, std::int16_t *out, std::size_t frames);
