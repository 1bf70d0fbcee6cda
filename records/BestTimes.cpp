#include "records/BestTimes.h"

#include "base/MessageBox.h"

TBestTimes::TBestTimes(const QString &folder, TBestList list, QObject *parent)
    : QObject(parent), Folder(folder), List(list)
{
}

bool TBestTimes::Load(int cols, int rows, int mines)
{
    Stored = LoadBestRecord(Record, cols, rows, mines, Folder, List);
    emit recordChanged(Record);
    return Stored;
}

bool TBestTimes::IsNewRecord(int seconds)
{
    TBestRecord fresh;
    // Only a better stored time replaces ours: a record of this run that
    // could not be saved still counts, and a file that went unreadable
    // takes nothing away.
    if (LoadBestRecord(fresh, Record.KeyCols, Record.KeyRows, Record.KeyMines, Folder, List) &&
        (!Stored || fresh.BestTime < Record.BestTime)) {
        Record = fresh;
        Stored = true;
        emit recordChanged(Record);
    }
    return ::IsNewRecord(Stored, Record, seconds);
}

TRecordSave TBestTimes::SetRecord(int seconds, const QString &holder)
{
    TBestRecord won = Record;
    won.BestTime = seconds;
    won.Holder = holder;
    TBestRecord stored;
    const TRecordSave result = SaveNewRecord(won, stored, Folder, List);
    // However the save ends, a record stands for this run: the file is
    // only where it would be remembered.
    Record = result == rsBeatenMeanwhile ? stored : won;
    Stored = true;
    if (result == rsFileTooLarge)
        ShowMessage(TMsgType::mtError,
                    QStringLiteral("The best-times file \"%1\" is larger than any the game writes: "
                                   "it is left as it is, and the new record is not saved.")
                        .arg(BestRecordsPath(Folder, List)));
    emit recordChanged(Record);
    return result;
}
