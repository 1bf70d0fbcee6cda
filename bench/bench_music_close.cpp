// How long stopping the music holds the user-interface thread: "Turn Off"
// (Stop(false)), closing the sound layer (Stop(true)), freeing a playing
// player, and a whole process from the close request to its exit.  Played
// on SDL's dummy driver, which keeps real time as a sound card does.
#include "bench/BenchSupport.h"
#include "music/Music.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char **environ;

namespace
{

const char *const ChildFlag = "--play-then-exit";

double MonotonicMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

void UseDummyDriver(const QString &settingsFolder)
{
    qputenv("SDL_AUDIODRIVER", "dummy");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder);
}

bool StartPlaying(TMusic &music, const QString &module)
{
    TPlayListItem item;
    item.FileName = QFile::encodeName(module);
    item.ReadTitle();
    music.ModuleList.AddCopy(item);
    return music.Play();
}

// The stop lands somewhere inside a device buffer; stepping the time played
// before it by a prime number of milliseconds spreads the landings.
void PlayAWhile(int run)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(150 + (run * 37) % 180));
}

enum TStopKind { skTurnOff, skClose, skDestroy };

void BM_StopWhilePlaying(benchmark::State &state)
{
    QTemporaryDir dir;
    UseDummyDriver(dir.path());
    const QString module = BenchModule(dir);
    const auto kind = static_cast<TStopKind>(state.range(0));
    double longest = 0;
    int run = 0;
    for (auto _ : state) {
        auto music = std::make_unique<TMusic>();
        if (!StartPlaying(*music, module)) {
            state.SkipWithError("no sound device");
            return;
        }
        PlayAWhile(run++);
        const double start = MonotonicMs();
        switch (kind) {
        case skTurnOff:
            music->Stop(false);
            break;
        case skClose:
            music->Stop(true);
            break;
        case skDestroy:
            music.reset();
            break;
        }
        const double held = MonotonicMs() - start;
        longest = std::max(longest, held);
        state.SetIterationTime(held / 1e3);
        music.reset();
    }
    state.counters["longest_ms"] = longest;
    static const char *const Names[] = {"Stop(false)", "Stop(true)", "destruction"};
    state.SetLabel(Names[kind]);
}
BENCHMARK(BM_StopWhilePlaying)
    ->Arg(skTurnOff)
    ->Arg(skClose)
    ->Arg(skDestroy)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(15);

// The child: plays the module, then at the close request does what the
// program does at exit (the settings are written, the player is freed) and
// ends.  The moment of the request goes to timeFile.  It owns no temporary
// folder, whose removal would be counted.
int PlayThenExit(const QString &module, const QString &settingsFolder, const char *timeFile)
{
    UseDummyDriver(settingsFolder);
    auto music = std::make_unique<TMusic>();
    if (!StartPlaying(*music, module))
        return 2;
    std::this_thread::sleep_for(std::chrono::milliseconds(150 + getpid() % 180));
    const double request = MonotonicMs();
    music->WriteSetup();
    music.reset();
    if (FILE *out = std::fopen(timeFile, "w")) {
        std::fprintf(out, "%.3f\n", request);
        std::fclose(out);
    }
    return 0;
}

void BM_ProcessExitAfterCloseRequest(benchmark::State &state)
{
    QTemporaryDir dir;
    UseDummyDriver(dir.path());
    const QByteArray module = QFile::encodeName(BenchModule(dir));
    const QByteArray settingsFolder = QFile::encodeName(dir.path());
    const QByteArray self =
        QFile::encodeName(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget());
    const QByteArray timeFile = QFile::encodeName(dir.filePath(QStringLiteral("request.txt")));
    double longest = 0;
    for (auto _ : state) {
        QFile::remove(dir.filePath(QStringLiteral("request.txt")));
        char *argv[] = {const_cast<char *>(self.constData()),
                        const_cast<char *>(ChildFlag),
                        const_cast<char *>(module.constData()),
                        const_cast<char *>(settingsFolder.constData()),
                        const_cast<char *>(timeFile.constData()),
                        nullptr};
        pid_t child = 0;
        if (posix_spawn(&child, self.constData(), nullptr, nullptr, argv, environ) != 0) {
            state.SkipWithError("cannot start the child");
            return;
        }
        int status = 0;
        waitpid(child, &status, 0);
        const double exited = MonotonicMs();
        QFile file(dir.filePath(QStringLiteral("request.txt")));
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || !file.open(QIODevice::ReadOnly)) {
            state.SkipWithError("the child did not play");
            return;
        }
        const double held = exited - file.readAll().trimmed().toDouble();
        longest = std::max(longest, held);
        state.SetIterationTime(held / 1e3);
    }
    state.counters["longest_ms"] = longest;
    state.SetLabel("close request to process exit");
}
BENCHMARK(BM_ProcessExitAfterCloseRequest)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

} // namespace

int main(int argc, char **argv)
{
    if (argc == 5 && std::strcmp(argv[1], ChildFlag) == 0)
        return PlayThenExit(QFile::decodeName(argv[2]), QFile::decodeName(argv[3]), argv[4]);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
