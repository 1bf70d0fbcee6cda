#pragma once

// The face the secondary windows were designed in, at a size in pixels.

#include <QFont>

// "MS Sans Serif" is narrow, and the windows' words were placed for its
// widths; where it is missing, the nearest narrow faces follow it rather
// than the system's wide default.
QFont DialogFont(int pixelSize = 11, bool bold = false, bool italic = false);
