#include "dialogs/DlgCustom.h"

#include "controls/CentreOnScreen.h"
#include "controls/Fonts.h"
#include "controls/SpinEdit.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

#include <algorithm>
#include <climits>

namespace
{

constexpr int FormWidth = 275;
constexpr int FormHeight = 142;

// The smallest custom board side; a screen too small for it lowers it to
// what fits, so the fields always have a value to offer.
constexpr int MinSide = 8;
// The mines of an n-cell board: from 5 % to 50 % of its cells.
constexpr double LeastMineShare = 0.05;
constexpr double MostMineShare = 0.5;

// What the fields hold before the dialog is first shown: a 16 x 16 board
// with 40 mines on a 30 x 30 screen.
constexpr int DesignMaxSide = 30;
constexpr int DesignSide = 16;
constexpr int DesignMines = 40;
constexpr int DesignLeastMines = 5;
constexpr int DesignMostMines = 100;

constexpr int LabelLeft = 24;
constexpr int FieldLeft = 96;
constexpr int FieldWidth = 73;
constexpr int FieldHeight = 21;
constexpr int FirstFieldTop = 24;
constexpr int FieldSpacing = 34;

constexpr int ButtonLeft = 192;
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;
constexpr int ButtonSpacing = 31;

} // namespace

TDlgCustom::TDlgCustom(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Custom Size"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(FormWidth, FormHeight);
    setFont(DialogFont());
    current_ = {DesignSide, DesignSide, DesignMines};
    CreateFields();
    CreateButtons();
}

void TDlgCustom::CreateFields()
{
    auto *bevel = new QFrame(this);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    bevel->setGeometry(8, 8, ButtonLeft - 16, FormHeight - 16);

    auto addRow = [this](const char *caption, const char *name, int row, QLabel *&label) {
        const int top = FirstFieldTop + row * FieldSpacing;
        auto *field = new TSpinEdit(this);
        field->setObjectName(QLatin1String(name));
        field->setGeometry(FieldLeft, top, FieldWidth, FieldHeight);
        label = new QLabel(QLatin1String(caption), this);
        label->setObjectName(QStringLiteral("Lab") + QLatin1String(name + 2));
        label->setFont(DialogFont(11, true));
        label->setBuddy(field);
        label->setGeometry(LabelLeft, top, FieldLeft - LabelLeft, FieldHeight);
        return field;
    };
    SECols = addRow("Columns:", "SECols", 0, LabCols);
    SERows = addRow("Rows:", "SERows", 1, LabRows);
    SEMines = addRow("Mines:", "SEMines", 2, LabMines);

    SECols->SetBounds(MinSide, DesignMaxSide);
    SECols->SetValue(DesignSide);
    SERows->SetBounds(MinSide, DesignMaxSide);
    SERows->SetValue(DesignSide);
    SEMines->SetBounds(DesignLeastMines, DesignMostMines);
    SEMines->SetValue(DesignMines);
    // Connected only now: the design values above are not a board to bound.
    connect(SECols, &TSpinEdit::Changed, this, &TDlgCustom::SEColRowChange);
    connect(SERows, &TSpinEdit::Changed, this, &TDlgCustom::SEColRowChange);
}

void TDlgCustom::CreateButtons()
{
    auto addButton = [this](const QString &caption, const char *name, int row) {
        auto *button = new QPushButton(caption, this);
        button->setObjectName(QLatin1String(name));
        button->setGeometry(ButtonLeft, 8 + row * ButtonSpacing, ButtonWidth, ButtonHeight);
        return button;
    };
    BtnOK = addButton(QStringLiteral("OK"), "BtnOK", 0);
    BtnOK->setDefault(true);
    connect(BtnOK, &QPushButton::clicked, this, &TDlgCustom::BtnOKClick);
    BtnCancel = addButton(QStringLiteral("Cancel"), "BtnCancel", 1);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    // No help is attached to the dialog; the button is there and does nothing.
    BtnHelp = addButton(QStringLiteral("&Help"), "BtnHelp", 2);

    setTabOrder(SECols, SERows);
    setTabOrder(SERows, SEMines);
    setTabOrder(SEMines, BtnOK);
    setTabOrder(BtnOK, BtnCancel);
    setTabOrder(BtnCancel, BtnHelp);
}

std::optional<TBoardSize> TDlgCustom::Execute(const TBoardSize &current, const TBoardLimits &limits)
{
    current_ = current;
    limits_ = limits;
    chosen_.reset();
    exec();
    return chosen_;
}

void TDlgCustom::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    CentreOnScreen(*this);
    FormShow();
    SECols->setFocus(Qt::OtherFocusReason);
    SECols->selectAll();
}

void TDlgCustom::FormShow()
{
    SECols->SetBounds(std::min(MinSide, limits_.MaxCols), limits_.MaxCols);
    SERows->SetBounds(std::min(MinSide, limits_.MaxRows), limits_.MaxRows);
    SECols->SetValue(current_.Cols);
    SERows->SetValue(current_.Rows);
    SEMines->SetValue(current_.Mines);
    SEColRowChange();
}

void TDlgCustom::SEColRowChange()
{
    // Typed fields may hold up to nine digits each; their product is capped
    // so that half of it still is an int.
    const qint64 cells = std::min<qint64>(qint64(SECols->Value()) * SERows->Value(), INT_MAX);
    SEMines->SetBounds(Round(cells * LeastMineShare), Round(cells * MostMineShare));
    const int mines = SEMines->Value();
    if (SEMines->Bounded(mines) != mines)
        SEMines->SetValue(mines);
}

void TDlgCustom::BtnOKClick()
{
    // Enter leaves a number being typed as it is.  The columns and rows are
    // brought in first, so that the mines are bounded by the board that will
    // be played, not by one that was only typed on the way.
    SECols->BringWithinBounds();
    SERows->BringWithinBounds();
    SEColRowChange();
    SEMines->BringWithinBounds();

    const TBoardSize size{SECols->Value(), SERows->Value(), SEMines->Value()};
    if (size == current_) {
        reject();
        return;
    }
    chosen_ = size;
    accept();
}
