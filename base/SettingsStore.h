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
// and the player's MUSIC and VOLUME sit at the top level, and the sound
// layer's own set-up in the group "MUSIC_SETUP".
//
// One is made at start-up and handed down in the environment, like the
// clock and the folders: nothing finds the store by itself, so two stores
// in one process (two games in a test) keep apart.  Each Open reads the
// store as it is now and each owner writes only its own values, so a value
// another copy of the game wrote meanwhile is kept.
//
// Where the system keeps it in a file (on Linux ~/.config/Olvane/Ferrox.conf),
// the file is read and written as plain text (PlainSettingsFormat): no stored
// value is decoded into anything but text.  A file that is no regular file
// (a named pipe, a folder) or is larger than MaxSettingsFileSize is refused:
// it is neither read nor written, the program runs on its defaults, and
// standard error says so once per store.  Elsewhere it is QSettings' native
// store.
class TSettingsStore
{
public:
    // No store: nothing is read and nothing written (tests and benchmarks
    // that do not look at the store).
    TSettingsStore();
    // The store kept in the file at path.
    explicit TSettingsStore(const QString &path);
    // The user's store where the system keeps it (on Linux where
    // QSettings::setPath(NativeFormat, UserScope, ...) points when it is made).
    static TSettingsStore UserStore();

    // The store as it is now; changes are written by sync() or when the
    // QSettings goes.
    std::unique_ptr<QSettings> Open() const;
    // Where it is kept: the file, or empty for none or a native store.
    QString FileName() const { return Path; }

private:
    enum class TKind { skNone, skFile, skNative };
    TKind Kind = TKind::skNone;
    QString Path;
    // Copies of one store say once that its file is refused.
    std::shared_ptr<bool> RefusalReported;
};

// The store kept in the file at `path`, refused as above (and said so each
// time).
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
