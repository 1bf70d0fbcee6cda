#pragma once

// The settings file as text: the INI form Qt writes for whole numbers,
// strings and lists, read and written by the program itself so that no
// stored value is ever decoded into anything but plain text.

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QMetaType>
#include <QSettings>
#include <QStringList>

// Larger settings files are refused unread: ours holds a few hundred bytes.
inline constexpr qint64 MaxSettingsFileSize = 1024 * 1024;

// A value stored in one of Qt's serialized forms ("@Variant(...)",
// "@ByteArray(...)", "@Rect(...)" and the like), kept as its text so that it
// is written back unchanged.  It is never decoded: such text in a hand-made
// file can ask for gigabytes.  The store's readers take it as absent.
struct TSerializedValue {
    // The value's text with the file's escapes undone; the items of a list.
    QStringList Parts;

    bool operator==(const TSerializedValue &other) const { return Parts == other.Parts; }
};
Q_DECLARE_METATYPE(TSerializedValue)

// Parses settings text.  A key's value becomes a QString, a QStringList (an
// unquoted "a, b") or a TSerializedValue.  Keys are normalized as QSettings
// normalizes them ("a//b/" is "a/b"); a line that is no "key=value" and no
// "[section]" is skipped.
QSettings::SettingsMap ParseSettingsText(QByteArrayView text);

// The text of a map, as Qt writes it: "[General]" first, then one section
// per group.  Values other than text, numbers, lists and TSerializedValue are
// written in Qt's serialized forms.
QByteArray SettingsText(const QSettings::SettingsMap &map);

// The two functions of the format, for QSettings: reading refuses a device of
// more than MaxSettingsFileSize bytes.
bool ReadSettingsDevice(QIODevice &device, QSettings::SettingsMap &map);
bool WriteSettingsDevice(QIODevice &device, const QSettings::SettingsMap &map);

// The format, registered with QSettings on first use (extension "conf").
QSettings::Format PlainSettingsFormat();
