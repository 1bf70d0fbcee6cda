#pragma once

// The play-list window's working copy: the entries, each entry's selection
// mark and the start entry, kept together through every command.

#include "music/PlayList.h"

#include <QString>
#include <QStringList>

#include <vector>

class TMusic;
class TRandom;
class TSoundModule;

// Every command that reorders entries goes through one exchange of two
// places, so a selection mark and the start entry always stay on their entry.
// No command shows a message except those of the play-list file operations.
class TPlayListEditor
{
public:
    // The titles of added and loaded entries are read with decoder
    // (TPlayListItem::ReadTitle).
    explicit TPlayListEditor(TSoundModule &decoder) : Decoder(decoder) {}
    TPlayListEditor(const TPlayListEditor &) = delete;
    TPlayListEditor &operator=(const TPlayListEditor &) = delete;

    const TPlayList &Entries() const { return EditList; }
    int Count() const { return EditList.Count(); }

    bool IsSelected(int index) const;
    // An index outside the list is ignored.
    void SetSelected(int index, bool selected);
    // The entry the player is to play first; -1 when none is chosen.
    int StartIndex() const { return Start; }
    // An index outside the list means none.
    void SetStartIndex(int index);

    // Copies of the player's entries; the start entry is NextIndex when it
    // names an entry, else the first.  Nothing is selected.
    void CopyFrom(const TMusic &music);
    // The player's entries become copies of these; NextIndex the start
    // entry when there is one.  When music plays, the start entry's module
    // (or the next loadable one) starts at once.
    void CommitTo(TMusic &music) const;

    // Empties the list; no start entry.
    void Clear();
    // Appends every file that exists and whose title reads, in the given
    // order; the others are skipped silently.  Returns how many were added.
    int AddFiles(const QStringList &paths);
    // Replaces the entries by those of a play-list file.  On failure (its
    // box has been shown) the list is left empty.
    bool LoadFile(const QString &path);
    // Writes the entries' file names; false with the system's text in
    // *errorText when writing failed.
    bool SaveFile(const QString &path, QString *errorText) const;

    // Removes the selected entries, the last first.
    void RemoveSelected();
    void SelectAll();
    void InvertSelection();
    void UnselectAll();

    // Each selected run moves one place up (down) as a block; nothing moves
    // when the first (last) entry is selected.
    void MoveSelectedUp();
    void MoveSelectedDown();

    // Ascending, case-blind, by the locale's comparison; equal keys keep
    // their order.
    void SortByTitle();
    void SortByFileName();
    void SortByPathAndFileName();
    void Reverse();
    // One pass of exchanges: entry i with entry random.Below(Count()), for
    // every i, drawn from the game's generator.
    void Randomize(TRandom &random);

    // The part of a file name after its last "\", ":" or "/".
    static QString FileNamePart(const QString &fileName);

private:
    void Exchange(int first, int second);
    // Puts the entry now at order[i] at place i, for every i.
    void Reorder(const std::vector<int> &order);
    void SortByKeys(const QStringList &keys);
    void ChooseFirstWhenNone();

    TSoundModule &Decoder;
    TPlayList EditList;
    std::vector<bool> Selected; // one mark per entry
    int Start = -1;
};
