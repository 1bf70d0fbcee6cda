// The volume window and the sound set-up window: the slider is heard at
// once and stored only on OK; the set-up window offers only real output
// drivers, keeps what it cannot list, and confirms or cancels.
#include "MusicTestSupport.h"
#include "music/AudioSetupForm.h"
#include "music/MusicForm.h"
#include "support/MessageRecorder.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QtTest>

#include <cmath>
#include <functional>

namespace
{

void AddModules(TTestFolder &folder, TMusic &music, const QList<QByteArray> &titles)
{
    QStringList files;
    for (const QByteArray &title : titles) {
        const QString name = QString::fromLatin1(title) + ".mod";
        QVERIFY(folder.Write(name, TinyModule(title, 64, 20)));
        files << folder.File(name);
    }
    GiveList(music, files);
}

// A control of a window by its name; the test fails at once without it.
template <class T> T *Child(QWidget &window, const char *name)
{
    T *found = window.findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no %s named %s", T::staticMetaObject.className(), name);
    return found;
}

QSlider *Slider(TMusicForm &form)
{
    return Child<QSlider>(form, "TBVolume");
}

QComboBox *Box(TAudioSetupForm &form, const char *name)
{
    return Child<QComboBox>(form, name);
}

QLabel *Line(TAudioSetupForm &form, const char *name)
{
    return Child<QLabel>(form, name);
}

// Frames mixed from now on; the disk driver's file holds every one of them.
std::uint64_t MixMore(TMusic &music, std::uint64_t frames)
{
    const std::uint64_t start = music.Sound().MixedFrames();
    WaitUntil([&] { return music.Sound().MixedFrames() >= start + frames; });
    return music.Sound().MixedFrames();
}

// The loudness of `frames` frames of the disk driver's file from `from` on.
double Rms(const QByteArray &raw, std::uint64_t from, std::uint64_t frames)
{
    const auto *samples = reinterpret_cast<const qint16 *>(raw.constData());
    const std::uint64_t end = std::min<std::uint64_t>((from + frames) * 2, raw.size() / 2);
    double sum = 0;
    std::uint64_t count = 0;
    for (std::uint64_t i = from * 2; i < end; ++i, ++count)
        sum += double(samples[i]) * samples[i];
    return count ? std::sqrt(sum / double(count)) : 0.0;
}

// Runs a modal window and does `whileOpen` to it from inside its loop, as a
// person would; a window left open is closed later so that a broken test
// fails instead of hanging.
void RunModal(QDialog &dialog, const std::function<bool()> &run,
              const std::function<void()> &whileOpen, bool *result)
{
    bool reached = false;
    QTimer::singleShot(0, &dialog, [&] {
        reached = QApplication::activeModalWidget() == &dialog;
        if (reached)
            whileOpen();
    });
    QPointer<QDialog> guard(&dialog);
    QTimer::singleShot(5000, &dialog, [guard] {
        if (guard && guard->isVisible())
            guard->reject();
    });
    *result = run();
    QVERIFY2(reached, "the window was not the active modal window");
}

// Frames after a change before it is surely heard: the buffer being mixed
// when it came, the next one, and the volume's glide.
constexpr std::uint64_t Settle = 2 * 2048 + 512;
constexpr std::uint64_t Window = 8192;

} // namespace

class TestMusicWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!qEnvironmentVariableIsSet("SDL_AUDIODRIVER"))
            qputenv("SDL_AUDIODRIVER", "disk");
        // About five times real speed: long enough to move a slider in.
        qputenv("SDL_DISKAUDIODELAY", "2");
    }

    void volumeWindowLooks()
    {
        TTestFolder folder;
        TMusic music(folder.Sound, folder.Store);
        TMusicForm form(music);
        QLabel *label = Child<QLabel>(form, "Label1");
        QSlider *slider = Slider(form);
        QPushButton *okButton = Child<QPushButton>(form, "BitBtn1");
        QCOMPARE(form.windowTitle(), QString("Volume"));
        QCOMPARE(form.size(), QSize(218, 75));
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QVERIFY(form.windowFlags() & Qt::WindowMinimizeButtonHint);
        QCOMPARE(label->text(), QString("Volume:"));
        QCOMPARE(QList<int>({slider->minimum(), slider->maximum(), slider->singleStep(),
                             slider->tickInterval()}),
                 QList<int>({0, 64, 1, 5}));
        QCOMPARE(slider->tickPosition(), QSlider::TicksBelow);
        QVERIFY(label->geometry().right() < slider->geometry().left());
        const QRect ok = okButton->geometry();
        QVERIFY(okButton->isDefault());
        QVERIFY(std::abs(ok.center().x() - 218 / 2) <= 1);
        QVERIFY(ok.top() > slider->geometry().bottom() && ok.bottom() < 75);
    }

    void volumeWindowShowsTheStoredVolume_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("shown");
        QTest::newRow("never stored") << QVariant() << 64;
        QTest::newRow("stored") << QVariant(23) << 23;
        QTest::newRow("silence") << QVariant(0) << 0;
    }

    void volumeWindowShowsTheStoredVolume()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, shown);
        TTestFolder folder;
        if (stored.isValid())
            TestStore().setValue("VOLUME", stored);
        TMusic music(folder.Sound, folder.Store);
        TMusicForm form(music);
        Slider(form)->setValue(50); // left over from an earlier showing
        form.show();
        QCOMPARE(Slider(form)->value(), shown);
        form.close();
        // Shown again after the volume changed elsewhere: the new one.
        music.SetVolume(9);
        form.show();
        QCOMPARE(Slider(form)->value(), 9);
        form.close();
    }

    void volumeWindowEnds_data()
    {
        QTest::addColumn<int>("how");
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("OK clicked") << 0 << true;
        QTest::newRow("Enter") << 1 << true;
        QTest::newRow("close box") << 2 << false;
        QTest::newRow("Escape") << 3 << false;
    }

    void volumeWindowEnds()
    {
        QFETCH(int, how);
        QFETCH(bool, confirmed);
        TTestFolder folder;
        TMusic music(folder.Sound, folder.Store);
        TMusicForm form(music);
        bool result = !confirmed;
        RunModal(
            form, [&] { return form.Execute(); },
            [&] {
                QSlider *slider = Slider(form);
                QTest::keyClick(slider, Qt::Key_Left); // by the keyboard: 63
                slider->setValue(slider->value() - 3);
                if (how == 0)
                    QTest::mouseClick(Child<QPushButton>(form, "BitBtn1"), Qt::LeftButton);
                else if (how == 1)
                    QTest::keyClick(slider, Qt::Key_Return);
                else if (how == 2)
                    form.close();
                else
                    QTest::keyClick(slider, Qt::Key_Escape);
            },
            &result);
        QCOMPARE(result, confirmed);
        QCOMPARE(music.Volume(), confirmed ? 60 : 64);
        // Stored on OK only.
        QCOMPARE(TestStore().value("VOLUME").toString(), confirmed ? QString("60") : QString());
    }

    void sliderIsHeardAtOnceAndTheCloseBoxKeepsIt()
    {
        TTestFolder folder;
        TestStore().setValue("VOLUME", 64);
        MessageRecorder boxes;
        TMusic music(folder.Sound, folder.Store);
        AddModules(folder, music, {"first", "second"});
        QVERIFY(PlayHeard(music));
        QVERIFY(WaitForDevice(music));
        TMusicForm form(music);
        form.show();
        const std::uint64_t beforeMove = MixMore(music, Window + Settle);

        Slider(form)->setValue(16);
        const std::uint64_t moved = music.Sound().MixedFrames();
        MixMore(music, Settle + Window);
        form.close();
        const std::uint64_t closed = music.Sound().MixedFrames();
        MixMore(music, Settle + Window);
        QCOMPARE(music.PlayingTitle(), QString("first"));

        QVERIFY(music.NextModule()); // the next module starts at the player's volume
        const std::uint64_t next = music.Sound().MixedFrames();
        MixMore(music, Settle + Window);
        music.Stop(true);
        folder.Sound.FinishDeviceWork();

        const QByteArray raw = folder.Read("audio.raw");
        const double full = Rms(raw, beforeMove - Window, Window);
        QVERIFY2(full > 1000, qPrintable(QString::number(full)));
        const double quarter = Rms(raw, moved + Settle, Window) / full;
        const double afterClose = Rms(raw, closed + Settle, Window) / full;
        const double nextModule = Rms(raw, next + Settle, Window) / full;
        QVERIFY2(std::abs(quarter - 0.25) < 0.03, qPrintable(QString::number(quarter)));
        QVERIFY2(std::abs(afterClose - 0.25) < 0.03, qPrintable(QString::number(afterClose)));
        QVERIFY2(std::abs(nextModule - 1.0) < 0.1, qPrintable(QString::number(nextModule)));
        QCOMPARE(music.Volume(), 64);
        QCOMPARE(TestStore().value("VOLUME").toString(), QString("64"));
        QVERIFY(boxes.boxes.isEmpty());
    }

    void sliderWithMusicOffCallsNothing_data()
    {
        QTest::addColumn<bool>("played");
        QTest::newRow("switched off") << true;
        QTest::newRow("never played") << false;
    }

    void sliderWithMusicOffCallsNothing()
    {
        QFETCH(bool, played);
        TTestFolder folder;
        MessageRecorder boxes;
        TMusic music(folder.Sound, folder.Store);
        AddModules(folder, music, {"first"});
        if (played) {
            QVERIFY(PlayHeard(music));
            music.Stop(false);
        }
        const bool suspended = music.IsSuspended();
        TMusicForm form(music);
        form.show();
        for (int volume : {10, 0, 64, 33})
            Slider(form)->setValue(volume);
        QTest::keyClick(Slider(form), Qt::Key_Home);
        form.close();

        // Any call would have left its trace: an error for a handle that
        // plays nothing, or a device opened or resumed.
        QVERIFY(music.Sound().LastError().isEmpty());
        QVERIFY(!music.Sound().IsOpen());
        QCOMPARE(music.IsSuspended(), suspended);
        QVERIFY(!music.IsPlaying());
        QCOMPARE(music.Volume(), 64);
        QVERIFY(boxes.boxes.isEmpty());
    }

    void setupWindowOffersOnlyOutputDrivers()
    {
        TSoundModule sound;
        TAudioSetupForm form(sound);
        QStringList offered;
        for (int i = 0; i < Box(form, "DriverBox")->count(); ++i)
            offered << Box(form, "DriverBox")->itemText(i);
        QCOMPARE(offered, QStringList{"Automatic"} + sound.OutputDrivers());
        QVERIFY(!offered.contains("disk"));
        QVERIFY(!offered.contains("dummy"));
    }

    void setupWindowKeepsWhatItCannotList_data()
    {
        QTest::addColumn<int>("driverIndex");
        QTest::addColumn<QString>("device");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("bufferMs");
        QTest::newRow("all automatic") << -1 << QString() << 0 << 0;
        QTest::newRow("listed choices") << 0 << QString() << 44100 << 40;
        QTest::newRow("unplugged device, odd values")
            << 0 << QString::fromUtf8("USB Headset, Аналоговый") << 96000 << 33;
    }

    void setupWindowKeepsWhatItCannotList()
    {
        QFETCH(int, driverIndex);
        QFETCH(QString, device);
        QFETCH(int, rate);
        QFETCH(int, bufferMs);
        TSoundModule sound;
        const QStringList drivers = sound.OutputDrivers();
        const QString driver = driverIndex < 0 ? QString() : drivers.value(driverIndex);
        const TAudioSetup setup{driver, device, rate, bufferMs};
        TAudioSetupForm form(sound);
        form.ShowSetup(setup, TAudioInUse{});
        QCOMPARE(form.ChosenSetup(), setup);
    }

    void changingTheDriverListsItsDevices()
    {
        TSoundModule sound;
        const QStringList drivers = sound.OutputDrivers();
        if (drivers.size() < 2)
            QSKIP("This SDL has fewer than two output drivers.");
        TAudioSetupForm form(sound);
        form.ShowSetup(TAudioSetup{drivers[0], "Somewhere", 0, 0}, TAudioInUse{});
        QComboBox *devices = Box(form, "DeviceBox");
        QCOMPARE(devices->currentData().toString(), QString("Somewhere"));
        Box(form, "DriverBox")->setCurrentIndex(Box(form, "DriverBox")->findData(drivers[1]));
        auto listed = [&] {
            QStringList items;
            for (int i = 0; i < devices->count(); ++i)
                items << devices->itemData(i).toString();
            return items;
        };
        // Listed without holding the window, by the device worker.
        QTRY_COMPARE(listed(), QStringList{QString()} + sound.OutputDevices(drivers[1]));
        QCOMPARE(devices->currentIndex(), 0); // back to Automatic
        QCOMPARE(form.ChosenSetup().Driver, drivers[1]);
    }

    void setupWindowShowsWhatIsInUse()
    {
        TSoundModule sound;
        TAudioSetupForm form(sound);
        form.ShowSetup(TAudioSetup{}, TAudioInUse{true, "disk", QString(), 48000, 2048});
        QVERIFY(!Line(form, "ClosedNote")->isVisibleTo(&form));
        QCOMPARE(Line(form, "InUseBuffer")->text(), QString("2048 frames (42.7 ms)"));
        QVERIFY(Line(form, "EnvironmentNote")->isVisibleTo(&form)); // the tests force "disk"
        form.ShowSetup(TAudioSetup{}, TAudioInUse{});
        QVERIFY(Line(form, "ClosedNote")->isVisibleTo(&form));
        QVERIFY(!Line(form, "InUseDriver")->isVisibleTo(&form));
    }

    void cardSetupThroughTheWindow_data()
    {
        QTest::addColumn<bool>("confirm");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }

    void cardSetupThroughTheWindow()
    {
        QFETCH(bool, confirm);
        TTestFolder folder;
        MessageRecorder boxes;
        TMusic music(folder.Sound, folder.Store);
        AddModules(folder, music, {"first", "second"});
        QVERIFY(PlayHeard(music));
        QVERIFY(WaitForDevice(music));
        TAudioSetupForm form(folder.Sound);
        TCardSetupResult result = TCardSetupResult::csrNotRestarted;
        bool reached = false;
        QTimer::singleShot(0, &form, [&] {
            reached = QApplication::activeModalWidget() == &form;
            // As it was before closing.
            QCOMPARE(Line(form, "InUseDriver")->text(), QString("disk"));
            QVERIFY(!music.IsInitialized());
            QComboBox *rates = Box(form, "RateBox");
            rates->setCurrentIndex(rates->findData(22050));
            Child<QDialogButtonBox>(form, "Buttons")
                ->button(confirm ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)
                ->click();
        });
        result = form.CardSetup(music);
        QVERIFY(reached);
        QCOMPARE(result, TCardSetupResult::csrRestarted);
        QCOMPARE(music.PlayingTitle(), QString("second"));
        QCOMPARE(music.Setup().MixRate, confirm ? 22050 : 0);
        QCOMPARE(TestStore().contains("MUSIC_SETUP/MIXRATE"), confirm);
        QVERIFY(boxes.boxes.isEmpty());
    }
};

QTEST_MAIN(TestMusicWindows)
#include "test_music_windows.moc"
