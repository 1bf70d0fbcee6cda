#include "sound/ModuleFile.h"

#include <QFile>
#include <QFileInfo>

namespace
{

// Tracker modules are small; a bigger file is not one, and reading it
// whole would only waste memory.
constexpr qint64 LargestModuleBytes = 64 * 1024 * 1024;

} // namespace

bool ReadModuleFile(const QString &path, QByteArray &bytes, QString &error)
{
    if (!QFileInfo(path).isFile()) {
        error = QStringLiteral("The file is not a regular file.");
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    if (file.size() > LargestModuleBytes) {
        error = QStringLiteral("The file is too large for a module.");
        return false;
    }
    bytes = file.readAll();
    return true;
}

// Not the plug-ins as well: a decoder told to skip all three only checks
// that the header is one it knows, and reads not even the title.
std::map<std::string, std::string> DescriptionOnlyOptions()
{
    return {
        {"load.skip_samples", "1"}, {"load.skip_patterns", "1"}, {"load.skip_subsongs_init", "1"}};
}
