#pragma once

// TBestForm: the "New Record!" dialog.

#include <QDialog>
#include <QString>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class TDRLabel;

// What the new-record dialog shows when it opens.
struct TBestFormContext {
    QString RecordName; // the name entered last, offered in the name field
    int Cols = 0;
    int Rows = 0;
    int Mines = 0;
    QString TimeText; // TimeCount's Value exactly as shown ("000" before the first second)
};

// TBestForm, "New Record!": congratulates the player, shows the board's
// size, mine count and time, and asks for the holder's name.  The main window
// makes it at the first record of a run and reuses it; it is shown modally
// once per record, after a win that beats the stored time (an equal time is
// no record).  The record is taken however the dialog closes: Execute
// returns the name, which the caller saves with the time.
//
// Every control carries its designed name as object name ("BestName",
// "DLabTime", "BitBtn1", ...).  Tests close the modal run without a person:
// from a QTimer::singleShot they take QApplication::activeModalWidget() and
// click its "BitBtn1" or call close().
class TBestForm : public QDialog
{
    Q_OBJECT

public:
    explicit TBestForm(QWidget *parent = nullptr);

    // Shows the dialog modally until it is closed, by OK, the close box,
    // Escape or the system's close command, and returns the name in the
    // field then, cut to 30 characters.
    QString Execute(const TBestFormContext &context);

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void CreateControls();
    void CreateRelief();
    void PlaceButtons();
    // Show handler: the name field gets RecordName, the relief labels the
    // columns, rows, mines and time; the time starts blinking blue and navy.
    void FormShow();
    // Close handler, run exactly once per showing however the dialog closes:
    // the time stops blinking and the name field's text is taken.
    void FormClose();
    // Says that `letters`, typed or pasted, were left out of the name.
    void ShowLeftOut(const QString &letters);

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

    TBestFormContext context_;
    QString name_;
    bool closePending_ = false;
};
