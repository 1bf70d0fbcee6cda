#include "model/SettingsStore.h"

std::unique_ptr<QSettings> OpenSettingsStore()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("Olvane"), QStringLiteral("Ferrox"));
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
    // An INI file edited by hand may hold an unquoted "a, b", which QSettings
    // reads as a list: it is still the text that was written.
    if (value.typeId() == QMetaType::QStringList)
        return ToLatin1Text(value.toStringList().join(QStringLiteral(", ")));
    if (!value.canConvert<QString>())
        return std::nullopt;
    return ToLatin1Text(value.toString());
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
    store.setValue(name, ToLatin1Text(value));
}

QString ToLatin1Text(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch.unicode() <= 0xFF) {
            result.append(ch);
            continue;
        }
        // One "?" per character: a surrogate pair is one character.
        if (ch.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        result.append(QLatin1Char('?'));
    }
    return result;
}
