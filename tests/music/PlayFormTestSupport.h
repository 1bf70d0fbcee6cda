#pragma once

// Drives the play-list window as a person would, without a person: the file
// dialogs answer from a script and the modal run is closed from a timer.

#include "MusicTestSupport.h"
#include "base/Random.h"
#include "controls/UpDown.h"
#include "music/Music.h"
#include "music/PlayForm.h"
#include "music/PlayListDialogs.h"

#include <QAction>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

// Answers each dialog with the next prepared answer (cancelled when none is
// left) and notes which dialogs were asked.
class TScriptedDialogs : public TPlayListDialogs
{
public:
    QList<QStringList> ModuleAnswers;
    QStringList LoadAnswers;
    QStringList SaveAnswers;
    QStringList Asked;

    QStringList ChooseModules(QWidget *) override
    {
        Asked << QStringLiteral("modules");
        return ModuleAnswers.isEmpty() ? QStringList() : ModuleAnswers.takeFirst();
    }
    QString ChooseListToLoad(QWidget *) override
    {
        Asked << QStringLiteral("load");
        return LoadAnswers.isEmpty() ? QString() : LoadAnswers.takeFirst();
    }
    QString ChooseListToSave(QWidget *) override
    {
        Asked << QStringLiteral("save");
        return SaveAnswers.isEmpty() ? QString() : SaveAnswers.takeFirst();
    }
};

// A module header of the kind the name asks for: enough for its title.
inline QByteArray ModHeader(const QByteArray &title)
{
    return title.leftJustified(20, '\0', true) + QByteArray(100, 'x');
}

// Writes "<title>.mod" for every title (unless it is there) and appends an
// entry for it to the player's list.
inline void FillPlayer(TMusic &music, const TTestFolder &folder, const QStringList &titles)
{
    TPlayList list;
    list.Assign(music.List());
    for (const QString &title : titles) {
        const QString name = title + QStringLiteral(".mod");
        if (!QFileInfo::exists(folder.File(name)))
            folder.Write(name, ModHeader(title.toLatin1()));
        AddFiles(list, {folder.File(name)}, music.Sound().SoundModule());
    }
    music.ReplaceList(list, -1);
}

// The player's list stays; the entry to load next becomes index.
inline void StartAt(TMusic &music, int index)
{
    music.ReplaceList(music.List(), index);
}

inline QStringList TitlesOf(const TPlayList &list)
{
    QStringList titles;
    for (int i = 0; i < list.Count(); ++i)
        titles << list.Items(i).TitleText();
    return titles;
}

inline QListWidget *ListOf(TPlayForm &form)
{
    return form.findChild<QListWidget *>(QStringLiteral("PlayList"));
}

inline QComboBox *ComboOf(TPlayForm &form)
{
    return form.findChild<QComboBox *>(QStringLiteral("PlayCombo"));
}

// The three views in one line: every title, "*" after a selected one, ">"
// before the start entry.  When the views disagree, says where instead.
inline QString Picture(TPlayForm &form)
{
    QListWidget *list = ListOf(form);
    QComboBox *combo = ComboOf(form);
    const TPlayListEditor &edit = form.Editor();
    const int count = edit.Count();
    if (list->count() != count || combo->count() != count)
        return QStringLiteral("views differ in length");
    if (combo->currentIndex() != edit.StartIndex())
        return QStringLiteral("start entries differ");
    QStringList words;
    for (int i = 0; i < count; ++i) {
        const QString title = edit.Entries().Items(i).TitleText();
        if (list->item(i)->text() != title || combo->itemText(i) != title)
            return QStringLiteral("titles differ at %1").arg(i);
        if (list->item(i)->isSelected() != edit.IsSelected(i))
            return QStringLiteral("selection differs at %1").arg(i);
        words << (i == edit.StartIndex() ? QStringLiteral(">") : QString()) + title +
                     (edit.IsSelected(i) ? QStringLiteral("*") : QString());
    }
    return words.join(QLatin1Char(' '));
}

// Selects exactly the given rows, as Ctrl+clicks in the list would.
inline void SelectRows(TPlayForm &form, const QList<int> &rows)
{
    QListWidget *list = ListOf(form);
    list->clearSelection();
    for (int row : rows)
        list->selectionModel()->select(list->model()->index(row, 0), QItemSelectionModel::Select);
}

// One step of a scripted session: a menu item or button by its name, or
// "up", "down", "select:1,2", "dblclick:3", "combo:2".
inline void Command(TPlayForm &form, const QString &step)
{
    const QString name = step.section(QLatin1Char(':'), 0, 0);
    const QString argument = step.section(QLatin1Char(':'), 1);
    auto *upDown = form.findChild<TUpDown *>(QStringLiteral("UpDown1"));
    if (name == QLatin1String("up")) {
        upDown->UpperArrow()->click();
    } else if (name == QLatin1String("down")) {
        upDown->LowerArrow()->click();
    } else if (name == QLatin1String("select")) {
        QList<int> rows;
        for (const QString &row : argument.split(QLatin1Char(','), Qt::SkipEmptyParts))
            rows << row.toInt();
        SelectRows(form, rows);
    } else if (name == QLatin1String("dblclick")) {
        QListWidget *list = ListOf(form);
        QListWidgetItem *item = list->item(argument.toInt());
        list->scrollToItem(item);
        const QPoint centre = list->visualItemRect(item).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
    } else if (name == QLatin1String("combo")) {
        ComboOf(form)->setCurrentIndex(argument.toInt());
    } else if (auto *action = form.findChild<QAction *>(name)) {
        action->trigger();
    } else if (auto *button = form.findChild<QPushButton *>(name)) {
        button->click();
    } else {
        QFAIL(qPrintable("no command " + step));
    }
}

// Runs the window modally on music, shuffling with `random` (a generator of
// its own when none is given); steps run once it is shown.  A window the
// steps left open is cancelled.  Returns Execute's answer.
inline bool RunForm(TPlayForm &form, TMusic &music, const std::function<void()> &steps,
                    TRandom *random = nullptr)
{
    TRandom own;
    QTimer::singleShot(0, &form, [&form, steps] {
        steps();
        if (form.isVisible())
            form.reject();
    });
    return form.Execute(music, random ? *random : own);
}
