// Start-up, layout and shutdown of the main window.

#include "FormFixture.h"

#include "controls/BevelPanel.h"
#include "controls/Counter.h"
#include "controls/StatusPanels.h"
#include "controls/fxRepeatBtn.h"
#include "music/Music.h"
#include "support/MessageRecorder.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

class LayoutTest : public QObject
{
    Q_OBJECT

private slots:
    void boardGeometry_data();
    void boardGeometry();
    void edgeButtonsAroundTheBoard();
    void fontsAtOneHundredTwentyDpi();
    void narrowBoardKeepsSmallerCaption();
    void windowStaysOnTheScreen();
    void firstStartWithEmptyStore();
    void storedOptionsReachTheMenu();
    void musicWithoutPlayListStartsSilent();
    void unreadablePlayListFallsBackToModule();
    void settingsWrittenAtShutdown();
    void menuBarItems();
};

void LayoutTest::boardGeometry_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QSize>("grid");
    QTest::addColumn<QSize>("panel");
    QTest::addColumn<QSize>("outer");
    QTest::addColumn<int>("panelLeft");
    QTest::addColumn<int>("upFontPoints");

    QTest::newRow("Easy") << 0 << 8 << 8 << QSize(136, 136) << QSize(188, 188) << QSize(300, 281)
                          << 53 << 13;
    QTest::newRow("Medium") << 1 << 16 << 16 << QSize(272, 272) << QSize(324, 324)
                            << QSize(330, 417) << 0 << 16;
    QTest::newRow("Hard") << 2 << 30 << 20 << QSize(510, 340) << QSize(562, 392) << QSize(568, 485)
                          << 0 << 16;
    // 211 wide: (300 - 211) / 2 = 44.5 goes to the even 44.
    QTest::newRow("9 columns") << 3 << 9 << 9 << QSize(153, 153) << QSize(205, 205)
                               << QSize(300, 298) << 44 << 16;
    QTest::newRow("14 columns") << 3 << 14 << 9 << QSize(238, 153) << QSize(290, 205)
                                << QSize(300, 298) << 2 << 16;
    QTest::newRow("15 columns") << 3 << 15 << 9 << QSize(255, 153) << QSize(307, 205)
                                << QSize(313, 298) << 0 << 16;
    // Hand-edited store: the title panels would get a negative width.
    QTest::newRow("2 columns") << 3 << 2 << 2 << QSize(34, 34) << QSize(86, 86) << QSize(300, 179)
                               << 104 << 7;
}

void LayoutTest::boardGeometry()
{
    QFETCH(int, level);
    QFETCH(int, cols);
    QFETCH(int, rows);
    QFETCH(QSize, grid);
    QFETCH(QSize, panel);
    QFETCH(QSize, outer);
    QFETCH(int, panelLeft);
    QFETCH(int, upFontPoints);

    FormFixture fixture;
    fixture.storeBoard(cols, rows, 10);
    fixture.store("SIZE", level);
    TMineForm &form = fixture.start();

    QCOMPARE(form.Grid()->ColCount(), cols);
    QCOMPARE(form.Grid()->RowCount(), rows);
    QCOMPARE(form.Grid()->size(), grid);
    QCOMPARE(Find<TBevelPanel>(form, "MinePanel")->size(), panel);
    QCOMPARE(form.OuterWidth(), outer.width());
    QCOMPARE(form.OuterHeight(), outer.height());
    QCOMPARE(Find<TBevelPanel>(form, "MinePanel")->pos(), QPoint(panelLeft, 32));
    QCOMPARE(Find<TBevelPanel>(form, "UpPanel")->font().pointSize(), upFontPoints);

    // The client area is the design width less the 6-pixel frame, with the
    // panel under the counter strip and the status bar under the panel.
    QWidget *client = form.centralWidget();
    QCOMPARE(client->width(), outer.width() - 6);
    QCOMPARE(client->height(), 32 + panel.height());
    QCOMPARE(Find<TStatusPanels>(form, "TheStatusBar")->height(), 19);
    QCOMPARE(Find<TStatusPanels>(form, "TheStatusBar")->geometry().top(),
             client->geometry().bottom() + 1);
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(Find<TBevelPanel>(form, "UpPanel")->width(), std::max(0, grid.width() - 50));
    QVERIFY(Find<TBevelPanel>(form, "MinePanel")->geometry().right() < client->width());
}

