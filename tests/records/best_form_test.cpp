#include "controls/DRLabel.h"
#include "records/BestForm.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace
{

using TWhileOpen = std::function<void(TBestForm &)>;

// Runs the dialog modally and does `whileOpen` to it from inside the modal
// loop, as a person would.  If `whileOpen` leaves it open, it is closed after
// a while so a broken test fails instead of hanging.
void RunModal(TBestForm &form, const TBestFormContext &context, const TWhileOpen &whileOpen)
{
    bool reached = false;
    QTimer::singleShot(0, &form, [&] {
        auto *open = qobject_cast<TBestForm *>(QApplication::activeModalWidget());
        reached = open == &form;
        if (reached)
            whileOpen(form);
    });
    QPointer<TBestForm> guard(&form);
    QTimer::singleShot(5000, &form, [guard] {
        if (guard && guard->isVisible())
            guard->reject();
    });
    form.Execute(context);
    QVERIFY2(reached, "the dialog was not the active modal window");
}

// Each run of spaces of `sentence`, in its own font, must hold the next
// filler without touching the ink of the words on either side, and the ink
// of the sentence must end inside the bevel.
void CheckSentence(const QLabel *sentence, const QList<const QWidget *> &fillers,
                   const QFrame *bevel)
{
    const QFontMetrics metrics(sentence->font());
    const QString text = sentence->text();
    const int left = sentence->x();
    QVERIFY2(left + metrics.tightBoundingRect(text).right() <=
                 bevel->geometry().right() - bevel->frameWidth(),
             qPrintable(text + " runs past the bevel"));
    auto gaps = QRegularExpression(QStringLiteral(" {2,}")).globalMatch(text);
    for (const QWidget *filler : fillers) {
        QVERIFY(gaps.hasNext());
        const QRegularExpressionMatch gap = gaps.next();
        const int lastInkBefore =
            left + metrics.tightBoundingRect(text.left(gap.capturedStart())).right();
        const int firstInkAfter = left + metrics.horizontalAdvance(text.left(gap.capturedEnd())) +
                                  metrics.tightBoundingRect(text.mid(gap.capturedEnd(), 1)).left();
        const QRect place = filler->geometry();
        QVERIFY2(lastInkBefore < place.left() && place.right() < firstInkAfter,
                 qPrintable(QString("the gap %1..%2 of \"%3\" does not hold %4..%5")
                                .arg(lastInkBefore)
                                .arg(firstInkAfter)
                                .arg(text)
                                .arg(place.left())
                                .arg(place.right())));
    }
}

} // namespace

class BestFormTest : public QObject
{
    Q_OBJECT

private:
    QString recordName_;
    TBestRecord record_;

    TBestFormContext Context(const QString &timeText = QStringLiteral("1234"))
    {
        record_ = {16, 16, 40, 999, QStringLiteral("no name")};
        return {.RecordName = &recordName_,
                .Record = &record_,
                .Cols = 16,
                .Rows = 16,
                .Mines = 40,
                .TimeText = timeText};
    }

private slots:
    void init() { recordName_ = QStringLiteral("Ann"); }

    void isAFixedDialogWithOkAsDefault()
    {
        TBestForm form;
        QCOMPARE(form.windowTitle(), QString("New Record!"));
        QCOMPARE(form.size(), QSize(329, 135));
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QVERIFY(form.BitBtn1->isDefault());
        QVERIFY(!form.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QCOMPARE(form.DRLabel1->Caption(), QString("new"));
    }

    // Whatever face stands in for the designed one, no word of the two
    // sentences may hide under a relief label or run past the frame.
    void reliefLabelsStandInTheSentencesGaps()
    {
        TBestForm form;
        QCOMPARE(form.DRLabel1->geometry().topLeft(), QPoint(91, 16));
        QVERIFY(form.DRLabel1->AutoSize());
        QCOMPARE(form.dLabCol->geometry(), QRect(28, 40, 18, 13));
        QCOMPARE(form.DLabTime->geometry(), QRect(224, 32, 40, 24));
        CheckSentence(form.Label1, {form.DRLabel1}, form.Bevel1);
        CheckSentence(form.Label2, {form.dLabCol, form.DLabRow, form.DLabMine, form.DLabTime},
                      form.Bevel1);
    }

    void showFillsTheFieldsAndStartsTheTimeBlinking()
    {
        TBestForm form;
        RunModal(form, Context("000"), [](TBestForm &open) {
            QCOMPARE(open.BestName->text(), QString("Ann"));
            QCOMPARE(open.dLabCol->Caption(), QString("16"));
            QCOMPARE(open.DLabRow->Caption(), QString("16"));
            QCOMPARE(open.DLabMine->Caption(), QString("40"));
            QCOMPARE(open.DLabTime->Caption(), QString("000"));
            QCOMPARE(open.DLabTime->Blink(), blHiLo);
            QCOMPARE(open.focusWidget(), open.BestName);
            open.BitBtn1->click();
        });
        QCOMPARE(form.DLabTime->Blink(), blNone);
        QVERIFY(!form.DLabTime->BlinkTimerActive());
        QCOMPARE(record_.Holder, QString("Ann"));
    }

    void blinkingAlternatesBlueAndNavyAndStopsOnClose()
    {
        TBestForm form;
        const QColor before = form.DLabTime->FontColor();
        RunModal(form, Context(), [](TBestForm &open) {
            // The first change comes one period after the start.
            QTRY_COMPARE_WITH_TIMEOUT(open.DLabTime->FontColor(), QColor(Qt::blue), 1000);
            QSet<QRgb> seen;
            for (int i = 0; i < 20; ++i) {
                seen.insert(open.DLabTime->FontColor().rgb());
                QTest::qWait(50);
            }
            QCOMPARE(seen, (QSet<QRgb>{QColor(Qt::blue).rgb(), QColor(Qt::darkBlue).rgb()}));
            open.close();
        });
        QCOMPARE(form.DLabTime->FontColor(), before);
    }

    void typedNameIsTakenOnEnter()
    {
        TBestForm form;
        RunModal(form, Context(), [](TBestForm &open) {
            open.BestName->clear();
            QTest::keyClicks(open.BestName, "Zed");
            QTest::keyClick(open.BestName, Qt::Key_Return);
        });
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(record_.Holder, QString("Zed"));
        QCOMPARE(recordName_, QString("Zed"));
    }

    void anyWayOfClosingTakesTheName_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("close box") << 0;
        QTest::newRow("escape") << 1;
        QTest::newRow("hidden") << 2;
    }

