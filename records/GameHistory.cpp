#include "records/GameHistory.h"

#include "base/FileLock.h"
#include "base/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHashFunctions>
#include <QIODevice>

#include <algorithm>
#include <array>

namespace
{

constexpr int FieldCount = 9;
constexpr qint64 BlockSize = 1024 * 1024;
// Larger boards than any screen holds are still read: the file may come from
// a later version.  Beyond these, a line is not ours.
constexpr int LargestSide = 9999;
constexpr int LargestSeconds = 999'999'999;
// Ends a line that a writer left cut, so that the cut line can never read
// as a game: no line of ours holds a control character.
constexpr char CutLineMark[] = "\x18\n";

bool Fail(QString *errorText, const QString &text)
{
    if (errorText)
        *errorText = text;
    return false;
}

QByteArrayView OutcomeWord(TGameOutcome outcome)
{
    switch (outcome) {
    case TGameOutcome::Won:
        return "won";
    case TGameOutcome::Lost:
        return "lost";
    case TGameOutcome::Abandoned:
        break;
    }
    return "abandoned";
}

std::optional<TGameOutcome> OutcomeOf(QByteArrayView word)
{
    for (TGameOutcome outcome : {TGameOutcome::Won, TGameOutcome::Lost, TGameOutcome::Abandoned})
        if (word == OutcomeWord(outcome))
            return outcome;
    return std::nullopt;
}

QByteArray TwoDigits(int value)
{
    return QByteArray::number(value).rightJustified(2, '0');
}

// Qt's own ISO text leaves the offset out for local times.
QByteArray IsoTextWithOffset(const QDateTime &moment)
{
    const int offset = moment.offsetFromUtc();
    const QDateTime shown = moment.toOffsetFromUtc(offset);
    const int minutes = std::abs(offset) / 60;
    return shown.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")).toLatin1() +
           (offset < 0 ? '-' : '+') + TwoDigits(minutes / 60) + ':' + TwoDigits(minutes % 60);
}

// A run of decimal digits, no sign, at most nine of them.
std::optional<int> Digits(QByteArrayView text)
{
    if (text.isEmpty() || text.size() > 9)
        return std::nullopt;
    int value = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9')
            return std::nullopt;
        value = value * 10 + (ch - '0');
    }
    return value;
}

std::optional<int> DigitsAt(QByteArrayView text, qsizetype from, qsizetype count)
{
    return Digits(text.sliced(from, count));
}

// A moment as the file writes it, checked but not made into a QDateTime,
// which takes longer than the rest of the line.
struct TMomentFields {
    QDate Date;
    QTime Time;
    int Offset = 0; // seconds ahead of UTC
};

