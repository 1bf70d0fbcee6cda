// The mixer between libopenmpt and the device: what it hands out must be the
// decoder's own rendering, frame for frame, whatever the device's buffer
// size; a volume change glides, a fade ramps down and then holds.
#include "sound/VoiceMixer.h"
#include "tests/music/MusicTestSupport.h"

#include <libopenmpt/libopenmpt.hpp>

#include <QTest>

#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <vector>

namespace
{

constexpr int Rate = 48000;
// libopenmpt dithers its 16-bit output with a generator of its own, so two
// renderings of one module differ by a step or two of the last bit.  A frame
// dropped or repeated shifts the wave and differs by thousands.
constexpr int DitherSteps = 3;

using TSamples = std::vector<std::int16_t>;

struct TDecoder {
    std::ostringstream Log;
    std::unique_ptr<openmpt::module> Module;

    explicit TDecoder(const QByteArray &bytes)
        : Module(std::make_unique<openmpt::module>(bytes.constData(),
                                                   static_cast<std::size_t>(bytes.size()), Log))
    {
        Module->set_repeat_count(0);
    }
};

// The decoder's own rendering of the whole song, at most `limit` frames.
TSamples RenderAlone(const QByteArray &bytes, std::size_t limit)
{
    TDecoder decoder(bytes);
    TSamples all;
    std::vector<std::int16_t> chunk(1000 * MixChannels);
    while (all.size() < limit * MixChannels) {
        const std::size_t got = decoder.Module->read_interleaved_stereo(Rate, 1000, chunk.data());
        if (got == 0)
            break;
        all.insert(all.end(), chunk.begin(), chunk.begin() + static_cast<long>(got * MixChannels));
    }
    all.resize(std::min(all.size(), limit * MixChannels));
    return all;
}

// The mixer's output in device buffers of `bufferFrames`, until the song
// has ended or `limit` frames are out.
TSamples RenderThroughMixer(TVoiceMixer &mixer, std::size_t bufferFrames, std::size_t limit)
{
    TSamples all;
    TSamples buffer(bufferFrames * MixChannels);
    while (!mixer.Ended() && all.size() < limit * MixChannels) {
        mixer.Mix(Rate, buffer.data(), bufferFrames);
        all.insert(all.end(), buffer.begin(), buffer.end());
    }
    return all;
}

TSamples Mixed(TVoiceMixer &mixer, std::size_t frames)
{
    TSamples buffer(frames * MixChannels);
    mixer.Mix(Rate, buffer.data(), frames);
    return buffer;
}

int LargestDifference(const TSamples &a, const TSamples &b, std::size_t from, std::size_t count)
{
    int largest = 0;
    for (std::size_t i = from; i < from + count && i < a.size() && i < b.size(); ++i)
        largest = std::max(largest, std::abs(a[i] - b[i]));
    return largest;
}

int Peak(const TSamples &samples, std::size_t from, std::size_t count)
{
    int peak = 0;
    for (std::size_t i = from; i < from + count && i < samples.size(); ++i)
        peak = std::max(peak, std::abs(int(samples[i])));
    return peak;
}

std::size_t FirstSound(const TSamples &samples, std::size_t from = 0)
{
    for (std::size_t i = from; i < samples.size(); ++i)
        if (samples[i] != 0)
            return i - i % MixChannels;
    return samples.size();
}

QByteArray RealModule(const char *name)
{
    QFile file(QDir(SharedModules()).filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestVoiceMixer : public QObject
{
    Q_OBJECT

private slots:
    void handsOutTheDecodersOwnRendering_data()
    {
        QTest::addColumn<QByteArray>("module");
        QTest::addColumn<int>("bufferFrames");
        const QByteArray made = TinyModule("ring", 32, 3);
        QTest::newRow("made, 512-frame buffers") << made << 512;
        QTest::newRow("made, odd 300-frame buffers") << made << 300;
        QTest::newRow("made, buffers longer than a chunk")
            << made << int(DecodeChunkFrames) * 2 + 7;
        const QByteArray real = RealModule("song1.xm");
        if (!real.isEmpty()) {
            QTest::newRow("song1.xm, 512-frame buffers") << real << 512;
            QTest::newRow("song1.xm, 441-frame buffers") << real << 441;
        }
    }

    void handsOutTheDecodersOwnRendering()
    {
        QFETCH(QByteArray, module);
        QFETCH(int, bufferFrames);
        const std::size_t limit = 20 * Rate; // long enough for many chunks
        const TSamples alone = RenderAlone(module, limit);
        TDecoder decoder(module);
        TVoiceMixer mixer;
        mixer.Start({decoder.Module.get(), 1});
        const TSamples mixed =
            RenderThroughMixer(mixer, static_cast<std::size_t>(bufferFrames), limit);

        QVERIFY(alone.size() > 4 * DecodeChunkFrames * MixChannels);
        QVERIFY(mixed.size() >= alone.size());
        QVERIFY(LargestDifference(mixed, alone, 0, alone.size()) <= DitherSteps);
        // Once the song is over, nothing but silence follows.
        if (alone.size() < limit * MixChannels) {
            QVERIFY(mixer.Ended());
            QCOMPARE(Peak(mixed, alone.size(), mixed.size() - alone.size()), 0);
        }
    }

    void volumeGlidesToItsNewLevel()
    {
        const QByteArray module = TinyModule("glide", 64, 6);
        const TSamples alone = RenderAlone(module, 3 * DecodeChunkFrames);
        TDecoder decoder(module);
        TVoiceMixer mixer;
        mixer.Start({decoder.Module.get(), 1});
        TSamples mixed = Mixed(mixer, 2048);
        mixer.SetVolume(16);
        const TSamples after = Mixed(mixer, 4096);
        mixed.insert(mixed.end(), after.begin(), after.end());

        // The gain moves by 1/256 of full scale a frame until it reaches a
        // quarter, and then the music sounds at a quarter of its level.
        for (std::size_t frame = 0; frame < 4096; ++frame) {
            const double gain = std::max(0.25, 1.0 - double(frame + 1) / 256.0);
            for (int channel = 0; channel < MixChannels; ++channel) {
                const std::size_t i = (2048 + frame) * MixChannels + channel;
                QVERIFY2(std::abs(mixed[i] - alone[i] * gain) <= DitherSteps + 1,
                         qPrintable(QString("frame %1 after the change").arg(frame)));
            }
        }
        QCOMPARE(mixer.Volume(), 16);
    }

    void fadeRampsDownThenHoldsItsPlace()
    {
        const QByteArray module = TinyModule("fade", 64, 6);
        const TSamples alone = RenderAlone(module, 3 * DecodeChunkFrames);
        TDecoder decoder(module);
        TVoiceMixer mixer;
        QVERIFY(mixer.IsSilent());
        mixer.Start({decoder.Module.get(), 1});
        QVERIFY(!mixer.IsSilent());
        Mixed(mixer, 1000);

        constexpr std::size_t FadeFrames = 240;
        mixer.FadeOut(FadeFrames);
        QVERIFY(!mixer.IsSilent()); // not until the callback has played it
        const TSamples faded = Mixed(mixer, 512);
        QVERIFY(mixer.IsSilent());
        for (std::size_t frame = 0; frame < FadeFrames; ++frame)
            for (int channel = 0; channel < MixChannels; ++channel) {
                const std::size_t i = frame * MixChannels + channel;
                const double envelope = double(FadeFrames - frame) / FadeFrames;
                QVERIFY(std::abs(faded[i]) <=
                        std::abs(alone[1000 * MixChannels + i]) * envelope + DitherSteps);
            }
        QCOMPARE(Peak(faded, (FadeFrames - 1) * MixChannels, MixChannels), 0);
        QCOMPARE(Peak(faded, FadeFrames * MixChannels, (512 - FadeFrames) * MixChannels), 0);
        QCOMPARE(Peak(Mixed(mixer, 2048), 0, 2048 * MixChannels), 0);

        // The voice held where the fade ended.
        mixer.Unmute();
        const TSamples resumed = Mixed(mixer, 1000);
        QVERIFY(LargestDifference(
                    TSamples(alone.begin() + (1000 + FadeFrames) * MixChannels, alone.end()),
                    resumed, 0, resumed.size()) <= DitherSteps);
    }

    // Another voice starts once the one before it has faded out, from its
    // own beginning; the old decoder is then no longer used.
    void aNewVoiceFollowsTheFadeOfTheOld()
    {
        const QByteArray first = TinyModule("first", 64, 6);
        const QByteArray second = TinyModule("second", 32, 3);
        const TSamples aloneFirst = RenderAlone(first, 3000);
        const TSamples aloneSecond = RenderAlone(second, 3000);
        TDecoder a(first);
        TDecoder b(second);
        TVoiceMixer mixer;
        mixer.Start({a.Module.get(), 1});
        Mixed(mixer, 1000);
        constexpr std::size_t FadeFrames = 240;
        mixer.Start({b.Module.get(), 2}, FadeFrames);
        QCOMPARE(mixer.Handle(), 2u);
        QVERIFY(mixer.Uses(a.Module.get()));
        const TSamples out = Mixed(mixer, 2000);
        for (std::size_t i = 0; i < FadeFrames * MixChannels; ++i) {
            const double envelope = double(FadeFrames - i / MixChannels) / FadeFrames;
            QVERIFY(std::abs(out[i]) <=
                    std::abs(aloneFirst[1000 * MixChannels + i]) * envelope + DitherSteps);
        }
        const TSamples after(out.begin() + FadeFrames * MixChannels, out.end());
        QVERIFY(LargestDifference(after, aloneSecond, 0, after.size()) <= DitherSteps);
        QVERIFY(Peak(after, 0, after.size()) > 1000);
        QVERIFY(!mixer.Uses(a.Module.get()));
    }

    // The same through SDL: the disk driver's file holds the module as the
    // decoder renders it, from its first sound on.
    void deviceOutputIsTheDecodersRendering()
    {
        TTestFolder folder;
        const QByteArray module = TinyModule("device", 32, 3);
        QVERIFY(folder.Write("device.mod", module));
        const TSamples alone = RenderAlone(module, 10 * Rate);
        {
            TModuleAudio audio(folder.Sound);
            audio.Startup();
            audio.SetSetup(TAudioSetup{QString(), QString(), Rate, 0});
            QVERIFY(audio.Init());
            QVERIFY(WaitUntil([&] { return audio.DeviceState() == TDeviceState::dsOpen; }));
            QCOMPARE(audio.OpenMixRate(), Rate);
            QVERIFY(audio.StartBackgroundPlay());
            const TModuleHandle handle = audio.LoadModule(folder.File("device.mod"));
            const TPlayHandle play = audio.PlayModule(handle, false, NaturalVolume);
            QVERIFY(play != 0);
            TPlayStatus status;
            QVERIFY(WaitUntil(
                [&] { return audio.GetPlayStatus(play, status) && status.SongLoopCount != 0; }));
            audio.Close();
        }
        folder.Sound.FinishDeviceWork();
        const QByteArray raw = folder.Read("audio.raw");
        QVERIFY(!raw.isEmpty());
        TSamples heard(static_cast<std::size_t>(raw.size()) / 2);
        std::copy_n(reinterpret_cast<const std::int16_t *>(raw.constData()), heard.size(),
                    heard.begin());
        const std::size_t start = FirstSound(heard);
        const std::size_t aloneStart = FirstSound(alone);
        const TSamples fromStart(heard.begin() + static_cast<long>(start), heard.end());
        const TSamples aloneFromStart(alone.begin() + static_cast<long>(aloneStart), alone.end());
        QVERIFY(fromStart.size() >= aloneFromStart.size());
        QVERIFY(LargestDifference(fromStart, aloneFromStart, 0, aloneFromStart.size()) <=
                DitherSteps);
        QCOMPARE(Peak(fromStart, aloneFromStart.size(), fromStart.size()), 0);
    }

    // A play list may name anything; a named pipe must not stall the player
    // waiting for a writer.
    void namedPipeIsRefusedAtOnce()
    {
        TTestFolder folder;
        QCOMPARE(::mkfifo(QFile::encodeName(folder.File("pipe.mod")).constData(), 0600), 0);
        TModuleAudio audio(folder.Sound);
        audio.Startup();
        QCOMPARE(audio.LoadModule(folder.File("pipe.mod")), TModuleHandle(0));
        QVERIFY(!audio.LastError().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestVoiceMixer)
#include "test_voice_mixer.moc"
