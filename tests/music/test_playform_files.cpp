// The play-list window's files: modules added through the module dialog,
// play lists loaded and saved, and the dialogs themselves.
#include "PlayFormTestSupport.h"
#include "support/MessageRecorder.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>

namespace
{

const QString EmptyList = QStringLiteral("The playlist is empty!");

QStringList Words(const QString &text)
{
    return text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QByteArray S3mHeader(const QByteArray &title)
{
    return title.leftJustified(28, '\0', true) + '\x1a' + QByteArray(100, 'x');
}

// Writes the module files the tests choose from: x.mod, y.s3m, a file too
// short for a title and a file of another kind.
void WriteChoices(const TTestFolder &folder)
{
    folder.Write("x.mod", ModHeader("x"));
    folder.Write("y.s3m", S3mHeader("y"));
    folder.Write("short.mod", QByteArray(19, 'x'));
    folder.Write("notes.txt", ModHeader("notes"));
}

TScriptedDialogs *ScriptDialogs(TPlayForm &form)
{
    auto dialogs = std::make_unique<TScriptedDialogs>();
    TScriptedDialogs *script = dialogs.get();
    form.SetFileDialogs(std::move(dialogs));
    return script;
}

QStringList InFolder(const TTestFolder &folder, const QStringList &names)
{
    QStringList paths;
    for (const QString &name : names)
        paths << folder.File(name);
    return paths;
}

// The names a file dialog lists in its folder.
QStringList ShownNames(QFileDialog *dialog)
{
    auto *view = dialog->findChild<QListView *>(QStringLiteral("listView"));
    QStringList names;
    for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
        names << view->model()->index(row, 0, view->rootIndex()).data().toString();
    names.sort();
    return names;
}

// Answers the next file dialog that opens: checks run on it, then it is
// accepted with `chosen` (one name, or several quoted) or, when empty,
// cancelled.
void AnswerFileDialog(const std::function<void(QFileDialog *)> &checks, const QString &chosen)
{
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, checks, chosen] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        poll->deleteLater();
        poll->stop();
        checks(dialog);
        if (chosen.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(chosen);
        QMetaObject::invokeMethod(dialog, "accept");
        if (dialog->isVisible())
            dialog->reject(); // not taken: the test sees an empty answer
    });
    poll->start(10);
}

} // namespace

