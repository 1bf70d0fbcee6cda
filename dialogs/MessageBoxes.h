#pragma once

// The message boxes the program shows: real modal boxes, each over the
// window it belongs to.

class QWidget;

// Routes every message box of the program to a real modal QMessageBox.
void InstallMessageBoxes();

// The window a message box is shown over: the window that waits for an
// answer, or else the active window, or else the game's main window, so
// that no box is left in the middle of the screen when it comes just as a
// window closed and none is active yet.  Null only with no window shown.
QWidget *MessageBoxOwner();
