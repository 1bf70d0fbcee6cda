// The menus: level presets, option toggles, style presets, music switch.

#include "FormFixture.h"

#include "controls/Counter.h"
#include "controls/fxRepeatBtn.h"
#include "controls/StatusPanels.h"
#include "controls/BevelPanel.h"
#include "music/Music.h"
#include "records/BestRecords.h"
#include "support/MessageRecorder.h"

#include <QAction>
#include <QFile>
#include <QtTest>

class OptionsTest : public QObject
{
    Q_OBJECT

private slots:
    void levelPresetsResizeAndLookUpRecord();
    void sameSizeLevelKeepsLayout();
    void customWithoutDialogKeepsBoard();
    void optionTogglesSetModelAndChecks();
    void bordersOffStartsNewGameAndEnablesButtons();
    void dosStyleWithBordersOffStartsNewGame();
    void windowsStyleKeepsGameGoing();
    void crossPointerWhilePaused();
    void musicSwitchWithEmptyPlayList();
    void musicSwitchWithPlayList();
    void quitClosesWindow();

private:
    static bool EdgeButtonsEnabled(TMineForm &form)
    {
        for (TfxRepeatBtn *button : form.EdgeButtons())
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
    QCOMPARE(form.TheStatusBar->PanelText(1), QString("999"));
    form.MGMedium->trigger();
    QVERIFY(form.MGMedium->isChecked());
    QVERIFY(!form.MGEasy->isChecked());
    QCOMPARE(form.Mines->Level, 1);
    QCOMPARE(form.MineGrid->size(), QSize(272, 272));
    QCOMPARE(form.OuterWidth, 330);
    QCOMPARE(form.MineCount->Value(), QString("40"));
    QVERIFY(form.HasRecord);
    QCOMPARE(form.TheStatusBar->PanelText(1), QString("77"));
    QCOMPARE(form.TheStatusBar->PanelText(3), QString("Ann"));

    form.MGHard->trigger();
    QCOMPARE(form.MineGrid->size(), QSize(510, 340));
    QVERIFY(!form.HasRecord);
    QCOMPARE(form.TheStatusBar->PanelText(3), QString("no name"));

    form.MGEasy->trigger();
    QCOMPARE(form.OuterWidth, 300);
    QCOMPARE(form.MinePanel->x(), 53);
}

void OptionsTest::sameSizeLevelKeepsLayout()
{
    // Custom 8 x 8 with 20 mines, then Easy: same size, other mine count.
    FormFixture fixture;
    fixture.storeBoard(8, 8, 20);
    TMineForm &form = fixture.start();
    QVERIFY(form.MGCustom->isChecked());
    QCOMPARE(form.MineCount->Value(), QString("20"));
    const QSize size = form.size();
    form.MGEasy->trigger();
    QCOMPARE(form.size(), size);
    QCOMPARE(form.Mines->Mines, 10);
    QCOMPARE(form.MineCount->Value(), QString("10"));
    QCOMPARE(form.BestRecord.KeyMines, 10);
}

void OptionsTest::customWithoutDialogKeepsBoard()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    fixture.click(4, 4);
    // With no dialog yet, the command leaves the level, its check and the
    // game alone, and a wrong level does not reach the store.
    form.MGCustom->trigger();
    QVERIFY(!form.MGCustom->isChecked());
    QVERIFY(form.MGEasy->isChecked());
    QCOMPARE(form.Mines->Level, 0);
    QCOMPARE(form.GameState, quint8(gsPlaying));
    QCOMPARE(form.Mines->Cols, 8);
    form.MGMedium->trigger();
    form.MGCustom->trigger();
    QVERIFY(form.MGMedium->isChecked());
    QVERIFY(!form.MGCustom->isChecked());
    QCOMPARE(form.Mines->Level, 1);
    fixture.stop();
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Olvane", "Ferrox");
    QCOMPARE(settings.value("SIZE").toInt(), 1);
}

