#include "controls/fxRepeatBtn.h"

#include "support/MessageRecorder.h"

#include <QElapsedTimer>
#include <QtTest>
#include <stdexcept>

namespace
{

// A window with one 25 x 25 button at (20, 20); events go through the
// window so that Qt's own pointer grab applies.
struct Rig {
    QWidget window;
    TfxRepeatBtn *button = new TfxRepeatBtn(&window);
    QList<qint64> clickTimes;
    QElapsedTimer clock;

    Rig(int initDelay = 200, int repeatDelay = 100, bool repeat = true)
    {
        window.resize(120, 80);
        button->setGeometry(20, 20, 25, 25);
        button->SetInitDelay(initDelay);
        button->SetRepeatDelay(repeatDelay);
        button->SetRepeatEnabled(repeat);
        QObject::connect(button, &TfxRepeatBtn::clicked, &window,
                         [this] { clickTimes << clock.elapsed(); });
        window.show();
    }
    int clicks() const { return int(clickTimes.size()); }
    QWindow *handle() { return window.windowHandle(); }

    static constexpr QPoint Over{32, 32};
    static constexpr QPoint Off{90, 60};

    void press(Qt::MouseButton mouseButton = Qt::LeftButton, QPoint at = Over)
    {
        clock.start();
        QTest::mousePress(handle(), mouseButton, {}, at);
    }
    void release(Qt::MouseButton mouseButton = Qt::LeftButton, QPoint at = Over)
    {
        QTest::mouseRelease(handle(), mouseButton, {}, at);
    }
    void moveTo(QPoint at) { QTest::mouseMove(handle(), at); }
};

} // namespace

class TestRepeatButton : public QObject
{
    Q_OBJECT

private slots:
    void neverTakesTheFocusAndKeepsItsReadOnlyTexts()
    {
        TfxRepeatBtn button;
        QCOMPARE(button.focusPolicy(), Qt::NoFocus);
        QCOMPARE(button.InitDelay(), 400);
        QCOMPARE(button.RepeatDelay(), 100);
        QVERIFY(!button.RepeatEnabled());
        button.SetVersion(QStringLiteral("1.0"));
        QCOMPARE(button.Version(), QStringLiteral("Beta 0.50"));
        const QString copyright = button.Copyright();
        button.SetCopyright(QStringLiteral("x"));
        QCOMPARE(button.Copyright(), copyright);
    }

    void holdingClicksAtTheFirstDelayThenEveryRepeatDelay()
    {
        Rig rig;
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        rig.press();
        QVERIFY(rig.button->IsDown());
        QVERIFY(rig.button->HasRepeatTimer());
        QTRY_COMPARE(rig.clicks(), 1);
        QVERIFY2(rig.clickTimes[0] >= 190, qPrintable(QString::number(rig.clickTimes[0])));
        QTRY_COMPARE(rig.clicks(), 3);
        QVERIFY(rig.clickTimes[1] - rig.clickTimes[0] >= 90);
        QVERIFY(rig.clickTimes[2] - rig.clickTimes[1] >= 90);
        rig.release();
        QCOMPARE(rig.clicks(), 4); // the release over the button clicks once more
        QVERIFY(!rig.button->HasRepeatTimer());
        QTest::qWait(250);
        QCOMPARE(rig.clicks(), 4);
    }

    void aQuickPressClicksOnceAtTheRelease()
    {
        Rig rig;
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        rig.press();
        rig.release();
        QCOMPARE(rig.clicks(), 1);
        QVERIFY(!rig.button->HasRepeatTimer());
        QTest::qWait(300);
        QCOMPARE(rig.clicks(), 1);
    }

    void noClickWhileThePointerIsOffTheButton()
    {
        Rig rig;
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        rig.press();
        QTRY_COMPARE(rig.clicks(), 1);
        rig.moveTo(Rig::Off);
        QVERIFY(!rig.button->IsDown());
        const int before = rig.clicks();
        QTest::qWait(350);
        QCOMPARE(rig.clicks(), before);
        QVERIFY(rig.button->HasRepeatTimer());
        rig.moveTo(Rig::Over);
        QVERIFY(rig.button->IsDown());
        QTRY_COMPARE(rig.clicks(), before + 1);
        rig.moveTo(Rig::Off);
        const int held = rig.clicks();
        rig.release(Qt::LeftButton, Rig::Off);
        QCOMPARE(rig.clicks(), held); // no click at a release off the button
        QVERIFY(!rig.button->HasRepeatTimer());
    }

