#pragma once

// Routes every message box of the program to a real modal QMessageBox.
void InstallMessageBoxes();