void OptionsTest::optionTogglesSetModelAndChecks()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    fixture.click(4, 4);
    struct Toggle {
        QAction *item;
        bool *field;
    };
    const Toggle toggles[] = {{form.MOQuestion, &form.Mines->QuestionMarks},
                              {form.MOCross, &form.Mines->CrossPointer},
                              {form.MOPress, &form.Mines->WindowsPress},
                              {form.MONBour, &form.Mines->ClearNeighbours}};
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
    QCOMPARE(form.GameState, quint8(gsPlaying));

    form.MOCross->trigger();
    QCOMPARE(form.MineGrid->cursor().shape(), Qt::BitmapCursor);
    form.MOCrossClick();
    QVERIFY(!form.MOCross->isChecked());
    QCOMPARE(form.MineGrid->cursor().shape(), Qt::ArrowCursor);
}

void OptionsTest::bordersOffStartsNewGameAndEnablesButtons()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    fixture.click(4, 4);
    QVERIFY(!EdgeButtonsEnabled(form));
    form.MOBorder->trigger();
    QVERIFY(!form.MOBorder->isChecked());
    QVERIFY(!form.Mines->Borders);
    QCOMPARE(form.GameState, quint8(gsFresh));
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
    QCOMPARE(form.GameState, quint8(gsPlaying));

    form.MODos->trigger();
    QCOMPARE(form.GameState, quint8(gsFresh));
    QVERIFY(form.Mines->Borders && form.MOBorder->isChecked());
    QVERIFY(form.Mines->ClearNeighbours && form.MONBour->isChecked());
    QVERIFY(!form.Mines->CrossPointer && !form.MOCross->isChecked());
    QVERIFY(!form.Mines->WindowsPress && !form.MOPress->isChecked());
    QVERIFY(!form.Mines->QuestionMarks && !form.MOQuestion->isChecked());
    QVERIFY(!EdgeButtonsEnabled(form));
    QCOMPARE(form.MineGrid->cursor().shape(), Qt::ArrowCursor);
}

void OptionsTest::windowsStyleKeepsGameGoing()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    fixture.click(4, 4);
    form.MOWindows->trigger();
    QCOMPARE(form.GameState, quint8(gsPlaying));
    QVERIFY(!form.Mines->ClearNeighbours && !form.MONBour->isChecked());
    QVERIFY(form.Mines->WindowsPress && form.MOPress->isChecked());
    QVERIFY(form.MOQuestion->isChecked());
}

void OptionsTest::crossPointerWhilePaused()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    form.MOPause->trigger();
    form.MOCross->trigger();
    QCOMPARE(form.MineGrid->cursor().shape(), Qt::BitmapCursor);
    // Resuming keeps following the option.
    form.MOPause->trigger();
    QCOMPARE(form.MineGrid->cursor().shape(), Qt::BitmapCursor);
    form.MOPause->trigger();
    QCOMPARE(form.MineGrid->cursor().shape(), Qt::ArrowCursor);
}

void OptionsTest::musicSwitchWithEmptyPlayList()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    MessageRecorder boxes;
    form.MUSong->trigger();
    QCOMPARE(form.MUSong->text(), QString("Turn On"));
    QVERIFY(!form.Mines->MusicOn);
    QCOMPARE(form.DownPanel->Caption(), QString("version 2.1"));
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
    QCOMPARE(form.Music->ModuleList.Count(), 1);
    form.MUSong->trigger();
    if (!form.Music->IsPlaying())
        QSKIP("no sound output here");
    QCOMPARE(form.MUSong->text(), QString("Turn Off"));
    QVERIFY(form.Mines->MusicOn);
    QCOMPARE(form.DownPanel->Caption(), form.Music->CurrentTitle());
    QVERIFY(form.DownPanel->Caption() != QString("version 2.1"));
    QCOMPARE(form.TitleTicks, quint16(0));

    form.MUSong->trigger();
    QCOMPARE(form.MUSong->text(), QString("Turn On"));
    QVERIFY(!form.Mines->MusicOn);
    QVERIFY(!form.Music->IsPlaying());
}

void OptionsTest::quitClosesWindow()
{
    FormFixture fixture;
    TMineForm &form = fixture.start();
    QVERIFY(form.isVisible());
    form.MGQuit->trigger();
    QVERIFY(!form.isVisible());
}

QTEST_MAIN(OptionsTest)
#include "test_options.moc"
