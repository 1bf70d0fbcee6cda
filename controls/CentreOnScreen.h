#pragma once

// Placing a dialog in the middle of the screen it opens on.

class QWidget;

// Moves `window` so that it stands in the middle of its screen's working
// area (the screen less the desktop's panels): the dialogs open there
// rather than where the window system would cascade them, whatever the
// window they are opened from.  Call it from showEvent, once the size is
// known.
void CentreOnScreen(QWidget &window);
