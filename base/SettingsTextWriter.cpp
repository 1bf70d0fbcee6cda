// Writing the settings text as Qt writes it, and the format QSettings uses.
#include "base/SettingsFormat.h"

#include <QDataStream>

namespace
{

bool IsHexDigitCharacter(char16_t c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

void AppendHexEscape(QByteArray &out, char16_t c)
{
    out += "\\x";
    out += QByteArray::number(uint(c), 16);
}

// Escapes text for a value.  Characters above 126 go as UTF-8 into plain
// text and as escapes into the serialized forms, whose bytes are Latin-1.
void AppendEscaped(QByteArray &out, const QString &text)
{
    const bool utf8 = !(text.startsWith(QLatin1String("@ByteArray(")) ||
                        text.startsWith(QLatin1String("@Variant(")) ||
                        text.startsWith(QLatin1String("@DateTime(")));
    const qsizetype start = out.size();
    bool needsQuotes = false;
    bool escapeHexDigit = false; // a hex digit after an escape would join it
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == ';' || c == ',' || c == '=')
            needsQuotes = true;
        if (escapeHexDigit && IsHexDigitCharacter(c)) {
            AppendHexEscape(out, c);
            continue;
        }
        escapeHexDigit = false;
        static const char simpleEscapes[][2] = {{'\a', 'a'}, {'\b', 'b'}, {'\f', 'f'},
                                                {'\n', 'n'}, {'\r', 'r'}, {'\t', 't'},
                                                {'\v', 'v'}, {'"', '"'},  {'\\', '\\'}};
        bool escaped = false;
        for (const auto &pair : simpleEscapes) {
            if (c == char16_t(pair[0])) {
                out += '\\';
                out += pair[1];
                escaped = true;
                break;
            }
        }
        if (escaped)
            continue;
        if (c == 0) {
            out += "\\0";
            escapeHexDigit = true;
        } else if (c < 0x20 || (!utf8 && c >= 0x7F) || c == 0xFEFF) {
            // A byte-order mark as UTF-8 would be dropped by Qt's reader.
            AppendHexEscape(out, c);
            escapeHexDigit = true;
        } else if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
                   text[i + 1].isLowSurrogate()) {
            out += QStringView(text).sliced(i, 2).toUtf8();
            ++i;
        } else if (QChar::isSurrogate(c)) {
            AppendHexEscape(out, c); // half a pair has no UTF-8
            escapeHexDigit = true;
        } else if (c < 0x80) {
            out += char(c);
        } else {
            out += QStringView(text).sliced(i, 1).toUtf8();
        }
    }
    if (needsQuotes || (out.size() > start && (out[start] == ' ' || out.back() == ' '))) {
        out.insert(start, '"');
        out += '"';
    }
}

void AppendList(QByteArray &out, const QStringList &items)
{
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (i > 0)
            out += ", ";
        AppendEscaped(out, items[i]);
    }
}

QString WithEscapedAt(const QString &text)
{
    return text.startsWith(u'@') ? u'@' + text : text;
}

QString SerializedForm(const QVariant &value)
{
    if (value.typeId() == QMetaType::QByteArray) {
        const QByteArray bytes = value.toByteArray();
        return QLatin1String("@ByteArray(") + QString::fromLatin1(bytes) + u')';
    }
    QByteArray bytes;
    {
        QDataStream stream(&bytes, QIODevice::WriteOnly);
        stream.setVersion(QDataStream::Qt_4_0);
        stream << value;
    }
    return QLatin1String("@Variant(") + QString::fromLatin1(bytes) + u')';
}

bool IsPlainType(int typeId)
{
    switch (typeId) {
    case QMetaType::QString:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

void AppendValue(QByteArray &out, const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<TSerializedValue>()) {
        AppendList(out, value.value<TSerializedValue>().Parts);
    } else if (value.typeId() == QMetaType::QStringList) {
        QStringList items = value.toStringList();
        if (items.isEmpty()) {
            out += "@Invalid()";
            return;
        }
        for (QString &item : items)
            item = WithEscapedAt(item);
        AppendList(out, items);
    } else if (!value.isValid()) {
        out += "@Invalid()";
    } else if (IsPlainType(value.typeId())) {
        AppendEscaped(out, WithEscapedAt(value.toString()));
    } else {
        AppendEscaped(out, SerializedForm(value));
    }
}

// A key's characters outside letters, digits, "_", "-" and "." as "%XX" or
// "%UXXXX"; "/" as "\".
void AppendEscapedKey(QByteArray &out, const QString &key)
{
    for (const QChar ch : key) {
        const char16_t c = ch.unicode();
        if (c == '/') {
            out += '\\';
        } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                   c == '_' || c == '-' || c == '.') {
            out += char(c);
        } else if (c <= 0xFF) {
            out += '%';
            out += QByteArray::number(uint(c), 16).toUpper().rightJustified(2, '0');
        } else {
            out += "%U";
            out += QByteArray::number(uint(c), 16).toUpper().rightJustified(4, '0');
        }
    }
}

void AppendSectionHeader(QByteArray &out, const QString &section)
{
    if (!out.isEmpty())
        out += '\n';
    if (section.isEmpty()) {
        out += "[General]\n";
        return;
    }
    QByteArray name;
    AppendEscapedKey(name, section);
    out += '[';
    if (name.compare("general", Qt::CaseInsensitive) == 0)
        out += '%';
    out += name;
    out += "]\n";
}

} // namespace

QByteArray SettingsText(const QSettings::SettingsMap &map)
{
    // The top level first, as "[General]", then each group in turn.
    QMap<QString, QList<QSettings::SettingsMap::const_iterator>> sections;
    for (auto it = map.begin(); it != map.end(); ++it) {
        const qsizetype slash = it.key().indexOf(u'/');
        sections[slash < 0 ? QString() : it.key().first(slash)].append(it);
    }
    QByteArray out;
    for (auto section = sections.begin(); section != sections.end(); ++section) {
        AppendSectionHeader(out, section.key());
        const qsizetype prefix = section.key().isEmpty() ? 0 : section.key().size() + 1;
        for (const auto &entry : section.value()) {
            AppendEscapedKey(out, entry.key().sliced(prefix));
            out += '=';
            AppendValue(out, entry.value());
            out += '\n';
        }
    }
    return out;
}

bool ReadSettingsDevice(QIODevice &device, QSettings::SettingsMap &map)
{
    if (device.size() > MaxSettingsFileSize)
        return false;
    const QByteArray text = device.read(MaxSettingsFileSize + 1);
    if (text.size() > MaxSettingsFileSize)
        return false;
    map = ParseSettingsText(text);
    return true;
}

bool WriteSettingsDevice(QIODevice &device, const QSettings::SettingsMap &map)
{
    const QByteArray text = SettingsText(map);
    return device.write(text) == text.size();
}

QSettings::Format PlainSettingsFormat()
{
    static const QSettings::Format format = QSettings::registerFormat(
        QStringLiteral("conf"), ReadSettingsDevice, WriteSettingsDevice, Qt::CaseSensitive);
    return format;
}
