// What background music costs: the CPU time of playing a module through our
// sound layer (libopenmpt in SDL's callback thread, SDL's disk driver writing
// to /dev/null) against libopenmpt rendering the same module alone, how
// often SDL's audio thread wakes while music plays in real time, and the
// time to load a long play list.
#include "bench/BenchSupport.h"
#include "music/ModuleAudio.h"
#include "music/PlayList.h"
#include "music/SoundModule.h"
#include "sound/VoiceMixer.h"

#include <benchmark/benchmark.h>
#include <libopenmpt/libopenmpt.hpp>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <ctime>
#include <sstream>
#include <thread>
#include <vector>

namespace
{

constexpr int MixRate = 48000;
constexpr std::uint64_t FramesPerRun = MixRate * 60; // a minute of music

double ProcessCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Renders as much music as the layer mixed, in the chunks the layer decodes
// in, so that both sides ask libopenmpt for the same pieces of the same
// stretch of the song.  CPU seconds per minute of music.
double RenderAloneCpu(const QByteArray &bytes, std::size_t chunkFrames, std::uint64_t frames)
{
    std::ostringstream log;
    openmpt::module module(bytes.constData(), static_cast<std::size_t>(bytes.size()), log);
    module.set_repeat_count(-1);
    std::vector<std::int16_t> buffer(chunkFrames * 2);
    const double start = ProcessCpuSeconds();
    std::uint64_t done = 0;
    for (; done < frames; done += chunkFrames)
        benchmark::DoNotOptimize(
            module.read_interleaved_stereo(MixRate, chunkFrames, buffer.data()));
    return (ProcessCpuSeconds() - start) * static_cast<double>(FramesPerRun) /
           static_cast<double>(done);
}

// The device is opened in the background: true once it plays.
bool OpenAndWait(TModuleAudio &audio)
{
    if (!audio.Init())
        return false;
    while (audio.DeviceState() == TDeviceState::dsOpening)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return audio.DeviceState() == TDeviceState::dsOpen;
}

struct TLayerRun {
    double CpuSeconds = -1; // per minute of music
    std::uint64_t Frames = 0;
    int ChunkFrames = 0;
};

TLayerRun PlayThroughLayerCpu(TSoundModule &sound, const QString &path, int bufferMs)
{
    TModuleAudio audio(sound);
    audio.SetSetup(TAudioSetup{QString(), QString(), MixRate, bufferMs});
    if (!OpenAndWait(audio))
        return {};
    audio.StartBackgroundPlay();
    const TModuleHandle module = audio.LoadModule(path);
    // The device has been mixing silence since it opened; count from here.
    const std::uint64_t mixedBefore = audio.MixedFrames();
    const double start = ProcessCpuSeconds();
    audio.PlayModule(module, true);
    // The program looks at the player four times a second; waking every
    // millisecond here would add wake-ups on the two cores that real play
    // does not have.  The callback goes on mixing until we look, so the
    // time is taken per frame actually mixed.
    std::uint64_t mixed = 0;
    double cpu = 0;
    do {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        cpu = ProcessCpuSeconds() - start;
        mixed = audio.MixedFrames() - mixedBefore;
    } while (mixed < FramesPerRun);
    TLayerRun run{cpu * static_cast<double>(FramesPerRun) / static_cast<double>(mixed), mixed,
                  audio.OpenBufferFrames()};
    audio.Close();
    return run;
}

void BM_BackgroundPlayAgainstDecoderAlone(benchmark::State &state)
{
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIODELAY", "0");
    qputenv("SDL_DISKAUDIOFILE", "/dev/null");
    QTemporaryDir dir;
    const QString path = BenchModule(dir);
    const QByteArray bytes = ReadAll(path);
    double alone = 0;
    double layer = 0;
    std::vector<double> ratios;
    TSoundModule sound;
    for (auto _ : state) {
        const TLayerRun run = PlayThroughLayerCpu(sound, path, static_cast<int>(state.range(0)));
        if (run.CpuSeconds < 0) {
            state.SkipWithError("no sound device");
            return;
        }
        const double layerRun = run.CpuSeconds;
        const double aloneRun = RenderAloneCpu(bytes, DecodeChunkFrames, run.Frames);
        alone += aloneRun;
        layer += layerRun;
        ratios.push_back(layerRun / aloneRun);
        state.SetIterationTime(layerRun);
    }
    // Other programs on the machine disturb single runs; the median ratio
    // of paired runs is the steadier figure.
    std::sort(ratios.begin(), ratios.end());
    state.counters["alone_cpu_ms"] =
        benchmark::Counter(alone * 1000, benchmark::Counter::kAvgIterations);
    state.counters["layer_cpu_ms"] =
        benchmark::Counter(layer * 1000, benchmark::Counter::kAvgIterations);
    state.counters["ratio"] = ratios.empty() ? 0.0 : ratios[ratios.size() / 2];
    state.SetLabel(
        QFileInfo(path).fileName().toStdString() + ", a minute of music per run, buffer " +
        (state.range(0) ? std::to_string(state.range(0)) + " ms" : std::string("automatic")));
}
// Argument: the device buffer length in ms (0 = the automatic choice, 256
// frames or 5.3 ms at 48 kHz).  The decoder always renders DecodeChunkFrames
// at a time; what grows with shorter buffers is the audio thread's sleeps and
// wake-ups, one per buffer, and the wake-up is what costs: some 20 us of CPU
// each on a virtual machine, where a yield without sleeping costs almost
// nothing.  Longer buffers are cheaper but make a stop wait longer (see
// bench_music_close).
BENCHMARK(BM_BackgroundPlayAgainstDecoderAlone)
    ->Arg(0)
    ->Arg(21)
    ->Arg(43)
    ->Arg(85)
    ->Arg(170)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(11);

// The context switches of SDL's audio threads ("SDLAudioP<n>") so far: each
// sleep and wake-up of the thread is one.
long AudioThreadSwitches()
{
    long switches = 0;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(task + QStringLiteral("/comm")));
        if (!comm.open(QIODevice::ReadOnly) || !comm.readAll().startsWith("SDLAudioP"))
            continue;
        QFile status(tasks.filePath(task + QStringLiteral("/status")));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        static const QRegularExpression line(QStringLiteral("ctxt_switches:\\s+(\\d+)"));
        for (const auto &match : line.globalMatch(QString::fromLatin1(status.readAll())))
            switches += match.captured(1).toLong();
    }
    return switches;
}

