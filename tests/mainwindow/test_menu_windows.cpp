// The menu commands that open windows: each window is made once and reused,
// and what it returns reaches the player, the menu and the settings store.

#include "FormFixture.h"

#include "controls/SpinEdit.h"
#include "dialogs/LicenseForm.h"
#include "dialogs/MAboutForm.h"
#include "dialogs/MessageBoxes.h"
#include "mpris/MediaControls.h"
#include "music/AudioSetupForm.h"
#include "music/MusicForm.h"
#include "music/MusicTestSupport.h"
#include "music/PlayForm.h"
#include "support/MessageRecorder.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

#include <functional>

namespace
{

// Runs `answer` on the modal window of type T as soon as it is open, and
// counts the windows answered and the different ones seen.
template <class T> class ModalAnswer
{
public:
    explicit ModalAnswer(std::function<void(T *)> answer) : answer_(std::move(answer))
    {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto *window = qobject_cast<T *>(QApplication::activeModalWidget())) {
                ++answered;
                seen.insert(window);
                answer_(window);
            }
        });
        timer_.start();
    }
    int answered = 0;
    QSet<T *> seen;

private:
    std::function<void(T *)> answer_;
    QTimer timer_;
};

void PressOk(QDialog *dialog)
{
    dialog->findChild<QDialogButtonBox *>("Buttons")->button(QDialogButtonBox::Ok)->click();
}

// A play list of small modules in the fixture's folder, as the game's
// default play list.
void WritePlayList(FormFixture &fixture, const QList<const char *> &names = {"one.mod", "two.mod"})
{
    QFile list(fixture.dir.filePath("Ferrox.M3U"));
    QVERIFY(list.open(QIODevice::WriteOnly));
    for (const char *name : names) {
        QFile module(fixture.dir.filePath(name));
        QVERIFY(module.open(QIODevice::WriteOnly));
        module.write(TinyModule(QByteArray("tune ") + name, 64, 6));
        list.write(QByteArray(name) + "\r\n");
    }
}

} // namespace

class MenuWindowsTest : public QObject
{
    Q_OBJECT

private slots:
    void aboutAndLicenseAreMadeOnceAndReused()
    {
        FormFixture fixture;
        TMineForm &form = fixture.start();
        ModalAnswer<TMAboutForm> about([](TMAboutForm *window) { window->close(); });
        Find<QAction>(form, "MHAbout")->trigger();
        Find<QAction>(form, "MHAbout")->trigger();
        QCOMPARE(about.answered, 2);
        QCOMPARE(about.seen.size(), 1);

        ModalAnswer<TLicenseForm> license([](TLicenseForm *window) { window->close(); });
        Find<QAction>(form, "License1")->trigger();
        QCOMPARE(license.answered, 1);
        QCOMPARE(form.findChildren<TLicenseForm *>().size(), 1);
    }

    void volumeIsStoredOnlyOnOk()
    {
        FormFixture fixture;
        TMineForm &form = fixture.start();
        int shown = -1;
        {
            ModalAnswer<TMusicForm> volume([&](TMusicForm *window) {
                auto *slider = window->findChild<QSlider *>("TBVolume");
                shown = slider->value();
                slider->setValue(30);
                window->close();
            });
            Find<QAction>(form, "MMVolume")->trigger();
            QCOMPARE(shown, 64); // never stored
            QCOMPARE(form.Music().Volume(), 64);
            QVERIFY(!TestStore().contains("VOLUME"));
        }

        ModalAnswer<TMusicForm> confirm([](TMusicForm *window) {
            window->findChild<QSlider *>("TBVolume")->setValue(30);
            window->findChild<QPushButton *>("BitBtn1")->click();
        });
        Find<QAction>(form, "MMVolume")->trigger();
        QCOMPARE(form.Music().Volume(), 30);
        QCOMPARE(TestStore().value("VOLUME").toInt(), 30);
    }

