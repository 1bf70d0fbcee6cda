#include "records/BestRecords.h"

#include "base/CodePageText.h"
#include "base/FileLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QtEndian>

#include <cstring>

namespace
{

constexpr int KeyColsOffset = 0;
constexpr int KeyRowsOffset = 4;
constexpr int KeyMinesOffset = 8;
constexpr int BestTimeOffset = 12;
constexpr int HolderLengthOffset = 16;
constexpr int HolderOffset = 17;

void PutInt32(QByteArray &bytes, int offset, qint32 value)
{
    qToLittleEndian<qint32>(value, bytes.data() + offset);
}

qint32 GetInt32(QByteArrayView bytes, int offset)
{
    return qFromLittleEndian<qint32>(bytes.data() + offset);
}

bool HasKey(QByteArrayView bytes, qint32 cols, qint32 rows, qint32 mines)
{
    return GetInt32(bytes, KeyColsOffset) == cols && GetInt32(bytes, KeyRowsOffset) == rows &&
           GetInt32(bytes, KeyMinesOffset) == mines;
}

// Hands out the complete records of a file one by one, reading it in large
// pieces, and stops after MaxBestRecords.  A cut-short last record is the
// end, like the end of the file.
class TRecordReader
{
public:
    explicit TRecordReader(QIODevice &device) : Device(device) {}

    // The next record's 48 bytes; empty at the end, at a read error and after
    // MaxBestRecords records.
    QByteArrayView Next()
    {
        if (Count == MaxBestRecords || (Offset == Chunk.size() && !Fill()))
            return {};
        const QByteArrayView bytes = QByteArrayView(Chunk).sliced(Offset, BestRecordSize);
        Offset += BestRecordSize;
        ++Count;
        return bytes;
    }

    // Whether the records ended otherwise than at the end of the file.
    bool StoppedEarly() const
    {
        const bool moreRecords = Offset < Chunk.size() || Device.bytesAvailable() >= BestRecordSize;
        return Error || (Count == MaxBestRecords && moreRecords);
    }

private:
    static constexpr qint64 ChunkSize = 1365 * BestRecordSize; // just under 64 KiB

    bool Fill()
    {
        Chunk.resize(ChunkSize);
        qint64 filled = 0;
        while (filled < ChunkSize) {
            const qint64 count = Device.read(Chunk.data() + filled, ChunkSize - filled);
            if (count <= 0) {
                Error = count < 0;
                break;
            }
            filled += count;
        }
        Chunk.resize(filled - filled % BestRecordSize);
        Offset = 0;
        return !Chunk.isEmpty();
    }

    QIODevice &Device;
    QByteArray Chunk;
    qsizetype Offset = 0;
    int Count = 0;
    bool Error = false;
};

std::optional<TBestRecord> FindRecord(QIODevice &device, qint32 cols, qint32 rows, qint32 mines)
{
    TRecordReader reader(device);
    for (QByteArrayView bytes = reader.Next(); !bytes.isEmpty(); bytes = reader.Next())
        if (HasKey(bytes, cols, rows, mines))
            return DecodeBestRecord(bytes);
    return std::nullopt;
}

bool WriteBytes(QIODevice &out, QByteArrayView bytes)
{
    return out.write(bytes.data(), bytes.size()) == bytes.size();
}

// The whole new file: the records of `source` (if any) with `record` in
// place of every one of its key, or after them all.  The others go back
// exactly as they were read, all 48 bytes.
bool WriteRecords(QFile *source, QIODevice &out, const TBestRecord &record)
{
    const QByteArray newBytes = EncodeBestRecord(record);
    bool replaced = false;
    bool copied = true;
    if (source) {
        TRecordReader reader(*source);
        for (QByteArrayView bytes = reader.Next(); copied && !bytes.isEmpty();
             bytes = reader.Next()) {
            const bool matches = HasKey(bytes, record.KeyCols, record.KeyRows, record.KeyMines);
            replaced = replaced || matches;
            copied = WriteBytes(out, matches ? QByteArrayView(newBytes) : bytes);
        }
        copied = copied && !reader.StoppedEarly();
        source->close(); // Windows renames nothing over an open file
    }
    return copied && (replaced || WriteBytes(out, newBytes));
}

// SaveBestRecord and SaveNewRecord: with `stored` the record is written only
// when it beats what the file holds now.
TRecordSave SaveUnderLock(const TBestRecord &record, TBestRecord *stored, const QString &directory,
                          TBestList list, const TWriteDeviceFactory &writeDevice)
{
    const QString path = BestRecordsPath(directory, list);
    TFileLock lock(path);
    if (!lock.Acquire())
        return rsNotSaved;
    QFile source(path);
    const bool hasFile = QFileInfo::exists(path);
    // Records that cannot be read must not be replaced by fewer; and what is
    // no regular file (a named pipe, a folder) is not ours to replace.
    if (hasFile && !OpenRegularFile(source))
        return rsNotSaved;
    const qint64 records = hasFile ? source.size() / BestRecordSize : 0;
    if (records > MaxBestRecords)
        return rsFileTooLarge;
    const std::optional<TBestRecord> found =
        hasFile ? FindRecord(source, record.KeyCols, record.KeyRows, record.KeyMines)
                : std::nullopt;
    if (stored && found && !IsNewRecord(true, *found, record.BestTime)) {
        *stored = *found;
        return rsBeatenMeanwhile;
    }
    if (!found && records == MaxBestRecords)
        return rsFileTooLarge;
    if (hasFile && !source.seek(0))
        return rsNotSaved;
    TReplaceOptions options;
    options.TemporaryStem = QString::fromLatin1(
        list == TBestList::NoGuessing ? NoGuessBestRecordsTempFileName : BestRecordsTempFileName);
    options.WriteDevice = writeDevice;
    const bool saved = ReplaceFileSafely(
        path,
        [&](QIODevice &out) { return WriteRecords(hasFile ? &source : nullptr, out, record); },
        options);
    return saved ? rsSaved : rsNotSaved;
}

} // namespace

