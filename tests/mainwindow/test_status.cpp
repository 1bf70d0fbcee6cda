// Around the board: the clock, pause, the title panels and the key box.

#include "FormFixture.h"

#include "controls/BevelPanel.h"
#include "controls/Counter.h"
#include "controls/Resources.h"
#include "controls/fxRepeatBtn.h"
#include "support/MessageRecorder.h"

#include <QAction>
#include <QtTest>

using namespace FerroxRes;

class StatusTest : public QObject
{
    Q_OBJECT

private slots:
    void pauseHidesBoardAndStopsClock();
    void newGameEndsPause();
    void clockShowsSecondsPastThreeDigits();
    void titlePanelReturnsToVersion();
    void titlePanelShowsAsMuchAsFits();
    void upPanelIsNewGameButton();
    void keyPressShowsCharacterCode();
    void guessNoticeStaysUntilNewGame();
};

void StatusTest::pauseHidesBoardAndStopsClock()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    QVERIFY(fixture.lay(EasyBoard));
    fixture.advanceSeconds(3);
    fixture.tick();
    QCOMPARE(Find<TCounter>(form, "TimeCount")->Value(), QString("3"));
    const QImage before = BoardShot(form);

    Find<QAction>(form, "MOPause")->trigger();
    QVERIFY(Find<QAction>(form, "MOPause")->isChecked());
    QVERIFY(!form.Game().IsClockRunning());
    QVERIFY(form.Game().State() & gsPaused);
    const QImage hidden = BoardShot(form);
    for (int c = 0; c < 8; ++c)
        for (int r = 0; r < 8; ++r)
            QVERIFY(ShowsTile(form, hidden, c, r, tiCovered));

    // Ten seconds of pause are not counted; the board takes no presses.
    fixture.advanceSeconds(10);
    fixture.tick();
    QCOMPARE(Find<TCounter>(form, "TimeCount")->Value(), QString("3"));
    const int col = 5;
    const int row = 5;
    fixture.click(col, row);
    fixture.click(col, row, Qt::RightButton);
    QCOMPARE(fixture.cell(col, row).State, msCovered);

    Find<QAction>(form, "MOPause")->trigger();
    QVERIFY(!Find<QAction>(form, "MOPause")->isChecked());
    QVERIFY(form.Game().IsClockRunning());
    QCOMPARE(BoardShot(form), before);
    fixture.advanceSeconds(1);
    fixture.tick();
    QCOMPARE(Find<TCounter>(form, "TimeCount")->Value(), QString("4"));
}

void StatusTest::newGameEndsPause()
{
    FormFixture fixture;
    fixture.store("BORDERS", 0);
    TMineForm &form = fixture.start();
    fixture.click(4, 4);
    Find<QAction>(form, "MOPause")->trigger();
    for (TfxRepeatBtn *button : EdgeButtons(form))
        QVERIFY(!button->isEnabled());

    Find<QAction>(form, "MGNew")->trigger();
    QVERIFY(!Find<QAction>(form, "MOPause")->isChecked());
    QCOMPARE(form.Game().State(), quint8(gsFresh));
    QCOMPARE(Find<TCounter>(form, "TimeCount")->Value(), QString("000"));
    for (TfxRepeatBtn *button : EdgeButtons(form))
        QVERIFY(button->isEnabled());

    // Pausing a fresh board leaves the clock stopped on resuming.
    Find<QAction>(form, "MOPause")->trigger();
    Find<QAction>(form, "MOPause")->trigger();
    QVERIFY(!form.Game().IsClockRunning());
}

void StatusTest::clockShowsSecondsPastThreeDigits()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    fixture.click(4, 4);
    for (int i = 0; i < 17; ++i) {
        fixture.advanceSeconds(59);
        fixture.tick();
    }
    QCOMPARE(Find<TCounter>(form, "TimeCount")->Value(), QString("1003"));
    QCOMPARE(Find<TCounter>(form, "TimeCount")->NumDigits(), 4);
    // A tick within the same second changes nothing.
    fixture.tick();
    QCOMPARE(Find<TCounter>(form, "TimeCount")->Value(), QString("1003"));
}

void StatusTest::titlePanelReturnsToVersion()
{
    FormFixture fixture;
    TMineForm &form = fixture.start(96, false);
    Find<QTimer>(form, "STimer")->stop();
    TBevelPanel *panel = Find<TBevelPanel>(form, "DownPanel");
    QVERIFY(QMetaObject::invokeMethod(&form, "ShowTitle", Q_ARG(QString, "Some Title")));
    for (int i = 0; i < 19; ++i)
        fixture.tick();
    QCOMPARE(panel->Caption(), QString("Some Title"));
    fixture.tick();
    QCOMPARE(panel->Caption(), QString("version 2.1"));
    // Once back, the version stays: later ticks write nothing over a caption.
    panel->SetCaption("Changed by hand");
    fixture.tick();
    QCOMPARE(panel->Caption(), QString("Changed by hand"));
    panel->SetCaption("version 2.1");
    // With no music playing a click on the panel shows nothing.
    fixture.handle("DownPanelClick");
    QCOMPARE(Find<TBevelPanel>(form, "DownPanel")->Caption(), QString("version 2.1"));
}

