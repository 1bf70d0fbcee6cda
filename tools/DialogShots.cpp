// Renders the custom size, new record, best times, about and licence windows to PNG files, so their
// look can be judged without a display:  dialog_shots [folder]
// (QT_QPA_PLATFORM=offscreen works.)
#include "dialogs/DlgCustom.h"
#include "dialogs/LicenseForm.h"
#include "dialogs/MAboutForm.h"
#include "model/Mines.h"
#include "music/SoundModule.h"
#include "records/BestForm.h"
#include "records/BestRecords.h"
#include "records/BestTimesForm.h"
#include "records/GameHistory.h"

#include <QApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <functional>

namespace
{

// Shows `window` modally through `run`, saves its picture and closes it.
template <typename TWindow, typename TRun>
void Shoot(TWindow &window, const TRun &run, const QString &file,
           const std::function<void()> &prepare = {})
{
    QTimer::singleShot(100, &window, [&window, file, prepare] {
        if (prepare)
            prepare();
        const bool saved = window.grab().save(file);
        std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(file));
        window.reject();
    });
    run();
}

// A play folder as a long-time player's: 100 boards with best times (every
// fourth in the No Guessing list) and a history of 1,000 games.
void FillPlayFolder(const QString &folder)
{
    const QString names[] = {QStringLiteral("Ann"), QStringLiteral("Bartholomew Longname"),
                             QStringLiteral("Cy"), QStringLiteral("Dörte")};
    QByteArray history = QByteArray(HistoryHeader) + '\n';
    THistoryGame game;
    game.Ended = QDateTime(QDate(2026, 1, 1), QTime(9, 0));
    for (int i = 0; i < 1000; ++i) {
        const int board = i % 100;
        constexpr int LevelCols[] = {8, 16, 30}, LevelRows[] = {8, 16, 20},
                      LevelMines[] = {10, 40, 99};
        game.Cols = board < 3 ? LevelCols[board] : 9 + board % 40;
        game.Rows = board < 3 ? LevelRows[board] : 9 + board / 40;
        game.Mines = board < 3 ? LevelMines[board] : 10 + board;
        game.NoGuessing = board % 4 == 3;
        game.Outcome = TGameOutcome((i * 7) % 3);
        game.Seconds = 20 + (i * 7919) % 400;
        game.Name = names[i % 4];
        game.Ended = game.Ended.addSecs(3600 * 7);
        history += EncodeHistoryLine(game);
        if (i < 100)
            SaveBestRecord({game.Cols, game.Rows, game.Mines, game.Seconds, game.Name}, folder,
                           game.NoGuessing ? TBestList::NoGuessing : TBestList::Ordinary);
    }
    QFile file(HistoryPath(folder));
    if (file.open(QIODevice::WriteOnly))
        file.write(history);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // Each window closes before the next opens; that is not the end.
    app.setQuitOnLastWindowClosed(false);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());

    TDlgCustom custom;
    Shoot(
        custom,
        [&] {
            custom.Execute({16, 16, 40});
        },
        folder.filePath(QStringLiteral("custom_size.png")));

    TSoundModule sound;
    TLicenseForm license;
    TMAboutForm about(sound);
    about.SetLicenseForm(&license);
    Shoot(
        about, [&] { about.Execute(); }, folder.filePath(QStringLiteral("about.png")));
    Shoot(
        license, [&] { license.Execute(); }, folder.filePath(QStringLiteral("license.png")));
    // Further down: how the copied licence files wrap.
    Shoot(
        license, [&] { license.Execute(); }, folder.filePath(QStringLiteral("license_sdl.png")),
        [&license] {
            auto *memo = license.findChild<QPlainTextEdit *>(QStringLiteral("Memo1"));
            memo->find(QStringLiteral("License: zlib/libpng"));
        });

    TBestForm record;
    Shoot(
        record,
        [&] {
            record.Execute({.RecordName = QStringLiteral("Ann"),
                            .Cols = 30,
                            .Rows = 20,
                            .Mines = 99,
                            .TimeText = QStringLiteral("1234")});
        },
        folder.filePath(QStringLiteral("new_record.png")));

    QTemporaryDir play;
    FillPlayFolder(play.path());
    TBestTimesForm bestTimes;
    Shoot(
        bestTimes,
        [&] {
            bestTimes.Execute(play.path(), {8, 8, 10, false});
        },
        folder.filePath(QStringLiteral("best_times.png")));
    return 0;
}
