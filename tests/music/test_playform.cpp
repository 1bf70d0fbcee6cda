// The play-list window: every command keeps the list, the start choice and
// the selection marks on their entries, and only OK reaches the player.
#include "PlayFormTestSupport.h"
#include "support/MessageRecorder.h"

#include <QCollator>

#include <algorithm>

namespace
{

const QString ListEmpty = QStringLiteral("Sorry, the playList is empty!");

QStringList Words(const QString &text)
{
    return text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

} // namespace

class TestPlayForm : public QObject
{
    Q_OBJECT

private slots:
    void commandsKeepEntriesTogether_data()
    {
        QTest::addColumn<QString>("titles");
        QTest::addColumn<int>("nextIndex");
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<QString>("expected");

        const QString five = QStringLiteral("a b c d e");
        auto row = [](const char *name) -> QTestData & { return QTest::newRow(name); };
        row("the next entry in turn starts") << five << 3 << QStringList() << "a b c >d e";
        row("NextIndex past the end: the first") << five << 7 << QStringList() << ">a b c d e";
        row("an empty list has no start") << "" << 0 << QStringList() << "";

        row("entries 2 and 3 move up")
            << five << 0 << QStringList{"select:1,2", "up"} << "b* c* >a d e";
        row("runs move up as blocks")
            << five << 0 << QStringList{"select:1,3,4", "up"} << "b* >a d* e* c";
        row("runs move down as blocks")
            << five << 0 << QStringList{"select:0,1,3", "down"} << "c >a* b* e d*";
        row("up with the first selected")
            << five << 0 << QStringList{"select:0,2", "up"} << ">a* b c* d e";
        row("down with the last selected")
            << five << 4 << QStringList{"select:2,4", "down"} << "a b c* d >e*";
        row("up and down again") << five << 2 << QStringList{"select:3", "up", "up", "down"}
                                 << "a b d* >c e";
        row("arrows on an empty list") << "" << 0 << QStringList{"up", "down"} << "";
        row("arrows with nothing selected")
            << five << 1 << QStringList{"up", "down"} << "a >b c d e";

        row("reverse four") << "A B C D" << 0 << QStringList{"Reverse1"} << "D C B >A";
        row("reverse keeps the marks")
            << "A B C D E" << 1 << QStringList{"select:1", "Reverse1"} << "E D C >B* A";
        row("reverse one") << "A" << 0 << QStringList{"Reverse1"} << ">A";
        row("reverse nothing") << "" << 0 << QStringList{"Reverse1"} << "";

        for (const char *order : {"beta Alpha gamma", "gamma beta Alpha", "Alpha gamma beta"}) {
            const QString title = QStringLiteral("sort %1 by title").arg(order);
            QStringList expected = Words("Alpha beta gamma");
            for (QString &word : expected)
                if (word == Words(order).first())
                    word.prepend('>');
            QTest::newRow(qPrintable(title))
                << order << 0 << QStringList{"byTitle1"} << expected.join(' ');
        }
        row("sort keeps marks on their entries")
            << "c a b" << 0 << QStringList{"select:1", "byTitle1"} << "a* b >c";

        row("remove the start entry")
            << five << 2 << QStringList{"select:2", "BitBtn4"} << ">a b d e";
        row("remove before the start entry")
            << five << 3 << QStringList{"select:0,1", "BitBtn4"} << "c >d e";
        row("remove the last entries")
            << five << 4 << QStringList{"select:3,4", "BitBtn4"} << ">a b c";
        row("remove everything") << five << 1 << QStringList{"MEAll", "BitBtn4"} << "";
        row("remove with nothing selected") << five << 1 << QStringList{"BitBtn4"} << "a >b c d e";
        row("clear") << five << 1 << QStringList{"select:1", "MFClear"} << "";

        row("select all") << "a b c" << 0 << QStringList{"MEAll"} << ">a* b* c*";
        row("invert") << "a b c" << 0 << QStringList{"select:1", "MEInvert"} << ">a* b c*";
        row("unselect") << "a b c" << 0 << QStringList{"MEAll", "MUnselect"} << ">a b c";

        row("double click chooses the start")
            << five << 0 << QStringList{"dblclick:3"} << "a b c >d* e";
        row("the drop-down chooses the start")
            << five << 0 << QStringList{"combo:4", "Reverse1"} << ">e d c b a";
        row("File Info does nothing") << "a b" << 0 << QStringList{"select:1", "MEInfo"} << ">a b*";
    }

