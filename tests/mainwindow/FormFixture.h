#pragma once

// A main window in a folder of its own: the settings store and the working
// directory are a temporary folder, the wall clock is a value the test moves,
// the generator state is fixed, the screen is a made-up 1024 x 768 at 96
// pixels per inch, and the sound module is the fixture's.

#include "controls/BevelPanel.h"
#include "controls/Counter.h"
#include "controls/DRLabel.h"
#include "controls/StatusPanels.h"
#include "controls/fxRepeatBtn.h"
#include "mainwindow/BoardView.h"
#include "mainwindow/MineForm.h"
#include "model/MineGame.h"
#include "music/Music.h"
#include "music/SoundModule.h"
#include "records/BestForm.h"
#include "records/BestTimes.h"
#include "support/BoardPicture.h"
#include "support/LaidBoard.h"

#include <QAction>
#include <QMenu>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <functional>
#include <memory>

// A control or menu item of the window by its name; the test fails at once
// when there is none.
template <class T> T *Find(TMineForm &form, const char *name)
{
    T *found = form.findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no %s named %s", T::staticMetaObject.className(), name);
    return found;
}

// The twelve edge buttons, clockwise from the top-left corner.
inline QList<TfxRepeatBtn *> EdgeButtons(TMineForm &form)
{
    QList<TfxRepeatBtn *> buttons;
    for (const char *name :
         {"SpLeftUp", "SpUpL", "SpUpR", "SpRightUp", "SpRightU", "SpRightD", "SpRightDown",
          "SpDownR", "SpDownL", "SpLeftDown", "SpLeftD", "SpLeftU"})
        buttons << Find<TfxRepeatBtn>(form, name);
    return buttons;
}

class FormFixture
{
public:
    FormFixture()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        QDir::setCurrent(dir.path());
    }

    QString storePath() const { return dir.filePath(QStringLiteral("Olvane/Ferrox.conf")); }

    // Values the model reads at creation.
    void store(const QString &name, const QVariant &value)
    {
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Olvane", "Ferrox");
        settings.setValue(name, value);
    }
    void storeBoard(int cols, int rows, int mines)
    {
        store("SIZE", 3);
        store("COLS", cols);
        store("ROWS", rows);
        store("MINES", mines);
    }

    TMineForm &start(double dotsPerInch = 96, bool show = true)
    {
        TFormEnvironment environment;
        environment.ScreenSize = screenSize;
        environment.DotsPerInch = dotsPerInch;
        environment.WorkingDirectory = dir.path();
        environment.Clock = [this] { return now; };
        environment.RandomState = 12345u;
        environment.Sound = &sound;
        environment.Settings = TSettingsStore(storePath());
        form = std::make_unique<TMineForm>(environment);
        if (show) {
            form->show();
            if (!QTest::qWaitForWindowExposed(form.get()))
                qWarning("main window not exposed");
        }
        return *form;
    }

    // Shuts the window down (which writes the settings).
    void stop() { form.reset(); }

    const TMineField &cell(int col, int row) const { return form->Game().Cell(col, row); }

    // Lays a board picture (see BoardPicture.h) of the board's own size and
    // starts the game on it, as after a first opening.
    bool lay(const QStringList &picture)
    {
        const TMines &model = form->Game().Model();
        if (picture.size() != model.Rows || picture.value(0).size() != model.Cols) {
            qWarning("the picture must have the board's size");
            return false;
        }
        return TLaidBoard::Lay(form->Game(), picture);
    }
    QStringList picture() const { return BoardPicture::Picture(form->Game().Model()); }

    // A point of the board grid, in the window's coordinates.
    QPoint inWindow(QPoint gridPoint) const
    {
        return form->Grid()->mapTo(form->window(), gridPoint);
    }
    QPoint cellPoint(int col, int row, QPoint offset = {8, 8}) const
    {
        return QPoint(col * CellSize, row * CellSize) + offset;
    }

    // Mouse events through Qt's real dispatch, so that the grid sees the
    // grab and the cell tracking works as with a person's mouse.
    void press(QPoint gridPoint, Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mousePress(form->windowHandle(), button, modifiers, inWindow(gridPoint));
    }
    void release(QPoint gridPoint, Qt::MouseButton button = Qt::LeftButton,
                 Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mouseRelease(form->windowHandle(), button, modifiers, inWindow(gridPoint));
    }
    void move(QPoint gridPoint) { QTest::mouseMove(form->windowHandle(), inWindow(gridPoint)); }
    void click(int col, int row, Qt::MouseButton button = Qt::LeftButton)
    {
        const QPoint point = cellPoint(col, row);
        move(point);
        press(point, button);
        release(point, button);
    }

    // Moves the wall clock the game clock reads.
    void advanceSeconds(int seconds) { now = now.addSecs(seconds); }

    // Runs one of the window's handlers (its private slots), as its control
    // or the timer would.
    void handle(const char *handler)
    {
        if (!QMetaObject::invokeMethod(form.get(), handler))
            qFatal("the window has no handler %s", handler);
    }
    void tick() { handle("STimerTimer"); }

    QTemporaryDir dir;
    // The screen the program computes its largest board for.
    QSize screenSize{1024, 768};
    QDateTime now{QDate(2024, 5, 1), QTime(12, 0, 0)};
    // Outlives the window; its device work ends before the folder goes.
    TSoundModule sound;
    std::unique_ptr<TMineForm> form;
};

// An Easy board for fixture.lay: ten mines, seven in the top left corner
// and three closing in the bottom right cell, which no opening elsewhere
// reaches, so that no single opening wins.
const QStringList EasyBoard = {"**......", "**......", "**......", "*.......",
                               "........", "........", "......**", "......*."};

// --- Reading the board -------------------------------------------------------

inline QImage Normalised(const QImage &image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}

// The board as it is on the screen: what has been painted and flushed, not
// a fresh rendering, so a cell left drawn in a stale look shows as such.
inline QImage BoardShot(TMineForm &form)
{
    const QPoint origin = form.Grid()->mapTo(&form, QPoint(0, 0));
    const QPixmap shot = form.screen()->grabWindow(form.winId(), origin.x(), origin.y(),
                                                   form.Grid()->width(), form.Grid()->height());
    return Normalised(shot.toImage());
}

inline QImage CellShot(const QImage &board, int col, int row)
{
    return board.copy(col * CellSize, row * CellSize, CellSize, CellSize);
}

inline bool ShowsTile(TMineForm &form, const QImage &board, int col, int row, int tile)
{
    return CellShot(board, col, row) == Normalised(form.Grid()->Tile(tile).toImage());
}

// The board neighbours of a cell with the borders on.
inline QList<QPoint> Neighbours(TMineForm &form, int col, int row)
{
    QList<QPoint> result;
    for (int c = col - 1; c <= col + 1; ++c)
        for (int r = row - 1; r <= row + 1; ++r)
            if ((c != col || r != row) && c >= 0 && r >= 0 && c < form.Game().Model().Cols &&
                r < form.Game().Model().Rows)
                result.append(QPoint(c, r));
    return result;
}

// Closes every new-record dialog as soon as it is shown, so that a won game
// never waits for a person.
class RecordDialogCloser
{
public:
    RecordDialogCloser()
    {
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (auto *dialog = qobject_cast<TBestForm *>(QApplication::activeModalWidget())) {
                ++closed;
                dialog->close();
            }
        });
        timer.start();
    }
    QTimer timer;
    int closed = 0;
};