    void cardSetupWhileMusicIsOffKeepsItOff()
    {
        FormFixture fixture;
        WritePlayList(fixture);
        TMineForm &form = fixture.start();
        MessageRecorder boxes;
        Find<QAction>(form, "MUSong")->trigger();
        QVERIFY(WaitForDevice(form.Music()));
        Find<QAction>(form, "MUSong")->trigger();
        QVERIFY(WaitForDevice(form.Music()));
        QCOMPARE(Find<QAction>(form, "MUSong")->text(), QString("Turn On"));
        ModalAnswer<TAudioSetupForm> setup([](TAudioSetupForm *window) { PressOk(window); });
        Find<QAction>(form, "MMSetup")->trigger();
        QCOMPARE(setup.answered, 1);
        QCOMPARE(Find<QAction>(form, "MUSong")->text(), QString("Turn On"));
        QVERIFY(!form.Music().IsSwitchedOn());
        QVERIFY(!form.Music().IsPlaying());
        fixture.stop();
        QCOMPARE(TestStore().value("MUSIC").toInt(), 0);
        QVERIFY(boxes.boxes.isEmpty());
    }

    void aRejectedDeviceLeavesMusicOffInTheMenuToo()
    {
        FormFixture fixture;
        WritePlayList(fixture);
        TMineForm &form = fixture.start();
        MessageRecorder boxes;
        Find<QAction>(form, "MUSong")->trigger();
        QVERIFY(WaitForDevice(form.Music()));
        QVERIFY(form.Music().IsPlaying());
        const QByteArray driver = qgetenv("SDL_AUDIODRIVER");
        ModalAnswer<TAudioSetupForm> setup([](TAudioSetupForm *window) {
            qputenv("SDL_AUDIODRIVER", "no-such-driver");
            PressOk(window);
        });
        Find<QAction>(form, "MMSetup")->trigger();
        // The device is opened in the background; its failure comes later.
        QTRY_COMPARE(boxes.boxes.size(), 1);
        qputenv("SDL_AUDIODRIVER", driver);
        QVERIFY(boxes.texts().at(0).startsWith("Couldn't initialize audio!"));
        QVERIFY(!form.Music().IsPlaying());
        QCOMPARE(Find<QAction>(form, "MUSong")->text(), QString("Turn On"));
        QVERIFY(!form.Music().IsSwitchedOn());
        // Switching music on again works with the device back.
        Find<QAction>(form, "MUSong")->trigger();
        QVERIFY(WaitForDevice(form.Music()));
        QVERIFY(form.Music().IsPlaying());
        QCOMPARE(Find<QAction>(form, "MUSong")->text(), QString("Turn Off"));
    }

    void cardSetupWhilePlayingMovesOnToTheNextModule()
    {
        FormFixture fixture;
        WritePlayList(fixture);
        TMineForm &form = fixture.start();
        MessageRecorder boxes;
        Find<QAction>(form, "MUSong")->trigger();
        QVERIFY(WaitForDevice(form.Music()));
        QCOMPARE(form.Music().PlayingTitle(), QString("tune one.mod"));
        ModalAnswer<TAudioSetupForm> setup([](TAudioSetupForm *window) { window->reject(); });
        Find<QAction>(form, "MMSetup")->trigger();
        QVERIFY(WaitForDevice(form.Music()));
        QVERIFY(form.Music().IsPlaying());
        QCOMPARE(form.Music().PlayingTitle(), QString("tune two.mod"));
        QCOMPARE(Find<QAction>(form, "MUSong")->text(), QString("Turn Off"));
    }

    void thePlayListWindowIsMadeOnce()
    {
        FormFixture fixture;
        WritePlayList(fixture);
        TMineForm &form = fixture.start();
        MessageRecorder boxes;
        ModalAnswer<TPlayForm> playList(
            [](TPlayForm *window) { window->findChild<QPushButton *>("BitBtn1")->click(); });
        Find<QAction>(form, "MUFile")->trigger();
        Find<QAction>(form, "MUFile")->trigger();
        QCOMPARE(playList.answered, 2);
        QCOMPARE(playList.seen.size(), 1);
        QCOMPARE(form.Music().List().Count(), 2);
        // Music off: OK only sets the list, nothing plays.
        QVERIFY(!form.Music().IsPlaying());
    }

