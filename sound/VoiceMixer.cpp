#include "sound/VoiceMixer.h"

#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

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

void TVoiceMixer::TRamp::Begin(std::size_t frames)
{
    Left = Length = std::max<std::size_t>(frames, 1);
}

TVoiceMixer::TVoiceMixer(std::size_t decodeChunkFrames)
    : Decoded(std::max<std::size_t>(decodeChunkFrames, 1) * MixChannels), Rendered(Decoded.size())
{
}

void TVoiceMixer::SetRunning(bool running)
{
    Running = running;
    if (running)
        return;
    // Nothing will play a ramp any more: what was fading is gone now.
    if (OutputFade.Active()) {
        OutputFade = {};
        Muted = true;
    }
    if (VoiceFade.Active()) {
        VoiceFade = {};
        DropVoice();
    }
    if (!Voice && Next.Decoder && Next.Decoder != Rendering)
        StartNow(std::exchange(Next, {}));
    UpdateSilent();
}

void TVoiceMixer::StartNow(const TVoiceStart &start)
{
    DropVoice();
    start.Decoder->set_repeat_count(start.Loop ? -1 : 0);
    start.Decoder->set_position_order_row(0, 0);
    start.Decoder->set_render_param(openmpt::module::RENDER_MASTERGAIN_MILLIBEL,
                                    start.GainMillibel);
    Voice = start.Decoder;
    VoiceHandle = start.Handle;
    GainMillibel = AppliedGain = start.GainMillibel;
    TargetVolume = std::clamp(start.Volume, 0, NaturalVolume);
    Gain = GainOfVolume(TargetVolume);
}

void TVoiceMixer::DropVoice()
{
    Voice = nullptr;
    VoiceHandle = 0;
    SongEnded = false;
    Stopping = false;
    NextFrame = Filled = 0;
    VoiceFade = {};
    Where = {};
}

void TVoiceMixer::Start(const TVoiceStart &start, std::size_t fadeFrames)
{
    if (!start.Decoder)
        return;
    if (Running && Sounding() && fadeFrames > 0) {
        Next = start;
        if (!VoiceFade.Active())
            VoiceFade.Begin(fadeFrames);
        Stopping = true;
    } else if (start.Decoder == Rendering) {
        // The callback renders it right now; it starts it when done.
        DropVoice();
        Next = start;
    } else {
        Next = {};
        StartNow(start);
    }
    UpdateSilent();
}

void TVoiceMixer::Stop(std::uint32_t handle, std::size_t fadeFrames)
{
    if (handle == 0)
        return;
    if (Next.Handle == handle) {
        Next = {};
    } else if (VoiceHandle == handle && !Stopping) {
        if (Running && Sounding() && fadeFrames > 0) {
            VoiceFade.Begin(fadeFrames);
            Stopping = true;
        } else {
            DropVoice();
        }
    }
    UpdateSilent();
}

void TVoiceMixer::Clear()
{
    DropVoice();
    Next = {};
    OutputFade = {};
    Muted = false;
    UpdateSilent();
}

std::uint32_t TVoiceMixer::Handle() const
{
    if (Next.Decoder)
        return Next.Handle;
    return Stopping ? 0 : VoiceHandle;
}

openmpt::module *TVoiceMixer::Decoder() const
{
    if (Next.Decoder)
        return Next.Decoder;
    return Stopping ? nullptr : Voice;
}

TVoicePosition TVoiceMixer::Position() const
{
    if (Next.Decoder)
        return {};
    TVoicePosition where = Where;
    if (RefillRate > 0)
        where.Seconds += static_cast<double>(NextFrame) / RefillRate;
    return where;
}

bool TVoiceMixer::Uses(const openmpt::module *decoder) const
{
    return decoder && (Voice == decoder || Next.Decoder == decoder || Rendering == decoder);
}

void TVoiceMixer::SetGain(std::int32_t millibel)
{
    GainMillibel = millibel;
}

void TVoiceMixer::SetVolume(int volume)
{
    TargetVolume = std::clamp(volume, 0, NaturalVolume);
}

void TVoiceMixer::FadeOut(std::size_t frames)
{
    if (!Running || !Sounding() || frames == 0) {
        OutputFade = {};
        Muted = true;
    } else if (!OutputFade.Active()) {
        OutputFade.Begin(frames);
    }
    UpdateSilent();
}

