// How long the music commands hold the user-interface thread, through the
// main window's own handlers, and how soon the process ends after the close
// request: "Turn Off", "Turn On", closing the sound layer (Stop(true)), a
// module change, the sound set-up window's OK, the close box (the window's
// close and its release, as the program's main does them), and a whole
// process from the close request to its exit.  Each with the automatic
// device buffer (argument 0) and the longest one the set-up window offers.
// Played on SDL's dummy driver, which keeps real time as a sound card does;
// run under Xvfb (QT_QPA_PLATFORM=xcb) to measure with a real X server.
#include "base/MessageBox.h"
#include "base/SettingsStore.h"
#include "bench/BenchSupport.h"
#include "mainwindow/MineForm.h"
#include "music/Music.h"
#include "music/SoundModule.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char **environ;

namespace
{

const char *const ChildFlag = "--play-then-close";
// The longest buffer the set-up window offers, in milliseconds.
constexpr int LongestBuffer = 160;

// A message box would wait for a person: its text goes to the terminal.
void ReportMessages()
{
    SetMessageHandler([](TMsgType, const QString &text) {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    });
}

double MonotonicMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

void WaitMs(int ms)
{
    const double until = MonotonicMs() + ms;
    while (MonotonicMs() < until)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

// A folder with the play list the window loads at start, the settings store
// with music on and the given buffer, and SDL's dummy driver.  Made again
// before every window: "Turn Off" is stored when the window goes.
void PrepareFolder(const QString &folder, const QString &module, int bufferMs)
{
    qputenv("SDL_AUDIODRIVER", "dummy");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Olvane"),
                    QStringLiteral("Ferrox"));
    store.setValue("MUSIC", 1);
    store.setValue("MUSIC_SETUP/BUFFER", bufferMs);
    store.setValue("MUSIC_SETUP/MIXRATE", 48000);
    QFile list(QDir(folder).filePath(QStringLiteral("Ferrox.M3U")));
    if (list.open(QIODevice::WriteOnly))
        list.write(QFile::encodeName(module) + "\r\n" + QFile::encodeName(module) + "\r\n");
}

// A menu command, as the menu gives it.
void Trigger(TMineForm &form, const char *item)
{
    form.findChild<QAction *>(QLatin1String(item))->trigger();
}

std::unique_ptr<TMineForm> StartWindow(const QString &folder, TSoundModule &sound)
{
    TFormEnvironment environment;
    environment.WorkingDirectory = folder;
    environment.RandomState = 1u;
    environment.Sound = &sound;
    environment.Settings = TSettingsStore::UserStore();
    auto form = std::make_unique<TMineForm>(environment);
    form->show();
    return form;
}

// The stop lands somewhere inside a device buffer; stepping the time played
// before it by a prime number of milliseconds spreads the landings.
int PlayTime(int run)
{
    return 150 + (run * 37) % 180;
}

QString BufferLabel(int bufferMs)
{
    return bufferMs ? QStringLiteral("buffer %1 ms").arg(bufferMs)
                    : QStringLiteral("automatic buffer");
}

enum TCommand { cmTurnOff, cmTurnOn, cmStop, cmNextModule, cmCloseBox };

const char *const CommandNames[] = {"Turn Off", "Turn On", "Stop(true)", "module change",
                                    "close box"};

void BM_CommandHolds(benchmark::State &state)
{
    const auto command = static_cast<TCommand>(state.range(0));
    const int bufferMs = static_cast<int>(state.range(1));
    QTemporaryDir dir;
    const QString module = BenchModule(dir);
    PrepareFolder(dir.path(), module, bufferMs);
    TSoundModule sound;
    double longest = 0;
    double release = 0;
    int run = 0;
    for (auto _ : state) {
        PrepareFolder(dir.path(), module, bufferMs);
        std::unique_ptr<TMineForm> form = StartWindow(dir.path(), sound);
        if (!form->Music().IsPlaying()) {
            state.SkipWithError("no sound device");
            return;
        }
        if (command == cmTurnOn) {
            Trigger(*form, "MUSong");
            WaitMs(LongestBuffer * 4); // the device is closed again by now
        }
        WaitMs(PlayTime(run++));
        const double start = MonotonicMs();
        switch (command) {
        case cmTurnOff:
        case cmTurnOn:
            Trigger(*form, "MUSong");
            break;
        case cmStop:
            form->Music().Stop(true);
            break;
        case cmNextModule:
            form->Music().NextModule();
            break;
        case cmCloseBox:
            form->close();
            break;
        }
        const double held = MonotonicMs() - start;
        longest = std::max(longest, held);
        state.SetIterationTime(held / 1e3);
        // What the program's main does after the close box: release the
        // window, which writes the settings and lets the music fade out.
        const double released = MonotonicMs();
        form.reset();
        release += MonotonicMs() - released;
    }
    state.counters["longest_ms"] = longest;
    if (command == cmCloseBox)
        state.counters["release_ms"] =
            benchmark::Counter(release, benchmark::Counter::kAvgIterations);
    state.SetLabel(QStringLiteral("%1, %2")
                       .arg(QLatin1String(CommandNames[command]), BufferLabel(bufferMs))
                       .toStdString());
}
BENCHMARK(BM_CommandHolds)
    ->ArgsProduct({{cmTurnOff, cmTurnOn, cmStop, cmNextModule, cmCloseBox}, {0, LongestBuffer}})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(9);

// "Card Setup..." while music plays: the set-up window is answered with OK
// as soon as it shows.  Two holds: from the command to the window showing
// (the sound layer is closed first), and from OK to the event loop.
void BM_SetupWindowOk(benchmark::State &state)
{
    const int bufferMs = static_cast<int>(state.range(0));
    QTemporaryDir dir;
    const QString module = BenchModule(dir);
    PrepareFolder(dir.path(), module, bufferMs);
    TSoundModule sound;
    double longest = 0;
    double opening = 0;
    int run = 0;
    for (auto _ : state) {
        PrepareFolder(dir.path(), module, bufferMs);
        std::unique_ptr<TMineForm> form = StartWindow(dir.path(), sound);
        if (!form->Music().IsPlaying()) {
            state.SkipWithError("no sound device");
            return;
        }
        WaitMs(PlayTime(run++));
        double command = 0;
        double shown = 0;
        double ok = 0;
        QTimer answer;
        answer.setInterval(1);
        QObject::connect(&answer, &QTimer::timeout, [&] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            auto *buttons =
                dialog ? dialog->findChild<QDialogButtonBox *>(QStringLiteral("Buttons")) : nullptr;
            if (!buttons)
                return;
            answer.stop();
            shown = MonotonicMs();
            ok = MonotonicMs();
            buttons->button(QDialogButtonBox::Ok)->click();
        });
        answer.start();
        command = MonotonicMs();
        Trigger(*form, "MMSetup");
        const double back = MonotonicMs();
        opening += shown - command;
        const double held = back - ok;
        longest = std::max(longest, held);
        state.SetIterationTime(held / 1e3);
        form.reset();
    }
    state.counters["longest_ms"] = longest;
    state.counters["to_window_ms"] =
        benchmark::Counter(opening, benchmark::Counter::kAvgIterations);
    state.SetLabel(
        QStringLiteral("set-up window's OK, %1").arg(BufferLabel(bufferMs)).toStdString());
}
BENCHMARK(BM_SetupWindowOk)
    ->Arg(0)
    ->Arg(LongestBuffer)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(9);