void LayoutTest::edgeButtonsAroundTheBoard()
{
    FormFixture fixture;
    TMineForm &form = fixture.start(); // Easy: grid 136 x 136 at (26, 26)

    const QList<QPair<QWidget *, QRect>> places = {
        {Find<TfxRepeatBtn>(form, "SpLeftUp"), QRect(1, 1, 25, 25)},
        {Find<TfxRepeatBtn>(form, "SpUpL"), QRect(26, 1, 25, 25)},
        {Find<TBevelPanel>(form, "UpPanel"), QRect(51, 1, 86, 25)},
        {Find<TfxRepeatBtn>(form, "SpUpR"), QRect(137, 1, 25, 25)},
        {Find<TfxRepeatBtn>(form, "SpRightUp"), QRect(162, 1, 25, 25)},
        {Find<TfxRepeatBtn>(form, "SpLeftU"), QRect(1, 26, 25, 25)},
        {Find<TBevelPanel>(form, "LeftPanel"), QRect(1, 51, 25, 86)},
        {Find<TfxRepeatBtn>(form, "SpLeftD"), QRect(1, 137, 25, 25)},
        {Find<TfxRepeatBtn>(form, "SpRightU"), QRect(162, 26, 25, 25)},
        {Find<TBevelPanel>(form, "RightPanel"), QRect(162, 51, 25, 86)},
        {Find<TfxRepeatBtn>(form, "SpRightD"), QRect(162, 137, 25, 25)},
        {Find<TfxRepeatBtn>(form, "SpLeftDown"), QRect(1, 162, 25, 25)},
        {Find<TfxRepeatBtn>(form, "SpDownL"), QRect(26, 162, 25, 25)},
        {Find<TBevelPanel>(form, "DownPanel"), QRect(51, 162, 86, 25)},
        {Find<TfxRepeatBtn>(form, "SpDownR"), QRect(137, 162, 25, 25)},
        {Find<TfxRepeatBtn>(form, "SpRightDown"), QRect(162, 162, 25, 25)},
        {form.Grid(), QRect(26, 26, 136, 136)},
    };
    for (const auto &[widget, place] : places)
        QCOMPARE(widget->geometry(), place);

    for (TfxRepeatBtn *button : EdgeButtons(form)) {
        const bool leftUpper = button == Find<TfxRepeatBtn>(form, "SpLeftU");
        QCOMPARE(button->RepeatEnabled(), !leftUpper);
        QCOMPARE(button->InitDelay(), leftUpper ? 400 : 200);
        QCOMPARE(button->RepeatDelay(), 100);
        QCOMPARE(button->NumGlyphs(), 2);
        QVERIFY(!button->isEnabled()); // Borders is on
    }
    QCOMPARE(Find<TCounter>(form, "TimeCount")->width(), 54);
    QCOMPARE(Find<TCounter>(form, "MineCount")->width(), 54);
    QCOMPARE(Find<TCounter>(form, "TimeCount")->Value(), QString("000"));
    QCOMPARE(Find<TCounter>(form, "MineCount")->Value(), QString("10"));
}

void LayoutTest::fontsAtOneHundredTwentyDpi()
{
    FormFixture fixture;
    fixture.store("SIZE", 1);
    TMineForm &form = fixture.start(120);
    QCOMPARE(form.Grid()->font().pointSize(), 8);
    QCOMPARE(Find<TBevelPanel>(form, "UpPanel")->font().pointSize(), 13); // Round(12.8)
    QCOMPARE(form.OuterHeight(), 116 + 324);                              // Round(116.25)
    QCOMPARE(form.OuterWidth(), 8 + 324);                                 // Round(7.5)
}

