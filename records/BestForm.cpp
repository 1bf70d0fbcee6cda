#include "records/BestForm.h"

#include "base/CodePageText.h"
#include "controls/DRLabel.h"
#include "controls/Fonts.h"

#include <QFontMetrics>
#include <QFrame>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QValidator>

#include <initializer_list>

namespace
{

constexpr int FormWidth = 329;
constexpr int FormHeight = 135;

// The sentences keep their runs of spaces: the relief labels stand in those
// gaps, so the text must not be reflowed.
QLabel *SentenceLabel(QWidget *parent, const char *text, int left, int top)
{
    auto *label = new QLabel(QString::fromLatin1(text), parent);
    label->setTextFormat(Qt::PlainText);
    label->move(left, top);
    label->adjustSize();
    return label;
}

// How many pixels the relief labels stray onto the inked words of `sentence`
// drawn in `font`, plus how far its ink runs past `rightLimit`.  A gap is a
// run of two or more spaces.
int SentenceMisfit(const QFont &font, const QLabel *sentence,
                   std::initializer_list<const QWidget *> fillers, int rightLimit)
{
    const QFontMetrics metrics(font);
    const QString text = sentence->text();
    const int left = sentence->x();
    int misfit = qMax(0, left + metrics.tightBoundingRect(text).right() - rightLimit);
    auto filler = fillers.begin();
    for (qsizetype i = 0; i < text.size() && filler != fillers.end();) {
        if (!text.mid(i, 2).startsWith(QLatin1String("  "))) {
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < text.size() && text.at(end) == QLatin1Char(' '))
            ++end;
        // The first blank pixel after the word before the gap, and the first
        // inked pixel of the word after it.
        const int blankFrom = left + metrics.tightBoundingRect(text.left(i)).right() + 1;
        const int inkFrom = left + metrics.horizontalAdvance(text.left(end)) +
                            metrics.tightBoundingRect(text.mid(end, 1)).left();
        const QRect place = (*filler)->geometry();
        misfit += qMax(0, blankFrom - place.left());
        misfit += qMax(0, place.right() + 1 - inkFrom);
        ++filler;
        i = end;
    }
    return misfit;
}

// The gaps and the fillers' places were laid out for "MS Sans Serif".  A
// stand-in face has other widths, so the sentence may run under a filler or
// past the bevel; then it is set narrower, with wider or thinner spaces,
// taking the first setting that fits (the nearest to the natural one) or else
// the one that fits best.
void FitSentence(QLabel *sentence, std::initializer_list<const QWidget *> fillers, int rightLimit)
{
    QFont best = sentence->font();
    int bestMisfit = SentenceMisfit(best, sentence, fillers, rightLimit);
    for (int stretch = 100; stretch >= 85 && bestMisfit > 0; --stretch)
        for (qreal spacing : {0.0, -0.25, 0.25, -0.5, 0.5, -0.75, 0.75, 1.0}) {
            QFont font = sentence->font();
            font.setStretch(stretch);
            font.setWordSpacing(spacing);
            const int misfit = SentenceMisfit(font, sentence, fillers, rightLimit);
            if (misfit < bestMisfit) {
                best = font;
                bestMisfit = misfit;
                if (misfit == 0)
                    break;
            }
        }
    sentence->setFont(best);
    sentence->adjustSize();
}

// Lets through only what the best-times file stores: characters of its
// code page and no control characters.  A letter it cannot hold is not
// typed (nor pasted), so the name shown is the name that will be stored.
class TStorableNameValidator : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString &input, int &) const override
    {
        for (const QChar ch : input)
            if (!IsStorableNameCharacter(ch))
                return Invalid;
        return Acceptable;
    }
};

TDRLabel *ReliefLabel(QWidget *parent, const QRect &geometry, const QFont &font)
{
    auto *label = new TDRLabel(parent);
    label->SetAutoSize(false);
    label->SetFont(font);
    label->setGeometry(geometry);
    return label;
}

// The board's numbers: bold red, blinking (if ever) blue and navy.
TDRLabel *NumberLabel(QWidget *parent, const QRect &geometry)
{
    TDRLabel *label = ReliefLabel(parent, geometry, DialogFont(11, true));
    label->SetFontColor(Qt::red);
    label->SetHiColor(Qt::blue);
    label->SetLoColor(Qt::darkBlue);
    return label;
}

QPushButton *GlyphButton(QWidget *parent, const QString &text, QStyle::StandardPixmap glyph,
                         const QRect &geometry)
{
    auto *button = new QPushButton(parent->style()->standardIcon(glyph), text, parent);
    button->setGeometry(geometry);
    return button;
}

} // namespace

