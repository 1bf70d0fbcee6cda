// The best-times file: any bytes, read record by record and as the file the
// game looks its best time up in; now and then a record is saved over it.
#include "FuzzSupport.h"
#include "records/BestRecords.h"

#include <QtEndian>

namespace
{

bool HasControlCharacter(const QString &text)
{
    for (const QChar ch : text) {
        if (ch.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

void CheckRecord(const TBestRecord &record)
{
    FUZZ_CHECK(record.Holder.size() <= HolderMaxLength);
    FUZZ_CHECK(!HasControlCharacter(record.Holder));
    // What was read is written back as it was read.
    const std::optional<TBestRecord> again = DecodeBestRecord(EncodeBestRecord(record));
    FUZZ_CHECK(again && again->SameKey(record) && again->BestTime == record.BestTime &&
               again->Holder == record.Holder);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    StartQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    for (qsizetype at = 0; at + BestRecordSize <= bytes.size(); at += BestRecordSize) {
        const std::optional<TBestRecord> record =
            DecodeBestRecord(bytes.sliced(at, BestRecordSize));
        FUZZ_CHECK(record);
        CheckRecord(*record);
    }
    FUZZ_CHECK(bytes.size() >= BestRecordSize || !DecodeBestRecord(bytes));

    // Looked up by the key of the first record, as after a won game.
    const QString folder = ScratchFolder().path();
    WriteFile(BestRecordsPath(folder), data, size);
    qint32 key[3] = {8, 8, 10};
    for (int i = 0; i < 3 && bytes.size() >= 4 * (i + 1); ++i)
        key[i] = qFromLittleEndian<qint32>(data + 4 * i);
    TBestRecord record;
    const bool found = LoadBestRecord(record, key[0], key[1], key[2], folder);
    FUZZ_CHECK(record.HasKey(key[0], key[1], key[2]));
    FUZZ_CHECK(found == (bytes.size() >= BestRecordSize));
    CheckRecord(record);

    // Saving, which copies every record, is slow (the file goes to the
    // disk): only inputs that ask for it.  Every record but the one saved
    // keeps its bytes; the saved one replaces those of its key or follows.
    if (bytes.startsWith("SAVE")) {
        QByteArray expected;
        const QByteArray saved = EncodeBestRecord({key[0], key[1], key[2], 7, record.Holder});
        for (qsizetype at = 0; at + BestRecordSize <= bytes.size(); at += BestRecordSize) {
            const QByteArrayView old = bytes.sliced(at, BestRecordSize);
            expected += DecodeBestRecord(old)->SameKey(record) ? saved : old.toByteArray();
        }
        if (!found)
            expected += saved;
        record.BestTime = 7;
        FUZZ_CHECK(SaveBestRecord(record, folder));
        QFile file(BestRecordsPath(folder));
        FUZZ_CHECK(file.open(QIODevice::ReadOnly) && file.readAll() == expected);
        file.close();
        // Another copy's win that is no faster is not stored.
        TBestRecord stored;
        record.BestTime = 7 + (data[size - 1] & 1);
        FUZZ_CHECK(SaveNewRecord(record, stored, folder) == rsBeatenMeanwhile);
        FUZZ_CHECK(stored.BestTime == 7 && file.size() == expected.size());
    }
    return 0;
}