    void anyWayOfClosingTakesTheName()
    {
        QFETCH(int, way);
        TBestForm form;
        RunModal(form, Context(), [way](TBestForm &open) {
            open.BestName->setText("Quit");
            if (way == 0)
                open.close();
            else if (way == 1)
                QTest::keyClick(open.BestName, Qt::Key_Escape);
            else
                open.hide();
        });
        QVERIFY(!form.isVisible());
        QCOMPARE(record_.Holder, QString("Quit"));
        QCOMPARE(recordName_, QString("Quit"));
    }

    void nameFieldTakesThirtyCharacters()
    {
        TBestForm form;
        recordName_ = QString(35, 'r'); // too long a stored name is offered cut
        RunModal(form, Context(), [](TBestForm &open) {
            QCOMPARE(open.BestName->text(), QString(30, 'r'));
            open.BestName->clear();
            QTest::keyClicks(open.BestName, QString(31, 'x'));
            QCOMPARE(open.BestName->text(), QString(30, 'x'));
            open.BitBtn1->click();
        });
        QCOMPARE(record_.Holder, QString(30, 'x'));
        QCOMPARE(recordName_, QString(30, 'x'));
    }

    void nameFieldTakesOnlyWhatTheFileStores()
    {
        TBestForm form;
        form.BestName->clear();
        // Typed as a keyboard would, one character a key.
        const QString typed = QString::fromUtf8("Zo\u00eb \u00c5ngstr\u00f6m \u6771\u4eac "
                                                "Don\u2019t \u20ac5\u2122\U0001F600");
        for (qsizetype i = 0; i < typed.size(); ++i) {
            const qsizetype length = typed.at(i).isHighSurrogate() ? 2 : 1;
            QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, typed.mid(i, length));
            QApplication::sendEvent(form.BestName, &key);
            i += length - 1;
        }
        QCOMPARE(form.BestName->text(),
                 QString::fromUtf8("Zo\u00eb \u00c5ngstr\u00f6m  Don\u2019t \u20ac5\u2122"));
        // A paste holding a letter the file cannot store changes nothing.
        form.BestName->selectAll();
        form.BestName->insert(QString::fromUtf8("Zo\u00eb \u6771"));
        QCOMPARE(form.BestName->text(),
                 QString::fromUtf8("Zo\u00eb \u00c5ngstr\u00f6m  Don\u2019t \u20ac5\u2122"));
    }

    void emptyNameIsAccepted()
    {
        TBestForm form;
        RunModal(form, Context(), [](TBestForm &open) {
            open.BestName->clear();
            open.BitBtn1->click();
        });
        QCOMPARE(record_.Holder, QString());
        QCOMPARE(recordName_, QString());
    }

    void helpDoesNotClose()
    {
        TBestForm form;
        RunModal(form, Context(), [](TBestForm &open) {
            open.BitBtn3->click();
            QVERIFY(open.isVisible());
            open.BitBtn1->click();
        });
        QCOMPARE(form.result(), int(QDialog::Accepted));
    }

    void reusedDialogShowsTheNewContext()
    {
        TBestForm form;
        RunModal(form, Context("12"), [](TBestForm &open) { open.BitBtn1->click(); });
        recordName_ = QStringLiteral("Bea");
        TBestFormContext second = Context("7");
        second.Cols = 8;
        RunModal(form, second, [](TBestForm &open) {
            QCOMPARE(open.BestName->text(), QString("Bea"));
            QCOMPARE(open.dLabCol->Caption(), QString("8"));
            QCOMPARE(open.DLabTime->Caption(), QString("7"));
            QCOMPARE(open.DLabTime->Blink(), blHiLo);
            open.BitBtn1->click();
        });
        QCOMPARE(record_.Holder, QString("Bea"));
    }

    void missingContextPointersAreLeftAlone()
    {
        TBestForm form;
        RunModal(form, {.Cols = 9, .Rows = 9, .Mines = 10, .TimeText = "5"}, [](TBestForm &open) {
            QCOMPARE(open.BestName->text(), QString());
            open.BitBtn1->click();
        });
        QCOMPARE(form.DLabTime->Blink(), blNone);
    }
};

QTEST_MAIN(BestFormTest)
#include "best_form_test.moc"
