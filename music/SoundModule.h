#pragma once

// TSoundModule: finds and loads the sound module (libopenmpt and SDL2) on first need.

#include <QString>
#include <QStringList>

class TSoundLibrary;

// The game starts without the sound libraries: libopenmpt, SDL2 and the
// dozens of libraries they bring are loaded only when sound is first
// really needed, from a module of our own that is kept out of the
// program's symbol scope.  One attempt is made per process; when it fails
// every sound call fails cleanly and the game goes on silent.
class TSoundModule
{
public:
    // The module's library, loaded on the first call; null when it cannot
    // be loaded, and Error then says why.
    static TSoundLibrary *Library();
    // True once the module is loaded; loads nothing.
    static bool IsLoaded();
    static QString Error();

    // The folders searched, in order: beside the program (lib/ferrox next
    // to its bin/, as installed and as the build folder is laid out), and
    // the folder the game was configured to be installed in.
    static QStringList Folders();
    // Makes the next Library() search only these folders, or the usual
    // ones again when empty.  For tests; it has no effect once the module
    // is loaded.
    static void SearchOnly(const QStringList &folders);
};
