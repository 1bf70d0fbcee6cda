#pragma once

// TBestForm: the "New Record!" dialog.

#include "records/BestRecords.h"

#include <QDialog>
#include <QString>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class TDRLabel;

// What the new-record dialog reads when it opens and fills in when it closes.
// The pointers belong to the caller and must outlive the dialog's run; a null
// pointer is simply not read or written.
struct TBestFormContext {
    QString *RecordName = nullptr; // the model's RecordName: offered at show, set at close
    TBestRecord *Record = nullptr; // the current best record: Holder set at close
    int Cols = 0;
    int Rows = 0;
    int Mines = 0;
    QString TimeText; // TimeCount's Value exactly as shown ("000" before the first second)
};

// TBestForm, "New Record!": congratulates the player, shows the board's
// size, mine count and time, and asks for the holder's name.  The main window
// makes it at the first record of a run and reuses it; it is shown modally
// once per record, after a win that beats the stored time (an equal time is
// no record).  The record is taken however the dialog closes: the caller
// reads the name back from RecordName and saves it with the time.
//
// Tests close the modal run without a person: from a QTimer::singleShot they
// take QApplication::activeModalWidget(), cast it to TBestForm and click
// BitBtn1 or call close().
class TBestForm : public QDialog
{
    Q_OBJECT

public:
    explicit TBestForm(QWidget *parent = nullptr);

    // The context FormShow reads and FormClose writes.
    void SetContext(const TBestFormContext &context);
    const TBestFormContext &Context() const { return context_; }

    // SetContext, then the modal run.  Returns once the dialog is closed, by
    // OK, the close box, Escape or the system's close command; the dialog's
    // result carries no meaning (the record is taken however it closes).
    void Execute(const TBestFormContext &context);

    // Show handler: the name field gets RecordName, the relief labels the
    // columns, rows, mines and time; the time starts blinking blue and navy.
    void FormShow();
    // Close handler, run exactly once per showing however the dialog closes:
    // the time stops blinking; Holder and RecordName get the name field's
    // text cut to 30 characters.
    void FormClose();

    QFrame *Bevel1 = nullptr;
    QLabel *Label1 = nullptr;
    TDRLabel *DRLabel1 = nullptr;
    QLabel *Label2 = nullptr;
    TDRLabel *dLabCol = nullptr;
    TDRLabel *DLabRow = nullptr;
    TDRLabel *DLabMine = nullptr;
    TDRLabel *DLabTime = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *BestName = nullptr;
    QPushButton *BitBtn1 = nullptr; // OK, the default button
    QPushButton *BitBtn3 = nullptr; // Help: no help is attached

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void CreateControls();
    void CreateRelief();
    void PlaceButtons();

    TBestFormContext context_;
    bool closePending_ = false;
};
