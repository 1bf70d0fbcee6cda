#include "controls/FormScaleUnit.h"

#include "model/Rounding.h"

#include <QFont>
#include <QStringList>

double ScaleFactor = 1.0;

void ComputeScaleFactor(double dotsPerInch)
{
    // A screen that reports no density (some virtual displays do) is taken as
    // the design density rather than dividing every font by zero.
    ScaleFactor = dotsPerInch > 0 ? dotsPerInch / 96.0 : 1.0;
}

int ScaledPoints(double points)
{
    return Round(points / ScaleFactor);
}

QFont PixelFont(const QString &family, int pixels, bool bold, bool italic)
{
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

// "MS Sans Serif" is a narrow bitmap face; the system's usual fallback is a
// much wider sans serif that no longer fits the status bar's panels, so the
// nearest narrow faces are named first.  The metric twins of the other faces
// are named too: a face found by name is quicker to load at start than one
// found through the system's fallback search.
void InstallFontSubstitutes()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Microsoft Sans Serif"),
                                QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    QFont::insertSubstitutions(QStringLiteral("Courier New"), {QStringLiteral("Liberation Mono")});
    QFont::insertSubstitutions(QStringLiteral("Times New Roman"),
                               {QStringLiteral("Liberation Serif")});
    QFont::insertSubstitutions(QStringLiteral("Stucco 555"), {QStringLiteral("DejaVu Sans")});
}