// "YYYY-MM-DDTHH:MM:SS" then "Z" or "+HH:MM" / "-HH:MM".
std::optional<TMomentFields> ParseMomentFields(QByteArrayView text)
{
    if (text.size() != 20 && text.size() != 25)
        return std::nullopt;
    if (text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' || text[16] != ':')
        return std::nullopt;
    const auto year = DigitsAt(text, 0, 4), month = DigitsAt(text, 5, 2),
               day = DigitsAt(text, 8, 2), hour = DigitsAt(text, 11, 2),
               minute = DigitsAt(text, 14, 2), second = DigitsAt(text, 17, 2);
    if (!year || !month || !day || !hour || !minute || !second)
        return std::nullopt;
    int offset = 0;
    if (text.size() == 20) {
        if (text[19] != 'Z')
            return std::nullopt;
    } else {
        const auto offsetHours = DigitsAt(text, 20, 2), offsetMinutes = DigitsAt(text, 23, 2);
        if ((text[19] != '+' && text[19] != '-') || text[22] != ':' || !offsetHours ||
            !offsetMinutes || *offsetMinutes > 59 || *offsetHours * 60 + *offsetMinutes > 14 * 60)
            return std::nullopt;
        offset = (*offsetHours * 60 + *offsetMinutes) * 60 * (text[19] == '-' ? -1 : 1);
    }
    const TMomentFields fields{QDate(*year, *month, *day), QTime(*hour, *minute, *second), offset};
    if (!fields.Date.isValid() || !fields.Time.isValid())
        return std::nullopt;
    return fields;
}

std::optional<QDateTime> ParseMoment(QByteArrayView text)
{
    const std::optional<TMomentFields> fields = ParseMomentFields(text);
    if (!fields)
        return std::nullopt;
    const QDateTime moment(fields->Date, fields->Time, Qt::OffsetFromUTC, fields->Offset);
    if (!moment.isValid())
        return std::nullopt;
    return moment;
}

// A line split at its tabs, without the game's date and name decoded: most
// lines are only counted, and those two are what reading costs most.
struct TParsedLine {
    THistoryGame Game;
    QByteArrayView Ended;
    QByteArrayView Name;
};

std::optional<TParsedLine> ParseLine(QByteArrayView line)
{
    if (line.endsWith('\r'))
        line.chop(1);
    std::array<QByteArrayView, FieldCount> fields;
    int count = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= line.size(); ++i) {
        if (i < line.size() && line[i] != '\t') {
            if (static_cast<uchar>(line[i]) < 0x20 || line[i] == '\x7f')
                return std::nullopt;
            continue;
        }
        // Fields a later version adds are not ours to judge.
        if (count < FieldCount)
            fields[count] = line.sliced(start, i - start);
        ++count;
        start = i + 1;
    }
    if (count < FieldCount)
        return std::nullopt;
    TParsedLine parsed;
    THistoryGame &game = parsed.Game;
    const auto cols = Digits(fields[1]), rows = Digits(fields[2]), mines = Digits(fields[3]),
               seconds = Digits(fields[7]);
    const auto outcome = OutcomeOf(fields[6]);
    if (!cols || !rows || !mines || !seconds || !outcome || *cols < 1 || *cols > LargestSide ||
        *rows < 1 || *rows > LargestSide || *mines < 1 || *mines >= *cols * *rows ||
        *seconds > LargestSeconds || (fields[4] != "1" && fields[4] != "0") ||
        (fields[5] != "1" && fields[5] != "0") || fields[0].size() < 20)
        return std::nullopt;
    game.Cols = *cols;
    game.Rows = *rows;
    game.Mines = *mines;
    game.Borders = fields[4] == "1";
    game.NoGuessing = fields[5] == "1";
    game.Outcome = *outcome;
    game.Seconds = *seconds;
    parsed.Ended = fields[0];
    parsed.Name = fields[8];
    return parsed;
}

// Fills in the date and name; false when the date is none.
bool CompleteGame(TParsedLine &parsed)
{
    const std::optional<QDateTime> ended = ParseMoment(parsed.Ended);
    if (!ended)
        return false;
    parsed.Game.Ended = *ended;
    if (parsed.Game.Outcome == TGameOutcome::Won)
        parsed.Game.Name = QString::fromUtf8(parsed.Name);
    return true;
}

