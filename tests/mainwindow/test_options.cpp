// The menus: level presets, option toggles, style presets, music switch.

#include "FormFixture.h"

#include "controls/SpinEdit.h"
#include "dialogs/DlgCustom.h"

#include "controls/BevelPanel.h"
#include "controls/Counter.h"
#include "controls/StatusPanels.h"
#include "controls/fxRepeatBtn.h"
#include "music/Music.h"
#include "music/MusicTestSupport.h"
#include "records/BestRecords.h"
#include "support/MessageRecorder.h"

#include <QAction>
#include <QFile>
#include <QPushButton>
#include <QtTest>

class OptionsTest : public QObject
{
    Q_OBJECT

private slots:
    void levelPresetsResizeAndLookUpRecord();
    void sameSizeLevelKeepsLayout();
    void customSizeCommand();
    void optionTogglesSetModelAndChecks();
    void bordersOffStartsNewGameAndEnablesButtons();
    void dosStyleWithBordersOffStartsNewGame();
    void windowsStyleKeepsGameGoing();
    void crossPointerWhilePaused();
    void windowFollowsTheGame();
    void musicSwitchWithEmptyPlayList();
    void musicSwitchWithPlayList();
    void quitClosesWindow();

private:
    static bool EdgeButtonsEnabled(TMineForm &form)
    {
        for (TfxRepeatBtn *button : EdgeButtons(form))
            if (!button->isEnabled())
                return false;
        return true;
    }
};

void OptionsTest::levelPresetsResizeAndLookUpRecord()
{
    FormFixture fixture;
    TBestRecord medium;
    medium.KeyCols = 16;
    medium.KeyRows = 16;
    medium.KeyMines = 40;
    medium.BestTime = 77;
    medium.Holder = "Ann";
    QVERIFY(SaveBestRecord(medium, fixture.dir.path()));

    TMineForm &form = fixture.start();
    QCOMPARE(Find<TStatusPanels>(form, "TheStatusBar")->PanelText(1), QString("999"));
    Find<QAction>(form, "MGMedium")->trigger();
    QVERIFY(Find<QAction>(form, "MGMedium")->isChecked());
    QVERIFY(!Find<QAction>(form, "MGEasy")->isChecked());
    QCOMPARE(form.Game().Model().Level, 1);
    QCOMPARE(form.Grid()->size(), QSize(272, 272));
    QCOMPARE(form.OuterWidth(), 330);
    QCOMPARE(Find<TCounter>(form, "MineCount")->Value(), QString("40"));
    QVERIFY(form.Records().HasRecord());
    QCOMPARE(Find<TStatusPanels>(form, "TheStatusBar")->PanelText(1), QString("77"));
    QCOMPARE(Find<TStatusPanels>(form, "TheStatusBar")->PanelText(3), QString("Ann"));

    Find<QAction>(form, "MGHard")->trigger();
    QCOMPARE(form.Grid()->size(), QSize(510, 340));
    QVERIFY(!form.Records().HasRecord());
    QCOMPARE(Find<TStatusPanels>(form, "TheStatusBar")->PanelText(3), QString("no name"));

    Find<QAction>(form, "MGEasy")->trigger();
    QCOMPARE(form.OuterWidth(), 300);
    QCOMPARE(Find<TBevelPanel>(form, "MinePanel")->x(), 53);
}

void OptionsTest::sameSizeLevelKeepsLayout()
{
    // Custom 8 x 8 with 20 mines, then Easy: same size, other mine count.
    FormFixture fixture;
    fixture.storeBoard(8, 8, 20);
    TMineForm &form = fixture.start();
    QVERIFY(Find<QAction>(form, "MGCustom")->isChecked());
    QCOMPARE(Find<TCounter>(form, "MineCount")->Value(), QString("20"));
    const QSize size = form.size();
    Find<QAction>(form, "MGEasy")->trigger();
    QCOMPARE(form.size(), size);
    QCOMPARE(form.Game().Model().Mines, 10);
    QCOMPARE(Find<TCounter>(form, "MineCount")->Value(), QString("10"));
    QCOMPARE(form.Records().Current().KeyMines, 10);
}