    void commandsKeepEntriesTogether()
    {
        QFETCH(QString, titles);
        QFETCH(int, nextIndex);
        QFETCH(QStringList, commands);
        QFETCH(QString, expected);
        TTestFolder folder;
        MessageRecorder boxes;
        TMusic music(folder.Sound, folder.Store);
        FillPlayer(music, folder, Words(titles));
        StartAt(music, nextIndex);
        TPlayForm form(folder.Sound);
        QString picture;
        RunForm(form, music, [&] {
            for (const QString &command : commands)
                Command(form, command);
            picture = Picture(form);
        });
        QCOMPARE(picture, expected);
        QVERIFY(boxes.boxes.isEmpty());
    }

    void sortsByFileNameAndPath_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("expected");
        QTest::newRow("by file name") << "byFilename1"
                                      << ">one two three four";
        QTest::newRow("by path and file name") << "byPathandFilename1"
                                               << "three four >one two";
    }

    void sortsByFileNameAndPath()
    {
        QFETCH(QString, command);
        QFETCH(QString, expected);
        TTestFolder folder;
        // File names and folders sort in other orders than the titles.
        const QList<QPair<QString, QByteArray>> files = {
            {"B/a.mod", "one"}, {"b/B.mod", "two"}, {"A/d.mod", "four"}, {"a/c.MOD", "three"}};
        TMusic music(folder.Sound, folder.Store);
        TPlayList list;
        for (const auto &[name, title] : files) {
            QVERIFY(folder.Write(name, ModHeader(title)));
            AddFiles(list, {folder.File(name)}, folder.Sound);
        }
        music.ReplaceList(list, -1);
        TPlayForm form(folder.Sound);
        QString picture;
        RunForm(form, music, [&] {
            Command(form, command);
            picture = Picture(form);
        });
        QCOMPARE(picture, expected);
    }

