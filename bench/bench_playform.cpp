// The play-list window on a long list: opening it on 10,000 entries (the
// copy, both list views filled and the window drawn) and the commands that
// reorder all of them.  Each should stay well under 100 ms.
//
// Runs offscreen unless a display is given.

#include "base/Random.h"
#include "bench/BenchSupport.h"
#include "music/Music.h"
#include "music/PlayForm.h"
#include "music/SoundModule.h"

#include <QAction>
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <functional>
#include <iterator>
#include <memory>

namespace
{

constexpr int LongListCount = 10000;

// A player whose list holds 10,000 entries with titles in no order, of
// mixed case and length, as a collection of modules has.
struct LongList {
    QTemporaryDir dir;
    TSoundModule sound;
    std::unique_ptr<TMusic> music;
    TRandom shuffle;

    LongList()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        music = std::make_unique<TMusic>(sound);
        TRandom random(20240601u);
        const char *words[] = {"the",   "Final", "mission", "Dance", "of",     "STARS", "cyber",
                               "Night", "river", "Space",   "tune",  "Groove", "loop",  "ocean"};
        TPlayList entries;
        for (int i = 0; i < LongListCount; ++i) {
            QByteArray title;
            const int wordCount = 1 + random.Below(3);
            for (int word = 0; word < wordCount; ++word)
                title += QByteArray(words[random.Below(std::size(words))]) + ' ';
            title += QByteArray::number(random.Below(1000));
            TPlayListItem item;
            item.FileName = "/music/collection/" + title.toLower().replace(' ', '_') + ".mod";
            item.Title = title.left(20);
            entries.AddCopy(item);
        }
        music->ReplaceList(entries, -1);
    }
};

LongList &List()
{
    static LongList list;
    return list;
}

// Runs `body` while the window is shown modally on the long list.
void WithOpenWindow(TPlayForm &form, const std::function<void()> &body)
{
    QTimer::singleShot(0, &form, [&form, body] {
        body();
        form.reject();
    });
    form.Execute(*List().music, List().shuffle);
}

// The first show: the window is made, filled from the player and drawn.
void BM_OpenOn10000Entries(benchmark::State &state)
{
    for (auto _ : state) {
        TPlayForm form(List().sound);
        WithOpenWindow(form, [&form] { benchmark::DoNotOptimize(form.grab()); });
    }
}
BENCHMARK(BM_OpenOn10000Entries)->Unit(benchmark::kMillisecond);

// A later show of the same window on a list changed meanwhile: every title
// differs from the last show's, so every view is refilled.
void BM_ReopenOn10000ChangedEntries(benchmark::State &state)
{
    TPlayForm form(List().sound);
    TPlayList entries;
    for (auto _ : state) {
        state.PauseTiming();
        entries.Assign(List().music->List());
        entries.Move(0, entries.Count() - 1);
        List().music->ReplaceList(entries, -1);
        state.ResumeTiming();
        WithOpenWindow(form, [&form] { benchmark::DoNotOptimize(form.grab()); });
    }
}
BENCHMARK(BM_ReopenOn10000ChangedEntries)->Unit(benchmark::kMillisecond);

// One command on the open window, timed with the repaint it causes; the
// list is shuffled first, untimed, so that every run has work to do.
void TimeCommand(benchmark::State &state, const char *command)
{
    TPlayForm form(List().sound);
    WithOpenWindow(form, [&] {
        QAction *action = form.findChild<QAction *>(QString::fromLatin1(command));
        QAction *shuffle = form.findChild<QAction *>(QStringLiteral("Randomize1"));
        QAction *selectAll = form.findChild<QAction *>(QStringLiteral("MEAll"));
        for (auto _ : state) {
            state.PauseTiming();
            shuffle->trigger();
            selectAll->trigger();
            state.ResumeTiming();
            action->trigger();
            benchmark::DoNotOptimize(form.grab());
        }
    });
}

void BM_SortByTitle10000(benchmark::State &state)
{
    TimeCommand(state, "byTitle1");
}
BENCHMARK(BM_SortByTitle10000)->Unit(benchmark::kMillisecond);

void BM_SortByFileName10000(benchmark::State &state)
{
    TimeCommand(state, "byFilename1");
}
BENCHMARK(BM_SortByFileName10000)->Unit(benchmark::kMillisecond);

void BM_Reverse10000(benchmark::State &state)
{
    TimeCommand(state, "Reverse1");
}
BENCHMARK(BM_Reverse10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return RunWidgetBenchmarks(argc, argv, [] { List().music.reset(); });
}
