#include "music/SoundLibraries.h"

#include "music/SoundModule.h"
#include "sound/SoundEngine.h"

namespace
{

const QString NotLoaded = QStringLiteral("not loaded");

} // namespace

QString OpenmptVersion()
{
    TSoundLibrary *library = TSoundModule::Library();
    return library ? library->OpenmptVersion() : NotLoaded;
}

QString SdlVersion()
{
    TSoundLibrary *library = TSoundModule::Library();
    return library ? library->SdlVersion() : NotLoaded;
}
