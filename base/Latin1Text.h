#pragma once

// Text as the program's 8-bit files and settings hold it: Latin-1, one byte
// per character.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The text as it survives 8-bit storage: a character outside Latin-1 becomes
// one "?" (a character of two UTF-16 units too).
QString ToLatin1Text(const QString &text);

// The same text as the bytes that are stored.
QByteArray ToLatin1Bytes(const QString &text);

// Stored bytes as text, one character per byte.
QString FromLatin1Bytes(QByteArrayView bytes);

// The text without control characters (U+0000..U+001F, U+007F..U+009F): a
// name typed by a person never holds one, so a stored one that does was
// damaged or made by hand and must not reach the screen or go back to a file.
QString WithoutControlCharacters(const QString &text);