void LayoutTest::narrowBoardKeepsSmallerCaption()
{
    FormFixture fixture;
    fixture.storeBoard(6, 6, 5);
    TMineForm &form = fixture.start();
    QCOMPARE(Find<TBevelPanel>(form, "DownPanel")->font().pointSize(), 8);
    QCOMPARE(Find<TBevelPanel>(form, "UpPanel")->font().pointSize(), 11);
    Find<QAction>(form, "MGMedium")->trigger();
    QCOMPARE(Find<TBevelPanel>(form, "DownPanel")->font().pointSize(), 8);
    QCOMPARE(Find<TBevelPanel>(form, "UpPanel")->font().pointSize(), 16);
}

// The largest board the screen allows grows the window past the screen's
// edges from where it stands; the window moves back onto the screen, there
// and at the next start.
void LayoutTest::windowStaysOnTheScreen()
{
    FormFixture fixture;
    fixture.screenSize = QSize(1600, 1200);
    fixture.store("SIZE", 1);
    TMineForm &form = fixture.start();
    const QRect screen = form.screen()->availableGeometry();
    QCOMPARE(screen.size(), QSize(1600, 1200));
    QCOMPARE(form.pos(), QPoint(230, 103));    // the design's place, while the board fits
    form.Game().SetCustomBoard({90, 62, 500}); // the screen's largest board
    QCOMPARE(form.Grid()->size(), QSize(90 * CellSize, 62 * CellSize));
    QVERIFY2(screen.contains(form.frameGeometry()),
             qPrintable(QString("%1,%2 %3 x %4")
                            .arg(form.x())
                            .arg(form.y())
                            .arg(form.frameGeometry().width())
                            .arg(form.frameGeometry().height())));
    fixture.stop();
    TMineForm &again = fixture.start();
    QVERIFY(screen.contains(again.frameGeometry()));
}

void LayoutTest::firstStartWithEmptyStore()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    QCOMPARE(form.Game().Model().Cols, 8);
    QCOMPARE(form.Game().Model().Rows, 8);
    QCOMPARE(form.Game().Model().Mines, 10);
    QVERIFY(Find<QAction>(form, "MGEasy")->isChecked());
    QCOMPARE(form.Game().State(), quint8(gsFresh));
    QVERIFY(!form.Game().IsClockRunning());
    QVERIFY(!form.Records().HasRecord());
    QVERIFY(Find<QTimer>(form, "STimer")->isActive());
    QCOMPARE(Find<QTimer>(form, "STimer")->interval(), 250);
    QCOMPARE(form.windowTitle(), QString("Ferrox"));
    QCOMPARE(Find<TBevelPanel>(form, "DownPanel")->Caption(), QString("version 2.1"));
    QCOMPARE(Find<TBevelPanel>(form, "UpPanel")->Caption(), QString("FERROX"));
    QCOMPARE(form.Grid()->cursor().shape(), Qt::ArrowCursor);

    const QStringList status = {Find<TStatusPanels>(form, "TheStatusBar")->PanelText(0),
                                Find<TStatusPanels>(form, "TheStatusBar")->PanelText(1),
                                Find<TStatusPanels>(form, "TheStatusBar")->PanelText(2),
                                Find<TStatusPanels>(form, "TheStatusBar")->PanelText(3)};
    QCOMPARE(status, QStringList({"Best Time:", "999", "by:", "no name"}));

    // The two values are written in red, the two labels are not.
    const QImage bar = Find<TStatusPanels>(form, "TheStatusBar")->grab().toImage();
    for (int panel = 0; panel < 4; ++panel) {
        bool red = false;
        const QRect place = Find<TStatusPanels>(form, "TheStatusBar")->PanelRect(panel);
        for (int x = place.left(); x <= place.right(); ++x)
            for (int y = place.top(); y <= place.bottom(); ++y) {
                const QColor colour = bar.pixelColor(x, y);
                red = red || (colour.red() > 200 && colour.green() < 80 && colour.blue() < 80);
            }
        QCOMPARE(red, panel == 1 || panel == 3);
    }
}