// Hands every piece of `in` to `take`, in order and without losing a byte:
// whole lines (their LF included, at most HistoryLineLimit long) with
// `whole` true, anything else (the pieces of a longer line, a last line
// without its LF, the start of the first line when `skipFirst`) with it
// false.  Reads at most `budget` bytes, one block at a time.  Returns the
// bytes read.
template <class TTake>
qint64 ForEachLine(QIODevice &in, qint64 budget, bool skipFirst, TTake &&take)
{
    QByteArray pending;
    bool overlong = skipFirst;
    qint64 total = 0;
    while (total < budget) {
        // A block no larger than what is left: read() allocates all it is asked for.
        qint64 want = std::min(BlockSize, budget - total);
        if (!in.isSequential())
            want = std::min(want, in.size() - in.pos());
        if (want <= 0)
            break;
        const QByteArray block = in.read(want);
        if (block.isEmpty())
            break;
        total += block.size();
        const QByteArrayView view(block);
        qsizetype start = 0;
        while (start < view.size()) {
            const qsizetype end = view.indexOf('\n', start);
            const QByteArrayView piece =
                view.sliced(start, (end < 0 ? view.size() : end + 1) - start);
            start += piece.size();
            if (overlong) {
                take(piece, false);
                overlong = end < 0;
            } else if (end < 0 && pending.size() + piece.size() > HistoryLineLimit) {
                if (!pending.isEmpty())
                    take(QByteArrayView(pending), false);
                take(piece, false);
                pending.clear();
                overlong = true;
            } else if (end < 0) {
                pending += piece;
            } else if (!pending.isEmpty()) {
                pending += piece;
                take(QByteArrayView(pending), pending.size() <= HistoryLineLimit + 1);
                pending.clear();
            } else {
                take(piece, piece.size() <= HistoryLineLimit + 1);
            }
        }
    }
    if (!pending.isEmpty())
        take(QByteArrayView(pending), false);
    return total;
}

QByteArrayView WithoutLineEnd(QByteArrayView line)
{
    if (line.endsWith('\n'))
        line.chop(1);
    return line;
}

} // namespace

size_t qHash(const THistoryBoard &board, size_t seed)
{
    return qHashMulti(seed, board.Cols, board.Rows, board.Mines, board.NoGuessing);
}

// --- Statistics --------------------------------------------------------------

double TBoardStatistics::PercentWon() const
{
    return Played == 0 ? 0.0 : 100.0 * Won / Played;
}

std::optional<double> TBoardStatistics::AverageWonSeconds() const
{
    if (Won == 0)
        return std::nullopt;
    return static_cast<double>(WonSeconds) / Won;
}

bool TBoardStatistics::KeepsWin(int seconds) const
{
    return BestGames.size() < HistoryBestGames || seconds < BestGames.constLast().Seconds;
}

void TBoardStatistics::Add(const THistoryGame &game)
{
    ++Played;
    if (game.Outcome != TGameOutcome::Won) {
        ++(game.Outcome == TGameOutcome::Lost ? Lost : Abandoned);
        CurrentStreak = 0;
        return;
    }
    ++Won;
    WonSeconds += game.Seconds;
    LongestStreak = std::max(LongestStreak, ++CurrentStreak);
    if (!KeepsWin(game.Seconds))
        return;
    const auto place = std::upper_bound(
        BestGames.begin(), BestGames.end(), game.Seconds,
        [](int seconds, const THistoryGame &kept) { return seconds < kept.Seconds; });
    BestGames.insert(place, game);
    if (BestGames.size() > HistoryBestGames)
        BestGames.removeLast();
}

// --- Reading -----------------------------------------------------------------

void TGameHistory::AddLine(QByteArrayView line)
{
    std::optional<TParsedLine> parsed = ParseLine(line);
    if (!parsed) {
        ++Skipped;
        return;
    }
    TBoardStatistics &board = Statistics[THistoryBoard::Of(parsed->Game)];
    const bool kept =
        parsed->Game.Outcome == TGameOutcome::Won && board.KeepsWin(parsed->Game.Seconds);
    if (kept ? !CompleteGame(*parsed) : !ParseMomentFields(parsed->Ended)) {
        ++Skipped;
        if (board.Played == 0)
            Statistics.remove(THistoryBoard::Of(parsed->Game));
        return;
    }
    board.Add(parsed->Game);
    ++Games;
}

TGameHistory TGameHistory::Read(QIODevice &device, qint64 limit)
{
    TGameHistory history;
    const qint64 size = device.isSequential() ? -1 : device.size();
    if (size > limit && device.seek(size - limit))
        history.Tail = true;
    ForEachLine(device, limit, history.Tail, [&history](QByteArrayView piece, bool whole) {
        if (whole && piece.endsWith('\n'))
            history.AddLine(WithoutLineEnd(piece));
        else if (piece.endsWith('\n'))
            ++history.Skipped;
    });
    return history;
}

