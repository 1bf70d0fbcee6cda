// Reading the settings text: Qt's INI syntax, every value kept as text.
#include "base/SettingsFormat.h"

#include <QStringDecoder>

#include <cstring>

namespace
{

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsLineBreak(char c)
{
    return c == '\n' || c == '\r';
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IsOctalDigit(char c)
{
    return c >= '0' && c <= '7';
}

// Every character, a byte-order mark in the middle of the text too (the
// plain decoder drops one that starts what it decodes).
QString FromUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

// One logical line: a "[section]" or a "key=value".  A quoted part and an
// escaped line break continue it over the end of a text line.
struct TLine {
    QByteArrayView Text;
    qsizetype Equals = -1; // the first "=" outside quotes, -1 when none
};

class TLineReader
{
public:
    explicit TLineReader(QByteArrayView text) : Text(text) {}

    bool Next(TLine &line)
    {
        SkipBlankLinesAndComments();
        const qsizetype start = Pos;
        bool inQuotes = false;
        line.Equals = -1;
        while (Pos < Text.size()) {
            const char c = Text[Pos];
            if (!inQuotes && (IsLineBreak(c) || c == ';'))
                break;
            if (c == '=' && !inQuotes && line.Equals < 0)
                line.Equals = Pos - start;
            else if (c == '"')
                inQuotes = !inQuotes;
            else if (c == '\\')
                SkipEscapedCharacter();
            ++Pos;
        }
        line.Text = Text.sliced(start, Pos - start);
        return !line.Text.isEmpty();
    }

private:
    void SkipBlankLinesAndComments()
    {
        for (;;) {
            while (Pos < Text.size() && (IsBlank(Text[Pos]) || IsLineBreak(Text[Pos])))
                ++Pos;
            if (Pos >= Text.size() || Text[Pos] != ';')
                return;
            while (Pos < Text.size() && !IsLineBreak(Text[Pos]))
                ++Pos;
        }
    }

    // Leaves Pos on the last byte of the escape: the escaped character, or
    // the second half of an escaped CR LF or LF CR.
    void SkipEscapedCharacter()
    {
        if (Pos + 1 >= Text.size())
            return;
        const char escaped = Text[++Pos];
        if (IsLineBreak(escaped) && Pos + 1 < Text.size() && IsLineBreak(Text[Pos + 1]) &&
            Text[Pos + 1] != escaped)
            ++Pos;
    }

    QByteArrayView Text;
    qsizetype Pos = 0;
};

// "%XX" and "%UXXXX" stand for one character, "\" for "/".
QString UnescapeKey(QByteArrayView bytes)
{
    const QString text = FromUtf8(bytes);
    QString key;
    key.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text[i];
        if (c == u'\\') {
            key += u'/';
            ++i;
            continue;
        }
        if (c == u'%') {
            const bool wide = i + 1 < text.size() && text[i + 1] == u'U';
            const qsizetype first = i + (wide ? 2 : 1);
            const qsizetype digits = wide ? 4 : 2;
            char16_t code = 0;
            qsizetype read = 0;
            while (read < digits && first + read < text.size()) {
                const QChar digit = text[first + read];
                const int value = digit.unicode() < 128 ? HexDigitValue(char(digit.unicode())) : -1;
                if (value < 0)
                    break;
                code = char16_t(code * 16 + value);
                ++read;
            }
            if (read == digits) {
                key += QChar(code);
                i = first + digits;
                continue;
            }
        }
        key += c;
        ++i;
    }
    return key;
}

// "a//b/" as QSettings sees it: "a/b".
QString NormalizedKey(const QString &key)
{
    return key.split(u'/', Qt::SkipEmptyParts).join(u'/');
}

// The characters of one escape after its backslash; returns the position
// after it.  An unknown escape stands for nothing.
qsizetype DecodeEscape(QByteArrayView text, qsizetype i, QString &out)
{
    if (i >= text.size())
        return i;
    const char c = text[i++];
    // The letters of the C escapes and the characters they stand for.
    static constexpr char Letters[] = "abfnrtv";
    static constexpr char16_t Controls[] = u"\a\b\f\n\r\t\v";
    if (const char *letter = c ? std::strchr(Letters, c) : nullptr) {
        out += QChar(Controls[letter - Letters]);
        return i;
    }
    switch (c) {
    case '"':
    case '?':
    case '\'':
    case '\\':
        out += QLatin1Char(c);
        return i;
    case 'x': {
        if (i >= text.size() || HexDigitValue(text[i]) < 0)
            return i;
        char16_t code = 0;
        while (i < text.size() && HexDigitValue(text[i]) >= 0)
            code = char16_t(code * 16 + HexDigitValue(text[i++]));
        out += QChar(code);
        return i;
    }
    case '\n':
    case '\r':
        // The value goes on after the line break.
        if (i < text.size() && IsLineBreak(text[i]) && text[i] != c)
            ++i;
        return i;
    default:
        break;
    }
    if (!IsOctalDigit(c))
        return i;
    char16_t code = char16_t(c - '0');
    while (i < text.size() && IsOctalDigit(text[i]))
        code = char16_t(code * 8 + (text[i++] - '0'));
    out += QChar(code);
    return i;
}

void ChopBlanks(QString &text, qsizetype keep)
{
    qsizetype size = text.size();
    while (size > keep && (text[size - 1] == u' ' || text[size - 1] == u'\t'))
        --size;
    text.truncate(size);
}

// A value's items: one, or several when unquoted commas make it a list.
struct TDecodedValue {
    QStringList Items;
    bool IsList = false;
};

TDecodedValue DecodeValue(QByteArrayView text)
{
    TDecodedValue result;
    QString item;
    qsizetype keep = 0;  // escaped characters are never chopped as blanks
    bool quoted = false; // quotes keep the item's blanks
    bool inQuotes = false;
    qsizetype i = 0;
    const auto skipBlanks = [&] {
        while (i < text.size() && IsBlank(text[i]))
            ++i;
    };
    const auto endItem = [&] {
        if (!quoted)
            ChopBlanks(item, keep);
        result.Items.append(item);
        item.clear();
        keep = 0;
        quoted = false;
    };
    skipBlanks();
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\\') {
            i = DecodeEscape(text, i + 1, item);
            keep = item.size();
        } else if (c == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes)
                skipBlanks();
        } else if (c == ',' && !inQuotes) {
            ++i;
            result.IsList = true;
            endItem();
            skipBlanks();
        } else {
            qsizetype end = i + 1;
            while (end < text.size() && text[end] != '\\' && text[end] != '"' && text[end] != ',')
                ++end;
            item += FromUtf8(text.sliced(i, end - i));
            i = end;
        }
    }
    endItem();
    return result;
}

