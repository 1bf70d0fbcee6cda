#pragma once

// The file dialogs of the play-list window, behind one face that tests
// replace so that no dialog waits for a person.

#include <QString>
#include <QStringList>

class QWidget;
class TSoundModule;

// Each call shows one modal dialog and returns what was chosen; an empty
// answer means the dialog was cancelled.
class TPlayListDialogs
{
public:
    virtual ~TPlayListDialogs() = default;

    // "Open Tracker Modules": existing module files, several at once, in
    // the dialog's order.
    virtual QStringList ChooseModules(QWidget *parent) = 0;
    // "Load Playlist": one existing play-list file.
    virtual QString ChooseListToLoad(QWidget *parent) = 0;
    // "Save Playlist": the file to write; an existing one only after the
    // user agreed to overwrite it.
    virtual QString ChooseListToSave(QWidget *parent) = 0;
};

// The module dialog's filters: "All modules" (the four formats whose
// headers the program reads, and every other extension the decoder reads),
// then one for each of the four.
QStringList ModuleNameFilters(const QStringList &decoderExtensions);

// The toolkit's file dialogs.  None changes the working directory; each
// opens in the folder of the file last chosen in any of them, at first in
// the working directory.  The module dialog asks the sound module for the
// formats its decoder reads the first time it is shown.
class TFileDialogs : public TPlayListDialogs
{
public:
    explicit TFileDialogs(TSoundModule &sound) : Sound(sound) {}

    QStringList ChooseModules(QWidget *parent) override;
    QString ChooseListToLoad(QWidget *parent) override;
    QString ChooseListToSave(QWidget *parent) override;

    // The folder the next dialog opens in; empty means the working directory.
    QString Folder() const { return LastFolder; }

private:
    void Remember(const QString &chosenFile);

    TSoundModule &Sound;
    QString LastFolder;
};
