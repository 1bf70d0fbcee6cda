#pragma once

// Runs a modal window and acts on it from inside its modal loop, as a person
// would; a window the actions leave open is closed after a while, so a
// broken test fails instead of waiting for a person.

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QtTest>

#include <functional>

template <typename TWindow, typename TRun>
void RunModal(TWindow &window, const TRun &run, const std::function<void(TWindow &)> &whileOpen)
{
    bool reached = false;
    QTimer::singleShot(0, &window, [&] {
        reached = QApplication::activeModalWidget() == &window;
        // Focus moves, and leaving a field has its effect, only in the
        // active window.
        if (reached && QTest::qWaitForWindowActive(&window))
            whileOpen(window);
    });
    QPointer<TWindow> guard(&window);
    QTimer::singleShot(5000, &window, [guard] {
        if (guard && guard->isVisible())
            guard->reject();
    });
    run();
    QVERIFY2(reached, "the window was not the active modal window");
}

// The keys a person types into a field: everything in it selected, then
// overwritten, one key at a time.
inline void TypeInto(QWidget *field, const QString &text)
{
    field->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, text);
}
