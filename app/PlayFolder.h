#pragma once

// The folder the game plays in: where it keeps its best times and finds its
// play list and tune.  The game changes to it before it reads anything.

#include <QString>

// The player's play folder, $XDG_DATA_HOME/Ferrox (~/.local/share/Ferrox
// where XDG_DATA_HOME is unset or not absolute), made the first time and
// given the game's play list and tune where they are missing; a file already
// there is the player's and is never replaced.  The play list and tune are
// taken from `dataFolder`.  Returns the folder, or an empty string with the
// reason in `error`.
QString PreparePlayFolder(const QString &dataFolder, QString &error);

// Makes `folder` the current folder; false, with the reason in `error`, when
// it cannot be entered.
bool EnterPlayFolder(const QString &folder, QString &error);