bool IsSerialized(const QString &item)
{
    return item.startsWith(u'@') && !item.startsWith(QLatin1String("@@"));
}

// "@String(...)" is Qt's plain form of a string that holds a zero character.
bool IsPlainStringForm(const QString &item)
{
    return item.startsWith(QLatin1String("@String(")) && item.endsWith(u')');
}

QVariant StoredValue(const TDecodedValue &decoded)
{
    if (!decoded.IsList && IsPlainStringForm(decoded.Items.front()))
        return decoded.Items.front().sliced(8).chopped(1);
    QStringList items = decoded.Items;
    for (QString &item : items) {
        if (IsSerialized(item))
            return QVariant::fromValue(TSerializedValue{decoded.Items});
        if (item.startsWith(u'@'))
            item.remove(0, 1); // "@@" is an escaped "@"
    }
    if (decoded.IsList)
        return items;
    return items.front();
}

// "[General]" is the top level; "[%General]" a group that is called so.
QString SectionPrefix(QByteArrayView line)
{
    qsizetype end = line.indexOf(']');
    if (end < 0)
        end = line.size();
    const QByteArrayView name = line.sliced(1, end - 1).trimmed();
    if (name.compare("general", Qt::CaseInsensitive) == 0)
        return QString();
    if (name.compare("%general", Qt::CaseInsensitive) == 0)
        return QString::fromLatin1(name.sliced(1)) + u'/';
    return UnescapeKey(name) + u'/';
}

} // namespace

QSettings::SettingsMap ParseSettingsText(QByteArrayView text)
{
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);
    QSettings::SettingsMap map;
    QString section;
    TLineReader reader(text);
    TLine line;
    while (reader.Next(line)) {
        if (line.Text.startsWith('[')) {
            section = SectionPrefix(line.Text);
            continue;
        }
        if (line.Equals < 0)
            continue;
        const QString key =
            NormalizedKey(section + UnescapeKey(line.Text.first(line.Equals).trimmed()));
        if (key.isEmpty())
            continue;
        map.insert(key, StoredValue(DecodeValue(line.Text.sliced(line.Equals + 1))));
    }
    return map;
}
