#include "records/BestRecords.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

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

TBestRecordWriteCheck &WriteCheck()
{
    static TBestRecordWriteCheck check;
    return check;
}

void PutInt32(QByteArray &bytes, int offset, qint32 value)
{
    qToLittleEndian<qint32>(value, bytes.data() + offset);
}

qint32 GetInt32(QByteArrayView bytes, int offset)
{
    return qFromLittleEndian<qint32>(bytes.data() + offset);
}

// Each code point becomes one byte, so a character outside Latin-1 (even one
// that needs two UTF-16 units) is a single "?".
QByteArray HolderBytes(const QString &holder)
{
    QByteArray bytes;
    for (char32_t codePoint : holder.toUcs4()) {
        if (bytes.size() == HolderMaxLength)
            break;
        bytes.append(codePoint <= 0xFF ? char(codePoint) : '?');
    }
    return bytes;
}

std::filesystem::path FileSystemPath(const QString &path)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

// A rename that replaces an existing target in one step (POSIX rename,
// MoveFileEx with replace on Windows); QFile::rename refuses an existing
// target, and deleting the old file first would open a window in which a
// crash loses every record.
bool ReplaceFile(const QString &from, const QString &to)
{
    std::error_code error;
    std::filesystem::rename(FileSystemPath(from), FileSystemPath(to), error);
    return !error;
}

// The temporary file must be on the disk before it takes the old file's
// place, or a power cut right after the rename could leave an empty file.
bool FlushToDisk(QFile &file)
{
    if (!file.flush())
        return false;
#ifdef Q_OS_UNIX
    return ::fsync(file.handle()) == 0;
#else
    return true;
#endif
}

bool WriteRecord(QFile &file, const QByteArray &bytes, int index)
{
    const TBestRecordWriteCheck &check = WriteCheck();
    if (check && !check(index))
        return false;
    return file.write(bytes) == bytes.size();
}

enum class CopyResult { Copied, Failed };

// Copies the complete records of `source` to `target`, putting `record` in
// place of every record with its key; counts the replaced ones.  A cut-short
// last record is dropped.
CopyResult CopyReplacing(QFile &source, QFile &target, const TBestRecord &record, int &written,
                         int &replaced)
{
    const QByteArray newBytes = EncodeBestRecord(record);
    for (;;) {
        const QByteArray bytes = source.read(BestRecordSize);
        if (bytes.isEmpty() && source.error() != QFileDevice::NoError)
            return CopyResult::Failed;
        if (bytes.size() < BestRecordSize)
            return CopyResult::Copied; // the end, perhaps with stray bytes to drop
        const TBestRecord stored = *DecodeBestRecord(bytes);
        const bool matches = stored.SameKey(record);
        if (!WriteRecord(target, matches ? newBytes : bytes, written++))
            return CopyResult::Failed;
        if (matches)
            ++replaced;
    }
}

bool WriteTemporary(QFile *source, QFile &temp, const TBestRecord &record)
{
    int written = 0;
    int replaced = 0;
    if (source && CopyReplacing(*source, temp, record, written, replaced) == CopyResult::Failed)
        return false;
    if (replaced == 0 && !WriteRecord(temp, EncodeBestRecord(record), written))
        return false;
    if (!FlushToDisk(temp))
        return false;
    temp.close();
    return temp.error() == QFileDevice::NoError;
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
    if (file.open(QIODevice::ReadOnly)) {
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

bool SaveBestRecord(const TBestRecord &record, const QString &directory)
{
    const QString path = BestRecordsPath(directory);
    const QString tempPath = BestRecordsTempPath(directory);

    QFile source(path);
    const bool hasFile = source.exists();
    if (hasFile && !source.open(QIODevice::ReadOnly))
        return false; // unreadable records must not be replaced by fewer

    QFile temp(tempPath);
    if (!temp.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false; // nothing of ours was created
    const bool complete = WriteTemporary(hasFile ? &source : nullptr, temp, record);
    temp.close();
    source.close();

    if (complete && hasFile)
        QFile::setPermissions(tempPath, QFile::permissions(path));
    if (complete && ReplaceFile(tempPath, path))
        return true;
    QFile::remove(tempPath);
    return false;
}

bool IsNewRecord(bool hasRecord, const TBestRecord &current, int seconds)
{
    return !hasRecord || seconds < current.BestTime;
}

int SecondsFromTimeText(const QString &text)
{
    bool ok = false;
    const int seconds = text.trimmed().toInt(&ok);
    return ok ? seconds : 0;
}

QByteArray EncodeBestRecord(const TBestRecord &record)
{
    QByteArray bytes(BestRecordSize, '\0');
    PutInt32(bytes, KeyColsOffset, record.KeyCols);
    PutInt32(bytes, KeyRowsOffset, record.KeyRows);
    PutInt32(bytes, KeyMinesOffset, record.KeyMines);
    PutInt32(bytes, BestTimeOffset, record.BestTime);
    const QByteArray holder = HolderBytes(record.Holder);
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
    record.Holder = QString::fromLatin1(bytes.data() + HolderOffset, length);
    return record;
}

TBestRecordWriteCheck SetBestRecordWriteCheck(TBestRecordWriteCheck check)
{
    TBestRecordWriteCheck previous = std::move(WriteCheck());
    WriteCheck() = std::move(check);
    return previous;
}
