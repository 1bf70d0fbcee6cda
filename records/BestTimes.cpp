#include "records/BestTimes.h"

TBestTimes::TBestTimes(QObject *parent) : QObject(parent) {}

bool TBestTimes::Load(int cols, int rows, int mines)
{
    Stored = LoadBestRecord(Record, cols, rows, mines);
    emit recordChanged(Record);
    return Stored;
}

bool TBestTimes::IsNewRecord(int seconds) const
{
    return ::IsNewRecord(Stored, Record, seconds);
}

void TBestTimes::SetRecord(int seconds, const QString &holder)
{
    Record.BestTime = seconds;
    Record.Holder = holder;
    // However the save ends, the record stands for this run: the file is
    // only where it would be remembered.
    SaveBestRecord(Record);
    Stored = true;
    emit recordChanged(Record);
}
