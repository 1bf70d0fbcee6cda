// The tune, written like a tracker page: one string of sixteen rows per bar
// and channel, four bars to a pattern, a chord for every bar.  A minor,
// 125 beats a minute, four rows a beat.
//
// Channel 1 keeps the kick and snare, channel 2 plucks the bass on the
// chord's root, channel 3 ticks the hi-hats or, in the bridge, plays the
// chords as fast arpeggios, channel 4 sings the lead.  The Amiga puts
// channels 1 and 4 on the left and 2 and 3 on the right, so each side gets
// one low and one high part.
#include "MusicArt.h"

#include <QByteArrayList>

#include <cstdio>
#include <cstdlib>

namespace MusicArt
{
namespace
{

constexpr int RowsPerBar = 16;
constexpr int BarsPerPattern = RowsPerPattern / RowsPerBar;
enum TChannel { DrumChannel, BassChannel, HatChannel, LeadChannel };

constexpr int EffectArpeggio = 0x0;
constexpr int EffectVibrato = 0x4;
constexpr int EffectVolume = 0xC;

using TBars = std::array<const char *, BarsPerPattern>;

struct TSection {
    TBars Chords;
    TBars Lead;
    TBars Drums;
    TBars Hats; // empty: the chords are arpeggiated instead
    TBars Bass; // R root, O its octave, F its fifth
};

// Bars that repeat across sections.
constexpr const char *Rest = ". . . . . . . . . . . . . . . .";
constexpr const char *Beat = "K . . . S . . . K . K . S . . .";
constexpr const char *BeatTurn = "K . . . S . . . K . K . S . S s";
constexpr const char *HatsOnBeat = "H . h . H . h . H . h . H . h .";
constexpr const char *HatsOffBeat = "h . H . h . H . h . H . h . H .";
constexpr const char *HatsOpenEnd = "h . H . h . H . h . H . h . o .";
constexpr const char *HatsSixteenth = "H h h h H h h h H h h h H h h h";
constexpr const char *BassWalk = "R . . R . . O . R . . R . . F .";
constexpr const char *BassDisco = "R . O . R . O . R . O . R . O .";

const TSection Intro = {
    {"Am", "F", "C", "G"},
    {Rest, Rest, Rest, ". . . . . . . . G-2 . . . B-2 . D-3 ."},
    {"K . . . S . . . K . . . S . . .", "K . . . S . . . K . . . S . . .",
     "K . . . S . . . K . . . S . . .", BeatTurn},
    {HatsOnBeat, HatsOnBeat, HatsOnBeat, "H . h . H . h . H . h . H . o ."},
    {"R . . . . . . . R . . . R . O .", "R . . . . . . . R . . . R . O .",
     "R . . . . . . . R . . . R . O .", "R . . . . . . . R . . . R . O ."},
};

const TSection VerseA = {
    {"Am", "F", "C", "G"},
    {"A-2 . . . . . C-3 . E-3 . . . D-3 . C-3 .", "A-2 . . . . . C-3 . F-3 . . . . . . .",
     "E-3 . . . D-3 . C-3 . G-2 . . . . . C-3 .", "B-2 . . . . . . . D-3 . . . B-2 . G-2 ."},
    {Beat, Beat, Beat, BeatTurn},
    {HatsOffBeat, HatsOffBeat, HatsOffBeat, HatsOffBeat},
    {BassWalk, BassWalk, BassWalk, BassWalk},
};

const TSection VerseB = {
    {"Am", "F", "C", "E"},
    {"A-2 . . . . . C-3 . E-3 . . . A-3 . . .", "G-3 . F-3 . . . E-3 . C-3 . . . A-2 . . .",
     "G-2 . . . C-3 . . . E-3 . . . G-3 . . .", "B-2 . . . . . G#2 . E-2 . . . . . . ."},
    {Beat, Beat, Beat, BeatTurn},
    {HatsOffBeat, HatsOffBeat, HatsOffBeat, HatsOpenEnd},
    {BassWalk, BassWalk, BassWalk, "R . . R . . O . R . O . F . O ."},
};

const TSection ChorusA = {
    {"F", "G", "Em", "Am"},
    {"F-3 . . . E-3 . F-3 . A-3 . . . G-3 . F-3 .", "G-3 . . . . . D-3 . B-2 . . . D-3 . . .",
     "E-3 . . . D-3 . E-3 . G-3 . . . B-3 . . .", "A-3 . . . . . . . . . . . E-3 . C-3 ."},
    {"K . . . S . . K K . K . S . . .", "K . . . S . . K K . K . S . . .",
     "K . . . S . . K K . K . S . . .", BeatTurn},
    {HatsSixteenth, HatsSixteenth, HatsSixteenth, HatsSixteenth},
    {BassDisco, BassDisco, BassDisco, BassDisco},
};

const TSection ChorusB = {
    {"F", "G", "E", "E"},
    {"F-3 . . . E-3 . F-3 . A-3 . . . G-3 . F-3 .", "G-3 . . . . . D-3 . G-3 . . . B-3 . . .",
     "B-3 . . . . . . . G#3 . . . . . . .", "E-3 . . . . . . . . . . . ^ . . ."},
    {"K . . . S . . K K . K . S . . .", "K . . . S . . K K . K . S . . .",
     "K . . . S . . K K . K . S . . .", "K . . . S . . . S . S s S S S S"},
    {HatsSixteenth, HatsSixteenth, HatsSixteenth, "H h h h H h h h H . . . . . . ."},
    {BassDisco, BassDisco, BassDisco, "R . . . R . . . R . . . R . O ."},
};

const TSection Bridge = {
    {"Dm", "Am", "Dm", "E"},
    {"F-3 . . . . . . . E-3 . . . D-3 . . .", "C-3 . . . . . . . . . . . E-3 . . .",
     "D-3 . . . . . . . F-3 . . . A-3 . . .", "G#3 . . . . . . . . . . . B-3 . . ."},
    {"K . . . . . . . K . . . . . . .", "K . . . . . . . K . . . . . . .",
     "K . . . . . . . K . . . . . . .", "K . . . S . . . S . S . S S S S"},
    {nullptr, nullptr, nullptr, nullptr},
    {"R . . . . . . . . . . . O . . .", "R . . . . . . . . . . . O . . .",
     "R . . . . . . . . . . . O . . .", "R . . . . . . . R . . . O . F ."},
};

// Ends on the dominant seventh, so that the song leads back into its intro.
const TSection Turnaround = {
    {"Am", "F", "Dm", "E"},
    {"E-3 . . . C-3 . . . A-2 . . . C-3 . . .", "F-3 . . . C-3 . . . A-2 . . . C-3 . . .",
     "D-3 . . . F-3 . . . A-3 . . . F-3 . . .", "E-3 . . . . . . . G#2 . . . B-2 . D-3 ."},
    {Beat, Beat, Beat, "K . . . S . S . S . S s S S S S"},
    {HatsOffBeat, HatsOffBeat, HatsOffBeat, HatsOpenEnd},
    {BassWalk, BassWalk, BassWalk, "R . R . O . R . R . F . O . F ."},
};

[[noreturn]] void Fail(const char *what, const char *text)
{
    std::fprintf(stderr, "make_music: %s: \"%s\"\n", what, text);
    std::exit(1);
}

QByteArrayList RowsOfBar(const char *bar)
{
    QByteArrayList rows = QByteArray(bar).simplified().split(' ');
    if (rows.size() != RowsPerBar)
        Fail("a bar needs sixteen rows", bar);
    return rows;
}

// The note names of the root of a chord ("Am", "E"), placed in the given
// octave for C and D and one below for E to B, so that the line stays low.
QByteArray RootNote(const char *chord, int highOctave)
{
    QByteArray name(chord, 1);
    const bool sharp = chord[1] == '#';
    const int octave = (name == "C" || name == "D") ? highOctave : highOctave - 1;
    return name + (sharp ? "#" : "-") + QByteArray::number(octave);
}

int Transposed(int period, int semitones)
{
    static const char *const names[] = {"C-", "C#", "D-", "D#", "E-", "F-",
                                        "F#", "G-", "G#", "A-", "A#", "B-"};
    for (int octave = 1; octave <= 3; ++octave)
        for (int i = 0; i < 12; ++i)
            if (NotePeriod((QByteArray(names[i]) + QByteArray::number(octave)).constData()) ==
                period) {
                const int index = (octave - 1) * 12 + i + semitones;
                if (index < 0 || index >= 36)
                    Fail("note out of range", names[i]);
                return NotePeriod(
                    (QByteArray(names[index % 12]) + QByteArray::number(index / 12 + 1))
                        .constData());
            }
    Fail("not a note", "?");
}

void SetNote(TCell &cell, int period, int sample)
{
    cell.Period = period;
    cell.Sample = sample;
}

void SetEffect(TCell &cell, int effect, int param)
{
    cell.Effect = effect;
    cell.Param = param;
}

void WriteBass(TPattern &pattern, int bar, const char *chord, const char *line)
{
    const int root = NotePeriod(RootNote(chord, 2).constData());
    const QByteArrayList rows = RowsOfBar(line);
    for (int r = 0; r < RowsPerBar; ++r) {
        const QByteArray &token = rows[r];
        const int shift = token == "R" ? 0 : token == "O" ? 12 : token == "F" ? 7 : -1;
        if (shift >= 0)
            SetNote(pattern[bar * RowsPerBar + r][BassChannel], Transposed(root, shift), PluckBass);
        else if (token != ".")
            Fail("unknown bass step", token.constData());
    }
}

void WriteDrums(TPattern &pattern, int bar, const char *line)
{
    const QByteArrayList rows = RowsOfBar(line);
    for (int r = 0; r < RowsPerBar; ++r) {
        TCell &cell = pattern[bar * RowsPerBar + r][DrumChannel];
        const QByteArray &token = rows[r];
        if (token == "K")
            SetNote(cell, NotePeriod("C-3"), Kick);
        else if (token == "S" || token == "s")
            SetNote(cell, NotePeriod("C-3"), Snare);
        else if (token != ".")
            Fail("unknown drum", token.constData());
        if (token == "s")
            SetEffect(cell, EffectVolume, 26);
    }
}

// H is the accented closed hat at the sample's own volume; h is softer.
void WriteHats(TPattern &pattern, int bar, const char *line)
{
    const QByteArrayList rows = RowsOfBar(line);
    for (int r = 0; r < RowsPerBar; ++r) {
        TCell &cell = pattern[bar * RowsPerBar + r][HatChannel];
        const QByteArray &token = rows[r];
        if (token == "H" || token == "h")
            SetNote(cell, NotePeriod("C-3"), ClosedHat);
        else if (token == "o")
            SetNote(cell, NotePeriod("C-3"), OpenHat);
        else if (token != ".")
            Fail("unknown hat", token.constData());
        if (token == "h")
            SetEffect(cell, EffectVolume, 11);
    }
}

// The chord struck on every beat and spun through root, third and fifth on
// every tick, the way the old four-channel tunes played harmony.
void WriteArpeggio(TPattern &pattern, int bar, const char *chord)
{
    const int root = NotePeriod(RootNote(chord, 2).constData());
    const bool minor = QByteArray(chord).endsWith('m');
    const int chordShape = (minor ? 0x30 : 0x40) | 0x07;
    for (int r = 0; r < RowsPerBar; ++r) {
        TCell &cell = pattern[bar * RowsPerBar + r][HatChannel];
        if (r % 4 == 0)
            SetNote(cell, root, SoftPulse);
        SetEffect(cell, EffectArpeggio, chordShape);
    }
}

// Notes held for two beats or more get a vibrato after their first beat.
void WriteLead(TPattern &pattern, const TBars &bars)
{
    QByteArrayList rows;
    for (const char *bar : bars)
        rows += RowsOfBar(bar);
    int noteStart = -1;
    auto closeNote = [&](int end) {
        if (noteStart < 0 || end - noteStart < 8)
            return;
        for (int r = noteStart + 4; r < end; ++r)
            SetEffect(pattern[r][LeadChannel], EffectVibrato, r == noteStart + 4 ? 0x43 : 0);
    };
    for (int r = 0; r < RowsPerPattern; ++r) {
        const QByteArray &token = rows[r];
        if (token == ".")
            continue;
        closeNote(r);
        noteStart = -1;
        TCell &cell = pattern[r][LeadChannel];
        if (token == "^") {
            SetEffect(cell, EffectVolume, 0);
            continue;
        }
        const int period = NotePeriod(token.constData());
        if (period == 0)
            Fail("unknown lead note", token.constData());
        SetNote(cell, period, SquareLead);
        noteStart = r;
    }
    closeNote(RowsPerPattern);
}

TPattern Compose(const TSection &section)
{
    TPattern pattern{};
    for (int bar = 0; bar < BarsPerPattern; ++bar) {
        WriteBass(pattern, bar, section.Chords[bar], section.Bass[bar]);
        WriteDrums(pattern, bar, section.Drums[bar]);
        if (section.Hats[bar])
            WriteHats(pattern, bar, section.Hats[bar]);
        else
            WriteArpeggio(pattern, bar, section.Chords[bar]);
    }
    WriteLead(pattern, section.Lead);
    return pattern;
}

} // namespace

TModule FerroxTune()
{
    TModule module;
    module.Title = "Ferrox - Cold Iron";
    module.Samples = SynthesisedSamples();
    for (const TSection *section :
         {&Intro, &VerseA, &VerseB, &ChorusA, &ChorusB, &Bridge, &Turnaround})
        module.Patterns.push_back(Compose(*section));
    enum { IntroP, VerseAP, VerseBP, ChorusAP, ChorusBP, BridgeP, TurnaroundP };
    module.Order = {IntroP,  VerseAP, VerseBP, ChorusAP, ChorusBP,
                    BridgeP, VerseAP, VerseBP, ChorusAP, TurnaroundP};
    return module;
}

} // namespace MusicArt
