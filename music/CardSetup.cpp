#include "music/CardSetup.h"

#include "music/Music.h"

TCardSetupResult RunCardSetup(TMusic &music, const TSetupDialog &dialog)
{
    const bool wasOpen = music.IsInitialized();
    // Music switched off keeps the layer open but suspended; starting it
    // again here would play while the menu still offers "Turn On".
    const bool wasSwitchedOff = music.IsSuspended();
    const TAudioInUse inUse = music.Sound().InUse();
    if (wasOpen)
        music.Stop(true);
    if (dialog && dialog(music.Sound(), inUse))
        music.WriteSetup();
    if (!wasOpen || wasSwitchedOff)
        return TCardSetupResult::csrNotRestarted;
    return music.Play() ? TCardSetupResult::csrRestarted : TCardSetupResult::csrRestartFailed;
}
