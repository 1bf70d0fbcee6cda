// The settings store, read once at start and written once at the end.
#include "base/CodePageText.h"
#include "base/SettingsStore.h"
#include "model/Mines.h"

#include <algorithm>
#include <variant>

namespace
{

// Every value the model keeps in the store, by its stored name: reading and
// writing both walk this one table, so a value cannot be read and then
// forgotten when the settings are written back.
struct TStoredField {
    QString Key;
    std::variant<quint8 TMines::*, bool TMines::*, int TMines::*, QString TMines::*> Field;
};

const TStoredField StoredFields[] = {
    {QStringLiteral("SIZE"), &TMines::Level},
    {QStringLiteral("QUESTION"), &TMines::QuestionMarks},
    {QStringLiteral("WINPRESS"), &TMines::WindowsPress},
    {QStringLiteral("CROSS"), &TMines::CrossPointer},
    {QStringLiteral("BORDERS"), &TMines::Borders},
    {QStringLiteral("NEIGHBOURS"), &TMines::ClearNeighbours},
    {QStringLiteral("NOGUESS"), &TMines::NoGuessing},
    {QStringLiteral("COLS"), &TMines::Cols},
    {QStringLiteral("ROWS"), &TMines::Rows},
    {QStringLiteral("MINES"), &TMines::Mines},
    {QStringLiteral("RECNAME"), &TMines::RecordName},
};

// A value that is absent or unusable leaves the field as it is.
void ReadField(const QSettings &store, const QString &name, bool &field)
{
    if (const std::optional<bool> value = ReadStoredBool(store, name))
        field = *value;
}

void ReadField(const QSettings &store, const QString &name, quint8 &field)
{
    // SIZE, COLS and ROWS are held in 8-bit fields: a stored value outside
    // 0..255 (or not an integer) counts as absent instead of wrapping.
    if (const std::optional<int> value = ReadStoredInt(store, name, 0, 255))
        field = static_cast<quint8>(*value);
}

void ReadField(const QSettings &store, const QString &name, int &field)
{
    if (const std::optional<int> value = ReadStoredInt(store, name))
        field = *value;
}

void ReadField(const QSettings &store, const QString &name, QString &field)
{
    // The only text stored is the record name, kept as the New Record
    // dialog would take it.
    if (const std::optional<QString> value = ReadStoredString(store, name))
        field = WithoutControlCharacters(*value).left(RecordNameLength);
}

void WriteField(QSettings &store, const QString &name, bool value)
{
    WriteStoredBool(store, name, value);
}

void WriteField(QSettings &store, const QString &name, int value)
{
    WriteStoredInt(store, name, value);
}

void WriteField(QSettings &store, const QString &name, const QString &value)
{
    WriteStoredString(store, name, value.left(RecordNameLength));
}

} // namespace

void TMines::LoadSettings()
{
    const std::unique_ptr<QSettings> store = Settings.Open();
    for (const TStoredField &stored : StoredFields)
        std::visit([&](auto field) { ReadField(*store, stored.Key, this->*field); }, stored.Field);
    // A level above Custom would keep the stored board like Custom does;
    // say so, so that the Game menu shows which level is in play.
    if (Level > LevelCustom)
        Level = LevelCustom;
    if (Cols > BoardLimits.MaxCols)
        Cols = static_cast<quint8>(BoardLimits.MaxCols);
    if (Rows > BoardLimits.MaxRows)
        Rows = static_cast<quint8>(BoardLimits.MaxRows);
    ApplyLevel(Level);
    // Only what cannot be played is repaired: columns or rows of 0, mines
    // not between 1 and cells - 1.
    MendBoard();
}

bool TMines::SaveSettings() const
{
    const std::unique_ptr<QSettings> store = Settings.Open();
    for (const TStoredField &stored : StoredFields)
        std::visit([&](auto field) { WriteField(*store, stored.Key, this->*field); }, stored.Field);
    store->sync();
    return store->status() == QSettings::NoError;
}
