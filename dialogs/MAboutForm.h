#pragma once

// TMAboutForm: "About Ferrox for Windows", the program's name, version,
// credits and the libraries its music is played with.

#include <QDialog>
#include <QPointer>

class QLabel;
class QPushButton;
class TBevelPanel;
class TLicenseForm;
class TSoundModule;

// The main window makes it when "&About" is first chosen and runs it with
// Execute().  Its "License" button shows the licence window given to
// SetLicenseForm modally on top of it; the main window passes its own, so
// one licence window serves both the button and "&License":
//
//   Made(MAboutForm, Owner, Sound).SetLicenseForm(&License());   // TSecondaryWindows::About
//   void TMineForm::MHAboutClick() { Windows.About().Execute(); }
//
// Without one, the button opens a licence window of the about window's own.
// The labels carry their designed names as object names ("ProductName",
// "Label1", "Version", "Label3", ...); the buttons are "Button1" (License)
// and "BitBtn1" (OK).
class TMAboutForm : public QDialog
{
    Q_OBJECT

public:
    // The credit names the versions of the libraries sound plays with,
    // asked once, here.
    explicit TMAboutForm(TSoundModule &sound, QWidget *parent = nullptr);

    void SetLicenseForm(TLicenseForm *form);
    // The licence window the "License" button shows.
    TLicenseForm *LicenseForm();

    // Shows the window modally until OK, Enter, Escape or the close box.
    void Execute();

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    void Button1Click();

private:
    void CreatePictures();
    void CreateNameLine();
    void CreateCredits(TSoundModule &sound);

    QPointer<TLicenseForm> licenseForm_;
    TBevelPanel *Panel1 = nullptr;
    QLabel *ProgramIcon = nullptr;
    QLabel *ProductName = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Version = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *Label3 = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *BitBtn1 = nullptr;
};