    // A start entry chosen while music is off: the module still loaded plays
    // first, and the title panel names it, not the entry before the start.
    void theTitleShownIsTheModuleThatPlays()
    {
        FormFixture fixture;
        WritePlayList(fixture, {"one.mod", "two.mod", "three.mod", "four.mod"});
        TMineForm &form = fixture.start();
        MessageRecorder boxes;
        TBevelPanel *panel = Find<TBevelPanel>(form, "DownPanel");
        Find<QAction>(form, "MUSong")->trigger();
        QVERIFY(WaitForDevice(form.Music()));
        QCOMPARE(panel->Caption(), QString("tune one.mod"));
        Find<QAction>(form, "MUSong")->trigger();
        QVERIFY(WaitForDevice(form.Music()));
        ModalAnswer<TPlayForm> playList([](TPlayForm *window) {
            window->findChild<QComboBox *>("PlayCombo")->setCurrentIndex(3);
            window->findChild<QPushButton *>("BitBtn1")->click();
        });
        Find<QAction>(form, "MUFile")->trigger();
        panel->SetCaption("version 2.1");

        Find<QAction>(form, "MUSong")->trigger();
        QVERIFY(WaitForDevice(form.Music()));
        QCOMPARE(panel->Caption(), QString("tune one.mod"));
        panel->SetCaption("version 2.1");
        fixture.handle("DownPanelClick");
        QCOMPARE(panel->Caption(), QString("tune one.mod"));
        // When it ends, the start entry follows, and names itself.
        QTRY_COMPARE_WITH_TIMEOUT(panel->Caption(), QString("tune four.mod"), 20000);
        QVERIFY(boxes.boxes.isEmpty());
    }

    // OK on an empty play list while music plays: the player cannot go on,
    // and the Music item, the stored option and the player all say so; the
    // item then needs one use, not two, to start a new list.
    void anEmptyListStopsTheMusicEverywhere()
    {
        FormFixture fixture;
        WritePlayList(fixture);
        TMineForm &form = fixture.start();
        MessageRecorder boxes;
        Find<QAction>(form, "MUSong")->trigger();
        QVERIFY(WaitForDevice(form.Music()));
        QVERIFY(form.Music().IsPlaying());
        // Real boxes, each answered as soon as it shows.  Both stand over the
        // game (or over its window, which stands over the game): the second
        // too, which comes just as the first has gone and no window is active.
        const TMessageHandler recorder = SetMessageHandler({});
        InstallMessageBoxes();
        QStringList shown;
        QList<QWidget *> owners;
        ModalAnswer<QMessageBox> answer([&](QMessageBox *box) {
            shown << box->text();
            QWidget *owner = box->parentWidget();
            owners << (owner && owner->parentWidget() == &form ? &form : owner);
            box->button(QMessageBox::Ok)->click();
        });
        ModalAnswer<TPlayForm> playList([](TPlayForm *window) {
            window->findChild<QAction *>("MFClear")->trigger();
            window->findChild<QPushButton *>("BitBtn1")->click();
        });
        Find<QAction>(form, "MUFile")->trigger();
        SetMessageHandler(recorder);
        QCOMPARE(shown, QStringList(2, "Sorry, the playList is empty!"));
        QCOMPARE(owners, QList<QWidget *>(2, &form));
        QVERIFY(!form.Music().IsPlaying());
        QCOMPARE(Find<QAction>(form, "MUSong")->text(), QString("Turn On"));
        QVERIFY(!form.Music().IsSwitchedOn());

        TPlayList list;
        AddFiles(list, {fixture.dir.filePath("one.mod")}, fixture.sound);
        form.Music().ReplaceList(list, 0);
        QVERIFY(!form.Music().IsPlaying());
        Find<QAction>(form, "MUSong")->trigger();
        QVERIFY(WaitForDevice(form.Music()));
        QVERIFY(form.Music().IsPlaying());
        QCOMPARE(Find<QAction>(form, "MUSong")->text(), QString("Turn Off"));
        QVERIFY(form.Music().IsSwitchedOn());
        QVERIFY(boxes.boxes.isEmpty());
        fixture.stop();
        QCOMPARE(TestStore().value("MUSIC").toInt(), 1);
    }

    // The game ended from outside (here the media controls' Quit) while one
    // of these windows waits for an answer: it drops its edits as its Cancel
    // does, and the game ends.
    void endingFromOutsideDropsTheEditsOfAWaitingWindow_data()
    {
        QTest::addColumn<QString>("item");
        QTest::newRow("custom size") << "MGCustom";
        QTest::newRow("volume") << "MMVolume";
        QTest::newRow("play list") << "MUFile";
        QTest::newRow("card setup") << "MMSetup";
    }