namespace
{
// Answers the custom size dialog once it is open: types the three numbers
// and clicks OK, or cancels when `cols` is 0.
void AnswerCustomSize(int cols, int rows = 0, int mines = 0)
{
    QTimer::singleShot(0, [=] {
        auto *dialog = qobject_cast<TDlgCustom *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        if (cols == 0) {
            dialog->findChild<QPushButton *>("BtnCancel")->click();
            return;
        }
        const std::pair<const char *, int> fields[] = {
            {"SECols", cols}, {"SERows", rows}, {"SEMines", mines}};
        for (const auto &[name, value] : fields) {
            auto *field = dialog->findChild<TSpinEdit *>(QLatin1String(name));
            field->SetValue(value);
        }
        dialog->findChild<QPushButton *>("BtnOK")->click();
    });
}
} // namespace

void OptionsTest::customSizeCommand()
{
    FormFixture fixture;
    QVERIFY(SaveBestRecord({8, 8, 10, 42, "Eve"}, fixture.dir.path()));
    fixture.store("SIZE", 1);
    TMineForm &form = fixture.start();
    const QSize mediumSize = form.size();
    fixture.click(4, 4);

    // Cancel: the board and the game stay; "Custom..." stays checked.
    AnswerCustomSize(0);
    Find<QAction>(form, "MGCustom")->trigger();
    QVERIFY(Find<QAction>(form, "MGCustom")->isChecked());
    QCOMPARE(form.Game().Model().Level, LevelCustom);
    QCOMPARE(form.Game().State(), quint8(gsPlaying));
    QCOMPARE(form.Game().Model().Cols, 16);
    QCOMPARE(form.size(), mediumSize);

    // 8 x 8 with 10 mines is Easy: its item, its window and its record.
    AnswerCustomSize(8, 8, 10);
    Find<QAction>(form, "MGCustom")->trigger();
    QVERIFY(Find<QAction>(form, "MGEasy")->isChecked());
    QCOMPARE(form.Game().Model().Level, LevelEasy);
    QCOMPARE(form.Game().State(), quint8(gsFresh));
    QCOMPARE(form.OuterWidth(), 300);
    QVERIFY(form.width() < mediumSize.width());
    QCOMPARE(Find<TStatusPanels>(form, "TheStatusBar")->PanelText(3), QString("Eve"));

    // 8 x 8 with 20 mines is a board of its own: same window, no record.
    const QSize easySize = form.size();
    AnswerCustomSize(8, 8, 20);
    Find<QAction>(form, "MGCustom")->trigger();
    QVERIFY(Find<QAction>(form, "MGCustom")->isChecked());
    QCOMPARE(form.Game().Model().Mines, 20);
    QCOMPARE(Find<TCounter>(form, "MineCount")->Value(), QString("20"));
    QCOMPARE(form.size(), easySize);
    QCOMPARE(Find<TStatusPanels>(form, "TheStatusBar")->PanelText(3), QString("no name"));
    // ... and Easy again finds Eve's record.
    Find<QAction>(form, "MGEasy")->trigger();
    QCOMPARE(form.size(), easySize);
    QCOMPARE(Find<TStatusPanels>(form, "TheStatusBar")->PanelText(1), QString("42"));

    // A custom size of its own is laid out and stored.
    AnswerCustomSize(20, 12, 30);
    Find<QAction>(form, "MGCustom")->trigger();
    QCOMPARE(form.Grid()->size(), QSize(20 * CellSize, 12 * CellSize));
    fixture.stop();
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Olvane", "Ferrox");
    QCOMPARE(settings.value("SIZE").toInt(), 3);
    QCOMPARE(settings.value("COLS").toInt(), 20);
    QCOMPARE(settings.value("ROWS").toInt(), 12);
    QCOMPARE(settings.value("MINES").toInt(), 30);
}

