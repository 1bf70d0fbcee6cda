#pragma once

// The per-user settings store and the readers and writers of its values.

#include "base/CodePageText.h"

#include <QSettings>
#include <QString>

#include <limits>
#include <memory>
#include <optional>

// The per-user settings store: the program's key "\Software\Olvane\Ferrox"
// is the store's root, so the model's values (SIZE, QUESTION, ... RECNAME)
// and the player's VOLUME sit at the top level, and the sound layer's own
// set-up in the group "MUSIC_SETUP".
//
// Where the system keeps it in a file (on Linux ~/.config/Olvane/Ferrox.conf,
// or wherever QSettings::setPath(NativeFormat, UserScope, ...) points), the
// file is read and written as plain text (PlainSettingsFormat): no stored
// value is decoded into anything but text.  A file that is no regular file
// (a named pipe, a folder) or is larger than MaxSettingsFileSize is refused:
// it is neither read nor written, the program runs on its defaults, and
// standard error says so once.  Elsewhere it is QSettings' native store.
std::unique_ptr<QSettings> OpenSettingsStore();

// The store kept in the file at `path`, refused as above.
std::unique_ptr<QSettings> OpenSettingsFile(const QString &path);

// Reads an integer value.  A value that is absent, not an integer
// (read with toString().toInt(&ok)), or outside min..max counts as absent.
std::optional<int> ReadStoredInt(const QSettings &store, const QString &name,
                                 int min = std::numeric_limits<int>::min(),
                                 int max = std::numeric_limits<int>::max());

// Reads a boolean stored as an integer: any non-zero integer is true; a value
// that is absent or not an integer counts as absent.
std::optional<bool> ReadStoredBool(const QSettings &store, const QString &name);

// Reads a string value as 8-bit text (see ToCodePageText); absent, or stored
// in one of Qt's serialized forms, gives nothing.  An unquoted "a, b" is
// still the text that was written.
std::optional<QString> ReadStoredString(const QSettings &store, const QString &name);

// Writers: integers as integers, booleans as the integer 1 or 0, strings as
// 8-bit text (a character the code page does not hold becomes "?").
void WriteStoredInt(QSettings &store, const QString &name, int value);
void WriteStoredBool(QSettings &store, const QString &name, bool value);
void WriteStoredString(QSettings &store, const QString &name, const QString &value);
