// The module's instruments, computed sample by sample.  Pitched samples hold
// whole cycles of a fixed length, so that they are in tune with each other
// at the same note; drums are made for playing at C-3.
#include "MusicArt.h"

#include <algorithm>
#include <cmath>

namespace MusicArt
{
namespace
{

constexpr double Pi = 3.14159265358979323846;
// The rate at which a sample plays at C-3: the PAL Amiga clock over twice
// the period 214.
constexpr double DrumRate = 7093789.2 / (2 * 214);

using TWave = std::vector<double>;

// A fixed generator, so that every build gives the same noise.
class TNoise
{
public:
    double Next()
    {
        State = State * 1664525u + 1013904223u;
        return static_cast<double>(State >> 8) / double(1u << 23) - 1.0;
    }

private:
    std::uint32_t State = 0x46455252u;
};

// Scales the wave so that its loudest point reaches level and rounds it to
// signed bytes.
std::vector<std::int8_t> ToBytes(const TWave &wave, double level)
{
    double peak = 1e-9;
    for (double v : wave)
        peak = std::max(peak, std::abs(v));
    std::vector<std::int8_t> bytes(wave.size() + wave.size() % 2, 0);
    for (size_t i = 0; i < wave.size(); ++i) {
        const long v = std::lround(wave[i] / peak * level * 127.0);
        bytes[i] = static_cast<std::int8_t>(std::clamp(v, -127L, 127L));
    }
    return bytes;
}

// A sample played once ends in silence, and by the tracker convention its
// first word is zero too.
void FadeEnds(TWave &wave, size_t fadeLength)
{
    for (size_t i = 0; i < fadeLength && i < wave.size(); ++i)
        wave[wave.size() - 1 - i] *= static_cast<double>(i) / static_cast<double>(fadeLength);
    for (size_t i = 0; i < 2 && i < wave.size(); ++i)
        wave[i] = 0;
}

TSample Make(const char *name, const TWave &wave, double level, int volume, int loopStart = 0,
             int loopLength = 0)
{
    TSample sample;
    sample.Name = name;
    sample.Data = ToBytes(wave, level);
    sample.Volume = volume;
    sample.LoopStart = loopStart;
    sample.LoopLength = loopLength;
    return sample;
}

// A band-limited pulse at the given phase (in cycles): the odd and even
// harmonics of a pulse of that duty, softened towards the top so the
// 8-bit sample does not buzz.
double Pulse(double phase, double duty, int harmonics, double rolloff)
{
    double v = 0;
    for (int k = 1; k <= harmonics; ++k)
        v += std::sin(Pi * k * duty) / k * std::pow(rolloff, k) * std::cos(2 * Pi * k * phase);
    return v;
}

// Plucked string: every harmonic of a saw starts at once and the higher ones
// die first, the way a picked bass string darkens; a quick fall from the
// pick's attack leaves a long, quiet ring that carries a note across a bar.
// A cycle is 64 bytes, so C-1 sounds as a low C.
TSample PluckBassSample()
{
    constexpr int Cycle = 64;
    constexpr int Length = 16384;
    TWave wave(Length);
    for (int n = 0; n < Length; ++n) {
        double v = 0;
        for (int k = 1; k <= 24; ++k) {
            const double brightness = std::exp(-n * (k - 1) * 0.0005);
            const double body = (k == 2 ? 1.4 : 1.0) / k;
            v += body * brightness * std::sin(2 * Pi * k * n / Cycle);
        }
        const double attack = std::min(1.0, n / 6.0);
        const double ring = 0.6 * std::exp(-n / 1200.0) + 0.4 * std::exp(-n / 9000.0);
        wave[static_cast<size_t>(n)] = v * attack * ring;
    }
    FadeEnds(wave, 1024);
    return Make("Pluck bass", wave, 0.95, 46);
}

// Three square waves slightly apart in pitch, so the lead sings instead of
// beeping.  The loop holds 63, 64 and 65 of their cycles, which keeps it
// seamless; before it the note falls from its strike to the held level.
TSample SquareLeadSample()
{
    constexpr int Cycle = 32;
    constexpr int Decay = 2048;
    constexpr int Loop = 2048;
    constexpr double Sustain = 0.55;
    TWave wave(Decay + Loop);
    for (int n = 0; n < Decay + Loop; ++n) {
        const double centre = Pulse(double(n) / Cycle, 0.5, 15, 0.93);
        const double below = Pulse(n * 63.0 / Loop, 0.5, 15, 0.93);
        const double above = Pulse(n * 65.0 / Loop, 0.5, 15, 0.93);
        double envelope = Sustain;
        if (n < Decay)
            envelope += (1 - Sustain) * std::exp(-n / 400.0) * (1.0 - double(n) / Decay);
        envelope *= std::min(1.0, n / 24.0);
        wave[static_cast<size_t>(n)] = (0.5 * centre + 0.25 * below + 0.25 * above) * envelope;
    }
    return Make("Square lead", wave, 0.9, 40, Decay, Loop);
}

// A quarter-duty pulse for the arpeggiated chords: thinner than the lead, so
// that the two stay apart.
TSample SoftPulseSample()
{
    constexpr int Cycle = 32;
    constexpr int Decay = 1024;
    constexpr int Loop = 256;
    constexpr double Sustain = 0.45;
    TWave wave(Decay + Loop);
    for (int n = 0; n < Decay + Loop; ++n) {
        double envelope = Sustain;
        if (n < Decay)
            envelope += (1 - Sustain) * std::exp(-n / 220.0) * (1.0 - double(n) / Decay);
        envelope *= std::min(1.0, n / 16.0);
        wave[static_cast<size_t>(n)] = Pulse(double(n) / Cycle, 0.25, 15, 0.85) * envelope;
    }
    return Make("Soft pulse", wave, 0.85, 24, Decay, Loop);
}

// A sine that falls from a knock to a low thump, with a short click of noise
// on top for the beater.
TSample KickSample()
{
    constexpr int Length = 5000;
    TNoise noise;
    TWave wave(Length);
    double phase = 0;
    for (int n = 0; n < Length; ++n) {
        const double t = n / DrumRate;
        const double frequency = 46 + 125 * std::exp(-t / 0.035);
        phase += 2 * Pi * frequency / DrumRate;
        const double click = n < 60 ? noise.Next() * 0.35 * (1 - n / 60.0) : 0;
        wave[static_cast<size_t>(n)] = std::sin(phase) * std::exp(-t / 0.16) + click;
    }
    FadeEnds(wave, 400);
    return Make("Kick", wave, 1.0, 64);
}

// Noise with the low end taken out: the first difference, twice.
TWave HissyNoise(int length, std::uint32_t skip)
{
    TNoise noise;
    for (std::uint32_t i = 0; i < skip; ++i)
        noise.Next();
    TWave wave(static_cast<size_t>(length));
    double previous = 0, previousDiff = 0;
    for (auto &v : wave) {
        const double x = noise.Next();
        const double diff = x - previous;
        v = diff - 0.5 * previousDiff;
        previous = x;
        previousDiff = diff;
    }
    return wave;
}

// The drum's shell (a falling tone) under the rattle of its wires (noise).
TSample SnareSample()
{
    constexpr int Length = 4200;
    TWave wires = HissyNoise(Length, 1000);
    TWave wave(Length);
    for (int n = 0; n < Length; ++n) {
        const double t = n / DrumRate;
        const double shell = std::sin(2 * Pi * (185 - 30 * t) * t) * std::exp(-t / 0.045);
        wave[static_cast<size_t>(n)] =
            0.55 * shell + 0.6 * wires[static_cast<size_t>(n)] * std::exp(-t / 0.07);
    }
    FadeEnds(wave, 300);
    return Make("Snare", wave, 1.0, 44);
}

TSample HatSample(const char *name, int length, double decaySeconds, int volume)
{
    TWave wave = HissyNoise(length, 5000);
    for (int n = 0; n < length; ++n)
        wave[static_cast<size_t>(n)] *= std::exp(-n / DrumRate / decaySeconds);
    FadeEnds(wave, static_cast<size_t>(length / 8));
    return Make(name, wave, 0.9, volume);
}

} // namespace

std::vector<TSample> SynthesisedSamples()
{
    std::vector<TSample> samples = {PluckBassSample(),
                                    SquareLeadSample(),
                                    KickSample(),
                                    SnareSample(),
                                    HatSample("Closed hat", 1400, 0.018, 20),
                                    HatSample("Open hat", 6000, 0.1, 18),
                                    SoftPulseSample()};
    for (const char *credit :
         {"", "Ferrox - Cold Iron", "made for the game", "by the Ferrox authors",
          "all sounds synthesised", "by tools/make_music", "", "under Ferrox's terms"}) {
        TSample slot;
        slot.Name = credit;
        samples.push_back(slot);
    }
    return samples;
}

} // namespace MusicArt
