// The best-times file shared by copies of the game, and the history of
// games (read, appended to, and shown in the "Best Times" window with
// 100,000 games): a save into a file of
// 100,000 records, the lock taken and the file read again under it; a
// look-up through a 3 MiB file; and the main window's start-up beside a
// 3 MiB best-times file and beside 2 GB files (sparse) where the play list
// and the best times belong.

#include "base/MessageBox.h"
#include "bench/BenchSupport.h"
#include "mainwindow/MineForm.h"
#include "music/SoundModule.h"
#include "records/BestRecords.h"
#include "records/BestTimesForm.h"
#include "records/GameHistory.h"

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtEndian>

#include <benchmark/benchmark.h>

namespace
{

// A best-times file of `count` records with the keys (1 + i, 1, 1).
void WriteRecords(const QString &folder, int count)
{
    QByteArray bytes;
    bytes.reserve(qsizetype(count) * BestRecordSize);
    for (int i = 0; i < count; ++i)
        bytes += EncodeBestRecord({1 + i, 1, 1, 500, QStringLiteral("Holder %1").arg(i)});
    QFile file(BestRecordsPath(folder));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the best-times file");
}

void BM_SaveInto100000Records(benchmark::State &state)
{
    QTemporaryDir dir;
    WriteRecords(dir.path(), 100000);
    qint32 time = 400;
    for (auto _ : state) {
        TBestRecord stored;
        // A record in the middle, beaten each time.
        if (SaveNewRecord({50000, 1, 1, --time, QStringLiteral("Bench")}, stored, dir.path()) !=
            rsSaved)
            state.SkipWithError("the save failed");
    }
    state.SetBytesProcessed(state.iterations() * 100000 * BestRecordSize);
}
BENCHMARK(BM_SaveInto100000Records)->Unit(benchmark::kMillisecond);

void BM_LookUpThrough3MiB(benchmark::State &state)
{
    QTemporaryDir dir;
    WriteRecords(dir.path(), 64 * 1024);
    for (auto _ : state) {
        TBestRecord record;
        // A board without a record: every record is read.
        if (LoadBestRecord(record, 8, 8, 10, dir.path()))
            state.SkipWithError("found a record that is not there");
    }
    state.SetBytesProcessed(state.iterations() * 64 * 1024 * BestRecordSize);
}
BENCHMARK(BM_LookUpThrough3MiB)->Unit(benchmark::kMillisecond);

// A history of `games` games over `boards` boards (Easy among them), a
// third won, and a best-times file with a record for each board.
void WriteHistory(const QString &folder, int games, int boards)
{
    QByteArray bytes = QByteArray(HistoryHeader) + '\n';
    THistoryGame game;
    game.Ended = QDateTime(QDate(2026, 1, 1), QTime(12, 0), Qt::OffsetFromUTC, 3600);
    game.Name = QStringLiteral("Player");
    for (int i = 0; i < games; ++i) {
        const int board = i % boards;
        game.Cols = 8 + board % 40;
        game.Rows = 8 + board / 40;
        game.Mines = 10;
        game.Outcome = TGameOutcome(i % 3);
        game.Seconds = 20 + (i * 7919) % 500;
        game.Ended = game.Ended.addSecs(60);
        bytes += EncodeHistoryLine(game);
    }
    QFile file(HistoryPath(folder));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the history");
    for (int board = 0; board < boards; ++board)
        SaveBestRecord({8 + board % 40, 8 + board / 40, 10, 30, QStringLiteral("Holder")}, folder);
}

void BM_ReadHistoryOf100000Games(benchmark::State &state)
{
    QTemporaryDir dir;
    WriteHistory(dir.path(), 100000, 100);
    for (auto _ : state)
        if (TGameHistory::Load(dir.path()).GamesRead() != 100000)
            state.SkipWithError("games lost");
}
BENCHMARK(BM_ReadHistoryOf100000Games)->Unit(benchmark::kMillisecond);

// The "Best Times" window opened and shown, as the Game menu opens it.
void BM_OpenBestTimesWith100000Games(benchmark::State &state)
{
    QTemporaryDir dir;
    WriteHistory(dir.path(), 100000, 100);
    for (auto _ : state) {
        TBestTimesForm window;
        window.Load(dir.path(), {8, 8, 10, false});
        window.show();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_OpenBestTimesWith100000Games)->Unit(benchmark::kMillisecond);

void BM_AppendToHistoryOf100000Games(benchmark::State &state)
{
    QTemporaryDir dir;
    WriteHistory(dir.path(), 100000, 1);
    THistoryGame game;
    game.Ended = QDateTime::currentDateTime();
    game.Cols = game.Rows = 8;
    game.Mines = 10;
    for (auto _ : state)
        if (!AppendHistoryGame(game, dir.path()))
            state.SkipWithError("not appended");
}
BENCHMARK(BM_AppendToHistoryOf100000Games)->Unit(benchmark::kMicrosecond);

enum TStartFiles { sfNone, sfBestTimes3MiB, sfSparse2GB };

// Creates the main window and shows it, as at start-up.
void BM_StartUp(benchmark::State &state)
{
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    switch (TStartFiles(state.range(0))) {
    case sfNone:
        break;
    case sfBestTimes3MiB:
        WriteRecords(dir.path(), 64 * 1024);
        break;
    case sfSparse2GB:
        for (const QString &name :
             {QString::fromLatin1(BestRecordsFileName), QStringLiteral("Ferrox.M3U")}) {
            QFile file(QDir(dir.path()).filePath(name));
            if (!file.open(QIODevice::WriteOnly) || !file.resize(qint64(2) << 30))
                qFatal("cannot make a sparse file");
        }
        break;
    }
    // The refused play list says so; nobody is there to answer.
    const TMessageHandler previous = SetMessageHandler([](TMsgType, const QString &) {});
    TSoundModule sound;
    TFormEnvironment environment;
    environment.WorkingDirectory = dir.path();
    environment.Sound = &sound;
    for (auto _ : state) {
        TMineForm form(environment);
        form.show();
        QApplication::processEvents();
    }
    SetMessageHandler(previous);
}
BENCHMARK(BM_StartUp)
    ->ArgName("files")
    ->Arg(sfNone)
    ->Arg(sfBestTimes3MiB)
    ->Arg(sfSparse2GB)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return RunWidgetBenchmarks(argc, argv, [] {});
}