// On the Easy board the lower panel is 86 pixels wide: the game's own
// tune's title is set smaller to show whole; a longer one shows as much.
void StatusTest::titlePanelShowsAsMuchAsFits()
{
    FormFixture fixture;
    TMineForm &form = fixture.start(96, false);
    TBevelPanel *panel = Find<TBevelPanel>(form, "DownPanel");
    const QString title = QStringLiteral("Ferrox - Cold Iron");
    QVERIFY(QMetaObject::invokeMethod(&form, "ShowTitle", Q_ARG(QString, title)));
    QCOMPARE(panel->ShownCaption(), title);
    const QString longer = title + QStringLiteral(" (the long version)");
    QVERIFY(QMetaObject::invokeMethod(&form, "ShowTitle", Q_ARG(QString, longer)));
    QVERIFY(panel->ShownCaption().startsWith(title.left(16)));
    QVERIFY(panel->ShownCaption().endsWith(QChar(0x2026)));
}

void StatusTest::upPanelIsNewGameButton()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    fixture.click(4, 4);
    QWindow *window = form.windowHandle();
    const QPoint centre = Find<TBevelPanel>(form, "UpPanel")
                              ->mapTo(&form, Find<TBevelPanel>(form, "UpPanel")->rect().center());
    const QPoint away = centre + QPoint(0, 60);

    QTest::mousePress(window, Qt::LeftButton, {}, centre);
    QCOMPARE(Find<TBevelPanel>(form, "UpPanel")->BevelInner(), bvLowered);
    QTest::mouseMove(window, away);
    QCOMPARE(Find<TBevelPanel>(form, "UpPanel")->BevelInner(), bvNone);
    QTest::mouseMove(window, centre);
    QCOMPARE(Find<TBevelPanel>(form, "UpPanel")->BevelInner(), bvLowered);
    QTest::mouseMove(window, away);
    QTest::mouseRelease(window, Qt::LeftButton, {}, away);
    QCOMPARE(Find<TBevelPanel>(form, "UpPanel")->BevelInner(), bvNone);
    QCOMPARE(form.Game().State(), quint8(gsPlaying));

    QTest::mouseMove(window, centre);
    QTest::mousePress(window, Qt::LeftButton, {}, centre);
    QTest::mouseRelease(window, Qt::LeftButton, {}, centre);
    QCOMPARE(Find<TBevelPanel>(form, "UpPanel")->BevelInner(), bvNone);
    QCOMPARE(form.Game().State(), quint8(gsFresh));
}

void StatusTest::keyPressShowsCharacterCode()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    MessageRecorder boxes;
    form.Grid()->setFocus();
    QTest::keyClick(form.Grid(), Qt::Key_A);
    QTest::keyClick(form.Grid(), Qt::Key_1);
    QCOMPARE(boxes.texts(), QStringList({"a = (97)", "1 = (49)"}));
    QCOMPARE(form.Game().State(), quint8(gsFresh));
}

// Eight safe cells cannot hold the 3 x 3 block of a first opening that
// shows a 0: No Guessing finds no guess-free board there.
void StatusTest::guessNoticeStaysUntilNewGame()
{
    FormFixture fixture;
    fixture.storeBoard(4, 4, 8);
    fixture.store("NOGUESS", 1);
    TMineForm &form = fixture.start();
    auto *bar = Find<TStatusPanels>(form, "TheStatusBar");
    const int notice = 4;
    QVERIFY(!bar->PanelShown(notice));

    fixture.click(1, 1);
    QCOMPARE(form.Game().State(), quint8(gsPlaying));
    QVERIFY(bar->PanelShown(notice));
    QCOMPARE(bar->PanelText(notice),
             QString("No guess-free board found: this one may need a guess."));
    QCOMPARE(bar->toolTip(), bar->PanelText(notice));
    // On a window this narrow the best time makes room for it.
    for (int panel = 0; panel < notice; ++panel)
        QVERIFY(!bar->PanelShown(panel));
    QCOMPARE(bar->PanelRect(notice).width(), bar->width() - 2);

    Find<QAction>(form, "MGNew")->trigger();
    QVERIFY(!bar->PanelShown(notice));
    QVERIFY(bar->PanelRect(0).isValid());
    for (int panel = 0; panel < notice; ++panel)
        QVERIFY(bar->PanelShown(panel));
    QVERIFY(bar->toolTip().isEmpty());
}

QTEST_MAIN(StatusTest)
#include "test_status.moc"