TBestForm::TBestForm(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("New Record!"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(FormWidth, FormHeight);
    setFont(DialogFont());
    CreateControls();
}

void TBestForm::CreateControls()
{
    Bevel1 = new QFrame(this);
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(8, 8, 305, 89);

    Label1 = SentenceLabel(this, "You have set a           record!", 16, 16);
    Label2 = SentenceLabel(
        this, "A        x         field containing          mines in                seconds.", 16,
        40);
    Label3 = SentenceLabel(this, "Enter your name:", 16, 64);

    BestName = new QLineEdit(this);
    BestName->setObjectName(QStringLiteral("BestName"));
    BestName->setGeometry(104, 64, 193, 21);
    BestName->setMaxLength(HolderMaxLength);
    BestName->setValidator(new TStorableNameValidator(BestName));

    CreateRelief();
    PlaceButtons();
}

void TBestForm::CreateRelief()
{
    // The only relief label that keeps AutoSize: it shrinks to its word, so
    // it covers no more of its sentence's gap than it needs.
    DRLabel1 = new TDRLabel(this);
    DRLabel1->SetFont(DialogFont(11, true, true));
    DRLabel1->setGeometry(91, 16, 30, 13);
    DRLabel1->SetCaption(QStringLiteral("new"));
    DRLabel1->SetFontColor(Qt::blue);
    DRLabel1->SetHiColor(Qt::red);
    DRLabel1->SetLoColor(Qt::darkBlue);
    DRLabel1->SetDeep(1);

    dLabCol = NumberLabel(this, QRect(28, 40, 18, 13));
    dLabCol->SetAlignment(taCenter);
    DLabRow = NumberLabel(this, QRect(56, 40, 18, 13));
    DLabMine = NumberLabel(this, QRect(154, 40, 27, 13));

    DLabTime = ReliefLabel(this, QRect(224, 32, 40, 24), DialogFont(19, true));
    DLabTime->SetAlignment(taCenter);
    DLabTime->SetHiColor(Qt::blue);
    DLabTime->SetLoColor(Qt::darkBlue);
    DLabTime->SetBorder(boLowered);

    const int bevelInside = Bevel1->geometry().right() - Bevel1->frameWidth();
    FitSentence(Label1, {DRLabel1}, bevelInside);
    FitSentence(Label2, {dLabCol, DLabRow, DLabMine, DLabTime}, bevelInside);
}

void TBestForm::PlaceButtons()
{
    BitBtn1 =
        GlyphButton(this, QStringLiteral("OK"), QStyle::SP_DialogOkButton, QRect(80, 104, 75, 25));
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);

    // No help is attached to the dialog; the button is there and does nothing.
    BitBtn3 = GlyphButton(this, QStringLiteral("&Help"), QStyle::SP_DialogHelpButton,
                          QRect(168, 104, 75, 25));
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    BitBtn3->setAutoDefault(false);

    setTabOrder(BestName, BitBtn1);
    setTabOrder(BitBtn1, BitBtn3);
}

void TBestForm::SetContext(const TBestFormContext &context)
{
    context_ = context;
}

void TBestForm::Execute(const TBestFormContext &context)
{
    SetContext(context);
    exec();
}

void TBestForm::FormShow()
{
    BestName->setText(context_.RecordName ? context_.RecordName->left(HolderMaxLength) : QString());
    dLabCol->SetCaption(QString::number(context_.Cols));
    DLabRow->SetCaption(QString::number(context_.Rows));
    DLabMine->SetCaption(QString::number(context_.Mines));
    DLabTime->SetCaption(context_.TimeText);
    DLabTime->SetBlink(blHiLo);
}

void TBestForm::FormClose()
{
    DLabTime->SetBlink(blNone);
    const QString name = BestName->text().left(HolderMaxLength);
    if (context_.Record)
        context_.Record->Holder = name;
    if (context_.RecordName)
        *context_.RecordName = name;
}

void TBestForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous() || closePending_)
        return;
    if (QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    closePending_ = true;
    FormShow();
    BestName->setFocus();
}

// OK, Escape, the close box and the system's close command all end in done().
void TBestForm::done(int result)
{
    if (closePending_) {
        closePending_ = false;
        FormClose();
    }
    QDialog::done(result);
}

// A plain hide() bypasses done(); the name is taken all the same.
void TBestForm::hideEvent(QHideEvent *event)
{
    if (!event->spontaneous() && closePending_) {
        closePending_ = false;
        FormClose();
    }
    QDialog::hideEvent(event);
}
