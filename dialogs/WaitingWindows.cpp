#include "dialogs/WaitingWindows.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWidget>

namespace
{

// False when no window waits.
bool CloseInnermostWaitingWindow()
{
    QWidget *waiting = QApplication::activeModalWidget();
    if (!waiting)
        return false;
    // A window that refuses its close box (a box with no way to cancel) is
    // answered as Escape would answer it, or else hidden: any of these ends
    // its event loop.
    if (!waiting->close()) {
        if (auto *dialog = qobject_cast<QDialog *>(waiting))
            dialog->reject();
        if (waiting->isVisible())
            waiting->hide();
    }
    return true;
}

} // namespace

void CloseWaitingWindows(QObject *context, const std::function<void()> &then)
{
    if (!CloseInnermostWaitingWindow()) {
        then();
        return;
    }
    // The closed window's event loop returns only after this call has; the
    // next step waits for the loops to run again.
    QTimer::singleShot(0, context, [context, then] { CloseWaitingWindows(context, then); });
}
