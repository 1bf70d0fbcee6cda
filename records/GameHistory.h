#pragma once

// The history of games, "Ferrox history.tsv": one line for every game whose
// mines were laid, and the statistics read from it.

#include "model/FinishedGame.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>

class QIODevice;

// "Ferrox history.tsv" in the play folder, beside the best-times files, is
// UTF-8 text, one line per game, fields apart by tabs, lines ended by LF:
//
//   ended  columns  rows  mines  borders  no_guessing  outcome  seconds  name
//
// "ended" is the moment the game ended, ISO 8601 to the second with its
// offset from UTC (2026-12-10T14:05:09+01:00); borders and no_guessing are
// 1 or 0; the outcome is "won", "lost" or "abandoned"; the name is the
// holder's for a won game and empty otherwise.  The first line is that
// header.  The game only ever appends to the file, under its TFileLock, one
// whole line in one write; it never rewrites it, except when the player
// asks a board's history to be forgotten (ForgetBoardHistory).  Readers
// take every line they understand and read past every other: the header,
// damaged or cut lines, lines of a later version (more fields are allowed
// and ignored), text that is not ours.
inline constexpr char HistoryFileName[] = "Ferrox history.tsv";
inline constexpr char HistoryHeader[] =
    "ended\tcolumns\trows\tmines\tborders\tno_guessing\toutcome\tseconds\tname";
// The stem of the temporary file a forgetting writes (see TReplaceOptions).
inline constexpr char HistoryTempFileName[] = "$TEMP Ferrox history.tsv$";

// Only this much of the file's end is read: some 400,000 games, more than
// anyone plays, so that a file grown huge (or not ours) neither holds the
// window up nor fills the memory.  Statistics are then those of its newest
// games.
inline constexpr qint64 HistoryReadLimit = 32 * 1024 * 1024;
// A line longer than this is not ours and is read past.
inline constexpr int HistoryLineLimit = 1024;
// How many won games of a board the history keeps at hand: its ten best.
inline constexpr int HistoryBestGames = 10;

// A game as the history holds it.
struct THistoryGame : TFinishedGame {
    // The holder's name of a won game.
    QString Name;
};

// The board a line of the history belongs to, as the best-times files key
// their records: columns, rows, mines and the list (No Guessing or not).
// Borders are not part of it, as they are not part of a best time's key.
struct THistoryBoard {
    int Cols = 0;
    int Rows = 0;
    int Mines = 0;
    bool NoGuessing = false;
    bool operator==(const THistoryBoard &) const = default;

    static THistoryBoard Of(const TFinishedGame &game)
    {
        return {game.Cols, game.Rows, game.Mines, game.NoGuessing};
    }
};
size_t qHash(const THistoryBoard &board, size_t seed = 0);

// What the history says about one board.
//
// A winning streak is a run of won games in a row, in the order the games
// were written.  Any game not won ends it, an abandoned one too: leaving a
// game that goes badly does not save a streak.  The current streak is the
// run at the end of the history.
struct TBoardStatistics {
    int Played = 0; // won + lost + abandoned
    int Won = 0;
    int Lost = 0;
    int Abandoned = 0;
    int CurrentStreak = 0;
    int LongestStreak = 0;
    qint64 WonSeconds = 0; // of all won games
    // The fastest won games, at most HistoryBestGames, fastest first; of
    // equal times the earlier written first.
    QList<THistoryGame> BestGames;

    // Won games in percent of those played; 0 with none played.
    double PercentWon() const;
    // The mean time of the won games; nothing with none won.
    std::optional<double> AverageWonSeconds() const;
    // Counts one more game, written after all counted so far.
    void Add(const THistoryGame &game);
    // Whether a win in `seconds` would be one of BestGames now.
    bool KeepsWin(int seconds) const;
};

// The history as read: the statistics of every board it names.
class TGameHistory
{
public:
    // Reads the history from `device` (only its last `limit` bytes when it
    // is larger and can seek), holding no more than one block of it at a
    // time.  Anything that is not a line of ours is read past.
    static TGameHistory Read(QIODevice &device, qint64 limit = HistoryReadLimit);
    // Reads "Ferrox history.tsv" in `folder`; a missing, unreadable or
    // irregular file (a pipe, a folder) is an empty history.  Needs no lock.
    static TGameHistory Load(const QString &folder);

    // The boards the history names, in no particular order.
    QList<THistoryBoard> Boards() const { return Statistics.keys(); }
    // A board the history does not name has played nothing.
    TBoardStatistics Of(const THistoryBoard &board) const { return Statistics.value(board); }
    // Games read, and lines read past (the header among them).
    int GamesRead() const { return Games; }
    int LinesSkipped() const { return Skipped; }
    // Whether the file was larger than the read limit, so only its end was read.
    bool ReadTail() const { return Tail; }

private:
    void AddLine(QByteArrayView line);

    QHash<THistoryBoard, TBoardStatistics> Statistics;
    int Games = 0;
    int Skipped = 0;
    bool Tail = false;
};

// "Ferrox history.tsv" in `folder` (empty: the current directory).
QString HistoryPath(const QString &folder);

// One line of the file, its LF included; the name is cleaned first.
QByteArray EncodeHistoryLine(const THistoryGame &game);
// Reads one line (without its LF; a CR before it is allowed).  Nothing for a
// line that is not a game of ours: wrong field count, a number out of range,
// an unknown outcome, a control character.
std::optional<THistoryGame> DecodeHistoryLine(QByteArrayView line);
// A name as the history writes it: tabs, line ends and every other control
// character become spaces.
QString CleanHistoryName(const QString &name);

// Appends `game` to the history in `folder` under the file's lock, in one
// write of one whole line (with the header first when the file is new or
// empty).  When the file ends in a cut line (a writer stopped mid-line, a
// full disk) that line is ended first with a mark that keeps it from ever
// reading as a game.  False, with the reason in *errorText, when the line
// could not be written (the lock not taken, a read-only folder, a full disk,
// a history that is no regular file): the file is then left as it was, or
// at worst with this one line cut.  Shows nothing.
bool AppendHistoryGame(const THistoryGame &game, const QString &folder,
                       QString *errorText = nullptr);

// Forgets every game of `board`: under the lock, the file is written anew
// without that board's lines (every other line, the header and lines read
// past alike, kept byte for byte) and replaces the old in one rename.  On
// any failure the file stays as it was.  The best-times files are not
// touched.  True when the file no longer holds the board's games (a missing
// file holds none).
bool ForgetBoardHistory(const THistoryBoard &board, const QString &folder,
                        QString *errorText = nullptr);