    void endingFromOutsideDropsTheEditsOfAWaitingWindow()
    {
        QFETCH(QString, item);
        FormFixture fixture;
        WritePlayList(fixture);
        TMineForm &form = fixture.start();
        const TBoardSize board = form.Game().Model().BoardSize();
        const TAudioSetup setup = form.Music().Setup();
        int edited = 0;
        QTimer waiter;
        QObject::connect(&waiter, &QTimer::timeout, [&] {
            QWidget *window = QApplication::activeModalWidget();
            if (!window || edited++)
                return;
            if (auto *field = window->findChild<TSpinEdit *>("SECols"))
                field->SetValue(20);
            if (auto *slider = window->findChild<QSlider *>("TBVolume"))
                slider->setValue(30);
            if (auto *clear = window->findChild<QAction *>("MFClear"))
                clear->trigger();
            if (auto *rates = window->findChild<QComboBox *>("RateBox"))
                rates->setCurrentIndex(rates->currentIndex() == 0 ? 1 : 0);
            form.MediaControls().Quit();
        });
        waiter.start(10);
        Find<QAction>(form, qPrintable(item))->trigger();
        QCOMPARE(edited, 1);
        QTRY_VERIFY(!form.isVisible());
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(form.Game().Model().BoardSize(), board);
        QCOMPARE(form.Music().Volume(), 64);
        QCOMPARE(form.Music().List().Count(), 2);
        QVERIFY(form.Music().Setup() == setup);
        fixture.stop();
        // The player's own volume, not the dropped one.
        QCOMPARE(TestStore().value("VOLUME").toInt(), 64);
        QCOMPARE(TestStore().value("COLS").toInt(), board.Cols);
    }

    // The desktop's media controls: the music switches through the Music
    // item, only when the command changes something; Raise and Quit act as
    // the window's frame does.
    void theMediaControlsActThroughTheMenuAndTheFrame()
    {
        FormFixture fixture;
        WritePlayList(fixture);
        TMineForm &form = fixture.start();
        MessageRecorder boxes;
        TMediaControls &controls = form.MediaControls();
        QAction *item = Find<QAction>(form, "MUSong");
        const auto settle = [&] {
            QCoreApplication::processEvents();
            QVERIFY(WaitForDevice(form.Music()));
        };
        const std::pair<std::function<void()>, const char *> steps[] = {
            {[&] { controls.Pause(); }, "Turn On"},     {[&] { controls.PlayPause(); }, "Turn Off"},
            {[&] { controls.Play(); }, "Turn Off"},     {[&] { controls.Stop(); }, "Turn On"},
            {[&] { controls.Stop(); }, "Turn On"},      {[&] { controls.Play(); }, "Turn Off"},
            {[&] { controls.PlayPause(); }, "Turn On"}, {[&] { controls.PlayPause(); }, "Turn Off"},
        };
        for (const auto &[step, caption] : steps) {
            step();
            settle();
            QCOMPARE(item->text(), QString(caption));
            QCOMPARE(form.Music().IsPlaying(), item->text() == "Turn Off");
        }
        // Music asked for is on before it is heard: the item offers to
        // switch it off at once, and Stop does so through it.
        item->trigger();
        settle();
        item->trigger();
        QCOMPARE(item->text(), QString("Turn Off"));
        QVERIFY(form.Music().IsSwitchedOn());
        controls.Stop();
        settle();
        QCOMPARE(item->text(), QString("Turn On"));
        QVERIFY(!form.Music().IsSwitchedOn());
        item->trigger();
        settle();
        // Not while the Music menu cannot be used either: the card set-up
        // has given the device back meanwhile.
        bool playingMeanwhile = true;
        bool offeredMeanwhile = true;
        ModalAnswer<TAudioSetupForm> setup([&](TAudioSetupForm *window) {
            controls.PlayPause();
            settle();
            playingMeanwhile = form.Music().IsPlaying();
            offeredMeanwhile =
                controls.CanPlay() || controls.AnnouncedValues()["CanPause"].toBool();
            window->reject();
        });
        Find<QAction>(form, "MMSetup")->trigger();
        QCOMPARE(setup.answered, 1);
        QVERIFY(!playingMeanwhile);
        QVERIFY(!offeredMeanwhile);
        QVERIFY(controls.CanPlay());
        QVERIFY(WaitForDevice(form.Music()));
        QCOMPARE(item->text(), QString("Turn Off"));

        form.showMinimized();
        QVERIFY(form.isMinimized());
        controls.Raise();
        QTRY_VERIFY(!form.isMinimized());
        controls.Quit();
        QTRY_VERIFY(!form.isVisible());
        fixture.stop();
        QCOMPARE(TestStore().value("MUSIC").toInt(), 1);
        QVERIFY(boxes.boxes.isEmpty());
    }
};

QTEST_MAIN(MenuWindowsTest)
#include "test_menu_windows.moc"
