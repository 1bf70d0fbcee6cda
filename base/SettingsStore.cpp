#include "base/SettingsStore.h"

#include "base/SafeFile.h"
#include "base/SettingsFormat.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <utility>

namespace
{

const QString Organization = QStringLiteral("Olvane");
const QString Application = QStringLiteral("Ferrox");

// Longer than any file system allows for one name: a path that holds it can
// never be opened, created or waited on.
QString UnopenableName()
{
    return QString(1000, u'x');
}

#if !defined(Q_OS_WIN) && !defined(Q_OS_DARWIN)

// Qt tells where the native store lies only through a QSettings made for it,
// and making one reads the file: a named pipe there would hold the program
// for ever.  So the question is asked for a name no file can have, and the
// answer taken apart.
std::optional<QString> NativeStorePath()
{
    const QString name = UnopenableName();
    const QSettings probe(QSettings::NativeFormat, QSettings::UserScope, name, name);
    const QString tail = name + u'/' + name + QStringLiteral(".conf");
    QString path = probe.fileName();
    if (!path.endsWith(tail))
        return std::nullopt;
    path.chop(tail.size());
    return path + Organization + u'/' + Application + QStringLiteral(".conf");
}

#endif

void ReportRefused(const QString &path, const char *reason)
{
    std::fprintf(stderr,
                 "Ferrox: the settings file \"%s\" %s; it is left as it is and the defaults "
                 "are used.\n",
                 qPrintable(path), reason);
}

// The reason a settings file is not to be touched, or null.
const char *Refusal(const QString &path)
{
    if (!IsRegularFileOrAbsent(path))
        return "is not a regular file";
    if (const QFileInfo info(path); info.exists() && info.size() > MaxSettingsFileSize)
        return "is larger than 1 MB";
    return nullptr;
}

// A store under a name that cannot exist: nothing to read, and a write
// fails before it could touch anything.
std::unique_ptr<QSettings> NowhereStore(const QString &near)
{
    return std::make_unique<QSettings>(near + u'/' + UnopenableName(), PlainSettingsFormat());
}

bool IsSerialized(const QVariant &value)
{
    return value.metaType() == QMetaType::fromType<TSerializedValue>();
}

} // namespace

TSettingsStore::TSettingsStore() : RefusalReported(std::make_shared<bool>(false)) {}

TSettingsStore::TSettingsStore(const QString &path)
    : Kind(TKind::skFile), Path(path), RefusalReported(std::make_shared<bool>(false))
{
}

TSettingsStore TSettingsStore::UserStore()
{
#if !defined(Q_OS_WIN) && !defined(Q_OS_DARWIN)
    if (const std::optional<QString> path = NativeStorePath())
        return TSettingsStore(*path);
#endif
    TSettingsStore store;
    store.Kind = TKind::skNative;
    return store;
}

std::unique_ptr<QSettings> TSettingsStore::Open() const
{
    switch (Kind) {
    case TKind::skNone:
        return NowhereStore(QDir::tempPath());
    case TKind::skNative:
        return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                           Organization, Application);
    case TKind::skFile:
        break;
    }
    const char *refusal = Refusal(Path);
    if (!refusal)
        return std::make_unique<QSettings>(Path, PlainSettingsFormat());
    if (!std::exchange(*RefusalReported, true))
        ReportRefused(Path, refusal);
    return NowhereStore(Path);
}

std::unique_ptr<QSettings> OpenSettingsFile(const QString &path)
{
    if (const char *refusal = Refusal(path)) {
        ReportRefused(path, refusal);
        return NowhereStore(path);
    }
    return std::make_unique<QSettings>(path, PlainSettingsFormat());
}

std::optional<int> ReadStoredInt(const QSettings &store, const QString &name, int min, int max)
{
    if (!store.contains(name))
        return std::nullopt;
    // toString().toInt: QVariant::toInt wraps an overflowing number and still
    // reports success; the string route rejects it, and rejects other types.
    bool ok = false;
    const int value = store.value(name).toString().toInt(&ok);
    if (!ok || value < min || value > max)
        return std::nullopt;
    return value;
}

std::optional<bool> ReadStoredBool(const QSettings &store, const QString &name)
{
    const std::optional<int> value = ReadStoredInt(store, name);
    if (!value)
        return std::nullopt;
    return *value != 0;
}

std::optional<QString> ReadStoredString(const QSettings &store, const QString &name)
{
    if (!store.contains(name))
        return std::nullopt;
    const QVariant value = store.value(name);
    // A file edited by hand may hold an unquoted "a, b", which the reader
    // gives as a list: it is still the text that was written.
    if (value.typeId() == QMetaType::QStringList)
        return ToCodePageText(value.toStringList().join(QStringLiteral(", ")));
    if (IsSerialized(value) || !value.canConvert<QString>())
        return std::nullopt;
    return ToCodePageText(value.toString());
}

void WriteStoredInt(QSettings &store, const QString &name, int value)
{
    store.setValue(name, value);
}

void WriteStoredBool(QSettings &store, const QString &name, bool value)
{
    store.setValue(name, value ? 1 : 0);
}

void WriteStoredString(QSettings &store, const QString &name, const QString &value)
{
    store.setValue(name, ToCodePageText(value));
}
