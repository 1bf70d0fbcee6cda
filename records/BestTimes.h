#pragma once

// TBestTimes: the best record of the board on screen, looked up from and
// saved to one list of best times.

#include "records/BestRecords.h"

#include <QObject>

// Holds the record decision.  Another copy of the game may store a time for
// the same board at any moment, so the decision is made against the file as
// it is now: once when the game is won (no lock: a look-up), and again under
// the file's lock when the record is saved.
class TBestTimes : public QObject
{
    Q_OBJECT

public:
    // The best-times file of `list` in `folder` (empty: the current directory
    // at each look-up), whatever a file dialog later does to the current
    // directory.
    explicit TBestTimes(const QString &folder = QString(), TBestList list = TBestList::Ordinary,
                        QObject *parent = nullptr);

    // Looks the record of (cols, rows, mines) up; true when the file has one.
    bool Load(int cols, int rows, int mines);
    // Whether a win in `seconds` on the board looked up last is a record: any
    // win where there is no record yet, otherwise only a faster one.  Reads
    // the file again first: a better time another copy stored meanwhile
    // becomes the current record (and is announced), and the win is judged
    // against it.
    bool IsNewRecord(int seconds);
    // Saves `seconds` and `holder` as the record of the board looked up last,
    // unless the file holds an equal or better time by now: then nothing is
    // written and that time becomes the current record.  A save that fails
    // is silent and the record stands for this run; a file too large to be
    // ours is left as it is, with a message.
    TRecordSave SetRecord(int seconds, const QString &holder);

    const TBestRecord &Current() const { return Record; }
    bool HasRecord() const { return Stored; }

signals:
    // The record shown for the board changed: after a look-up or a new record.
    void recordChanged(const TBestRecord &record);

private:
    QString Folder;
    TBestList List;
    TBestRecord Record;
    bool Stored = false;
};
