#include "music/PlayListDialogs.h"

#include "base/Constants.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace
{

const char *const ModulesTitle = "Open Tracker Modules";
const char *const LoadTitle = "Load Playlist";
const char *const SaveTitle = "Save Playlist";

const char *const ModuleFilterPairs =
    "Protracker Modules *.MOD|*.MOD|Fast Tracker 2 Modules *.XM|*.XM|Scream Tracker 3 Modules "
    "*.S3M|*.S3M|Impulse Tracker Modules *.IT|*.IT|All Tracker Modules *.MOD; *.XM; *.S3M; "
    "*.IT|*.MOD; *.XM; *.S3M; *.IT";
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

void Prepare(QFileDialog &dialog, const QStringList &filters)
{
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(filters);
}

} // namespace

QStringList TFileDialogs::ChooseModules(QWidget *parent)
{
    QFileDialog dialog(parent, QString::fromLatin1(ModulesTitle), LastFolder);
    const QStringList filters = FiltersFromPairs(ModuleFilterPairs);
    Prepare(dialog, filters);
    dialog.selectNameFilter(filters.last()); // all tracker modules
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