void LayoutTest::storedOptionsReachTheMenu()
{
    FormFixture fixture;
    fixture.store("QUESTION", 0);
    fixture.store("CROSS", 1);
    fixture.store("BORDERS", 0);
    fixture.store("WINPRESS", 1);
    fixture.store("NEIGHBOURS", 0);
    fixture.store("SIZE", 2);
    TMineForm &form = fixture.start();
    QVERIFY(!Find<QAction>(form, "MOQuestion")->isChecked());
    QVERIFY(Find<QAction>(form, "MOCross")->isChecked());
    QVERIFY(!Find<QAction>(form, "MOBorder")->isChecked());
    QVERIFY(Find<QAction>(form, "MOPress")->isChecked());
    QVERIFY(!Find<QAction>(form, "MONBour")->isChecked());
    QVERIFY(Find<QAction>(form, "MGHard")->isChecked());
    QVERIFY(!Find<QAction>(form, "MGEasy")->isChecked());
    QCOMPARE(form.Grid()->cursor().shape(), Qt::BitmapCursor);
    QCOMPARE(form.Grid()->cursor().hotSpot(), QPoint(16, 16));
    for (TfxRepeatBtn *button : EdgeButtons(form))
        QVERIFY(button->isEnabled());
}

void LayoutTest::musicWithoutPlayListStartsSilent()
{
    FormFixture fixture;
    fixture.store("MUSIC", 1);
    MessageRecorder boxes;
    TMineForm &form = fixture.start();
    QVERIFY(!form.Music().IsSwitchedOn());
    QCOMPARE(Find<QAction>(form, "MUSong")->text(), QString("Turn On"));
    QVERIFY(boxes.boxes.isEmpty());
    fixture.stop();
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Olvane", "Ferrox");
    QCOMPARE(settings.value("MUSIC").toInt(), 0);
}

void LayoutTest::unreadablePlayListFallsBackToModule()
{
    const QString module = QStringLiteral(FERROX_SHARED_MODULES "/CARGO.MOD");
    if (!QFile::exists(module))
        QSKIP("the shared modules folder is not there");
    FormFixture fixture;
    fixture.store("MUSIC", 1);
    // A folder where the play list should be: it exists but cannot be read.
    QVERIFY(QDir(fixture.dir.path()).mkdir("Ferrox.M3U"));
    QVERIFY(QFile::copy(module, fixture.dir.filePath("Ferrox.MOD")));
    MessageRecorder boxes;
    TMineForm &form = fixture.start();
    QCOMPARE(boxes.boxes.size(), 1);
    QCOMPARE(form.Music().List().Count(), 1);
    QCOMPARE(form.Music().List().Items(0).FileName, QByteArray("Ferrox.MOD"));
    QVERIFY(!form.Music().IsSwitchedOn());
    QVERIFY(!form.Music().IsPlaying());
    QCOMPARE(Find<QAction>(form, "MUSong")->text(), QString("Turn On"));
}

void LayoutTest::settingsWrittenAtShutdown()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    Find<QAction>(form, "MGMedium")->trigger();
    Find<QAction>(form, "MOCross")->trigger();
    Find<QAction>(form, "MOQuestion")->trigger();
    fixture.stop();

    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Olvane", "Ferrox");
    const QStringList names = {"SIZE",    "QUESTION", "WINPRESS", "CROSS", "BORDERS", "NEIGHBOURS",
                               "NOGUESS", "COLS",     "ROWS",     "MINES", "MUSIC",   "RECNAME"};
    for (const QString &name : names)
        QVERIFY2(settings.contains(name), qPrintable(name));
    QCOMPARE(settings.value("SIZE").toInt(), 1);
    QCOMPARE(settings.value("COLS").toInt(), 16);
    QCOMPARE(settings.value("MINES").toInt(), 40);
    QCOMPARE(settings.value("CROSS").toInt(), 1);
    QCOMPARE(settings.value("QUESTION").toInt(), 0);
    QCOMPARE(settings.value("BORDERS").toInt(), 1);
}

