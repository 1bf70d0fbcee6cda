#pragma once

// The module formats the decoder of the sound module reads, and the titles
// it reads in files of the formats whose headers the program does not read
// itself.

#include <QString>
#include <QStringList>

#include <optional>

// Every file-name extension the decoder reads, lower case, without the dot.
// The first call asks the sound module (loading it); later calls answer
// from memory.  Empty without the sound module.
QStringList DecoderExtensions();

// Whether the decoder reads files named with this extension (any case).
bool IsDecoderExtension(const QString &extension);

// The title the decoder reads in the module file at path; nothing when the
// file is no module it reads, or there is no sound module.
std::optional<QString> DecoderTitle(const QString &path);