    void theSecondaryButtonRunsTheTimerButNeverClicks()
    {
        Rig rig;
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        rig.press(Qt::RightButton);
        QVERIFY(rig.button->HasRepeatTimer());
        QVERIFY(!rig.button->IsDown());
        QTest::qWait(350);
        rig.release(Qt::RightButton);
        QVERIFY(!rig.button->HasRepeatTimer());
        QCOMPARE(rig.clicks(), 0);
    }

    void anyReleaseEndsTheRepeating()
    {
        Rig rig;
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        rig.press();
        QTRY_COMPARE(rig.clicks(), 1);
        QTest::mousePress(rig.handle(), Qt::RightButton, {}, Rig::Over);
        QTest::mouseRelease(rig.handle(), Qt::RightButton, {}, Rig::Over);
        QVERIFY(!rig.button->HasRepeatTimer());
        const int stopped = rig.clicks();
        QTest::qWait(300);
        QCOMPARE(rig.clicks(), stopped);
        rig.release();
        QCOMPARE(rig.clicks(), stopped + 1);
    }

    void withoutRepeatingEachPressClicksOnce()
    {
        Rig rig(400, 100, false);
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        rig.press();
        QVERIFY(!rig.button->HasRepeatTimer());
        QTest::qWait(500);
        QCOMPARE(rig.clicks(), 0);
        rig.release();
        QCOMPARE(rig.clicks(), 1);
    }

    void aDisabledButtonNeitherClicksNorRepeats()
    {
        Rig rig;
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        rig.button->setEnabled(false);
        rig.press();
        QVERIFY(!rig.button->HasRepeatTimer());
        QTest::qWait(300);
        rig.release();
        QCOMPARE(rig.clicks(), 0);
    }

    void zeroDelaysStopTheTimer()
    {
        Rig noRepeat(0, 100);
        QVERIFY(QTest::qWaitForWindowExposed(&noRepeat.window));
        noRepeat.press();
        QTest::qWait(250);
        QCOMPARE(noRepeat.clicks(), 0);
        noRepeat.release();
        QCOMPARE(noRepeat.clicks(), 1);

        Rig once(100, 0);
        QVERIFY(QTest::qWaitForWindowExposed(&once.window));
        once.press();
        QTRY_COMPARE(once.clicks(), 1);
        QTest::qWait(300);
        QCOMPARE(once.clicks(), 1);
        once.release();
        QCOMPARE(once.clicks(), 2);
    }

    void aFailingClickEndsTheRepeatingAndIsReported()
    {
        MessageRecorder boxes;
        Rig rig(100, 50);
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        bool failNext = true;
        QObject::disconnect(rig.button, &TfxRepeatBtn::clicked, nullptr, nullptr);
        QObject::connect(rig.button, &TfxRepeatBtn::clicked, &rig.window, [&] {
            rig.clickTimes << rig.clock.elapsed();
            if (failNext) {
                failNext = false;
                throw std::runtime_error("board locked");
            }
        });
        rig.press();
        QTRY_COMPARE(rig.clicks(), 1);
        QVERIFY(!rig.button->HasRepeatTimer());
        QCOMPARE(boxes.texts(), QStringList{QStringLiteral("board locked")});
        QCOMPARE(boxes.boxes.at(0).first, TMsgType::mtError);
        QTest::qWait(250);
        QCOMPARE(rig.clicks(), 1);
        rig.release();
        QCOMPARE(rig.clicks(), 2);
        // The next press starts afresh.
        rig.press();
        QTRY_COMPARE(rig.clicks(), 4);
        rig.release();
    }
};

QTEST_MAIN(TestRepeatButton)
#include "test_repeat_button.moc"
