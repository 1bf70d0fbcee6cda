#pragma once

// ReadModuleFile, DecoderOptions: a module file as the decoder is given it.

#include <QByteArray>
#include <QString>

#include <map>
#include <string>

// The whole file at path, when it can be a module: a regular file (a named
// pipe would wait for a writer for ever) no larger than any tracker module
// is.  False with the reason in error otherwise.
bool ReadModuleFile(const QString &path, QByteArray &bytes, QString &error);

// The decoder's load options for reading little more than a module's
// descriptions (title, format): no samples and no patterns.
std::map<std::string, std::string> DescriptionOnlyOptions();