QString BestRecordsPath(const QString &directory, TBestList list)
{
    const QDir folder(directory.isEmpty() ? QDir::currentPath() : directory);
    return folder.filePath(QString::fromLatin1(
        list == TBestList::NoGuessing ? NoGuessBestRecordsFileName : BestRecordsFileName));
}

bool LoadBestRecord(TBestRecord &record, int cols, int rows, int mines, const QString &directory,
                    TBestList list)
{
    record.KeyCols = cols;
    record.KeyRows = rows;
    record.KeyMines = mines;
    QFile file(BestRecordsPath(directory, list));
    if (OpenRegularFile(file)) {
        if (const std::optional<TBestRecord> stored = FindRecord(file, cols, rows, mines)) {
            record = *stored;
            return true;
        }
    }
    record.BestTime = NoRecordTime;
    record.Holder = NoRecordHolder;
    return false;
}

QList<TBestRecord> LoadAllBestRecords(const QString &directory, TBestList list)
{
    QList<TBestRecord> records;
    QFile file(BestRecordsPath(directory, list));
    if (!OpenRegularFile(file))
        return records;
    QSet<QByteArray> seen; // the 12 key bytes
    TRecordReader reader(file);
    for (QByteArrayView bytes = reader.Next(); !bytes.isEmpty(); bytes = reader.Next()) {
        const QByteArray key = bytes.first(BestTimeOffset).toByteArray();
        if (seen.contains(key))
            continue;
        seen.insert(key);
        if (const std::optional<TBestRecord> record = DecodeBestRecord(bytes))
            records.append(*record);
    }
    return records;
}

bool SaveBestRecord(const TBestRecord &record, const QString &directory, TBestList list,
                    const TWriteDeviceFactory &writeDevice)
{
    return SaveUnderLock(record, nullptr, directory, list, writeDevice) == rsSaved;
}

TRecordSave SaveNewRecord(const TBestRecord &record, TBestRecord &stored, const QString &directory,
                          TBestList list, const TWriteDeviceFactory &writeDevice)
{
    return SaveUnderLock(record, &stored, directory, list, writeDevice);
}

bool IsNewRecord(bool hasRecord, const TBestRecord &current, int seconds)
{
    return !hasRecord || seconds < current.BestTime;
}

QByteArray EncodeBestRecord(const TBestRecord &record)
{
    QByteArray bytes(BestRecordSize, '\0');
    PutInt32(bytes, KeyColsOffset, record.KeyCols);
    PutInt32(bytes, KeyRowsOffset, record.KeyRows);
    PutInt32(bytes, KeyMinesOffset, record.KeyMines);
    PutInt32(bytes, BestTimeOffset, record.BestTime);
    const QByteArray holder = ToCodePageBytes(record.Holder).left(HolderMaxLength);
    bytes[HolderLengthOffset] = char(holder.size());
    std::memcpy(bytes.data() + HolderOffset, holder.constData(), size_t(holder.size()));
    return bytes;
}

std::optional<TBestRecord> DecodeBestRecord(QByteArrayView bytes)
{
    if (bytes.size() < BestRecordSize)
        return std::nullopt;
    TBestRecord record;
    record.KeyCols = GetInt32(bytes, KeyColsOffset);
    record.KeyRows = GetInt32(bytes, KeyRowsOffset);
    record.KeyMines = GetInt32(bytes, KeyMinesOffset);
    record.BestTime = GetInt32(bytes, BestTimeOffset);
    const int length = qMin(int(quint8(bytes[HolderLengthOffset])), HolderMaxLength);
    // The holder as shown: control characters go, and only from what is
    // shown; the file keeps every record's bytes.
    record.Holder = WithoutControlCharacters(FromCodePageBytes(bytes.sliced(HolderOffset, length)));
    return record;
}
