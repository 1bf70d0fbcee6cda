#include "music/PlayListDialogs.h"

#include "base/Constants.h"
#include "music/SoundModule.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace
{

const char *const ModulesTitle = "Open Tracker Modules";
const char *const LoadTitle = "Load Playlist";
const char *const SaveTitle = "Save Playlist";

// The four formats whose titles the program reads from their headers.
const char *const ModuleFilterPairs =
    "Protracker Modules *.MOD|*.MOD|Fast Tracker 2 Modules *.XM|*.XM|Scream Tracker 3 Modules "
    "*.S3M|*.S3M|Impulse Tracker Modules *.IT|*.IT";
const char *const AllModulesCaption = "All modules";
const char *const LoadFilterPairs = "WinAMP compatible PlayList *.M3U|*.M3U";
const char *const SaveFilterPairs = "WinAMP compatible playlist *.M3U|*.M3U";

const char *const ListSuffix = "M3U";

// The toolkit wants "description (pattern pattern)"; the description
// already names its patterns, so the dialogs hide the bracketed copy.
QStringList FiltersFromPairs(const char *pairs)
{
    const QStringList parts = QString::fromLatin1(pairs).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString &pattern : patterns)
            pattern = pattern.trimmed();
        filters << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    return filters;
}

// Every pattern of the four formats, then one for each other extension.
QStringList AllModulePatterns(const QStringList &decoderExtensions)
{
    QStringList patterns;
    for (const QString &pair : QString::fromLatin1(ModuleFilterPairs).split(QLatin1Char('|')))
        if (pair.startsWith(QLatin1Char('*')))
            patterns << pair;
    for (const QString &extension : decoderExtensions) {
        const QString pattern = QStringLiteral("*.") + extension;
        if (!patterns.contains(pattern, Qt::CaseInsensitive))
            patterns << pattern;
    }
    return patterns;
}

void Prepare(QFileDialog &dialog, const QStringList &filters)
{
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(filters);
}

} // namespace

QStringList ModuleNameFilters(const QStringList &decoderExtensions)
{
    return QStringList{QString::fromLatin1(AllModulesCaption) + QStringLiteral(" (") +
                       AllModulePatterns(decoderExtensions).join(QLatin1Char(' ')) +
                       QLatin1Char(')')} +
           FiltersFromPairs(ModuleFilterPairs);
}

QStringList TFileDialogs::ChooseModules(QWidget *parent)
{
    QFileDialog dialog(parent, QString::fromLatin1(ModulesTitle), LastFolder);
    const QStringList filters = ModuleNameFilters(Sound.DecoderExtensions());
    Prepare(dialog, filters);
    dialog.selectNameFilter(filters.first()); // all modules
    dialog.setFileMode(QFileDialog::ExistingFiles);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QStringList files = dialog.selectedFiles();
    Remember(files.first());
    return files;
}

QString TFileDialogs::ChooseListToLoad(QWidget *parent)
{
    QFileDialog dialog(parent, QString::fromLatin1(LoadTitle), LastFolder);
    Prepare(dialog, FiltersFromPairs(LoadFilterPairs));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QString::fromLatin1(ListSuffix));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    Remember(dialog.selectedFiles().first());
    return dialog.selectedFiles().first();
}

QString TFileDialogs::ChooseListToSave(QWidget *parent)
{
    QFileDialog dialog(parent, QString::fromLatin1(SaveTitle), LastFolder);
    Prepare(dialog, FiltersFromPairs(SaveFilterPairs));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QString::fromLatin1(ListSuffix));
    dialog.selectFile(DefaultPlayListName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    Remember(dialog.selectedFiles().first());
    return dialog.selectedFiles().first();
}

// Moving the working directory to the chosen folder would also move where
// the program's own files are written; the folder is kept for the next
// dialog instead.
void TFileDialogs::Remember(const QString &chosenFile)
{
    LastFolder = QFileInfo(chosenFile).absolutePath();
}
