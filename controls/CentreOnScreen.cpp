// Placing a dialog in the middle of the screen it opens on.
#include "controls/CentreOnScreen.h"

#include <QScreen>
#include <QWidget>

void CentreOnScreen(QWidget &window)
{
    if (QScreen *screen = window.screen())
        window.move(screen->availableGeometry().center() - window.rect().center());
}
