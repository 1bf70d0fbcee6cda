#include "music/SoundLibraries.h"

#include "music/SoundEngine.h"
#include "music/SoundModule.h"

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
