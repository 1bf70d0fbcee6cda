// The "Best Times" window through its widgets, and the history the main
// window writes as games end.

#include "mainwindow/FormFixture.h"

#include "records/BestRecords.h"
#include "records/BestTimesForm.h"
#include "records/GameHistory.h"
#include "support/MessageRecorder.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

namespace
{

QByteArray Line(const char *board, const char *outcome, int seconds, const char *name = "",
                int hour = 12)
{
    return "2026-12-01T" + QByteArray::number(hour) + ":00:00+01:00\t" + board + '\t' + outcome +
           '\t' + QByteArray::number(seconds) + '\t' + name + '\n';
}

QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// Each row of a list as its texts joined by "|".
QStringList Rows(const QTreeWidget *list)
{
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QStringList texts;
        for (int c = 0; c < list->columnCount(); ++c)
            texts << list->topLevelItem(i)->text(c);
        rows << texts.join('|');
    }
    return rows;
}

QString Stat(const TBestTimesForm &form, const char *name)
{
    return form.findChild<QLabel *>(QLatin1String(name))->text();
}

QTreeWidget *Boards(const TBestTimesForm &form)
{
    return form.findChild<QTreeWidget *>(QStringLiteral("BoardList"));
}

// Clicks a column's header as a person would.
void ClickHeader(QTreeWidget *list, int column)
{
    QHeaderView *header = list->header();
    const QPoint at(header->sectionViewportPosition(column) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

void ChooseRow(QTreeWidget *list, const QString &board, const QString &kind)
{
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = list->topLevelItem(i);
        if (item->text(TBestTimesForm::bcBoard) == board &&
            item->text(TBestTimesForm::bcList) == kind) {
            const QRect place = list->visualItemRect(item);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place.center());
            return;
        }
    }
    QFAIL(qPrintable("no row " + board));
}

// Opens the window from the Game menu and hands it to `look` while it waits
// for an answer; then closes it with Escape.
void LookAtBestTimes(TMineForm &form, const std::function<void(TBestTimesForm &)> &look)
{
    bool seen = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *window = qobject_cast<TBestTimesForm *>(QApplication::activeModalWidget());
        if (!window || seen)
            return;
        seen = true;
        look(*window);
        QTest::keyClick(window, Qt::Key_Escape);
    });
    poll.start();
    Find<QAction>(form, "MGBestTimes")->trigger();
    QVERIFY(seen);
}

const char EasyKey[] = "8\t8\t10\t1\t0";
const char EasyNoGuessKey[] = "8\t8\t10\t1\t1";
const QByteArray Header =
    "ended\tcolumns\trows\tmines\tborders\tno_guessing\toutcome\tseconds\tname\n";

} // namespace

