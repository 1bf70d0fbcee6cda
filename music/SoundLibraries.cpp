#include "music/SoundLibraries.h"

#include <SDL.h>
#include <libopenmpt/libopenmpt.hpp>

// The verbose version carries build metadata after a '+' ("0.6.9+r18817.pkg"),
// which says nothing to a player.
QString OpenmptVersion()
{
    const QString verbose = QString::fromStdString(openmpt::string::get("library_version"));
    return verbose.section(QLatin1Char('+'), 0, 0);
}

// SDL_GetVersion needs no SDL_Init, so the about window can ask before any
// sound has been opened.
QString SdlVersion()
{
    SDL_version linked;
    SDL_GetVersion(&linked);
    return QStringLiteral("%1.%2.%3").arg(linked.major).arg(linked.minor).arg(linked.patch);
}
