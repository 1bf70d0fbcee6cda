// A second copy of the game, as far as the best-times file goes: the shared
// file tests start several of these and kill some at random moments.
//
//   best_records_writer save FOLDER FIRST COUNT NAME
//       saves COUNT records with the keys (FIRST + i, 1, 1), time 100, and
//       prints "saved KEY" or "failed KEY" after each
//   best_records_writer hold FOLDER
//       takes the file's lock, prints "locked" and waits to be killed
//   best_records_writer append FOLDER FIRST COUNT NAME
//       appends COUNT won Easy games to the history, taking FIRST + i
//       seconds, and prints "appended SECONDS" or "failed SECONDS" after each

#include "base/FileLock.h"
#include "records/BestRecords.h"
#include "records/GameHistory.h"

#include <QThread>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc == 6 && qstrcmp(argv[1], "save") == 0) {
        const QString folder = QString::fromLocal8Bit(argv[2]);
        const int first = std::atoi(argv[3]);
        const int count = std::atoi(argv[4]);
        for (int key = first; key < first + count; ++key) {
            const TBestRecord record{key, 1, 1, 100, QString::fromLatin1(argv[5])};
            TBestRecord stored;
            const bool saved = SaveNewRecord(record, stored, folder) == rsSaved;
            std::printf("%s %d\n", saved ? "saved" : "failed", key);
            std::fflush(stdout);
        }
        return 0;
    }
    if (argc == 6 && qstrcmp(argv[1], "append") == 0) {
        THistoryGame game;
        game.Ended = QDateTime::currentDateTime();
        game.Cols = game.Rows = 8;
        game.Mines = 10;
        game.Outcome = TGameOutcome::Won;
        game.Name = QString::fromLatin1(argv[5]);
        const int first = std::atoi(argv[3]);
        for (game.Seconds = first; game.Seconds < first + std::atoi(argv[4]); ++game.Seconds) {
            const bool appended = AppendHistoryGame(game, QString::fromLocal8Bit(argv[2]));
            std::printf("%s %d\n", appended ? "appended" : "failed", game.Seconds);
            std::fflush(stdout);
        }
        return 0;
    }
    if (argc == 3 && qstrcmp(argv[1], "hold") == 0) {
        TFileLock lock(BestRecordsPath(QString::fromLocal8Bit(argv[2])));
        if (!lock.Acquire())
            return 1;
        std::printf("locked\n");
        std::fflush(stdout);
        for (;;)
            QThread::sleep(1);
    }
    std::fprintf(stderr,
                 "usage: best_records_writer save|append FOLDER FIRST COUNT NAME | hold FOLDER\n");
    return 2;
}
