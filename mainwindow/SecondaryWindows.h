#pragma once

// TSecondaryWindows: the main window's dialogs, each made when first needed
// and then kept and reused.

class QWidget;
class TBestForm;
class TDlgCustom;
class TLicenseForm;
class TMAboutForm;
class TPlayForm;

// Most runs never open most of these windows, and each costs time to build,
// so none is made at start-up.
class TSecondaryWindows
{
public:
    explicit TSecondaryWindows(QWidget *owner) : Owner(owner) {}

    TDlgCustom &Custom();
    TBestForm &NewRecord();
    TMAboutForm &About();
    TPlayForm &PlayList();
    TLicenseForm &License();

private:
    QWidget *Owner;
    TDlgCustom *DlgCustom = nullptr;
    TBestForm *BestForm = nullptr;
    TMAboutForm *MAboutForm = nullptr;
    TPlayForm *PlayForm = nullptr;
    TLicenseForm *LicenseForm = nullptr;
};
