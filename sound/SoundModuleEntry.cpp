// The sound module's one exported symbol; everything else in the module is
// hidden, so that loading it adds nothing to the program's symbol scope.

#include "sound/SdlSoundLibrary.h"

#include <QtGlobal>

extern "C" Q_DECL_EXPORT TSoundLibrary *FerroxSoundLibrary(int interfaceVersion)
{
    if (interfaceVersion != SoundInterfaceVersion)
        return nullptr;
    return new TSdlSoundLibrary;
}

// The loader calls it through this type.
[[maybe_unused]] static constexpr TSoundLibraryEntry EntryHasItsType = &FerroxSoundLibrary;
