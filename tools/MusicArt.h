#pragma once

// The program's own music: a four-channel ProTracker module whose samples are
// synthesised sample by sample and whose tune is written out note by note.
// Everything is deterministic, so a rebuild gives the same bytes.
#include <QByteArray>

#include <array>
#include <cstdint>
#include <vector>

namespace MusicArt
{

constexpr int Channels = 4;
constexpr int RowsPerPattern = 64;
constexpr int SampleSlots = 31;

// One instrument as the module stores it: signed 8-bit mono, even length.
struct TSample {
    QByteArray Name; // up to 22 bytes
    std::vector<std::int8_t> Data;
    int Volume = 64;    // 0..64
    int LoopStart = 0;  // in bytes, even
    int LoopLength = 0; // in bytes, even; 0 plays the sample once
};

// One note slot: an Amiga period (0 = no note), a sample slot (0 = keep the
// channel's), and one effect with its parameter.
struct TCell {
    int Period = 0;
    int Sample = 0;
    int Effect = 0;
    int Param = 0;
};
using TRow = std::array<TCell, Channels>;
using TPattern = std::array<TRow, RowsPerPattern>;

struct TModule {
    QByteArray Title; // up to 20 bytes
    std::vector<TSample> Samples;
    std::vector<TPattern> Patterns;
    std::vector<int> Order;
};

// Sample slots, numbered as the patterns refer to them.
enum TInstrument { PluckBass = 1, SquareLead, Kick, Snare, ClosedHat, OpenHat, SoftPulse };

// The synthesised instruments in slot order, then name-only slots that
// carry the credits, as trackers have always done.
std::vector<TSample> SynthesisedSamples();

// The tune "Ferrox - Cold Iron" with its samples.
TModule FerroxTune();

// The module in the "M.K." format.
QByteArray ModFile(const TModule &module);

// The Amiga period of a note written as in a tracker ("A-2", "C#3",
// octaves 1 to 3); 0 for anything else.
int NotePeriod(const char *note);

} // namespace MusicArt
