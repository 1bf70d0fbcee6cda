// The new-record dialog as the main window opens it after a game: which
// games open it, what it shows, and what lands in the best-times file, the
// status bar and the remembered name.

#include "mainwindow/FormFixture.h"

#include "controls/Counter.h"
#include "controls/DRLabel.h"
#include "controls/StatusPanels.h"
#include "records/BestForm.h"
#include "records/BestRecords.h"
#include "support/MessageRecorder.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSessionManager>
#include <QSettings>
#include <QTimer>
#include <QWindow>
#include <QtTest>

namespace
{

// Plays the part of the person in front of the new-record dialog: notes what
// it shows, types a name and closes it, by OK or by the close box.
class RecordDialogPlayer
{
public:
    explicit RecordDialogPlayer(QString name, bool useCloseBox = false)
        : name_(std::move(name)), useCloseBox_(useCloseBox)
    {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Answer(); });
        timer_.start();
    }

    int opened = 0;
    QStringList shown; // columns, rows, mines, time, offered name of the last opening

private:
    void Answer()
    {
        auto *dialog = qobject_cast<TBestForm *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        ++opened;
        auto caption = [dialog](const char *name) {
            return dialog->findChild<TDRLabel *>(QLatin1String(name))->Caption();
        };
        auto *field = dialog->findChild<QLineEdit *>(QStringLiteral("BestName"));
        shown = {caption("dLabCol"), caption("DLabRow"), caption("DLabMine"), caption("DLabTime"),
                 field->text()};
        field->setText(name_);
        if (useCloseBox_)
            dialog->close();
        else
            dialog->findChild<QPushButton *>(QStringLiteral("BitBtn1"))->click();
    }

    QString name_;
    bool useCloseBox_;
    QTimer timer_;
};

bool GameOver(const FormFixture &fixture)
{
    return fixture.form->Game().State() & gsOver;
}

// Opens a first cell, lets `seconds` pass on the clock, then opens every safe
// cell until the game is won.
void WinGame(FormFixture &fixture, int seconds)
{
    fixture.click(0, 0);
    for (int left = seconds; left > 0; left -= 50) {
        fixture.advanceSeconds(qMin(left, 50));
        fixture.tick();
    }
    const TMines &mines = fixture.form->Game().Model();
    for (int col = 0; col < mines.Cols && !GameOver(fixture); ++col)
        for (int row = 0; row < mines.Rows && !GameOver(fixture); ++row)
            if (!fixture.cell(col, row).IsMine && !fixture.cell(col, row).Revealed)
                fixture.click(col, row);
}

