#include "music/VoiceMixer.h"

#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{

// A volume change glides over this many frames (about 5 ms) instead of
// jumping, which would be heard as a click.
constexpr float GainStepPerFrame = 1.0f / 256.0f;

float GainOfVolume(int volume)
{
    return static_cast<float>(volume) / NaturalVolume;
}

std::int16_t Scaled(std::int16_t sample, float gain)
{
    return static_cast<std::int16_t>(std::lround(static_cast<float>(sample) * gain));
}

} // namespace

TVoiceMixer::TVoiceMixer(std::size_t decodeChunkFrames)
    : Decoded(std::max<std::size_t>(decodeChunkFrames, 1) * MixChannels)
{
}

void TVoiceMixer::Start(openmpt::module *decoder, std::uint32_t handle, int volume)
{
    Clear();
    Voice = decoder;
    VoiceHandle = handle;
    TargetVolume = std::clamp(volume, 0, NaturalVolume);
    Gain = GainOfVolume(TargetVolume);
    UpdateSilent();
}

void TVoiceMixer::Clear()
{
    Voice = nullptr;
    VoiceHandle = 0;
    SongEnded = false;
    Next = Filled = 0;
    FadeLeft = FadeLength = 0;
    Muted = false;
    UpdateSilent();
}

void TVoiceMixer::SetVolume(int volume)
{
    TargetVolume = std::clamp(volume, 0, NaturalVolume);
}

void TVoiceMixer::FadeOut(std::size_t frames)
{
    if (!Sounding() || frames == 0) {
        Muted = true;
    } else if (FadeLeft == 0) {
        FadeLeft = FadeLength = std::max<std::size_t>(frames, 1);
    }
    UpdateSilent();
}

void TVoiceMixer::Unmute()
{
    Muted = false;
    FadeLeft = FadeLength = 0;
    UpdateSilent();
}

bool TVoiceMixer::Refill(int mixRate)
{
    const std::size_t capacity = Decoded.size() / MixChannels;
    std::size_t count = 0;
    // Nothing may be thrown into SDL's thread; a decoder that fails is
    // treated as a song that has ended.
    try {
        count = Voice->read_interleaved_stereo(mixRate, capacity, Decoded.data());
    } catch (...) {
        count = 0;
    }
    Next = 0;
    Filled = std::min(count, capacity);
    if (Filled == 0)
        SongEnded = true;
    return Filled > 0;
}

void TVoiceMixer::Emit(const std::int16_t *in, std::int16_t *out, std::size_t frames)
{
    const float target = GainOfVolume(TargetVolume);
    if (FadeLeft == 0 && Gain == target) {
        if (TargetVolume == NaturalVolume)
            std::memcpy(out, in, frames * MixChannels * sizeof(std::int16_t));
        else
            for (std::size_t i = 0; i < frames * MixChannels; ++i)
                out[i] = static_cast<std::int16_t>(in[i] * TargetVolume / NaturalVolume);
        return;
    }
    for (std::size_t frame = 0; frame < frames; ++frame) {
        if (Gain < target)
            Gain = std::min(target, Gain + GainStepPerFrame);
        else if (Gain > target)
            Gain = std::max(target, Gain - GainStepPerFrame);
        float gain = Gain;
        if (FadeLeft > 0) {
            gain *= static_cast<float>(FadeLeft - 1) / static_cast<float>(FadeLength);
            --FadeLeft;
        }
        for (int channel = 0; channel < MixChannels; ++channel) {
            const std::size_t i = frame * MixChannels + channel;
            out[i] = Scaled(in[i], gain);
        }
    }
}

void TVoiceMixer::Mix(int mixRate, std::int16_t *out, std::size_t frames)
{
    std::size_t done = 0;
    while (done < frames && Sounding()) {
        if (Next == Filled && !Refill(mixRate))
            break;
        std::size_t count = std::min(frames - done, Filled - Next);
        const bool fading = FadeLeft > 0;
        if (fading)
            count = std::min(count, FadeLeft);
        Emit(Decoded.data() + Next * MixChannels, out + done * MixChannels, count);
        Next += count;
        done += count;
        if (fading && FadeLeft == 0)
            Muted = true; // the voice holds here; the rest is silence
    }
    std::fill(out + done * MixChannels, out + frames * MixChannels, std::int16_t{0});
    UpdateSilent();
}
