// The game under way kept when the program ends and shown again, paused, at
// the next start; a saved game that cannot be read said so in the status
// bar; the program's answer to a play folder it cannot enter.

#include "app/GameKeeper.h"
#include "app/SavedGameFile.h"
#include "mainwindow/FormFixture.h"
#include "mainwindow/Layout.h"

#include <QProcess>
#include <QSignalSpy>

class ResumeTest : public QObject
{
    Q_OBJECT

private slots:
    // Kept at the end, taken at the start: the same board shown paused with
    // its counters, the clock at its seconds, every cell as it was once a
    // click on the board ends the pause; the clock runs on from there.
    void gameUnderWayComesBackPaused()
    {
        FormFixture fixture;
        fixture.start();
        QVERIFY(fixture.lay(EasyBoard));
        fixture.click(7, 0);
        fixture.click(0, 0, Qt::RightButton);
        fixture.advanceSeconds(5);
        fixture.tick();
        const QStringList board = fixture.picture();
        TGameKeeper ending(fixture.dir.path());
        QVERIFY(ending.Keep(fixture.form->Game()));
        QVERIFY(fixture.form->Game().IsSavedForLater());
        fixture.stop();
        QVERIFY(QFileInfo::exists(SavedGamePath(fixture.dir.path())));

        TMineForm &form = fixture.start();
        TGameKeeper starting(fixture.dir.path());
        QVERIFY(!starting.ResumeNewest(form.Game(), form.Game().Model().Limits()));
        QVERIFY(!QFileInfo::exists(SavedGamePath(fixture.dir.path())));
        QVERIFY(Find<QAction>(form, "MOPause")->isChecked());
        QCOMPARE(Find<TCounter>(form, "TimeCount")->Value(), QString("5"));
        QCOMPARE(Find<TCounter>(form, "MineCount")->Value(), QString("9"));
        // An open cell and a flag look alike: nothing shows.
        QTRY_COMPARE(CellShot(BoardShot(form), 7, 0), CellShot(BoardShot(form), 0, 0));

        fixture.advanceSeconds(60);
        fixture.click(3, 3); // ends the pause, opens nothing
        QVERIFY(!form.Game().IsPaused());
        QCOMPARE(fixture.picture(), board);
        fixture.advanceSeconds(2);
        fixture.tick();
        QCOMPARE(Find<TCounter>(form, "TimeCount")->Value(), QString("7"));

        // Over by the end: nothing left behind, not even an empty file.
        fixture.click(1, 1);
        QVERIFY(form.Game().IsOver());
        QVERIFY(starting.Keep(form.Game()));
        QVERIFY(!QFileInfo::exists(SavedGamePath(fixture.dir.path())));
    }

    // Only a copy that kept a game touches the folder; one that saved it as
    // the session saved itself, and finished it after, takes it back.
    void nothingKeptWithoutAGameUnderWay()
    {
        FormFixture fixture;
        TMineForm &form = fixture.start();
        const QStringList before = QDir(fixture.dir.path()).entryList(QDir::Files);
        TGameKeeper keeper(fixture.dir.path());
        QVERIFY(keeper.Keep(form.Game()));
        QCOMPARE(QDir(fixture.dir.path()).entryList(QDir::Files), before);

        QVERIFY(fixture.lay(EasyBoard));
        fixture.click(7, 0);
        QVERIFY(keeper.Keep(form.Game()));
        QVERIFY(QFileInfo::exists(SavedGamePath(fixture.dir.path())));
        fixture.handle("MGNewClick");
        QVERIFY(!form.Game().IsSavedForLater());
        QVERIFY(keeper.Keep(form.Game()));
        QVERIFY(!QFileInfo::exists(SavedGamePath(fixture.dir.path())));
    }

    // A damaged save: a new game, the status bar says so for that game only.
    void unreadableSaveIsSaidInTheStatusBar()
    {
        FormFixture fixture;
        QFile damaged(SavedGamePath(fixture.dir.path()));
        QVERIFY(damaged.open(QIODevice::WriteOnly) && damaged.write("FERROXSG cut") > 0);
        damaged.close();
        TMineForm &form = fixture.start();
        TGameKeeper keeper(fixture.dir.path());
        QVERIFY(keeper.ResumeNewest(form.Game(), form.Game().Model().Limits()));
        QVERIFY(form.Game().IsFresh());
        form.ShowNotice("The saved game could not be read.");
        auto *status = Find<TStatusPanels>(form, "TheStatusBar");
        QVERIFY(status->PanelShown(NoticePanel));
        QCOMPARE(status->PanelText(NoticePanel), QString("The saved game could not be read."));
        fixture.handle("MGNewClick");
        QVERIFY(!status->PanelShown(NoticePanel));
    }

    // The program's window asks for the play list, the music and the media
    // controls only once it is on the screen.
    void restOfTheStartFollowsTheFirstPaint()
    {
        FormFixture fixture;
        TFormEnvironment environment;
        environment.WorkingDirectory = fixture.dir.path();
        environment.Sound = &fixture.sound;
        environment.AfterFirstPaint = true;
        TMineForm form(environment);
        QSignalSpy finished(&form, &TMineForm::startFinished);
        QCoreApplication::processEvents();
        QCOMPARE(finished.size(), 0);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTRY_COMPARE(finished.size(), 1);
    }

    // Typed in a terminal with a folder it cannot play in: the reason on
    // the standard error too, and a status that says it failed.  The box
    // waiting meanwhile is closed by the session's SIGTERM.
    void missingFolderFailsOnTheCommandLine()
    {
        QTemporaryDir home;
        QProcess game;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", home.path());
        environment.insert("XDG_CONFIG_HOME", home.path());
        game.setProcessEnvironment(environment);
        game.start(QStringLiteral(FERROX_GAME), {"--folder", home.filePath("nosuchdir")});
        QVERIFY(game.waitForStarted());
        QByteArray said;
        QTRY_VERIFY_WITH_TIMEOUT((said += game.readAllStandardError()).contains("nosuchdir"),
                                 10000);
        game.terminate();
        QVERIFY2(game.waitForFinished(10000), said.constData());
        QCOMPARE(game.exitStatus(), QProcess::NormalExit);
        QVERIFY(game.exitCode() != 0);
    }
};

QTEST_MAIN(ResumeTest)
#include "test_resume.moc"