// The child: the program's main window with music playing; after a while
// the close request, then what the program's main does (the event loop
// ends, the window is released) and the end of the process.  The moments of
// the request and of the window being gone go to timeFile.  It owns no
// temporary folder, whose removal would be counted.
int PlayThenClose(int argc, char **argv)
{
    const QString folder = QFile::decodeName(argv[2]);
    const char *timeFile = argv[3];
    QApplication app(argc, argv);
    ReportMessages();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    TSoundModule sound;
    std::unique_ptr<TMineForm> form = StartWindow(folder, sound);
    if (!form->Music().IsPlaying())
        return 2;
    double request = 0;
    double gone = 0;
    QTimer::singleShot(150 + getpid() % 180, [&] {
        request = MonotonicMs();
        form->close();
        gone = MonotonicMs();
    });
    app.exec();
    if (FILE *out = std::fopen(timeFile, "w")) {
        std::fprintf(out, "%.3f %.3f\n", request, gone);
        std::fclose(out);
    }
    form.reset();
    return 0;
}

void BM_ProcessExitAfterCloseRequest(benchmark::State &state)
{
    const int bufferMs = static_cast<int>(state.range(0));
    QTemporaryDir dir;
    PrepareFolder(dir.path(), BenchModule(dir), bufferMs);
    const QByteArray folder = QFile::encodeName(dir.path());
    const QByteArray self =
        QFile::encodeName(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget());
    const QByteArray timeFile = QFile::encodeName(dir.filePath(QStringLiteral("request.txt")));
    double longest = 0;
    double windowGone = 0;
    for (auto _ : state) {
        QFile::remove(dir.filePath(QStringLiteral("request.txt")));
        char *argv[] = {const_cast<char *>(self.constData()), const_cast<char *>(ChildFlag),
                        const_cast<char *>(folder.constData()),
                        const_cast<char *>(timeFile.constData()), nullptr};
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
        const QList<QByteArray> times = file.readAll().trimmed().split(' ');
        const double request = times.value(0).toDouble();
        windowGone = std::max(windowGone, times.value(1).toDouble() - request);
        const double held = exited - request;
        longest = std::max(longest, held);
        state.SetIterationTime(held / 1e3);
    }
    state.counters["longest_ms"] = longest;
    state.counters["window_gone_longest_ms"] = windowGone;
    state.SetLabel(QStringLiteral("close request to process exit, %1")
                       .arg(BufferLabel(bufferMs))
                       .toStdString());
}
BENCHMARK(BM_ProcessExitAfterCloseRequest)
    ->Arg(0)
    ->Arg(LongestBuffer)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(9);

} // namespace

int main(int argc, char **argv)
{
    if (argc == 4 && std::strcmp(argv[1], ChildFlag) == 0)
        return PlayThenClose(argc, argv);
    ReportMessages();
    return RunWidgetBenchmarks(argc, argv, [] {});
}