// Music in real time on SDL's dummy driver (which sleeps a buffer's length
// between callbacks as a sound card makes the thread wait): the wake-ups of
// the audio thread per second, from its context switches, and the callbacks
// per second, from the frames mixed.
void BM_AudioThreadWakeups(benchmark::State &state)
{
    qputenv("SDL_AUDIODRIVER", "dummy");
    QTemporaryDir dir;
    const QString path = BenchModule(dir);
    double wakeups = 0;
    double callbacks = 0;
    int bufferFrames = 0;
    TSoundModule sound;
    for (auto _ : state) {
        TModuleAudio audio(sound);
        audio.SetSetup(
            TAudioSetup{QString(), QString(), MixRate, static_cast<int>(state.range(0))});
        if (!OpenAndWait(audio)) {
            state.SkipWithError("no sound device");
            return;
        }
        audio.StartBackgroundPlay();
        audio.PlayModule(audio.LoadModule(path), true);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        bufferFrames = audio.OpenBufferFrames();
        const long switchesBefore = AudioThreadSwitches();
        const std::uint64_t mixedBefore = audio.MixedFrames();
        const auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(3));
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        wakeups += static_cast<double>(AudioThreadSwitches() - switchesBefore) / seconds;
        callbacks += static_cast<double>(audio.MixedFrames() - mixedBefore) /
                     std::max(bufferFrames, 1) / seconds;
        state.SetIterationTime(seconds);
        audio.Close();
    }
    state.counters["wakeups_per_s"] =
        benchmark::Counter(wakeups, benchmark::Counter::kAvgIterations);
    state.counters["callbacks_per_s"] =
        benchmark::Counter(callbacks, benchmark::Counter::kAvgIterations);
    state.counters["buffer_frames"] = bufferFrames;
    state.SetLabel(state.range(0) ? std::to_string(state.range(0)) + " ms buffer"
                                  : std::string("automatic buffer"));
}
BENCHMARK(BM_AudioThreadWakeups)
    ->Arg(0)
    ->Arg(43)
    ->Arg(160)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

void BM_LoadPlayListOf10000Lines(benchmark::State &state)
{
    QTemporaryDir dir;
    const QList<QPair<QString, QByteArray>> modules = {
        {QStringLiteral("a.mod"), TinyModule("a mod")},
        {QStringLiteral("b.s3m"),
         QByteArray("b s3m").leftJustified(28, '\0') + char(26) + QByteArray(100, '\0')},
        {QStringLiteral("c.it"),
         "IMPM" + QByteArray("c it").leftJustified(26, '\0') + QByteArray(100, '\0')},
        {QStringLiteral("d.xm"),
         "Extended Module: " + QByteArray("d xm").leftJustified(20, '\0') + QByteArray(100, '\0')},
    };
    for (const auto &module : modules) {
        QFile file(dir.filePath(module.first));
        if (file.open(QIODevice::WriteOnly))
            file.write(module.second);
    }
    QByteArray lines = "#EXTM3U\r\n";
    for (int i = 0; i < 10000; ++i)
        lines += modules[i % modules.size()].first.toLatin1() + "\r\n";
    const QString listPath = dir.filePath(QStringLiteral("long.m3u"));
    QFile list(listPath);
    if (list.open(QIODevice::WriteOnly))
        list.write(lines);
    list.close();
    TSoundModule sound;
    for (auto _ : state) {
        TPlayList playList;
        if (!playList.LoadFromFile(listPath, sound) || playList.Count() != 10000)
            state.SkipWithError("the play list did not load whole");
    }
}
BENCHMARK(BM_LoadPlayListOf10000Lines)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
