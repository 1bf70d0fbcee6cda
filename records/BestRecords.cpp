#include "records/BestRecords.h"

#include "base/Latin1Text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

QString &FixedDirectory()
{
    static QString directory;
    return directory;
}

void PutInt32(QByteArray &bytes, int offset, qint32 value)
{
    qToLittleEndian<qint32>(value, bytes.data() + offset);
}

qint32 GetInt32(QByteArrayView bytes, int offset)
{
    return qFromLittleEndian<qint32>(bytes.data() + offset);
}

bool WriteRecord(QIODevice &out, const QByteArray &bytes)
{
    return out.write(bytes) == bytes.size();
}

// Copies the complete records of `source` to `out`, putting `record` in
// place of every record with its key; counts the replaced ones.  A cut-short
// last record is dropped.
bool CopyReplacing(QFile &source, QIODevice &out, const TBestRecord &record, int &replaced)
{
    const QByteArray newBytes = EncodeBestRecord(record);
    for (;;) {
        const QByteArray bytes = source.read(BestRecordSize);
        if (bytes.isEmpty() && source.error() != QFileDevice::NoError)
            return false;
        if (bytes.size() < BestRecordSize)
            return true; // the end, perhaps with stray bytes to drop
        const bool matches = DecodeBestRecord(bytes)->SameKey(record);
        if (!WriteRecord(out, matches ? newBytes : bytes))
            return false;
        if (matches)
            ++replaced;
    }
}

// The whole new file: the old records with `record` in place, or after them.
bool WriteRecords(QFile *source, QIODevice &out, const TBestRecord &record)
{
    int replaced = 0;
    const bool copied = !source || CopyReplacing(*source, out, record, replaced);
    if (source)
        source->close(); // Windows renames nothing over an open file
    return copied && (replaced > 0 || WriteRecord(out, EncodeBestRecord(record)));
}

} // namespace

void SetBestRecordsDirectory(const QString &directory)
{
    FixedDirectory() = directory;
}

QString BestRecordsDirectory()
{
    return FixedDirectory().isEmpty() ? QDir::currentPath() : FixedDirectory();
}

QString BestRecordsPath(const QString &directory)
{
    return QDir(directory).filePath(QString::fromLatin1(BestRecordsFileName));
}

QString BestRecordsTempPath(const QString &directory)
{
    return QDir(directory).filePath(QString::fromLatin1(BestRecordsTempFileName));
}

bool LoadBestRecord(TBestRecord &record, int cols, int rows, int mines, const QString &directory)
{
    record.KeyCols = cols;
    record.KeyRows = rows;
    record.KeyMines = mines;
    QFile file(BestRecordsPath(directory));
    if (OpenRegularFile(file)) {
        for (;;) {
            const std::optional<TBestRecord> stored = DecodeBestRecord(file.read(BestRecordSize));
            if (!stored)
                break; // the end, a read error or a cut-short last record
            if (stored->HasKey(cols, rows, mines)) {
                record = *stored;
                return true;
            }
        }
    }
    record.BestTime = NoRecordTime;
    record.Holder = NoRecordHolder;
    return false;
}

bool SaveBestRecord(const TBestRecord &record, const QString &directory,
                    const TWriteDeviceFactory &writeDevice)
{
    const QString path = BestRecordsPath(directory);
    QFile source(path);
    const bool hasFile = QFileInfo::exists(path);
    // Records that cannot be read must not be replaced by fewer; and what is
    // no regular file (a named pipe, a folder) is not ours to replace.
    if (hasFile && !OpenRegularFile(source))
        return false;
    TReplaceOptions options;
    options.TemporaryPath = BestRecordsTempPath(directory);
    options.WriteDevice = writeDevice;
    return ReplaceFileSafely(
        path,
        [&](QIODevice &out) { return WriteRecords(hasFile ? &source : nullptr, out, record); },
        options);
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
    const QByteArray holder = ToLatin1Bytes(record.Holder).left(HolderMaxLength);
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
    record.Holder = WithoutControlCharacters(FromLatin1Bytes(bytes.sliced(HolderOffset, length)));
    return record;
}