class BestTimesWindowTest : public QObject
{
    Q_OBJECT

private slots:
    // The records of both files, each once, and of the board on screen its
    // history: the file's record stands even where the history has no game.
    void listsBothFilesAndTheChosenBoardsHistory()
    {
        FormFixture fixture;
        const QString folder = fixture.dir.path();
        QVERIFY(SaveBestRecord({8, 8, 10, 30, "Ann"}, folder));
        QVERIFY(SaveBestRecord({16, 16, 40, 100, "Med"}, folder));
        QVERIFY(SaveBestRecord({20, 10, 50, 99, "Bo"}, folder));
        QVERIFY(SaveBestRecord({8, 8, 10, 25, "Nia"}, folder, TBestList::NoGuessing));
        WriteFile(HistoryPath(folder),
                  Header + Line(EasyKey, "won", 41, "Cy") + Line(EasyKey, "lost", 3) +
                      Line(EasyKey, "won", 30, "Ann", 13) + Line(EasyKey, "abandoned", 9) +
                      Line(EasyNoGuessKey, "won", 25, "Nia") + Line("9\t9\t10\t0\t0", "lost", 2));
        const QByteArray hiBefore = FileBytes(BestRecordsPath(folder));
        const QByteArray historyBefore = FileBytes(HistoryPath(folder));
        TMineForm &form = fixture.start();
        LookAtBestTimes(form, [](TBestTimesForm &window) {
            QCOMPARE(window.windowTitle(), QString("Best Times"));
            QCOMPARE(Rows(Boards(window)),
                     QStringList({"Easy|Ordinary|30|Ann", "Easy|No Guessing|25|Nia",
                                  "9 x 9 / 10|Ordinary|-|", "20 x 10 / 50|Ordinary|99|Bo",
                                  "Medium|Ordinary|100|Med"}));
            QCOMPARE(window.SelectedBoard(), (THistoryBoard{8, 8, 10, false}));
            const auto *games = window.findChild<QTreeWidget *>(QStringLiteral("GameList"));
            QCOMPARE(games->topLevelItemCount(), 2);
            QCOMPARE(Rows(games).at(0).section('|', 0, 2), QString("1|30|Ann"));
            QCOMPARE(games->topLevelItem(0)->text(3),
                     QLocale::system().toString(
                         QDateTime(QDate(2026, 12, 1), QTime(13, 0), Qt::OffsetFromUTC, 3600)
                             .toLocalTime(),
                         QLocale::ShortFormat));
            const QStringList stats = {
                Stat(window, "StatPlayed"),       Stat(window, "StatWon"),
                Stat(window, "StatLost"),         Stat(window, "StatAbandoned"),
                Stat(window, "StatPercent"),      Stat(window, "StatCurrentStreak"),
                Stat(window, "StatLongestStreak")};
            QCOMPARE(stats, QStringList({"4", "2", "1", "1",
                                         QLocale::system().toString(50.0, 'f', 1), "0", "1"}));
            QCOMPARE(Stat(window, "StatAverage"), QLocale::system().toString(35.5, 'f', 1) + " s");

            // A record with no history: its best time, no games.
            ChooseRow(Boards(window), "Medium", "Ordinary");
            QCOMPARE(games->topLevelItemCount(), 0);
            QCOMPARE(Stat(window, "StatPlayed"), QString("0"));
            QCOMPARE(Stat(window, "StatAverage"), QString("-"));
            ChooseRow(Boards(window), "Easy", "No Guessing");
            QCOMPARE(Rows(games).at(0).section('|', 0, 2), QString("1|25|Nia"));
        });
        // Looking writes nothing.
        QCOMPARE(FileBytes(BestRecordsPath(folder)), hiBefore);
        QCOMPARE(FileBytes(HistoryPath(folder)), historyBefore);
    }

    void sortingByEachColumn()
    {
        QTemporaryDir dir;
        QVERIFY(SaveBestRecord({8, 8, 10, 30, "Cat"}, dir.path()));
        QVERIFY(SaveBestRecord({16, 16, 40, 10, "Abe"}, dir.path()));
        QVERIFY(SaveBestRecord({12, 12, 20, 200, "Bea"}, dir.path(), TBestList::NoGuessing));
        TBestTimesForm window;
        window.Load(dir.path(), {8, 8, 10, false});
        window.show();
        QTreeWidget *list = Boards(window);
        auto column = [list](int c) {
            QStringList texts;
            for (int i = 0; i < list->topLevelItemCount(); ++i)
                texts << list->topLevelItem(i)->text(c);
            return texts;
        };
        QCOMPARE(column(TBestTimesForm::bcBoard),
                 QStringList({"Easy", "12 x 12 / 20", "Medium"})); // by cells
        ClickHeader(list, TBestTimesForm::bcTime);
        QCOMPARE(column(TBestTimesForm::bcTime), QStringList({"10", "30", "200"}));
        ClickHeader(list, TBestTimesForm::bcTime);
        QCOMPARE(column(TBestTimesForm::bcTime), QStringList({"200", "30", "10"}));
        ClickHeader(list, TBestTimesForm::bcHolder);
        QCOMPARE(column(TBestTimesForm::bcHolder), QStringList({"Abe", "Bea", "Cat"}));
        ClickHeader(list, TBestTimesForm::bcList);
        QCOMPARE(column(TBestTimesForm::bcList).first(), QString("No Guessing"));
        // The choice stays with its board.
        QCOMPARE(window.SelectedBoard(), (THistoryBoard{8, 8, 10, false}));
        // The smallest screen the game supports holds the window and its frame.
        QVERIFY(window.width() <= 640 - 16 && window.height() <= 480 - 40);
    }

    // The board chosen on opening is the one on screen, in the list of the
    // game on it.
    void theChosenBoardFollowsTheGame()
    {
        FormFixture fixture;
        TMineForm &form = fixture.start();
        Find<QAction>(form, "MGHard")->trigger();
        LookAtBestTimes(form, [](TBestTimesForm &window) {
            QCOMPARE(window.SelectedBoard(), (THistoryBoard{30, 20, 99, false}));
            QCOMPARE(Rows(Boards(window)), QStringList({"Hard|Ordinary|-|"}));
        });
        Find<QAction>(form, "MONoGuess")->trigger();
        LookAtBestTimes(form, [](TBestTimesForm &window) {
            QCOMPARE(window.SelectedBoard(), (THistoryBoard{30, 20, 99, true}));
        });
    }