void LayoutTest::menuBarItems()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    auto captions = [](QMenu *menu) {
        QStringList result;
        for (QAction *action : menu->actions())
            result << (action->isSeparator() ? QString("-") : action->text());
        return result;
    };
    QCOMPARE(Find<QMenu>(form, "MGame")->title(), QString("&Game"));
    QCOMPARE(captions(Find<QMenu>(form, "MGame")),
             QStringList({"New", "-", "Easy", "Medium", "Hard", "Custom...", "Best &Times...", "-",
                          "&Quit"}));
    QCOMPARE(Find<QMenu>(form, "MOptions")->title(), QString("&Options"));
    QCOMPARE(captions(Find<QMenu>(form, "MOptions")),
             QStringList({"Pause", "-", "&DOS Style", "&Windows Style", "-", "&Questionmark",
                          "&Cross pointer", "Windows &press", "&Borders", "Clear &Neighbour", "-",
                          "No &Guessing"}));
    QCOMPARE(Find<QMenu>(form, "MSound")->title(), QString("&Music"));
    QCOMPARE(captions(Find<QMenu>(form, "MSound")),
             QStringList({"Turn On", "File...", "-", "Card Setup...", "Volume..."}));
    QCOMPARE(Find<QMenu>(form, "MHelp")->title(), QString("&Help"));
    QCOMPARE(captions(Find<QMenu>(form, "MHelp")), QStringList({"&About", "-", "&License"}));

    const QList<QPair<QAction *, QString>> shortcuts = {
        {Find<QAction>(form, "MGNew"), "Ctrl+N"},     {Find<QAction>(form, "MGEasy"), "Ctrl+E"},
        {Find<QAction>(form, "MGMedium"), "Ctrl+M"},  {Find<QAction>(form, "MGHard"), "Ctrl+H"},
        {Find<QAction>(form, "MGCustom"), ""},        {Find<QAction>(form, "MGQuit"), "Alt+F4"},
        {Find<QAction>(form, "MOPause"), "Ctrl+P"},   {Find<QAction>(form, "MODos"), "Ctrl+D"},
        {Find<QAction>(form, "MOWindows"), "Ctrl+W"}, {Find<QAction>(form, "MUSong"), "Ctrl+S"},
        {Find<QAction>(form, "MOQuestion"), ""},      {Find<QAction>(form, "MHAbout"), ""},
        {Find<QAction>(form, "MGBestTimes"), ""}};
    for (const auto &[action, keys] : shortcuts)
        QCOMPARE(action->shortcut().toString(), keys);

    for (QAction *check : {Find<QAction>(form, "MOPause"), Find<QAction>(form, "MOQuestion"),
                           Find<QAction>(form, "MOCross"), Find<QAction>(form, "MOPress"),
                           Find<QAction>(form, "MOBorder"), Find<QAction>(form, "MONBour"),
                           Find<QAction>(form, "MONoGuess"), Find<QAction>(form, "MGEasy"),
                           Find<QAction>(form, "MGCustom")})
        QVERIFY(check->isCheckable());
    QVERIFY(!Find<QAction>(form, "MGNew")->isCheckable());
    QVERIFY(!Find<QAction>(form, "MODos")->isCheckable());
    QVERIFY(!Find<QAction>(form, "MOPause")->isChecked());
}

QTEST_MAIN(LayoutTest)
#include "test_layout.moc"