void TVoiceMixer::Unmute()
{
    Muted = false;
    OutputFade = {};
    UpdateSilent();
}

void TVoiceMixer::UpdateSilent()
{
    const bool waiting = Next.Decoder && !Muted;
    Silent.store(!Sounding() && !waiting, std::memory_order_release);
}

// Renders the next chunk of the voice, without the lock when one is given.
// False when the song has ended, or the voice was dropped meanwhile.
bool TVoiceMixer::Refill(int mixRate, std::unique_lock<std::mutex> *lock)
{
    openmpt::module *decoder = Voice;
    const std::size_t capacity = Rendered.size() / MixChannels;
    const std::int32_t gain = GainMillibel;
    const bool newGain = gain != AppliedGain;
    AppliedGain = gain;
    Rendering = decoder;
    if (lock)
        lock->unlock();
    std::size_t count = 0;
    TVoicePosition where;
    // Nothing may be thrown into SDL's thread; a decoder that fails is
    // treated as a song that has ended.
    try {
        if (newGain)
            decoder->set_render_param(openmpt::module::RENDER_MASTERGAIN_MILLIBEL, gain);
        const double chunkStart = decoder->get_position_seconds();
        count = std::min(decoder->read_interleaved_stereo(mixRate, capacity, Rendered.data()),
                         capacity);
        where = {std::max(decoder->get_current_order(), 0),
                 std::max(decoder->get_current_pattern(), 0),
                 std::max(decoder->get_current_row(), 0), chunkStart};
    } catch (...) {
        count = 0;
    }
    if (lock)
        lock->lock();
    Rendering = nullptr;
    if (Voice != decoder)
        return false; // dropped while rendering: what was rendered goes too
    std::swap(Decoded, Rendered);
    NextFrame = 0;
    Filled = count;
    if (count == 0) {
        SongEnded = true;
    } else {
        Where = where;
        RefillRate = mixRate;
    }
    return count > 0;
}

void TVoiceMixer::Emit(const std::int16_t *in, std::int16_t *out, std::size_t frames)
{
    const float target = GainOfVolume(TargetVolume);
    if (!VoiceFade.Active() && !OutputFade.Active() && Gain == target) {
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
        for (TRamp *ramp : {&VoiceFade, &OutputFade})
            if (ramp->Active()) {
                gain *= ramp->Factor();
                --ramp->Left;
            }
        for (int channel = 0; channel < MixChannels; ++channel) {
            const std::size_t i = frame * MixChannels + channel;
            out[i] = Scaled(in[i], gain);
        }
    }
}

// A ramp that has just run out: the output holds, a stopped voice goes and
// the one waiting for it starts.
void TVoiceMixer::AfterRamps(bool voiceWasFading, bool outputWasFading)
{
    if (outputWasFading && !OutputFade.Active())
        Muted = true;
    if (voiceWasFading && !VoiceFade.Active())
        DropVoice();
}

void TVoiceMixer::Mix(int mixRate, std::int16_t *out, std::size_t frames,
                      std::unique_lock<std::mutex> *lock)
{
    std::size_t done = 0;
    while (done < frames && !Muted) {
        // A stopped voice goes once its fade is over, or its song.
        if (Voice && Stopping && (SongEnded || !VoiceFade.Active()))
            DropVoice();
        if ((!Voice || SongEnded) && Next.Decoder)
            StartNow(std::exchange(Next, {}));
        if (!Sounding())
            break;
        if (NextFrame == Filled && !Refill(mixRate, lock))
            continue;
        std::size_t count = std::min(frames - done, Filled - NextFrame);
        for (const TRamp *ramp : {&VoiceFade, &OutputFade})
            if (ramp->Active())
                count = std::min(count, ramp->Left);
        const bool voiceWasFading = VoiceFade.Active();
        const bool outputWasFading = OutputFade.Active();
        Emit(Decoded.data() + NextFrame * MixChannels, out + done * MixChannels, count);
        NextFrame += count;
        done += count;
        AfterRamps(voiceWasFading, outputWasFading);
    }
    std::fill(out + done * MixChannels, out + frames * MixChannels, std::int16_t{0});
    UpdateSilent();
}
