#pragma once

// TPlayList and TPlayListItem: play lists, their M3U files and module titles.

#include "base/SafeFile.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

class QIODevice;
class TSoundModule;

// One play-list entry: a module file and the title read from its header.
// Both strings are 8-bit, kept byte for byte; titles are shown in the code
// page of the program's 8-bit text.
class TPlayListItem
{
public:
    // The module file's name exactly as entered: a full path from a file
    // dialog, or the line of a play-list file as written (may be relative).
    QByteArray FileName;
    // The module's title, may be empty: 0..28 bytes from its header, or up
    // to MaxDecoderTitleLength read by the decoder.
    QByteArray Title;
    // The folder a relative FileName is resolved against; empty means the
    // current directory.  Entries loaded from a play list get its folder.
    QString BaseFolder;

    // Reads the title of the file FileName names.  True when the name ends
    // in a kind whose header the program reads (MOD, S3M, .IT, .XM) and the
    // header holds that kind's title (at most 37 bytes are read), or when
    // its extension names another format the decoder of the sound module
    // reads and that decoder reads the file; Title is then set, otherwise
    // emptied.  Never writes, shows no message.
    bool ReadTitle(TSoundModule &decoder);

    // The path to open: FileName decoded as a local file name and resolved
    // against BaseFolder when relative.
    QString Path() const;

    // Title and file name as text for display.
    QString TitleText() const;
    QString FileNameText() const;

private:
    bool ReadDecoderTitle(TSoundModule &decoder);
};

// A title the decoder reads is kept to this many characters.
inline constexpr int MaxDecoderTitleLength = 80;

// A play list larger than this is refused unread, with the text of the
// system's "File too large": a list of ten thousand modules takes a fraction.
inline constexpr qint64 MaxPlayListSize = 1024 * 1024;
// No file name is longer; a longer line names no module and is dropped.
inline constexpr int MaxPlayListLineLength = 4096;

// Reads the title of a module of the kind named by the last three bytes of
// fileName from the start of device; *ok tells whether it succeeded.
QByteArray ReadModuleTitle(const QByteArray &fileName, QIODevice &device, bool *ok);

// An ordered play list that owns its entries.  The same file may stand in it
// several times; copying between lists makes new entries.
class TPlayList
{
public:
    TPlayList() = default;
    TPlayList(const TPlayList &) = delete;
    TPlayList &operator=(const TPlayList &) = delete;

    int Count() const { return static_cast<int>(Entries.size()); }
    bool IsEmpty() const { return Entries.empty(); }
    TPlayListItem &Items(int index) { return *Entries.at(static_cast<size_t>(index)); }
    const TPlayListItem &Items(int index) const { return *Entries.at(static_cast<size_t>(index)); }

    // Appends a new entry with the given entry's file name, title and folder.
    void AddCopy(const TPlayListItem &item);
    // Removes the entry at index; later entries move up by one.  An index
    // outside the list removes nothing.
    void DeleteEntry(int index);
    // Removes all entries, from the last to the first.
    void ClearEntries();
    // Swaps two entries, and moves one entry so that it stands at index to.
    // An index outside the list changes nothing.
    void Exchange(int first, int second);
    void Move(int from, int to);
    // Replaces all entries by copies of other's entries, in order.
    void Assign(const TPlayList &other);

    // Replaces the entries by the module lines of a play-list file; every
    // line whose title reads (TPlayListItem::ReadTitle with decoder) becomes
    // an entry, resolved against the play list's folder.  False after an
    // error box (missing file, open or read error, no regular file: a named
    // pipe is never opened, or a file larger than MaxPlayListSize); on a
    // missing, unopenable or too large file the list is unchanged.
    bool LoadFromFile(const QString &fileName, TSoundModule &decoder);
    // Appends the module lines read from device, resolving relative names
    // against baseFolder.  False when reading failed.
    bool AppendFromDevice(QIODevice &device, const QString &baseFolder, TSoundModule &decoder);

    // Writes every entry's file name, each followed by CR LF, so that the
    // file names the same modules from its own folder: an entry that came
    // from a list in that folder (or is absolute) is written exactly as it
    // was read; a relative one from elsewhere is written relative to the
    // new folder when its file lies below it, otherwise as a full path.  The
    // file is replaced in one step under its TFileLock (ReplaceFileSafely;
    // `writeDevice` is for tests).  True when written; otherwise false, the
    // old file intact, with the reason in *errorText for the caller's error
    // box.
    bool SaveToFile(const QString &fileName, QString *errorText = nullptr,
                    const TWriteDeviceFactory &writeDevice = {}) const;

private:
    bool IsIndex(int index) const;

    std::vector<std::unique_ptr<TPlayListItem>> Entries;
};
