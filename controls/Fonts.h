#pragma once

// The faces the windows were designed in, as this system can show them.

#include <QFont>
#include <QString>

// The installed family that shows a design face: the face itself when it is
// installed, else its first installed stand-in ("Courier New": Liberation
// Mono; "Times New Roman": Liberation Serif; "MS Sans Serif": Microsoft Sans
// Serif, Liberation Sans, Arial; "Stucco 555": DejaVu Sans), else the face
// as named, for the system to find the nearest one.
QString InstalledFace(const QString &face);

// A font of a design face at a fixed pixel size, which does not follow the
// screen's density (the window designs give these sizes in pixels).
QFont PixelFont(const QString &face, int pixels, bool bold, bool italic = false);

// A font of a design face at a size in points.
QFont PointFont(const QString &face, int points, bool bold);

// "MS Sans Serif", the secondary windows' face: narrow, and the windows'
// words were placed for its widths.
QFont DialogFont(int pixelSize = 11, bool bold = false, bool italic = false);
