#pragma once

// TBestTimes: the best record of the board on screen, looked up from and
// saved to the best-times file.

#include "records/BestRecords.h"

#include <QObject>

class TBestTimes : public QObject
{
    Q_OBJECT

public:
    explicit TBestTimes(QObject *parent = nullptr);

    // Looks the record of (cols, rows, mines) up; true when the file has one.
    bool Load(int cols, int rows, int mines);
    // Whether a win in `seconds` on the board looked up last is a record: any
    // win where there is no record yet, otherwise only a faster one.
    bool IsNewRecord(int seconds) const;
    // Takes `seconds` and `holder` as the record of the board looked up last
    // and saves it (silently: a failed save keeps the file as it was).
    void SetRecord(int seconds, const QString &holder);

    const TBestRecord &Current() const { return Record; }
    bool HasRecord() const { return Stored; }

signals:
    // The record shown for the board changed: after a look-up or a new record.
    void recordChanged(const TBestRecord &record);

private:
    TBestRecord Record;
    bool Stored = false;
};
