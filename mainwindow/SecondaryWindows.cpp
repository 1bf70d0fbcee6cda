#include "mainwindow/SecondaryWindows.h"

#include "dialogs/DlgCustom.h"
#include "dialogs/LicenseForm.h"
#include "dialogs/MAboutForm.h"
#include "music/AudioSetupForm.h"
#include "music/MusicForm.h"
#include "music/PlayForm.h"
#include "records/BestForm.h"

namespace
{
template <class TWindow> TWindow &Made(TWindow *&window, QWidget *owner)
{
    if (!window)
        window = new TWindow(owner);
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

TMAboutForm &TSecondaryWindows::About()
{
    if (!MAboutForm)
        Made(MAboutForm, Owner).SetLicenseForm(&License());
    return *MAboutForm;
}

TPlayForm &TSecondaryWindows::PlayList()
{
    return Made(PlayForm, Owner);
}

TMusicForm &TSecondaryWindows::Volume(TMusic &music)
{
    if (!MusicForm)
        MusicForm = new TMusicForm(music, Owner);
    return *MusicForm;
}

TAudioSetupForm &TSecondaryWindows::AudioSetup()
{
    return Made(AudioSetupForm, Owner);
}

TLicenseForm &TSecondaryWindows::License()
{
    return Made(LicenseForm, Owner);
}
