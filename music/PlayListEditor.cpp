#include "music/PlayListEditor.h"

#include "base/Random.h"
#include "music/Music.h"

#include <QCollator>
#include <QFile>

#include <algorithm>
#include <numeric>

bool TPlayListEditor::IsSelected(int index) const
{
    return index >= 0 && index < Count() && Selected[static_cast<size_t>(index)];
}

void TPlayListEditor::SetSelected(int index, bool selected)
{
    if (index >= 0 && index < Count())
        Selected[static_cast<size_t>(index)] = selected;
}

void TPlayListEditor::SetStartIndex(int index)
{
    Start = index >= 0 && index < Count() ? index : -1;
}

void TPlayListEditor::CopyFrom(const TMusic &music)
{
    EditList.Assign(music.List());
    Selected.assign(static_cast<size_t>(Count()), false);
    // NextIndex names the entry after the one playing: the next in turn.
    Start = -1;
    SetStartIndex(music.NextIndex());
    ChooseFirstWhenNone();
}

void TPlayListEditor::CommitTo(TMusic &music) const
{
    music.ReplaceList(EditList, Start);
}

void TPlayListEditor::Clear()
{
    EditList.ClearEntries();
    Selected.clear();
    Start = -1;
}

int TPlayListEditor::AddFiles(const QStringList &paths)
{
    int added = 0;
    for (const QString &path : paths) {
        TPlayListItem item;
        item.FileName = QFile::encodeName(path);
        if (!item.ReadTitle(Decoder))
            continue;
        EditList.AddCopy(item);
        Selected.push_back(false);
        ++added;
    }
    ChooseFirstWhenNone();
    return added;
}

bool TPlayListEditor::LoadFile(const QString &path)
{
    Clear();
    const bool loaded = EditList.LoadFromFile(path, Decoder);
    // A read error keeps the lines before it in the list; the window shows
    // an empty list after any failed load, so nothing half-read stays.
    if (!loaded)
        EditList.ClearEntries();
    Selected.assign(static_cast<size_t>(Count()), false);
    ChooseFirstWhenNone();
    return loaded;
}

bool TPlayListEditor::SaveFile(const QString &path, QString *errorText) const
{
    return EditList.SaveToFile(path, errorText);
}

void TPlayListEditor::RemoveSelected()
{
    for (int index = Count() - 1; index >= 0; --index) {
        if (!Selected[static_cast<size_t>(index)])
            continue;
        EditList.DeleteEntry(index);
        Selected.erase(Selected.begin() + index);
        if (Start == index)
            Start = -1;
        else if (Start > index)
            --Start;
    }
    ChooseFirstWhenNone();
}

void TPlayListEditor::SelectAll()
{
    std::fill(Selected.begin(), Selected.end(), true);
}

void TPlayListEditor::InvertSelection()
{
    Selected.flip();
}

void TPlayListEditor::UnselectAll()
{
    std::fill(Selected.begin(), Selected.end(), false);
}

void TPlayListEditor::MoveSelectedUp()
{
    if (Count() == 0 || Selected.front())
        return;
    for (int index = 1; index < Count(); ++index)
        if (Selected[static_cast<size_t>(index)] && !Selected[static_cast<size_t>(index - 1)])
            Exchange(index - 1, index);
}

void TPlayListEditor::MoveSelectedDown()
{
    if (Count() == 0 || Selected.back())
        return;
    for (int index = Count() - 1; index >= 1; --index)
        if (!Selected[static_cast<size_t>(index)] && Selected[static_cast<size_t>(index - 1)])
            Exchange(index - 1, index);
}

void TPlayListEditor::SortByTitle()
{
    QStringList keys;
    keys.reserve(Count());
    for (int index = 0; index < Count(); ++index)
        keys << EditList.Items(index).TitleText();
    SortByKeys(keys);
}

void TPlayListEditor::SortByFileName()
{
    QStringList keys;
    keys.reserve(Count());
    for (int index = 0; index < Count(); ++index)
        keys << FileNamePart(EditList.Items(index).FileNameText());
    SortByKeys(keys);
}

void TPlayListEditor::SortByPathAndFileName()
{
    QStringList keys;
    keys.reserve(Count());
    for (int index = 0; index < Count(); ++index)
        keys << EditList.Items(index).FileNameText();
    SortByKeys(keys);
}

void TPlayListEditor::Reverse()
{
    for (int index = 0; index < Count() / 2; ++index)
        Exchange(index, Count() - 1 - index);
}

void TPlayListEditor::Randomize(TRandom &random)
{
    // Not a library shuffle: one pass with a freely drawn partner, so that
    // a given generator state always gives the same order.
    const int count = Count();
    for (int index = 0; index < count; ++index) {
        const int partner = random.Below(count);
        if (partner != index)
            Exchange(index, partner);
    }
}

QString TPlayListEditor::FileNamePart(const QString &fileName)
{
    // "\" and ":" end the folder part of a name written on Windows, "/"
    // the folder part of one written here.
    qsizetype cut = -1;
    for (QChar separator : {QLatin1Char('\\'), QLatin1Char(':'), QLatin1Char('/')})
        cut = std::max(cut, fileName.lastIndexOf(separator));
    return fileName.mid(cut + 1);
}

void TPlayListEditor::Exchange(int first, int second)
{
    if (first == second)
        return;
    EditList.Exchange(first, second);
    Selected.swap(Selected[static_cast<size_t>(first)], Selected[static_cast<size_t>(second)]);
    if (Start == first)
        Start = second;
    else if (Start == second)
        Start = first;
}

void TPlayListEditor::Reorder(const std::vector<int> &order)
{
    // placeOf[e]: where the entry that stood at e stands now; entryAt[p]:
    // where the entry now at p stood before.
    std::vector<int> placeOf(order.size());
    std::iota(placeOf.begin(), placeOf.end(), 0);
    std::vector<int> entryAt = placeOf;
    for (int place = 0; place < static_cast<int>(order.size()); ++place) {
        const int wanted = order[static_cast<size_t>(place)];
        const int from = placeOf[static_cast<size_t>(wanted)];
        if (from == place)
            continue;
        const int displaced = entryAt[static_cast<size_t>(place)];
        Exchange(place, from);
        entryAt[static_cast<size_t>(place)] = wanted;
        entryAt[static_cast<size_t>(from)] = displaced;
        placeOf[static_cast<size_t>(wanted)] = place;
        placeOf[static_cast<size_t>(displaced)] = from;
    }
}

void TPlayListEditor::SortByKeys(const QStringList &keys)
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // One key per entry instead of a collation per comparison: a long list
    // sorts in a fraction of the time.
    // The keys are case-folded first: in the C locale Qt's sort keys ignore
    // the case setting, and elsewhere folding changes no order.
    std::vector<QCollatorSortKey> sortKeys;
    sortKeys.reserve(static_cast<size_t>(keys.size()));
    for (const QString &key : keys)
        sortKeys.push_back(collator.sortKey(key.toCaseFolded()));
    std::vector<int> order(sortKeys.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int left, int right) {
        return sortKeys[static_cast<size_t>(left)].compare(sortKeys[static_cast<size_t>(right)]) <
               0;
    });
    Reorder(order);
}

void TPlayListEditor::ChooseFirstWhenNone()
{
    if (Start < 0 && Count() > 0)
        Start = 0;
}