class TestPlayFormFiles : public QObject
{
    Q_OBJECT

private slots:
    void addAppendsReadableModules_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QStringList>("chosen");
        QTest::addColumn<QString>("expected");
        QTest::newRow("in the dialog's order") << "" << QStringList{"y.s3m", "x.mod"} << ">y x";
        QTest::newRow("the same file twice") << "" << QStringList{"x.mod", "x.mod"} << ">x x";
        QTest::newRow("unreadable files are skipped")
            << "" << QStringList{"short.mod", "x.mod", "notes.txt", "missing.mod", "y.s3m"}
            << ">x y";
        QTest::newRow("nothing readable") << "" << QStringList{"short.mod"} << "";
        QTest::newRow("after the entries, start kept") << "a b" << QStringList{"x.mod"} << "a >b x";
    }

    void addAppendsReadableModules()
    {
        QFETCH(QString, before);
        QFETCH(QStringList, chosen);
        QFETCH(QString, expected);
        TTestFolder folder;
        WriteChoices(folder);
        MessageRecorder boxes;
        TMusic music(folder.Sound, folder.Store);
        FillPlayer(music, folder, Words(before));
        StartAt(music, 1);
        TPlayForm form(folder.Sound);
        ScriptDialogs(form)->ModuleAnswers << InFolder(folder, chosen);
        QString picture;
        RunForm(form, music, [&] {
            Command(form, "BitBtn5");
            picture = Picture(form);
        });
        QCOMPARE(picture, expected);
        QVERIFY(boxes.boxes.isEmpty());
    }

    void cancelledDialogsChangeNothing()
    {
        TTestFolder folder;
        MessageRecorder boxes;
        TMusic music(folder.Sound, folder.Store);
        FillPlayer(music, folder, Words("a b c"));
        TPlayForm form(folder.Sound);
        TScriptedDialogs *script = ScriptDialogs(form);
        QString picture;
        RunForm(form, music, [&] {
            Command(form, "select:1");
            for (const char *command : {"BitBtn5", "MFLoad", "MFSave"})
                Command(form, command);
            picture = Picture(form);
        });
        QCOMPARE(script->Asked, (QStringList{"modules", "load", "save"}));
        QCOMPARE(picture, ">a b* c");
        QVERIFY(boxes.boxes.isEmpty());
    }

    void loadedRelativeEntriesPlayFromTheirFolder()
    {
        TTestFolder folder;
        QVERIFY(folder.Write("mods/a.mod", TinyModule("a", 64, 31)));
        QVERIFY(folder.Write("mods/b.mod", TinyModule("b", 64, 31)));
        const QByteArray absolute = QFile::encodeName(folder.File("mods/b.mod"));
        QVERIFY(folder.Write("lists/list.m3u",
                             "#EXTM3U\r\n../mods/a.mod\r\nmissing.mod\r\n" + absolute + "\r\n"));
        QVERIFY(QDir().mkpath(folder.File("elsewhere")));
        QDir::setCurrent(folder.File("elsewhere"));
        MessageRecorder boxes;
        TMusic music(folder.Sound, folder.Store);
        FillPlayer(music, folder, Words("old"));
        TPlayForm form(folder.Sound);
        ScriptDialogs(form)->LoadAnswers << folder.File("lists/list.m3u");
        QString picture;
        QVERIFY(RunForm(form, music, [&] {
            Command(form, "select:0");
            Command(form, "MFLoad");
            picture = Picture(form);
            Command(form, "BitBtn1");
        }));
        QCOMPARE(picture, ">a b");
        QCOMPARE(music.List().Items(0).FileName, QByteArray("../mods/a.mod"));
        QCOMPARE(QDir::currentPath(), folder.File("elsewhere"));
        // The player finds the relative entry although the working
        // directory is elsewhere.
        QVERIFY(PlayHeard(music));
        QCOMPARE(music.PlayingTitle(), QString("a"));
        QVERIFY(boxes.boxes.isEmpty());
    }

    void failedLoadLeavesTheListEmpty_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing file") << "gone.m3u"
                                      << "Sorry, Playlist \"%1\" does not exist!";
        QTest::newRow("a folder") << "folder.m3u"
                                  << "";
    }

    void failedLoadLeavesTheListEmpty()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        TTestFolder folder;
        QVERIFY(QDir(folder.Path()).mkdir("folder.m3u"));
        MessageRecorder boxes;
        TMusic music(folder.Sound, folder.Store);
        FillPlayer(music, folder, Words("a b"));
        TPlayForm form(folder.Sound);
        ScriptDialogs(form)->LoadAnswers << folder.File(name);
        QString picture;
        RunForm(form, music, [&] {
            Command(form, "MFLoad");
            picture = Picture(form);
        });
        QCOMPARE(picture, QString());
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(boxes.boxes[0].first, TMsgType::mtError);
        if (message.isEmpty())
            QVERIFY(!boxes.boxes[0].second.isEmpty());
        else
            QCOMPARE(boxes.boxes[0].second, message.arg(folder.File(name)));
        QCOMPARE(TitlesOf(music.List()), Words("a b"));
    }

    void savedListLoadsAgain()
    {
        TTestFolder folder;
        QVERIFY(folder.Write("mods/a.mod", ModHeader("a")));
        QVERIFY(folder.Write("mods/b.mod", ModHeader("b")));
        QVERIFY(folder.Write("lists/list.m3u", "../mods/b.mod\r\n../mods/a.mod\r\n"));
        QVERIFY(folder.Write("c.mod", ModHeader("c")));
        MessageRecorder boxes;
        TMusic music(folder.Sound, folder.Store);
        TPlayForm form(folder.Sound);
        TScriptedDialogs *script = ScriptDialogs(form);
        script->LoadAnswers << folder.File("lists/list.m3u") << folder.File("saved/out.m3u");
        script->ModuleAnswers << QStringList{folder.File("c.mod")};
        script->SaveAnswers << folder.File("saved/out.m3u");
        QVERIFY(QDir().mkpath(folder.File("saved")));
        QString before;
        QString after;
        RunForm(form, music, [&] {
            Command(form, "MFLoad");
            Command(form, "BitBtn5");
            Command(form, "dblclick:1");
            Command(form, "MFSave");
            before = Picture(form);
            Command(form, "MFClear");
            Command(form, "MFLoad");
            after = Picture(form);
        });
        QCOMPARE(before, "b >a* c");
        // Relative names of another folder's list become full paths, since
        // the modules do not lie below the saved list's folder.
        QCOMPARE(folder.Read("saved/out.m3u"),
                 QFile::encodeName(folder.File("mods/b.mod") + "\r\n" + folder.File("mods/a.mod") +
                                   "\r\n" + folder.File("c.mod")) +
                     "\r\n");
        QCOMPARE(after, ">b a c");
        QVERIFY(boxes.boxes.isEmpty());
    }

    void emptyListIsNotSaved()
    {
        TTestFolder folder;
        MessageRecorder boxes;
        TMusic music(folder.Sound, folder.Store);
        TPlayForm form(folder.Sound);
        TScriptedDialogs *script = ScriptDialogs(form);
        script->SaveAnswers << folder.File("out.m3u");
        RunForm(form, music, [&] { Command(form, "MFSave"); });
        QVERIFY(script->Asked.isEmpty());
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(boxes.boxes[0].first, TMsgType::mtInformation);
        QCOMPARE(boxes.boxes[0].second, EmptyList);
        QVERIFY(!QFileInfo::exists(folder.File("out.m3u")));
    }

    void failedSaveKeepsTheWindowOpen_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("missing folder") << "no/such/folder/out.m3u";
        QTest::newRow("a folder") << "taken";
    }

    void failedSaveKeepsTheWindowOpen()
    {
        QFETCH(QString, target);
        TTestFolder folder;
        QVERIFY(QDir(folder.Path()).mkdir("taken"));
        MessageRecorder boxes;
        TMusic music(folder.Sound, folder.Store);
        FillPlayer(music, folder, Words("a b"));
        TPlayForm form(folder.Sound);
        ScriptDialogs(form)->SaveAnswers << folder.File(target);
        bool open = false;
        QString picture;
        RunForm(form, music, [&] {
            Command(form, "select:1");
            Command(form, "MFSave");
            open = form.isVisible();
            picture = Picture(form);
        });
        QVERIFY(open);
        QCOMPARE(picture, ">a b*");
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(boxes.boxes[0].first, TMsgType::mtError);
        QVERIFY(!boxes.boxes[0].second.isEmpty());
        QVERIFY(QFileInfo(folder.File(target)).isDir() || !QFileInfo::exists(folder.File(target)));
    }

    // Every format the decoder reads first, then the four whose titles the
    // game reads itself.
    void moduleDialogOffersTheDecodersFormats()
    {
        TTestFolder folder;
        WriteChoices(folder);
        QVERIFY(folder.Write("mods/z.mod", ModHeader("z")));
        QVERIFY(folder.Write("w.MTM", "MTM"));
        TFileDialogs dialogs(folder.Sound);
        AnswerFileDialog(
            [&](QFileDialog *dialog) {
                QCOMPARE(dialog->windowTitle(), QString("Open Tracker Modules"));
                const QStringList filters = dialog->nameFilters();
                QCOMPARE(filters.mid(1), (QStringList{"Protracker Modules *.MOD (*.MOD)",
                                                      "Fast Tracker 2 Modules *.XM (*.XM)",
                                                      "Scream Tracker 3 Modules *.S3M (*.S3M)",
                                                      "Impulse Tracker Modules *.IT (*.IT)"}));
                QVERIFY2(filters.value(0).startsWith("All modules (*.MOD *.XM *.S3M *.IT *."),
                         qPrintable(filters.value(0)));
                QVERIFY(filters.value(0).contains(" *.mtm "));
                QVERIFY(filters.value(0).contains(" *.669 "));
                QVERIFY(!filters.value(0).contains(" *.mod "));
                QCOMPARE(dialog->selectedNameFilter(), QString("All modules"));
                // Names in any case show; other kinds do not.
                QTRY_COMPARE(ShownNames(dialog),
                             (QStringList{"mods", "short.mod", "w.MTM", "x.mod", "y.s3m"}));
                QCOMPARE(dialog->fileMode(), QFileDialog::ExistingFiles);
                QCOMPARE(QDir(dialog->directory()).canonicalPath(),
                         QDir(folder.Path()).canonicalPath());
            },
            "\"y.s3m\" \"x.mod\"");
        QCOMPARE(dialogs.ChooseModules(nullptr), InFolder(folder, {"y.s3m", "x.mod"}));
        QCOMPARE(QDir::currentPath(), folder.Path());

        // The next dialog opens where the last file was chosen.
        QString openedIn;
        AnswerFileDialog([&](QFileDialog *dialog) { openedIn = dialog->directory().path(); },
                         folder.File("mods/z.mod"));
        QCOMPARE(dialogs.ChooseModules(nullptr), InFolder(folder, {"mods/z.mod"}));
        QCOMPARE(openedIn, folder.Path());
        AnswerFileDialog([&](QFileDialog *dialog) { openedIn = dialog->directory().path(); }, "");
        QCOMPARE(dialogs.ChooseModules(nullptr), QStringList());
        QCOMPARE(openedIn, folder.File("mods"));
        QCOMPARE(QDir::currentPath(), folder.Path());
    }

    void playListDialogsLoadAndSave()
    {
        TTestFolder folder;
        QVERIFY(folder.Write("lists/old.m3u", "x.mod\r\n"));
        TFileDialogs dialogs(folder.Sound);
        AnswerFileDialog(
            [&](QFileDialog *dialog) {
                QCOMPARE(dialog->windowTitle(), QString("Load Playlist"));
                QCOMPARE(dialog->nameFilters(),
                         QStringList{"WinAMP compatible PlayList *.M3U (*.M3U)"});
                QCOMPARE(dialog->fileMode(), QFileDialog::ExistingFile);
                QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptOpen);
            },
            folder.File("lists/old.m3u"));
        QCOMPARE(dialogs.ChooseListToLoad(nullptr), folder.File("lists/old.m3u"));

        QString offered;
        AnswerFileDialog(
            [&](QFileDialog *dialog) {
                QCOMPARE(dialog->windowTitle(), QString("Save Playlist"));
                QCOMPARE(dialog->nameFilters(),
                         QStringList{"WinAMP compatible playlist *.M3U (*.M3U)"});
                QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
                QCOMPARE(dialog->defaultSuffix(), QString("M3U"));
                QVERIFY(!dialog->testOption(QFileDialog::DontConfirmOverwrite));
                offered = dialog->findChild<QLineEdit *>("fileNameEdit")->text();
            },
            "mine");
        // A name without an ending gets the play list's.
        QCOMPARE(dialogs.ChooseListToSave(nullptr), folder.File("lists/mine.M3U"));
        QCOMPARE(offered, QString("Ferrox.M3U"));
        QCOMPARE(QDir::currentPath(), folder.Path());
    }
};

QTEST_MAIN(TestPlayFormFiles)
#include "test_playform_files.moc"
