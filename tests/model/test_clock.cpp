// The game clock, with the wall clock set by the test.
#include "base/Random.h"
#include "base/WallClock.h"
#include "model/TimeType.h"

#include <QTest>

class TestClock : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void startsAtZero();
    void acrossAMinuteBoundary();
    void sameSecondAddsNothing();
    void gapLongerThanAMinute();
    void acrossAnHour();
    void pauseIsNotCounted();
    void clearLeavesLastSecond();
    void systemClock();
    void seedFromTheClock();

private:
    QDateTime now;
    const TWallClock wallClock{[this] { return now; }};
    void setNow(int hour, int minute, int second, int ms = 0)
    {
        now = QDateTime(QDate(2026, 3, 29), QTime(hour, minute, second, ms));
    }
};

void TestClock::init()
{
    setNow(12, 0, 0);
}

void TestClock::startsAtZero()
{
    TimeType clock(wallClock);
    QCOMPARE(int(clock.LastSecond), 0);
    QCOMPARE(clock.Elapsed, 0);
}

void TestClock::acrossAMinuteBoundary()
{
    TimeType clock(wallClock);
    setNow(10, 14, 59);
    clock.Start();
    QCOMPARE(int(clock.LastSecond), 59);
    QCOMPARE(clock.Elapsed, 0);
    setNow(10, 15, 1);
    QVERIFY(clock.Tick());
    QCOMPARE(clock.Elapsed, 2);
    QCOMPARE(int(clock.LastSecond), 1);
}

void TestClock::sameSecondAddsNothing()
{
    TimeType clock(wallClock);
    setNow(10, 14, 59, 100);
    clock.Start();
    setNow(10, 14, 59, 900);
    QVERIFY(!clock.Tick());
    QCOMPARE(clock.Elapsed, 0);
    setNow(10, 15, 1, 0);
    QVERIFY(clock.Tick());
    setNow(10, 15, 1, 750);
    QVERIFY(!clock.Tick());
    QCOMPARE(clock.Elapsed, 2);
}

void TestClock::gapLongerThanAMinute()
{
    TimeType clock(wallClock);
    setNow(8, 0, 10);
    clock.Start();
    now = now.addSecs(75); // second 25
    QVERIFY(clock.Tick());
    QCOMPARE(clock.Elapsed, 15);
}

void TestClock::acrossAnHour()
{
    TimeType clock(wallClock);
    setNow(23, 59, 58);
    clock.Start();
    for (int i = 0; i < 5; ++i) {
        now = now.addSecs(1);
        QVERIFY(clock.Tick());
    }
    QCOMPARE(clock.Elapsed, 5);
    QCOMPARE(int(clock.LastSecond), 3);
}

void TestClock::pauseIsNotCounted()
{
    TimeType clock(wallClock);
    setNow(9, 30, 0);
    clock.Start();
    now = now.addSecs(4);
    QVERIFY(clock.Tick());
    QCOMPARE(clock.Elapsed, 4);
    // Pause: no polls for 30 seconds; the resume calls Start before the next Tick.
    now = now.addSecs(30);
    clock.Start();
    QVERIFY(!clock.Tick());
    QCOMPARE(clock.Elapsed, 4);
    now = now.addSecs(2);
    QVERIFY(clock.Tick());
    QCOMPARE(clock.Elapsed, 6);
}

void TestClock::clearLeavesLastSecond()
{
    TimeType clock(wallClock);
    setNow(9, 30, 40);
    clock.Start();
    now = now.addSecs(7);
    clock.Tick();
    clock.Clear();
    QCOMPARE(clock.Elapsed, 0);
    QCOMPARE(int(clock.LastSecond), 47);
    // The next game's first opening counts from that moment.
    now = now.addSecs(100);
    clock.Start();
    now = now.addSecs(3);
    QVERIFY(clock.Tick());
    QCOMPARE(clock.Elapsed, 3);
}

void TestClock::systemClock()
{
    const int second = TWallClock().LocalSecond();
    QVERIFY(second >= 0 && second < 60);
    TimeType clock;
    clock.Start();
    QVERIFY(clock.LastSecond < 60);
}

void TestClock::seedFromTheClock()
{
    now = QDateTime(QDate(2026, 3, 29), QTime(1, 2, 3, 456), Qt::UTC);
    TRandom random;
    random.Seed(wallClock);
    QCOMPARE(random.State(), quint32(((1 * 60 + 2) * 60 + 3) * 1000 + 456));
    // A local moment is converted to universal time first.
    now = QDateTime(QDate(2026, 3, 29), QTime(1, 2, 3, 456), Qt::UTC).toLocalTime();
    random.Seed(wallClock);
    QCOMPARE(random.State(), quint32(3723456));
}

QTEST_GUILESS_MAIN(TestClock)
#include "test_clock.moc"
