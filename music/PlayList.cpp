#include "music/PlayList.h"

#include "base/CodePageText.h"
#include "base/FileLock.h"
#include "base/MessageBox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <system_error>

namespace
{

constexpr char EndOfFileMark = 26;

// Splits a play-list file into lines.  A line ends at CR LF, at a lone CR
// (old Mac files) or at a lone LF (files written on Linux); a byte 26 ends
// the file.  A line longer than MaxPlayListLineLength is dropped unkept, so
// the memory a line takes is bounded whatever the file holds.  Returns false
// on a read error, after every complete line before it has been handed on.
class TLineSplitter
{
public:
    explicit TLineSplitter(std::function<void(const QByteArray &)> onLine)
        : OnLine(std::move(onLine))
    {
    }

    bool Read(QIODevice &device)
    {
        char chunk[65536];
        for (;;) {
            const qint64 count = device.read(chunk, sizeof chunk);
            if (count < 0)
                return false;
            if (count == 0)
                break;
            if (!Feed(chunk, count))
                break;
        }
        FinishLine();
        return true;
    }

private:
    // Returns false once the end-of-file mark is met.
    bool Feed(const char *bytes, qint64 count)
    {
        for (qint64 i = 0; i < count; ++i) {
            const char c = bytes[i];
            const bool lfAfterCr = AfterCr && c == '\n';
            AfterCr = false;
            if (c == EndOfFileMark)
                return false;
            if (lfAfterCr)
                continue;
            if (c == '\r' || c == '\n') {
                AfterCr = c == '\r';
                EndLine();
            } else if (Line.size() < MaxPlayListLineLength) {
                Line.append(c);
            } else {
                TooLong = true;
            }
        }
        return true;
    }

    void EndLine()
    {
        if (!TooLong)
            OnLine(Line);
        Line.clear();
        TooLong = false;
    }

    void FinishLine()
    {
        if (!Line.isEmpty())
            EndLine();
    }

    std::function<void(const QByteArray &)> OnLine;
    QByteArray Line;
    bool TooLong = false;
    bool AfterCr = false;
};

QString SystemErrorText(int error)
{
    return QString::fromStdString(std::generic_category().message(error));
}

// The folder a relative name of an entry is resolved against.
QString FolderOf(const TPlayListItem &item)
{
    return QDir(item.BaseFolder.isEmpty() ? QDir::currentPath() : item.BaseFolder).absolutePath();
}

bool SameFolder(const QString &first, const QString &second)
{
    if (QDir::cleanPath(first) == QDir::cleanPath(second))
        return true;
    const QString canonical = QFileInfo(first).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(second).canonicalFilePath();
}

// The line that names the entry's file from a play list in `listFolder`.
QByteArray LineFor(const TPlayListItem &item, const QString &listFolder)
{
    const QString name = QFile::decodeName(item.FileName);
    const QString base = FolderOf(item);
    if (name.isEmpty() || QDir::isAbsolutePath(name) || SameFolder(base, listFolder))
        return item.FileName;
    // Bytes that are no text in the system's encoding stay bytes, after the
    // folder they were relative to.
    if (QFile::encodeName(name) != item.FileName)
        return QFile::encodeName(base) + '/' + item.FileName;
    const QString absolute = QDir::cleanPath(QDir(base).absoluteFilePath(name));
    const QString relative = QDir(listFolder).relativeFilePath(absolute);
    const bool below = !QDir::isAbsolutePath(relative) && relative != QLatin1String("..") &&
                       !relative.startsWith(QLatin1String("../"));
    return QFile::encodeName(below ? relative : absolute);
}

} // namespace

QString TPlayListItem::Path() const
{
    const QString name = QFile::decodeName(FileName);
    if (BaseFolder.isEmpty() || name.isEmpty() || QDir::isAbsolutePath(name))
        return name;
    return QDir(BaseFolder).filePath(name);
}

