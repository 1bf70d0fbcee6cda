#pragma once

// The numbers and captions that several parts of the program must agree on.

#include <QString>

// Every board cell is a tile of 17 x 17 pixels, never scaled.
inline constexpr int CellSize = 17;
// The cell storage has 101 x 101 slots, never more.
inline constexpr int MaxSlots = 101;

// The program's name, as its window and the desktop show it.
inline const QString ProgramName = QStringLiteral("Ferrox");

// The music volume: 0 is silence, 64 the module's natural level.
inline constexpr int NaturalVolume = 64;

// The holder shown where a board has no best time yet.
inline const QString NoRecordHolder = QStringLiteral("no name");

// The play list the game starts with, in its working folder; also the name
// a saved play list is first offered.
inline const QString DefaultPlayListName = QStringLiteral("Ferrox.M3U");

// The game's own tune, in its working folder: offered when the play list
// cannot be read.
inline const QString FallbackModuleName = QStringLiteral("Ferrox.MOD");

// "2.1", from the project's version in CMake.
inline const QString ProgramVersion = QStringLiteral(FERROX_VERSION);
