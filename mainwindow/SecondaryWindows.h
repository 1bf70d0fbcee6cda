#pragma once

// TSecondaryWindows: the main window's dialogs, each made when first needed
// and then kept and reused.

class QWidget;
class TAudioSetupForm;
class TBestForm;
class TBestTimesForm;
class TDlgCustom;
class TLicenseForm;
class TMAboutForm;
class TMusic;
class TMusicForm;
class TPlayForm;
class TSoundModule;

// Most runs never open most of these windows, and each costs time to build,
// so none is made at start-up.  Those that ask the sound module for
// versions, formats or devices ask sound, the one the player plays through.
class TSecondaryWindows
{
public:
    TSecondaryWindows(QWidget *owner, TSoundModule &sound) : Owner(owner), Sound(sound) {}

    TDlgCustom &Custom();
    TBestForm &NewRecord();
    TBestTimesForm &BestTimes();
    TMAboutForm &About();
    TPlayForm &PlayList();
    // The volume window edits the player it is first made for.
    TMusicForm &Volume(TMusic &music);
    TAudioSetupForm &AudioSetup();
    TLicenseForm &License();

private:
    QWidget *Owner;
    TSoundModule &Sound;
    TDlgCustom *DlgCustom = nullptr;
    TBestForm *BestForm = nullptr;
    TBestTimesForm *BestTimesForm = nullptr;
    TMAboutForm *MAboutForm = nullptr;
    TPlayForm *PlayForm = nullptr;
    TMusicForm *MusicForm = nullptr;
    TAudioSetupForm *AudioSetupForm = nullptr;
    TLicenseForm *LicenseForm = nullptr;
};