    // Only after a yes, only the chosen board's lines, never a best time.
    void resetForgetsTheBoardsHistoryOnlyWhenConfirmed()
    {
        QTemporaryDir dir;
        QVERIFY(SaveBestRecord({8, 8, 10, 30, "Ann"}, dir.path()));
        const QByteArray others = Line(EasyNoGuessKey, "won", 25, "Nia");
        WriteFile(HistoryPath(dir.path()), Header + Line(EasyKey, "won", 30, "Ann") + others);
        const QByteArray hiBefore = FileBytes(BestRecordsPath(dir.path()));
        const QByteArray historyBefore = FileBytes(HistoryPath(dir.path()));
        MessageRecorder boxes;
        TBestTimesForm window;
        window.Load(dir.path(), {8, 8, 10, false});
        window.show();
        auto *reset = window.findChild<QPushButton *>(QStringLiteral("ResetButton"));
        reset->click();
        QCOMPARE(boxes.questions.size(), 1);
        QVERIFY(boxes.questions.at(0).contains("Easy"));
        QCOMPARE(FileBytes(HistoryPath(dir.path())), historyBefore);
        boxes.answer = true;
        reset->click();
        QCOMPARE(FileBytes(HistoryPath(dir.path())), Header + others);
        QCOMPARE(FileBytes(BestRecordsPath(dir.path())), hiBefore);
        QCOMPARE(Stat(window, "StatPlayed"), QString("0"));
        QCOMPARE(Rows(Boards(window)).at(0), QString("Easy|Ordinary|30|Ann"));
        QVERIFY(boxes.boxes.isEmpty());
    }

    // The main window writes one line per laid game: won with the name given,
    // lost, abandoned by a new game and by the end of the program, unless
    // the game under way is kept to be resumed.
    void theWindowWritesEveryLaidGame()
    {
        FormFixture fixture;
        fixture.store("RECNAME", "Stored");
        TMineForm &form = fixture.start();
        RecordDialogCloser closer; // the name field keeps the stored name
        QVERIFY(fixture.lay(EasyBoard));
        fixture.advanceSeconds(6);
        fixture.tick();
        for (int c = 0; c < 8; ++c)
            for (int r = 0; r < 8; ++r)
                if (!fixture.cell(c, r).IsMine && fixture.cell(c, r).State == msCovered)
                    fixture.click(c, r);
        QVERIFY(form.Game().Model().IsWon());
        Find<QAction>(form, "MGNew")->trigger(); // nothing under way: nothing more
        QVERIFY(fixture.lay(EasyBoard));
        fixture.click(0, 0); // a mine
        QVERIFY(fixture.lay(EasyBoard));
        Find<QAction>(form, "MGMedium")->trigger();
        Find<QAction>(form, "MONoGuess")->trigger();
        QCOMPARE(Find<TStatusPanels>(form, "TheStatusBar")->PanelText(0), QString("NG Best:"));
        QVERIFY(TLaidBoard::Lay(form.Game(), QStringList(16, QString("*") + QString(15, '.'))));
        fixture.stop();

        QList<QByteArray> lines = FileBytes(HistoryPath(fixture.dir.path())).split('\n');
        QCOMPARE(lines.takeFirst() + '\n', Header);
        QCOMPARE(lines.takeLast(), QByteArray());
        QStringList games;
        for (const QByteArray &line : lines) {
            const auto game = DecodeHistoryLine(line);
            QVERIFY2(game, line.constData());
            games << QStringLiteral("%1x%2/%3 ng%4 %5 %6 %7")
                         .arg(game->Cols)
                         .arg(game->Rows)
                         .arg(game->Mines)
                         .arg(game->NoGuessing)
                         .arg(int(game->Outcome))
                         .arg(game->Seconds)
                         .arg(game->Name);
        }
        QCOMPARE(games, QStringList({"8x8/10 ng0 0 6 Stored", "8x8/10 ng0 1 0 ", "8x8/10 ng0 2 0 ",
                                     "16x16/16 ng1 2 0 "}));

        FormFixture kept;
        TMineForm &second = kept.start();
        QVERIFY(kept.lay(EasyBoard));
        second.Game().MarkSavedForLater();
        kept.stop();
        QVERIFY(!QFile::exists(HistoryPath(kept.dir.path())));
    }
};

QTEST_MAIN(BestTimesWindowTest)
#include "test_best_times_window.moc"
