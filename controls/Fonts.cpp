#include "controls/Fonts.h"

#include <QFontDatabase>
#include <QHash>
#include <QStringList>

namespace
{
const QString DialogFace = QStringLiteral("MS Sans Serif");

// Each design face, with the faces that stand for it in its widths.
const QHash<QString, QStringList> &StandIns()
{
    static const QHash<QString, QStringList> standIns = {
        {QStringLiteral("Courier New"), {QStringLiteral("Liberation Mono")}},
        {QStringLiteral("Times New Roman"), {QStringLiteral("Liberation Serif")}},
        {DialogFace,
         {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"),
          QStringLiteral("Arial")}},
        {QStringLiteral("Stucco 555"), {QStringLiteral("DejaVu Sans")}},
    };
    return standIns;
}
} // namespace

// A face asked for by a name that is not installed sends the font system on
// a search for look-alikes, for every size and style asked for; at start
// that search is most of the time the window takes to build.  Naming an
// installed family skips it, and the installed list is read once.
QString InstalledFace(const QString &face)
{
    static const QStringList installed = QFontDatabase::families();
    static QHash<QString, QString> chosen;
    const auto known = chosen.constFind(face);
    if (known != chosen.cend())
        return *known;
    QString family = face;
    if (!installed.contains(face))
        for (const QString &standIn : StandIns().value(face))
            if (installed.contains(standIn)) {
                family = standIn;
                break;
            }
    chosen.insert(face, family);
    return family;
}

QFont PixelFont(const QString &face, int pixels, bool bold, bool italic)
{
    QFont font(InstalledFace(face));
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

QFont PointFont(const QString &face, int points, bool bold)
{
    QFont font(InstalledFace(face));
    font.setPointSize(points);
    font.setBold(bold);
    return font;
}

QFont DialogFont(int pixelSize, bool bold, bool italic)
{
    return PixelFont(DialogFace, pixelSize, bold, italic);
}
