#pragma once

// The per-user settings store and the readers and writers of its values.

#include <QSettings>
#include <QString>

#include <limits>
#include <memory>
#include <optional>

// The per-user settings store (DESIGN.md "Settings"):
// QSettings(NativeFormat, UserScope, "Olvane", "Ferrox"); the program's key
// "\Software\Olvane\Ferrox" is the store's root, so the model's values
// (SIZE, QUESTION, ... RECNAME) and the player's VOLUME sit at the top level,
// and the sound layer's own set-up in the group "MUSIC_SETUP".
std::unique_ptr<QSettings> OpenSettingsStore();

// Reads an integer value.  A value that is absent, not an integer
// (read with toString().toInt(&ok)), or outside min..max counts as absent.
std::optional<int> ReadStoredInt(const QSettings &store, const QString &name,
                                 int min = std::numeric_limits<int>::min(),
                                 int max = std::numeric_limits<int>::max());

// Reads a boolean stored as an integer: any non-zero integer is true; a value
// that is absent or not an integer counts as absent.
std::optional<bool> ReadStoredBool(const QSettings &store, const QString &name);

// Reads a string value; absent gives nothing.
std::optional<QString> ReadStoredString(const QSettings &store, const QString &name);

// Writers: integers as integers, booleans as the integer 1 or 0, strings as
// Latin-1 text (a character outside Latin-1 becomes "?").
void WriteStoredInt(QSettings &store, const QString &name, int value);
void WriteStoredBool(QSettings &store, const QString &name, bool value);
void WriteStoredString(QSettings &store, const QString &name, const QString &value);

// The text as it survives 8-bit Latin-1 storage: characters outside Latin-1
// become "?".
QString ToLatin1Text(const QString &text);
