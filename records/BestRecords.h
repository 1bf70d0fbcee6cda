#pragma once

// TBestRecord and the best-times files "Ferrox for Windows.hi" and
// "Ferrox for Windows (no guessing).hi".

#include "base/Constants.h"
#include "base/SafeFile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <optional>

// The best-times file: one best time, with its holder's name, for every board
// configuration (columns, rows, mines) that has ever been won.
//
// "Ferrox for Windows.hi" in the program's directory is a headerless run of
// 48-byte little-endian records, in the order in which their configurations
// first got a record:
//
//   offset  size  field
//        0     4  KeyCols   signed 32-bit
//        4     4  KeyRows   signed 32-bit
//        8     4  KeyMines  signed 32-bit
//       12     4  BestTime  signed 32-bit, whole seconds
//       16     1  length of Holder, 0..30
//       17    30  Holder, Windows-1252; bytes past the length are ignored on
//                 reading and written as zero
//       47     1  padding, ignored on reading and written as zero
//
// Every file error is silent: a file that cannot be read simply holds no
// record, and a save that cannot be completed leaves the old file untouched
// (a file too large to be ours is the one exception, told by TBestTimes).
// Copies of the game running in one folder share the file: a save takes the
// file's TFileLock, reads the file again under it and writes every record it
// does not replace back byte for byte.
//
// Times won on boards laid with No Guessing are kept apart, in
// "Ferrox for Windows (no guessing).hi" beside it, in the same format and
// under the same locking: such a board never asks for a guess, so its times
// would be unfair to the others.

inline constexpr int BestRecordSize = 48;
inline constexpr int HolderMaxLength = 30;
inline constexpr qint32 NoRecordTime = 999;

// No player wins this many board configurations: a longer file was not
// written by the game.  Look-ups read no further (so start-up stays quick
// whatever lies there), and saves leave such a file as it is.
inline constexpr int MaxBestRecords = 128 * 1024;

// The two lists of best times, each a file of its own.
enum class TBestList { Ordinary, NoGuessing };

inline constexpr char BestRecordsFileName[] = "Ferrox for Windows.hi";
inline constexpr char NoGuessBestRecordsFileName[] = "Ferrox for Windows (no guessing).hi";
// The stems of the temporary files a save writes: each writer adds a dot and
// a unique suffix of its own (see TReplaceOptions).
inline constexpr char BestRecordsTempFileName[] = "$TEMP Ferrox for Windows.hi$";
inline constexpr char NoGuessBestRecordsTempFileName[] =
    "$TEMP Ferrox for Windows (no guessing).hi$";

// The best time of one board configuration.  The main window keeps one of
// these, the current best record, for the configuration on the board.
struct TBestRecord {
    qint32 KeyCols = 0;
    qint32 KeyRows = 0;
    qint32 KeyMines = 0;
    qint32 BestTime = NoRecordTime;
    QString Holder = NoRecordHolder; // at most 30 characters of the code page are stored

    bool HasKey(qint32 cols, qint32 rows, qint32 mines) const
    {
        return KeyCols == cols && KeyRows == rows && KeyMines == mines;
    }
    bool SameKey(const TBestRecord &other) const
    {
        return HasKey(other.KeyCols, other.KeyRows, other.KeyMines);
    }
};

// Each call names the directory that holds the best-times files: the game's
// is the files' folder of its environment (TBestTimes keeps it).  An empty
// one is the current directory at the moment of the call.  `list` chooses
// the file.
QString BestRecordsPath(const QString &directory = QString(), TBestList list = TBestList::Ordinary);

// Looks up the first record for (cols, rows, mines) among the first
// MaxBestRecords.  Only a regular file is read: a named pipe or a folder
// holds no record.  Needs no lock.  `record` always gets the key; when found
// it gets the stored time and holder and the result is true, otherwise
// BestTime 999 and Holder "no name" and the result is false (the main window
// stores the result in HasRecord).  A cut-short last record, a missing or
// unreadable file all count as "no record".
bool LoadBestRecord(TBestRecord &record, int cols, int rows, int mines,
                    const QString &directory = QString(), TBestList list = TBestList::Ordinary);

// Every record of the file among its first MaxBestRecords, in the file's
// order, each key once (its first record, as LoadBestRecord finds it).  A
// missing, unreadable or irregular file holds none.  Needs no lock.
QList<TBestRecord> LoadAllBestRecords(const QString &directory = QString(),
                                      TBestList list = TBestList::Ordinary);

// How a save ended.
enum TRecordSave {
    rsSaved,           // the file holds the record
    rsBeatenMeanwhile, // the file holds an equal or better time: nothing written
    rsNotSaved,        // the file could not be replaced (or locked): left as it was
    rsFileTooLarge     // the file holds more than MaxBestRecords: left as it was
};

// Stores `record` under its own key, under the file's lock: every record of
// the file with that key is replaced in place; when the file has none, it is
// appended.  The other records keep their order and all their 48 bytes; a
// cut-short tail is dropped.  The new content is written completely to a
// temporary file of this writer's own (see BestRecordsTempFileName) and then
// takes the best-times file's place in one rename.  On any failure the
// best-times file is left exactly as it was and no temporary file of ours is
// left behind.  A best-times file that is no regular file (a named pipe, a
// folder) is left alone and the save fails.  `writeDevice` is what the
// records are written through (see ReplaceFileSafely); tests hand in one
// that fails.
bool SaveBestRecord(const TBestRecord &record, const QString &directory = QString(),
                    TBestList list = TBestList::Ordinary,
                    const TWriteDeviceFactory &writeDevice = {});

// The save after a win: as SaveBestRecord, but the file is read again under
// the lock first, and when another copy of the game has stored a time for
// the key that is as good or better meanwhile, nothing is written, `stored`
// gets that record and the result is rsBeatenMeanwhile.
TRecordSave SaveNewRecord(const TBestRecord &record, TBestRecord &stored,
                          const QString &directory = QString(),
                          TBestList list = TBestList::Ordinary,
                          const TWriteDeviceFactory &writeDevice = {});

// Whether a win in `seconds` sets a record: always when the configuration has
// no record yet, otherwise only when strictly faster than the stored time.
bool IsNewRecord(bool hasRecord, const TBestRecord &current, int seconds);

// The 48 bytes of a record: the name in the code page (a character it does
// not hold becomes "?"), cut to 30 characters, unused bytes zero.
QByteArray EncodeBestRecord(const TBestRecord &record);
// Reads a record from 48 bytes; fewer bytes give nothing.  A length byte above
// 30 is taken as 30; control characters in the name are dropped.
std::optional<TBestRecord> DecodeBestRecord(QByteArrayView bytes);
