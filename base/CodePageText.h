#pragma once

// Text as the program's 8-bit files and settings hold it: Windows-1252, the
// code page the best-times file was first written in, one byte a character.

#include <QByteArray>
#include <QByteArrayView>
#include <QChar>
#include <QString>

// Stored bytes as text.  Every byte has its own character: 0x80 is "€",
// 0x92 "’", 0x99 "™", and the five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for U+0081, U+008D, U+008F, U+0090
// and U+009D, so that any bytes come back unchanged from ToCodePageBytes.
QString FromCodePageBytes(QByteArrayView bytes);

// The bytes that store `text`: a character the code page does not hold
// becomes one "?" (a character of two UTF-16 units too).
QByteArray ToCodePageBytes(const QString &text);

// The text as it survives 8-bit storage (what FromCodePageBytes gives back
// for ToCodePageBytes).
QString ToCodePageText(const QString &text);

// Whether the code page holds `ch`.
bool IsCodePageCharacter(QChar ch);

// Whether a person may type `ch` into a stored name: the code page holds it
// and it is no control character.
bool IsStorableNameCharacter(QChar ch);

// The text without control characters (U+0000..U+001F, U+007F..U+009F): a
// name typed by a person never holds one, so a stored one that does was
// damaged or made by hand and must not reach the screen.
QString WithoutControlCharacters(const QString &text);
