// The settings store, read once at start and written once at the end.
#include "base/CodePageText.h"
#include "base/SettingsStore.h"
#include "model/Mines.h"

#include <algorithm>

namespace
{

const QString KeySize = QStringLiteral("SIZE");
const QString KeyQuestion = QStringLiteral("QUESTION");
const QString KeyWinPress = QStringLiteral("WINPRESS");
const QString KeyCross = QStringLiteral("CROSS");
const QString KeyBorders = QStringLiteral("BORDERS");
const QString KeyNeighbours = QStringLiteral("NEIGHBOURS");
const QString KeyCols = QStringLiteral("COLS");
const QString KeyRows = QStringLiteral("ROWS");
const QString KeyMines = QStringLiteral("MINES");
const QString KeyMusic = QStringLiteral("MUSIC");
const QString KeyRecName = QStringLiteral("RECNAME");

void ReadBool(const QSettings &store, const QString &name, bool &field)
{
    if (const std::optional<bool> value = ReadStoredBool(store, name))
        field = *value;
}

void ReadByte(const QSettings &store, const QString &name, quint8 &field)
{
    // SIZE, COLS and ROWS are held in 8-bit fields: a stored value outside
    // 0..255 (or not an integer) counts as absent instead of wrapping.
    if (const std::optional<int> value = ReadStoredInt(store, name, 0, 255))
        field = static_cast<quint8>(*value);
}

} // namespace

void TMines::LoadSettings()
{
    const std::unique_ptr<QSettings> store = OpenSettingsStore();
    ReadByte(*store, KeySize, Level);
    // A level above Custom would keep the stored board like Custom does;
    // say so, so that the Game menu shows which level is in play.
    if (Level > LevelCustom)
        Level = LevelCustom;
    ReadBool(*store, KeyQuestion, QuestionMarks);
    ReadBool(*store, KeyWinPress, WindowsPress);
    ReadBool(*store, KeyCross, CrossPointer);
    ReadBool(*store, KeyBorders, Borders);
    ReadBool(*store, KeyNeighbours, ClearNeighbours);
    ReadByte(*store, KeyCols, Cols);
    ReadByte(*store, KeyRows, Rows);
    if (Cols > BoardLimits.MaxCols)
        Cols = static_cast<quint8>(BoardLimits.MaxCols);
    if (Rows > BoardLimits.MaxRows)
        Rows = static_cast<quint8>(BoardLimits.MaxRows);
    if (const std::optional<int> mines = ReadStoredInt(*store, KeyMines))
        Mines = *mines;
    ReadBool(*store, KeyMusic, MusicOn);
    if (const std::optional<QString> name = ReadStoredString(*store, KeyRecName))
        RecordName = WithoutControlCharacters(*name).left(RecordNameLength);
    ApplyLevel(Level);
    // Only what cannot be played is repaired: columns or rows of 0, mines
    // not between 1 and cells - 1.
    MendBoard();
}

bool TMines::SaveSettings() const
{
    const std::unique_ptr<QSettings> store = OpenSettingsStore();
    WriteStoredInt(*store, KeySize, Level);
    WriteStoredBool(*store, KeyQuestion, QuestionMarks);
    WriteStoredBool(*store, KeyWinPress, WindowsPress);
    WriteStoredBool(*store, KeyCross, CrossPointer);
    WriteStoredBool(*store, KeyBorders, Borders);
    WriteStoredBool(*store, KeyNeighbours, ClearNeighbours);
    WriteStoredInt(*store, KeyCols, Cols);
    WriteStoredInt(*store, KeyRows, Rows);
    WriteStoredInt(*store, KeyMines, Mines);
    WriteStoredBool(*store, KeyMusic, MusicOn);
    WriteStoredString(*store, KeyRecName, RecordName.left(RecordNameLength));
    store->sync();
    return store->status() == QSettings::NoError;
}