void OptionsTest::optionTogglesSetModelAndChecks()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    fixture.click(4, 4);
    struct Toggle {
        QAction *item;
        const bool *field;
    };
    const Toggle toggles[] = {
        {Find<QAction>(form, "MOQuestion"), &form.Game().Model().QuestionMarks},
        {Find<QAction>(form, "MOCross"), &form.Game().Model().CrossPointer},
        {Find<QAction>(form, "MOPress"), &form.Game().Model().WindowsPress},
        {Find<QAction>(form, "MONBour"), &form.Game().Model().ClearNeighbours},
        {Find<QAction>(form, "MONoGuess"), &form.Game().Model().NoGuessing}};
    for (const Toggle &toggle : toggles) {
        const bool before = *toggle.field;
        QCOMPARE(toggle.item->isChecked(), before);
        toggle.item->trigger();
        QCOMPARE(*toggle.field, !before);
        QCOMPARE(toggle.item->isChecked(), !before);
        // A handler called directly behaves like the menu pick.
        toggle.item->trigger();
        QCOMPARE(*toggle.field, before);
    }
    // None of them starts a new game.
    QCOMPARE(form.Game().State(), quint8(gsPlaying));

    Find<QAction>(form, "MOCross")->trigger();
    QCOMPARE(form.Grid()->cursor().shape(), Qt::BitmapCursor);
    fixture.handle("MOCrossClick");
    QVERIFY(!Find<QAction>(form, "MOCross")->isChecked());
    QCOMPARE(form.Grid()->cursor().shape(), Qt::ArrowCursor);
}

void OptionsTest::bordersOffStartsNewGameAndEnablesButtons()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    fixture.click(4, 4);
    QVERIFY(!EdgeButtonsEnabled(form));
    Find<QAction>(form, "MOBorder")->trigger();
    QVERIFY(!Find<QAction>(form, "MOBorder")->isChecked());
    QVERIFY(!form.Game().Model().Borders);
    QCOMPARE(form.Game().State(), quint8(gsFresh));
    QVERIFY(EdgeButtonsEnabled(form));
}

void OptionsTest::dosStyleWithBordersOffStartsNewGame()
{
    FormFixture fixture;
    fixture.store("BORDERS", 0);
    fixture.store("CROSS", 1);
    fixture.store("WINPRESS", 1);
    fixture.store("NEIGHBOURS", 0);
    fixture.store("QUESTION", 0);
    TMineForm &form = fixture.start();
    fixture.click(4, 4); // opens on release: Windows press is on
    QCOMPARE(form.Game().State(), quint8(gsPlaying));

    Find<QAction>(form, "MODos")->trigger();
    QCOMPARE(form.Game().State(), quint8(gsFresh));
    QVERIFY(form.Game().Model().Borders && Find<QAction>(form, "MOBorder")->isChecked());
    QVERIFY(form.Game().Model().ClearNeighbours && Find<QAction>(form, "MONBour")->isChecked());
    QVERIFY(!form.Game().Model().CrossPointer && !Find<QAction>(form, "MOCross")->isChecked());
    QVERIFY(!form.Game().Model().WindowsPress && !Find<QAction>(form, "MOPress")->isChecked());
    QVERIFY(!form.Game().Model().QuestionMarks && !Find<QAction>(form, "MOQuestion")->isChecked());
    QVERIFY(!EdgeButtonsEnabled(form));
    QCOMPARE(form.Grid()->cursor().shape(), Qt::ArrowCursor);
}

void OptionsTest::windowsStyleKeepsGameGoing()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    fixture.click(4, 4);
    Find<QAction>(form, "MOWindows")->trigger();
    QCOMPARE(form.Game().State(), quint8(gsPlaying));
    QVERIFY(!form.Game().Model().ClearNeighbours && !Find<QAction>(form, "MONBour")->isChecked());
    QVERIFY(form.Game().Model().WindowsPress && Find<QAction>(form, "MOPress")->isChecked());
    QVERIFY(Find<QAction>(form, "MOQuestion")->isChecked());
}