TGameHistory TGameHistory::Load(const QString &folder)
{
    QFile file(HistoryPath(folder));
    if (!OpenRegularFile(file))
        return {};
    return Read(file);
}

// --- Writing -----------------------------------------------------------------

QString HistoryPath(const QString &folder)
{
    return QDir(folder.isEmpty() ? QDir::currentPath() : folder)
        .filePath(QLatin1String(HistoryFileName));
}

QString CleanHistoryName(const QString &name)
{
    QString clean = name;
    for (QChar &ch : clean)
        if (ch.category() == QChar::Other_Control)
            ch = u' ';
    return clean;
}

QByteArray EncodeHistoryLine(const THistoryGame &game)
{
    QByteArray line = IsoTextWithOffset(game.Ended);
    for (int value : {game.Cols, game.Rows, game.Mines, int(game.Borders), int(game.NoGuessing)})
        line += '\t' + QByteArray::number(value);
    line += '\t' + OutcomeWord(game.Outcome).toByteArray() + '\t' +
            QByteArray::number(game.Seconds) + '\t';
    if (game.Outcome == TGameOutcome::Won)
        line += CleanHistoryName(game.Name).toUtf8();
    return line + '\n';
}

std::optional<THistoryGame> DecodeHistoryLine(QByteArrayView line)
{
    std::optional<TParsedLine> parsed = ParseLine(line);
    if (!parsed || !CompleteGame(*parsed))
        return std::nullopt;
    return parsed->Game;
}

namespace
{

bool EndsWithLineEnd(QFile &file, qint64 size)
{
    char last = 0;
    return file.seek(size - 1) && file.getChar(&last) && last == '\n';
}

} // namespace

bool AppendHistoryGame(const THistoryGame &game, const QString &folder, QString *errorText)
{
    const QString path = HistoryPath(folder);
    TFileLock lock(path);
    if (!lock.Acquire(errorText))
        return false;
    QFile file(path);
    if (!OpenRegularFileToAppend(file, errorText))
        return false;
    const qint64 size = file.size();
    QByteArray bytes;
    if (size == 0)
        bytes = QByteArray(HistoryHeader) + '\n';
    else if (!EndsWithLineEnd(file, size))
        bytes = CutLineMark;
    bytes += EncodeHistoryLine(game);
    // One write: under the lock no other copy writes between its parts,
    // and a writer stopped mid-way leaves at most this line cut.
    if (file.write(bytes) != bytes.size())
        return Fail(errorText, file.errorString());
    return true;
}

bool ForgetBoardHistory(const THistoryBoard &board, const QString &folder, QString *errorText)
{
    const QString path = HistoryPath(folder);
    if (!QFileInfo::exists(path))
        return true;
    TFileLock lock(path);
    if (!lock.Acquire(errorText))
        return false;
    QFile source(path);
    if (!OpenRegularFile(source, QIODevice::ReadOnly, errorText))
        return false;
    const qint64 size = source.size();
    TReplaceOptions options;
    options.TemporaryStem = QLatin1String(HistoryTempFileName);
    const auto copyOthers = [&](QIODevice &out) {
        bool written = true;
        const qint64 read = ForEachLine(source, size, false, [&](QByteArrayView piece, bool whole) {
            if (whole && piece.endsWith('\n'))
                if (const auto parsed = ParseLine(WithoutLineEnd(piece));
                    parsed && THistoryBoard::Of(parsed->Game) == board &&
                    ParseMoment(parsed->Ended))
                    return;
            written = written && out.write(piece.data(), piece.size()) == piece.size();
        });
        // A read cut short would drop the lines after it.
        return written && read == size;
    };
    return ReplaceFileSafely(path, copyOthers, options, errorText);
}
