#pragma once

// TLicenseForm: the program's distribution terms and the licences of the
// libraries it plays its music and draws its windows with.

#include <QDialog>
#include <QString>

class QPlainTextEdit;

// The licence texts, in the order shown: our own terms, then libopenmpt,
// SDL 2 and Qt (with the LGPL and the GPL it adds to).  They are compiled
// in from resources/licenses/.
QString LicenseText();

// A resizable window (419 x 310 at first) whose whole client area is one
// read-only, word-wrapped text box without scroll bars ("Memo1"); the caret
// keys move through the text.  The main window makes it when first needed
// and keeps it:
//
//   void TMineForm::License1Click() { Windows.License().Execute(); }
//
// and shown by the about window's "License" button with
// LicenseForm->Execute(aboutWindow), on top of it.  Closed with Escape or
// the close box.
class TLicenseForm : public QDialog
{
    Q_OBJECT

public:
    explicit TLicenseForm(QWidget *parent = nullptr);

    // Shows the window modally, in front of `over` when given (else in
    // front of its parent), with the caret at the start of the text.
    void Execute(QWidget *over = nullptr);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QPlainTextEdit *Memo1 = nullptr;
};