QByteArray FileBytes(const FormFixture &fixture)
{
    QFile file(fixture.dir.filePath(BestRecordsFileName));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class BestWindowTest : public QObject
{
    Q_OBJECT

private:
    MessageRecorder messages_;

    // A small custom board, so that a game is won in a few clicks.
    TMineForm &Start(FormFixture &fixture)
    {
        fixture.storeBoard(8, 8, 10);
        return fixture.start();
    }

    static TBestRecord Stored(const FormFixture &fixture)
    {
        TBestRecord record;
        LoadBestRecord(record, 8, 8, 10, fixture.dir.path());
        return record;
    }

private slots:
    void firstWinOpensTheDialogAndStoresTheRecord()
    {
        FormFixture fixture;
        TMineForm &form = Start(fixture);
        QCOMPARE(Find<TStatusPanels>(form, "TheStatusBar")->PanelText(1), QString("999"));
        RecordDialogPlayer player("Winner");
        WinGame(fixture, 75);

        QVERIFY(form.Game().Model().IsWon());
        QCOMPARE(player.opened, 1);
        QCOMPARE(player.shown, (QStringList{"8", "8", "10", "75", ""}));
        QCOMPARE(FileBytes(fixture).size(), BestRecordSize);
        QCOMPARE(Stored(fixture).BestTime, 75);
        QCOMPARE(Stored(fixture).Holder, QString("Winner"));
        QVERIFY(form.Records().HasRecord());
        QCOMPARE(form.Game().Model().RecordName, QString("Winner"));
        QCOMPARE(Find<TStatusPanels>(form, "TheStatusBar")->PanelText(1), QString("75"));
        QCOMPARE(Find<TStatusPanels>(form, "TheStatusBar")->PanelText(3), QString("Winner"));
    }

    void equalTimeOpensNothingAndAFasterOneOffersTheRememberedName()
    {
        FormFixture fixture;
        QVERIFY(SaveBestRecord({8, 8, 10, 20, "Old"}, fixture.dir.path()));
        const QByteArray before = FileBytes(fixture);
        fixture.store("RECNAME", "Remembered");
        TMineForm &form = Start(fixture);
        QVERIFY(form.Records().HasRecord());
        RecordDialogPlayer player("Faster");

        WinGame(fixture, 20);
        QVERIFY(form.Game().Model().IsWon());
        QCOMPARE(player.opened, 0);
        QCOMPARE(FileBytes(fixture), before);

        fixture.handle("MGNewClick");
        WinGame(fixture, 19);
        QCOMPARE(player.opened, 1);
        QCOMPARE(player.shown.last(), QString("Remembered"));
        QCOMPARE(Stored(fixture).BestTime, 19);
        QCOMPARE(Stored(fixture).Holder, QString("Faster"));
        QCOMPARE(FileBytes(fixture).size(), BestRecordSize);
    }

    void betterTimeOfAnotherCopyIsShownAndNoNameAsked()
    {
        FormFixture fixture;
        TMineForm &form = Start(fixture);
        RecordDialogPlayer player("Slower");
        // Another copy of the game, started later, wins the same board first.
        QVERIFY(SaveBestRecord({8, 8, 10, 10, "Quick"}, fixture.dir.path()));
        const QByteArray before = FileBytes(fixture);
        WinGame(fixture, 30);
        QVERIFY(form.Game().Model().IsWon());
        QCOMPARE(player.opened, 0);
        QCOMPARE(FileBytes(fixture), before);
        QCOMPARE(Find<TStatusPanels>(form, "TheStatusBar")->PanelText(1), QString("10"));
        QCOMPARE(Find<TStatusPanels>(form, "TheStatusBar")->PanelText(3), QString("Quick"));
    }

    void closingWithTheCloseBoxStillStoresTheRecord()
    {
        FormFixture fixture;
        TMineForm &form = Start(fixture);
        RecordDialogPlayer player("Closer", true);
        WinGame(fixture, 0);
        QCOMPARE(player.opened, 1);
        QCOMPARE(player.shown.at(3), Find<TCounter>(form, "TimeCount")->Value());
        QCOMPARE(Stored(fixture).BestTime, Find<TCounter>(form, "TimeCount")->Value().toInt());
        QCOMPARE(Stored(fixture).Holder, QString("Closer"));
        QCOMPARE(form.Game().Model().RecordName, QString("Closer"));
    }

    void aLossNeverOpensTheDialog()
    {
        FormFixture fixture;
        TMineForm &form = Start(fixture);
        RecordDialogPlayer player("Nobody");
        fixture.click(0, 0);
        const TMines &mines = form.Game().Model();
        for (int col = 0; col < mines.Cols && !GameOver(fixture); ++col)
            for (int row = 0; row < mines.Rows && !GameOver(fixture); ++row)
                if (fixture.cell(col, row).IsMine)
                    fixture.click(col, row);
        QVERIFY(GameOver(fixture));
        QVERIFY(!mines.IsWon());
        QCOMPARE(player.opened, 0);
        QVERIFY(!QFile::exists(fixture.dir.filePath(BestRecordsFileName)));
    }

    // The game asked to end while the dialog waits for a name: by the window
    // manager's close request to the main window, or by the session manager
    // (Qt's commit of the session's data, then its closing of every window).
    // The name typed so far is stored with the record and remembered, as
    // with the dialog's close box, and the settings are written once, at the
    // end, with all their values.
    void endingTheGameKeepsTheNameTypedSoFar_data()
    {
        QTest::addColumn<bool>("sessionEnd");
        QTest::newRow("close request") << false;
        QTest::newRow("session end") << true;
    }

    void endingTheGameKeepsTheNameTypedSoFar()
    {
        QFETCH(bool, sessionEnd);
        auto *session = qApp->findChild<QSessionManager *>();
        if (sessionEnd && !session)
            QSKIP("This Qt has no session management.");
        FormFixture fixture;
        fixture.store("RECNAME", "Before");
        TMineForm &form = Start(fixture);
        const auto storeBytes = [&] {
            QFile store(fixture.storePath());
            return store.open(QIODevice::ReadOnly) ? store.readAll() : QByteArray();
        };
        const QByteArray storedBefore = storeBytes();
        bool asked = false;
        QTimer typist;
        connect(&typist, &QTimer::timeout, [&] {
            auto *dialog = qobject_cast<TBestForm *>(QApplication::activeModalWidget());
            if (!dialog || asked)
                return;
            asked = true;
            dialog->findChild<QLineEdit *>(QStringLiteral("BestName"))->setText("QuitTest");
            if (sessionEnd)
                emit qApp->commitDataRequest(*session);
            else
                form.windowHandle()->close();
            // A dialog left open fails the test rather than hang it.
            QTimer::singleShot(5000, dialog, [dialog] {
                dialog->findChild<QLineEdit *>(QStringLiteral("BestName"))->setText("Left open");
                dialog->reject();
            });
        });
        typist.start(10);
        WinGame(fixture, 42);
        QVERIFY(asked);
        QCOMPARE(Stored(fixture).BestTime, 42);
        QCOMPARE(Stored(fixture).Holder, QString("QuitTest"));
        QCOMPARE(form.Game().Model().RecordName, QString("QuitTest"));
        if (sessionEnd) {
            // A session may save itself and go on: the game goes on until
            // the session closes its windows.
            QVERIFY(form.isVisible());
            QApplication::closeAllWindows();
        }
        QTRY_VERIFY(!form.isVisible());
        QCOMPARE(storeBytes(), storedBefore);
        fixture.stop();
        const QSettings store(QSettings::NativeFormat, QSettings::UserScope, "Olvane", "Ferrox");
        for (const char *name : {"SIZE", "QUESTION", "WINPRESS", "CROSS", "BORDERS", "NEIGHBOURS",
                                 "COLS", "ROWS", "MINES", "MUSIC", "RECNAME"})
            QVERIFY2(store.contains(name), name);
        QCOMPARE(store.value("RECNAME").toString(), QString("QuitTest"));
        QCOMPARE(store.value("MINES").toInt(), 10);
    }

    // The status bar as it is on the screen, against a fresh rendering of it:
    // a stale piece of an old name shows as a difference.
    void aShortNameAfterALongOneLeavesNothingOfTheOld()
    {
        FormFixture fixture;
        QVERIFY(SaveBestRecord({8, 8, 10, 500, "Alice Thompson-Whitfield"}, fixture.dir.path()));
        TMineForm &form = Start(fixture);
        auto *bar = Find<TStatusPanels>(form, "TheStatusBar");
        QCOMPARE(bar->PanelText(3), QString("Alice Thompson-Whitfield"));
        RecordDialogPlayer player("Al");
        QVERIFY(fixture.lay({"*.......", "........", "........", "........", "........", "........",
                             "........", ".......*"}));
        form.Game().Open(4, 4);
        QVERIFY(form.Game().Model().IsWon());
        QCOMPARE(player.opened, 1);
        QCOMPARE(bar->PanelText(3), QString("Al"));
        QCoreApplication::processEvents();
        const QPoint origin = bar->mapTo(&form, QPoint(0, 0));
        const QImage onScreen =
            form.screen()
                ->grabWindow(form.winId(), origin.x(), origin.y(), bar->width(), bar->height())
                .toImage()
                .convertToFormat(QImage::Format_RGB32);
        QCOMPARE(onScreen, bar->grab().toImage().convertToFormat(QImage::Format_RGB32));
    }
};

QTEST_MAIN(BestWindowTest)
#include "test_best_window.moc"
