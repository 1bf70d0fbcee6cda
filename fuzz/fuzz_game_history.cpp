// The history of games: any bytes, read as the file and line by line; each
// game read is written again as the same line; now and then a game is
// appended, or a board forgotten, and the rest of the file keeps its bytes.
#include "FuzzSupport.h"
#include "records/GameHistory.h"

#include <QBuffer>

#include <limits>

namespace
{

void CheckStatistics(const TBoardStatistics &board)
{
    FUZZ_CHECK(board.Played == board.Won + board.Lost + board.Abandoned);
    FUZZ_CHECK(board.CurrentStreak <= board.LongestStreak && board.LongestStreak <= board.Won);
    FUZZ_CHECK(board.BestGames.size() <= HistoryBestGames && board.BestGames.size() <= board.Won);
    for (qsizetype i = 1; i < board.BestGames.size(); ++i)
        FUZZ_CHECK(board.BestGames[i - 1].Seconds <= board.BestGames[i].Seconds);
    FUZZ_CHECK(board.PercentWon() >= 0 && board.PercentWon() <= 100);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    StartQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    int lines = 0;
    for (const QByteArray &line : bytes.split('\n')) {
        ++lines;
        const std::optional<THistoryGame> game = DecodeHistoryLine(line);
        if (!game)
            continue;
        FUZZ_CHECK(game->Cols > 0 && game->Rows > 0 && game->Mines > 0 && game->Seconds >= 0);
        const QByteArray again = EncodeHistoryLine(*game);
        const std::optional<THistoryGame> back = DecodeHistoryLine(again.chopped(1));
        FUZZ_CHECK(back && back->Ended == game->Ended && back->Seconds == game->Seconds &&
                   back->Outcome == game->Outcome && back->Name == game->Name &&
                   THistoryBoard::Of(*back) == THistoryBoard::Of(*game));
    }

    // Whole, and by its end only (a small limit stands for a huge file).
    for (const qint64 limit : {HistoryReadLimit, qint64(64)}) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        const TGameHistory history = TGameHistory::Read(buffer, limit);
        FUZZ_CHECK(history.GamesRead() + history.LinesSkipped() <= lines);
        for (const THistoryBoard &board : history.Boards())
            CheckStatistics(history.Of(board));
    }

    // Appending and forgetting touch the disk: only inputs that ask for it.
    if (bytes.startsWith("WRITE")) {
        const QString folder = ScratchFolder().path();
        WriteFile(HistoryPath(folder), data, size);
        THistoryGame game;
        game.Ended = QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5), Qt::UTC);
        game.Cols = game.Rows = 8;
        game.Mines = 10;
        game.Outcome = TGameOutcome::Won;
        game.Name = QString::fromUtf8(bytes.right(8));
        FUZZ_CHECK(AppendHistoryGame(game, folder));
        QFile file(HistoryPath(folder));
        FUZZ_CHECK(file.open(QIODevice::ReadOnly));
        const QByteArray appended = file.readAll();
        file.close();
        FUZZ_CHECK(appended.startsWith(bytes) && appended.endsWith(EncodeHistoryLine(game)));
        const TBoardStatistics easy = TGameHistory::Load(folder).Of({8, 8, 10, false});
        FUZZ_CHECK(easy.Won >= 1 && easy.CurrentStreak >= 1);
        FUZZ_CHECK(ForgetBoardHistory({8, 8, 10, false}, folder));
        FUZZ_CHECK(TGameHistory::Load(folder).Of({8, 8, 10, false}).Played == 0);
    }
    return 0;
}