void OptionsTest::crossPointerWhilePaused()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    Find<QAction>(form, "MOPause")->trigger();
    Find<QAction>(form, "MOCross")->trigger();
    QCOMPARE(form.Grid()->cursor().shape(), Qt::BitmapCursor);
    // Resuming keeps following the option.
    Find<QAction>(form, "MOPause")->trigger();
    QCOMPARE(form.Grid()->cursor().shape(), Qt::BitmapCursor);
    Find<QAction>(form, "MOPause")->trigger();
    QCOMPARE(form.Grid()->cursor().shape(), Qt::ArrowCursor);
}

// Whoever changes the game, the checks, the edge buttons, the pointer and
// the layout follow what it announces.
void OptionsTest::windowFollowsTheGame()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    TMineGame &game = form.Game();
    game.SetBorders(false);
    game.SetCrossPointer(true);
    game.SetQuestionMarks(false);
    QVERIFY(!Find<QAction>(form, "MOBorder")->isChecked());
    QVERIFY(EdgeButtonsEnabled(form));
    QVERIFY(Find<QAction>(form, "MOCross")->isChecked());
    QCOMPARE(form.Grid()->cursor().shape(), Qt::BitmapCursor);
    QVERIFY(!Find<QAction>(form, "MOQuestion")->isChecked());
    game.ChooseLevel(LevelHard);
    QVERIFY(Find<QAction>(form, "MGHard")->isChecked());
    QCOMPARE(form.Grid()->size(), QSize(510, 340));
    QCOMPARE(Find<TCounter>(form, "MineCount")->Value(), QString("99"));
    game.SetNoGuessing(true);
    QVERIFY(Find<QAction>(form, "MONoGuess")->isChecked());
    game.ApplyStylePreset(spWindows);
    QVERIFY(Find<QAction>(form, "MOBorder")->isChecked() && !EdgeButtonsEnabled(form));
    QCOMPARE(form.Grid()->cursor().shape(), Qt::ArrowCursor);
    QVERIFY(Find<QAction>(form, "MOPress")->isChecked());
    QVERIFY(Find<QAction>(form, "MONoGuess")->isChecked());
}

void OptionsTest::musicSwitchWithEmptyPlayList()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    MessageRecorder boxes;
    Find<QAction>(form, "MUSong")->trigger();
    QCOMPARE(Find<QAction>(form, "MUSong")->text(), QString("Turn On"));
    QVERIFY(!form.Music().IsSwitchedOn());
    QCOMPARE(Find<TBevelPanel>(form, "DownPanel")->Caption(), QString("version 2.1"));
}

void OptionsTest::musicSwitchWithPlayList()
{
    const QString module = QStringLiteral(FERROX_SHARED_MODULES "/CARGO.MOD");
    if (!QFile::exists(module))
        QSKIP("the shared modules folder is not there");
    FormFixture fixture;
    QFile list(fixture.dir.filePath("Ferrox.M3U"));
    QVERIFY(list.open(QIODevice::WriteOnly));
    list.write(QFile::encodeName(module) + "\r\n");
    list.close();

    MessageRecorder boxes;
    TMineForm &form = fixture.start();
    QCOMPARE(form.Music().List().Count(), 1);
    Find<QAction>(form, "MUSong")->trigger();
    QVERIFY(WaitForDevice(form.Music()));
    QVERIFY(form.Music().IsPlaying());
    QCOMPARE(Find<QAction>(form, "MUSong")->text(), QString("Turn Off"));
    QVERIFY(form.Music().IsSwitchedOn());
    QCOMPARE(Find<TBevelPanel>(form, "DownPanel")->Caption(), form.Music().PlayingTitle());
    QVERIFY(Find<TBevelPanel>(form, "DownPanel")->Caption() != QString("version 2.1"));

    Find<QAction>(form, "MUSong")->trigger();
    QVERIFY(WaitForDevice(form.Music()));
    QCOMPARE(Find<QAction>(form, "MUSong")->text(), QString("Turn On"));
    QVERIFY(!form.Music().IsSwitchedOn());
    QVERIFY(!form.Music().IsPlaying());
}

void OptionsTest::quitClosesWindow()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    QVERIFY(form.isVisible());
    Find<QAction>(form, "MGQuit")->trigger();
    QVERIFY(!form.isVisible());
}

QTEST_MAIN(OptionsTest)
#include "test_options.moc"
