#include "mainwindow/SecondaryWindows.h"

#include "dialogs/DlgCustom.h"
#include "dialogs/LicenseForm.h"
#include "dialogs/MAboutForm.h"
#include "music/AudioSetupForm.h"
#include "music/MusicForm.h"
#include "music/PlayForm.h"
#include "records/BestForm.h"
#include "records/BestTimesForm.h"

namespace
{
template <class TWindow, class... TArguments>
TWindow &Made(TWindow *&window, QWidget *owner, TArguments &...arguments)
{
    if (!window)
        window = new TWindow(arguments..., owner);
    return *window;
}
} // namespace

TDlgCustom &TSecondaryWindows::Custom()
{
    return Made(DlgCustom, Owner);
}

TBestForm &TSecondaryWindows::NewRecord()
{
    return Made(BestForm, Owner);
}

TBestTimesForm &TSecondaryWindows::BestTimes()
{
    return Made(BestTimesForm, Owner);
}

TMAboutForm &TSecondaryWindows::About()
{
    if (!MAboutForm)
        Made(MAboutForm, Owner, Sound).SetLicenseForm(&License());
    return *MAboutForm;
}

TPlayForm &TSecondaryWindows::PlayList()
{
    return Made(PlayForm, Owner, Sound);
}

TMusicForm &TSecondaryWindows::Volume(TMusic &music)
{
    return Made(MusicForm, Owner, music);
}

TAudioSetupForm &TSecondaryWindows::AudioSetup()
{
    return Made(AudioSetupForm, Owner, Sound);
}

TLicenseForm &TSecondaryWindows::License()
{
    return Made(LicenseForm, Owner);
}
