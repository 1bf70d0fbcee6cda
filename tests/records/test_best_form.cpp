#include "controls/DRLabel.h"
#include "records/BestForm.h"

#include <QApplication>
#include <QClipboard>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QToolTip>
#include <QtTest>

#include <functional>

namespace
{

using TWhileOpen = std::function<void(TBestForm &)>;

// A control of the dialog by its designed name; a missing one ends the test.
template <class T> T *Child(const QWidget &form, const char *name)
{
    T *found = form.findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no %s", name);
    return found;
}
TDRLabel *Relief(const QWidget &form, const char *name)
{
    return Child<TDRLabel>(form, name);
}
QLineEdit *NameField(const QWidget &form)
{
    return Child<QLineEdit>(form, "BestName");
}
void ClickOk(const QWidget &form)
{
    Child<QPushButton>(form, "BitBtn1")->click();
}

// Runs the dialog modally and does `whileOpen` to it from inside the modal
// loop, as a person would; returns the name the dialog returned.  If
// `whileOpen` leaves it open, it is closed after a while so a broken test
// fails instead of hanging.
QString RunModal(TBestForm &form, const TBestFormContext &context, const TWhileOpen &whileOpen)
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
    const QString name = form.Execute(context);
    if (!reached)
        qWarning("the dialog was not the active modal window");
    return reached ? name : QStringLiteral("(not reached)");
}

