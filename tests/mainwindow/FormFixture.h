#pragma once

// A main window in a folder of its own: the settings store and the working
// directory are a temporary folder, the wall clock is a value the test moves,
// the generator state is fixed, and the screen is a made-up 1024 x 768 at
// 96 pixels per inch.

#include "controls/cpDrawGrid.h"
#include "mainwindow/MineMain.h"
#include "model/MineCommon.h"

#include <QDir>
#include <QImage>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <functional>
#include <memory>

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
        environment.ScreenSize = QSize(1024, 768);
        environment.DotsPerInch = dotsPerInch;
        environment.WorkingDirectory = dir.path();
        environment.Clock = [this] { return now; };
        environment.RandomState = 12345u;
        PrepareForScreen(environment);
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

    TMineField &cell(int col, int row) { return *form->Mines->Cells[col][row]; }

    // A point of the board grid, in the window's coordinates.
    QPoint inWindow(QPoint gridPoint) const
    {
        return form->MineGrid->mapTo(form->window(), gridPoint);
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

    QTemporaryDir dir;
    QDateTime now{QDate(2024, 5, 1), QTime(12, 0, 0)};
    std::unique_ptr<TMineForm> form;
};

// --- Reading the board -------------------------------------------------------

inline QImage Normalised(const QImage &image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}

// The board as it is on the screen: what has been painted and flushed, not
// a fresh rendering, so a cell left drawn in a stale look shows as such.
inline QImage BoardShot(TMineForm &form)
{
    const QPoint origin = form.MineGrid->mapTo(&form, QPoint(0, 0));
    const QPixmap shot = form.screen()->grabWindow(form.winId(), origin.x(), origin.y(),
                                                   form.MineGrid->width(), form.MineGrid->height());
    return Normalised(shot.toImage());
}

inline QImage CellShot(const QImage &board, int col, int row)
{
    return board.copy(col * CellSize, row * CellSize, CellSize, CellSize);
}

inline bool ShowsTile(TMineForm &form, const QImage &board, int col, int row, int tile)
{
    return CellShot(board, col, row) == Normalised(form.Tiles[tile].toImage());
}

// Finds a cell that passes the test, scanning columns then rows.
inline bool FindCell(TMineForm &form, const std::function<bool(int, int)> &test, int &col, int &row)
{
    for (col = 0; col < form.Mines->Cols; ++col)
        for (row = 0; row < form.Mines->Rows; ++row)
            if (test(col, row))
                return true;
    return false;
}