    void fileNamePartEndsAtEverySeparator_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Windows path") << "C:\\MODS\\SONG.MOD"
                                      << "SONG.MOD";
        QTest::newRow("drive only") << "C:SONG.MOD"
                                    << "SONG.MOD";
        QTest::newRow("our path") << "/home/me/mods/song.mod"
                                  << "song.mod";
        QTest::newRow("mixed") << "mods\\old/song.mod"
                               << "song.mod";
        QTest::newRow("colon after slash") << "a/b:c.mod"
                                           << "c.mod";
        QTest::newRow("bare name") << "song.mod"
                                   << "song.mod";
        QTest::newRow("folder only") << "mods/"
                                     << "";
    }

    void fileNamePartEndsAtEverySeparator()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, expected);
        QCOMPARE(TPlayListEditor::FileNamePart(fileName), expected);
    }

    void randomizeFollowsTheSharedGenerator_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<quint32>("state");
        QTest::newRow("ten from 0") << 10 << 0u;
        QTest::newRow("ten from 12345") << 10 << 12345u;
        QTest::newRow("seven from the top") << 7 << 0xFFFFFFFFu;
        QTest::newRow("one") << 1 << 99u;
        QTest::newRow("none") << 0 << 99u;
    }

    void randomizeFollowsTheSharedGenerator()
    {
        QFETCH(int, count);
        QFETCH(quint32, state);
        QStringList titles;
        for (int i = 0; i < count; ++i)
            titles << QString(QChar('a' + i));
        // One pass of exchanges with a freely drawn partner, replayed here.
        TRandom replay(state);
        QStringList expected = titles;
        for (int i = 0; i < count; ++i)
            expected.swapItemsAt(i, replay.Below(count));

        TTestFolder folder;
        TMusic music(folder.Sound, folder.Store);
        FillPlayer(music, folder, titles);
        StartAt(music, count / 2);
        TPlayForm form(folder.Sound);
        QString picture;
        TRandom random(state);
        RunForm(
            form, music,
            [&] {
                Command(form, "select:0");
                Command(form, "Randomize1");
                picture = Picture(form);
            },
            &random);
        QCOMPARE(random.State(), replay.State());
        for (QString &title : expected) {
            const QString entry = title;
            if (entry == titles.value(count / 2))
                title.prepend('>');
            if (entry == titles.value(0))
                title.append('*');
        }
        QCOMPARE(picture, expected.join(' '));
    }

    void userSelectionReachesTheCommands()
    {
        TTestFolder folder;
        TMusic music(folder.Sound, folder.Store);
        FillPlayer(music, folder, Words("a b c d e"));
        TPlayForm form(folder.Sound);
        QString picture;
        RunForm(form, music, [&] {
            QListWidget *list = ListOf(form);
            for (int row : {1, 3}) {
                const QPoint centre = list->visualItemRect(list->item(row)).center();
                QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, centre);
            }
            Command(form, "up");
            const QPoint first = list->visualItemRect(list->item(0)).center();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, first);
            Command(form, "down");
            picture = Picture(form);
        });
        // b and d go up; then b is let go and d goes down again.
        QCOMPARE(picture, "b >a c d* e");
    }

    void shortcutsReachTheirCommands_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Ctrl+R reverses") << int(Qt::Key_R) << int(Qt::ControlModifier) << "c b >a";
        QTest::newRow("Ctrl+A selects all")
            << int(Qt::Key_A) << int(Qt::ControlModifier) << ">a* b* c*";
        QTest::newRow("Ctrl+N clears") << int(Qt::Key_N) << int(Qt::ControlModifier) << "";
        QTest::newRow("Alt+3 does nothing") << int(Qt::Key_3) << int(Qt::AltModifier) << ">a b c";
    }

    void shortcutsReachTheirCommands()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, expected);
        TTestFolder folder;
        TMusic music(folder.Sound, folder.Store);
        FillPlayer(music, folder, Words("a b c"));
        TPlayForm form(folder.Sound);
        QString picture;
        RunForm(form, music, [&] {
            QVERIFY(QTest::qWaitForWindowActive(&form));
            QTest::keyClick(ListOf(form), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
            picture = Picture(form);
        });
        QCOMPARE(picture, expected);
    }

    void okHandsTheCopyToThePlayer()
    {
        TTestFolder folder;
        MessageRecorder boxes;
        TMusic music(folder.Sound, folder.Store);
        FillPlayer(music, folder, Words("a b c d"));
        StartAt(music, 1);
        TPlayForm form(folder.Sound);
        const bool confirmed = RunForm(form, music, [&] {
            Command(form, "select:0");
            Command(form, "BitBtn4");
            Command(form, "Reverse1");
            Command(form, "dblclick:1");
            Command(form, "BitBtn1");
        });
        QVERIFY(confirmed);
        QCOMPARE(TitlesOf(music.List()), Words("d c b"));
        QCOMPARE(music.NextIndex(), 1);
        // Music is off: the list and the start are set, nothing is loaded.
        QVERIFY(!music.IsInitialized());
        QVERIFY(music.PlayingTitle().isEmpty());
        QVERIFY(boxes.boxes.isEmpty());

        // The window is reused, and every show starts from the player's list.
        QString picture;
        RunForm(form, music, [&] { picture = Picture(form); });
        QCOMPARE(picture, "d >c b");
    }

    void nothingButOkReachesThePlayer_data()
    {
        QTest::addColumn<QString>("closing");
        QTest::newRow("Cancel") << "BitBtn2";
        QTest::newRow("Close item") << "MFClose";
        QTest::newRow("Esc") << "Esc";
        QTest::newRow("close box") << "close";
    }

    void nothingButOkReachesThePlayer()
    {
        QFETCH(QString, closing);
        TTestFolder folder;
        QVERIFY(folder.Write("new.mod", ModHeader("new")));
        MessageRecorder boxes;
        TMusic music(folder.Sound, folder.Store);
        FillPlayer(music, folder, Words("a b c d e"));
        StartAt(music, 3);
        TPlayForm form(folder.Sound);
        auto dialogs = std::make_unique<TScriptedDialogs>();
        dialogs->ModuleAnswers << QStringList{folder.File("new.mod")};
        form.SetFileDialogs(std::move(dialogs));
        bool closedByThem = false;
        const bool confirmed = RunForm(form, music, [&] {
            for (const char *command :
                 {"select:0,2", "up", "down", "BitBtn4", "Reverse1", "Randomize1", "byTitle1",
                  "BitBtn5", "dblclick:1", "MFClear", "MEAll"})
                Command(form, command);
            if (closing == QLatin1String("Esc")) {
                QVERIFY(QTest::qWaitForWindowActive(&form));
                QTest::keyClick(ListOf(form), Qt::Key_Escape);
            } else if (closing == QLatin1String("close")) {
                form.close();
            } else {
                Command(form, closing);
            }
            closedByThem = !form.isVisible();
        });
        QVERIFY(!confirmed);
        QVERIFY(closedByThem);
        QCOMPARE(TitlesOf(music.List()), Words("a b c d e"));
        QCOMPARE(music.NextIndex(), 3);
        QVERIFY(boxes.boxes.isEmpty());
    }

    void enterIsOk()
    {
        TTestFolder folder;
        TMusic music(folder.Sound, folder.Store);
        FillPlayer(music, folder, Words("a b c"));
        TPlayForm form(folder.Sound);
        const bool confirmed = RunForm(form, music, [&] {
            Command(form, "Reverse1");
            QVERIFY(QTest::qWaitForWindowActive(&form));
            QTest::keyClick(ListOf(form), Qt::Key_Return);
        });
        QVERIFY(confirmed);
        QCOMPARE(TitlesOf(music.List()), Words("c b a"));
        QCOMPARE(music.NextIndex(), 2);
    }

    void okWhilePlayingStartsTheStartEntry()
    {
        TTestFolder folder;
        MessageRecorder boxes;
        TMusic music(folder.Sound, folder.Store);
        QStringList files;
        for (const QString &title : Words("one two three four five")) {
            files << title + ".mod";
            QVERIFY(folder.Write(files.last(), TinyModule(title.toLatin1(), 64, 31)));
        }
        GiveList(music, files, 2);
        QVERIFY(PlayHeard(music));
        QCOMPARE(music.PlayingTitle(), QString("three"));

        TPlayForm form(folder.Sound);
        QString picture;
        QVERIFY(RunForm(form, music, [&] {
            picture = Picture(form);
            Command(form, "BitBtn1");
        }));
        QCOMPARE(picture, "one two three >four five");
        QVERIFY(music.IsPlaying());
        QCOMPARE(music.PlayingTitle(), QString("four"));
        QCOMPARE(music.NextIndex(), 4);
        QVERIFY(boxes.boxes.isEmpty());
    }

    void okWithAnEmptyListStopsTheMusic()
    {
        TTestFolder folder;
        QVERIFY(folder.Write("a.mod", TinyModule("a", 64, 31)));
        MessageRecorder boxes;
        TMusic music(folder.Sound, folder.Store);
        GiveList(music, {"a.mod"});
        QVERIFY(PlayHeard(music));

        TPlayForm form(folder.Sound);
        QVERIFY(RunForm(form, music, [&] {
            Command(form, "MFClear");
            Command(form, "BitBtn1");
        }));
        QVERIFY(music.List().IsEmpty());
        QVERIFY(!music.IsPlaying());
        // Once when the next module is sought, once when play is tried again.
        QCOMPARE(boxes.boxes.size(), 2);
        for (const auto &box : boxes.boxes) {
            QCOMPARE(box.first, TMsgType::mtInformation);
            QCOMPARE(box.second, ListEmpty);
        }
    }

    void realTitlesSortLikeTheLocale()
    {
        const QDir shared(SharedModules());
        const QStringList names =
            shared.entryList({"*.mod", "*.MOD", "*.s3m", "*.xm", "*.it"}, QDir::Files);
        if (names.isEmpty())
            QSKIP(qPrintable("The shared modules are not here (" + SharedModules() + ")."));
        TTestFolder folder;
        TMusic music(folder.Sound, folder.Store);
        TPlayList list;
        for (const QString &name : names) {
            TPlayListItem item;
            item.FileName = QFile::encodeName(shared.filePath(name));
            if (item.ReadTitle(folder.Sound))
                list.AddCopy(item);
        }
        music.ReplaceList(list, -1);
        QStringList expected = TitlesOf(music.List());
        TPlayForm form(folder.Sound);
        QStringList shown;
        QString picture;
        RunForm(form, music, [&] {
            Command(form, "Reverse1");
            Command(form, "byTitle1");
            picture = Picture(form);
            shown = TitlesOf(form.Editor().Entries());
        });
        QVERIFY2(!picture.contains("differ"), qPrintable(picture));
        QCollator collator;
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        for (int i = 0; i + 1 < shown.size(); ++i)
            QVERIFY2(collator.compare(shown[i], shown[i + 1]) <= 0, qPrintable(shown[i]));
        std::sort(shown.begin(), shown.end());
        std::sort(expected.begin(), expected.end());
        QCOMPARE(shown, expected);
    }
};

QTEST_MAIN(TestPlayForm)
#include "test_playform.moc"