// Each run of spaces of `sentence`, in its own font, must hold the next
// filler without touching the ink of the words on either side, and the ink
// of the sentence must end inside the bevel, clear of it.
void CheckSentence(const QLabel *sentence, const QList<const QWidget *> &fillers,
                   const QFrame *bevel)
{
    const QFontMetrics metrics(sentence->font());
    const QString text = sentence->text();
    const int left = sentence->x();
    QVERIFY2(left + metrics.tightBoundingRect(text).right() <
                 bevel->geometry().right() - bevel->frameWidth() - 1,
             qPrintable(text + " runs into the bevel"));
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
    static TBestFormContext Context(const QString &timeText = QStringLiteral("1234"),
                                    const QString &name = QStringLiteral("Ann"))
    {
        return {.RecordName = name, .Cols = 16, .Rows = 16, .Mines = 40, .TimeText = timeText};
    }

private slots:
    void isAFixedDialogWithOkAsDefault()
    {
        TBestForm form;
        QCOMPARE(form.windowTitle(), QString("New Record!"));
        QCOMPARE(form.size(), QSize(329, 135));
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QVERIFY(Child<QPushButton>(form, "BitBtn1")->isDefault());
        QVERIFY(!form.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QCOMPARE(Relief(form, "DRLabel1")->Caption(), QString("new"));
    }

    // Whatever face stands in for the designed one, no word of the two
    // sentences may hide under a relief label or come near the frame.
    void reliefLabelsStandInTheSentencesGaps()
    {
        TBestForm form;
        QCOMPARE(Relief(form, "DRLabel1")->geometry().topLeft(), QPoint(91, 16));
        QVERIFY(Relief(form, "DRLabel1")->AutoSize());
        QCOMPARE(Relief(form, "dLabCol")->geometry(), QRect(28, 40, 18, 13));
        QCOMPARE(Relief(form, "DLabTime")->geometry(), QRect(224, 32, 40, 24));
        const auto *bevel = Child<QFrame>(form, "Bevel1");
        CheckSentence(Child<QLabel>(form, "Label1"), {Relief(form, "DRLabel1")}, bevel);
        CheckSentence(Child<QLabel>(form, "Label2"),
                      {Relief(form, "dLabCol"), Relief(form, "DLabRow"), Relief(form, "DLabMine"),
                       Relief(form, "DLabTime")},
                      bevel);
    }

    void showFillsTheFieldsAndStartsTheTimeBlinking()
    {
        TBestForm form;
        const QString name = RunModal(form, Context("000"), [](TBestForm &open) {
            QCOMPARE(NameField(open)->text(), QString("Ann"));
            QCOMPARE(Relief(open, "dLabCol")->Caption(), QString("16"));
            QCOMPARE(Relief(open, "DLabRow")->Caption(), QString("16"));
            QCOMPARE(Relief(open, "DLabMine")->Caption(), QString("40"));
            QCOMPARE(Relief(open, "DLabTime")->Caption(), QString("000"));
            QCOMPARE(Relief(open, "DLabTime")->Blink(), blHiLo);
            QCOMPARE(open.focusWidget(), NameField(open));
            ClickOk(open);
        });
        QCOMPARE(Relief(form, "DLabTime")->Blink(), blNone);
        QVERIFY(!Relief(form, "DLabTime")->BlinkTimerActive());
        QCOMPARE(name, QString("Ann"));
    }

    void blinkingAlternatesBlueAndNavyAndStopsOnClose()
    {
        TBestForm form;
        TDRLabel *time = Relief(form, "DLabTime");
        const QColor before = time->FontColor();
        RunModal(form, Context(), [time](TBestForm &open) {
            // The first change comes one period after the start.
            QTRY_COMPARE_WITH_TIMEOUT(time->FontColor(), QColor(Qt::blue), 1000);
            QSet<QRgb> seen;
            for (int i = 0; i < 20; ++i) {
                seen.insert(time->FontColor().rgb());
                QTest::qWait(50);
            }
            QCOMPARE(seen, (QSet<QRgb>{QColor(Qt::blue).rgb(), QColor(Qt::darkBlue).rgb()}));
            open.close();
        });
        QCOMPARE(time->FontColor(), before);
    }

    // The name in the field when the dialog closes, however it closes;
    // a longer stored name is offered cut, an empty one is taken.
    void theNameIsTakenHoweverItCloses_data()
    {
        QTest::addColumn<QString>("offered");
        QTest::addColumn<QString>("typed"); // replaces the offered name
        QTest::addColumn<int>("way");
        QTest::addColumn<QString>("taken");
        const QString thirty(30, 'r');
        QTest::newRow("Enter") << "Ann"
                               << "Zed" << 0 << "Zed";
        QTest::newRow("close box") << "Ann"
                                   << "Quit" << 1 << "Quit";
        QTest::newRow("Escape") << "Ann"
                                << "Quit" << 2 << "Quit";
        QTest::newRow("hidden") << "Ann"
                                << "Quit" << 3 << "Quit";
        QTest::newRow("offered cut") << QString(35, 'r') << QString() << 0 << thirty;
        QTest::newRow("31 typed") << "Ann" << QString(31, 'x') << 0 << QString(30, 'x');
        QTest::newRow("empty") << "Ann"
                               << "" << 0 << "";
    }
    void theNameIsTakenHoweverItCloses()
    {
        QFETCH(QString, offered);
        QFETCH(QString, typed);
        QFETCH(int, way);
        QFETCH(QString, taken);
        TBestForm form;
        const QString name = RunModal(form, Context("1", offered), [&](TBestForm &open) {
            QLineEdit *field = NameField(open);
            if (!typed.isNull()) {
                field->clear();
                QTest::keyClicks(field, typed);
            }
            if (way == 0)
                QTest::keyClick(field, Qt::Key_Return);
            else if (way == 1)
                open.close();
            else if (way == 2)
                QTest::keyClick(field, Qt::Key_Escape);
            else
                open.hide();
        });
        QVERIFY(!form.isVisible());
        QCOMPARE(name, taken);
    }

    void nameFieldTakesOnlyWhatTheFileStores()
    {
        TBestForm form;
        QLineEdit *field = NameField(form);
        field->clear();
        // Typed as a keyboard would, one character a key.
        const QString typed = QString::fromUtf8("Zo\u00eb \u00c5ngstr\u00f6m \u6771\u4eac "
                                                "Don\u2019t \u20ac5\u2122\U0001F600");
        for (qsizetype i = 0; i < typed.size(); ++i) {
            const qsizetype length = typed.at(i).isHighSurrogate() ? 2 : 1;
            QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, typed.mid(i, length));
            QApplication::sendEvent(field, &key);
            i += length - 1;
        }
        QCOMPARE(field->text(),
                 QString::fromUtf8("Zo\u00eb \u00c5ngstr\u00f6m  Don\u2019t \u20ac5\u2122"));
        // A paste keeps what the file stores, and the field says for a while,
        // without a box to answer, which letters were left out.
        form.show();
        field->selectAll();
        QGuiApplication::clipboard()->setText(QString::fromUtf8("Ana \u6771\u4eac \u20ac"));
        field->paste();
        QCOMPARE(field->text(), QString::fromUtf8("Ana  \u20ac"));
        QCOMPARE(field->cursorPosition(), 6);
        QTRY_VERIFY(QToolTip::isVisible());
        QVERIFY2(QToolTip::text().contains(QString::fromUtf8("\u6771\u4eac")),
                 qPrintable(QToolTip::text()));
        QVERIFY(!QApplication::activeModalWidget());
    }

    void helpDoesNotClose()
    {
        TBestForm form;
        RunModal(form, Context(), [](TBestForm &open) {
            Child<QPushButton>(open, "BitBtn3")->click();
            QVERIFY(open.isVisible());
            ClickOk(open);
        });
        QCOMPARE(form.result(), int(QDialog::Accepted));
    }

    void reusedDialogShowsTheNewContext()
    {
        TBestForm form;
        RunModal(form, Context("12"), [](TBestForm &open) { ClickOk(open); });
        TBestFormContext second = Context("7", "Bea");
        second.Cols = 8;
        const QString name = RunModal(form, second, [](TBestForm &open) {
            QCOMPARE(NameField(open)->text(), QString("Bea"));
            QCOMPARE(Relief(open, "dLabCol")->Caption(), QString("8"));
            QCOMPARE(Relief(open, "DLabTime")->Caption(), QString("7"));
            QCOMPARE(Relief(open, "DLabTime")->Blink(), blHiLo);
            ClickOk(open);
        });
        QCOMPARE(name, QString("Bea"));
    }
};

QTEST_MAIN(BestFormTest)
#include "test_best_form.moc"
