#include "base/Latin1Text.h"

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
        if (ch.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        result.append(QLatin1Char('?'));
    }
    return result;
}

QByteArray ToLatin1Bytes(const QString &text)
{
    return ToLatin1Text(text).toLatin1();
}

QString FromLatin1Bytes(QByteArrayView bytes)
{
    return QString::fromLatin1(bytes.data(), bytes.size());
}

QString WithoutControlCharacters(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar ch : text) {
        if (ch.category() != QChar::Other_Control)
            result.append(ch);
    }
    return result;
}