QString TPlayListItem::TitleText() const
{
    return FromCodePageBytes(Title);
}

QString TPlayListItem::FileNameText() const
{
    return QFile::decodeName(FileName);
}

void TPlayList::AddCopy(const TPlayListItem &item)
{
    Entries.push_back(std::make_unique<TPlayListItem>(item));
}

void TPlayList::DeleteEntry(int index)
{
    // A list box with nothing selected says -1; that deletes nothing.
    if (index < 0 || index >= Count())
        return;
    Entries.erase(Entries.begin() + index);
}

void TPlayList::ClearEntries()
{
    while (!Entries.empty())
        Entries.pop_back();
}

bool TPlayList::IsIndex(int index) const
{
    return index >= 0 && index < Count();
}

// Indexes come from list boxes and arrow clicks, inside a Qt event where an
// exception must not escape: one outside the list does nothing.
void TPlayList::Exchange(int first, int second)
{
    if (!IsIndex(first) || !IsIndex(second))
        return;
    std::swap(Entries[static_cast<size_t>(first)], Entries[static_cast<size_t>(second)]);
}

void TPlayList::Move(int from, int to)
{
    if (from == to || !IsIndex(from) || !IsIndex(to))
        return;
    auto entry = std::move(Entries.at(static_cast<size_t>(from)));
    Entries.erase(Entries.begin() + from);
    Entries.insert(Entries.begin() + to, std::move(entry));
}

void TPlayList::Assign(const TPlayList &other)
{
    if (&other == this)
        return;
    ClearEntries();
    for (const auto &entry : other.Entries)
        AddCopy(*entry);
}

bool TPlayList::AppendFromDevice(QIODevice &device, const QString &baseFolder,
                                 TSoundModule &decoder)
{
    TLineSplitter splitter([this, &baseFolder, &decoder](const QByteArray &line) {
        // No file name holds a zero byte; the system would read the name only
        // up to it, so "a.mod<0>x.mod" would play a.mod under another name.
        if (line.contains('\0'))
            return;
        TPlayListItem item;
        item.FileName = line;
        item.BaseFolder = baseFolder;
        if (item.ReadTitle(decoder))
            AddCopy(item);
    });
    return splitter.Read(device);
}

bool TPlayList::LoadFromFile(const QString &fileName, TSoundModule &decoder)
{
    if (!QFileInfo::exists(fileName)) {
        ShowMessage(TMsgType::mtError,
                    QStringLiteral("Sorry, Playlist \"%1\" does not exist!").arg(fileName));
        return false;
    }
    QFile file(fileName);
    QString errorText;
    if (!OpenRegularFile(file, QIODevice::ReadOnly, &errorText)) {
        ShowMessage(TMsgType::mtError, errorText);
        return false;
    }
    if (file.size() > MaxPlayListSize) {
        ShowMessage(TMsgType::mtError, SystemErrorText(EFBIG));
        return false;
    }
    ClearEntries();
    if (!AppendFromDevice(file, QFileInfo(fileName).absolutePath(), decoder)) {
        ShowMessage(TMsgType::mtError, file.errorString());
        return false;
    }
    return true;
}

bool TPlayList::SaveToFile(const QString &fileName, QString *errorText,
                           const TWriteDeviceFactory &writeDevice) const
{
    TFileLock lock(fileName);
    if (!lock.Acquire(errorText))
        return false;
    // Written aside and put in place only when complete, so a failed save
    // never leaves a half-written play list where a good one stood.
    TReplaceOptions options;
    options.WriteDevice = writeDevice;
    const QString listFolder = QFileInfo(fileName).absolutePath();
    const auto writeLines = [this, &listFolder](QIODevice &out) {
        for (const auto &entry : Entries) {
            const QByteArray line = LineFor(*entry, listFolder) + "\r\n";
            if (out.write(line) != line.size())
                return false;
        }
        return true;
    };
    return ReplaceFileSafely(fileName, writeLines, options, errorText);
}
