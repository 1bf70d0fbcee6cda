#include "music/VoiceMixer.h"

#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>

namespace
{

std::size_t Render(TVoice &voice, int mixRate, std::int16_t *out, std::size_t frames)
{
    // Nothing may be thrown into SDL's thread; a decoder that fails is
    // treated as a song that has ended.
    try {
        return voice.Decoder->read_interleaved_stereo(mixRate, frames, out);
    } catch (...) {
        return 0;
    }
}

void ScaleVolume(std::int16_t *samples, std::size_t count, int volume)
{
    if (volume >= NaturalVolume)
        return;
    for (std::size_t i = 0; i < count; ++i)
        samples[i] = static_cast<std::int16_t>(samples[i] * volume / NaturalVolume);
}

} // namespace

void MixVoice(TVoice &voice, int mixRate, std::int16_t *out, std::size_t frames)
{
    std::size_t done = 0;
    if (voice.Decoder && !voice.Ended) {
        done = Render(voice, mixRate, out, frames);
        if (done == 0)
            voice.Ended = true;
        ScaleVolume(out, done * MixChannels, voice.Volume);
    }
    std::fill(out + done * MixChannels, out + frames * MixChannels, std::int16_t{0});
}
