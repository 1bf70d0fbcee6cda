#include "records/BestForm.h"

#include "base/CodePageText.h"
#include "controls/CentreOnScreen.h"
#include "controls/DRLabel.h"
#include "controls/Fonts.h"
#include "records/BestRecords.h"

#include <QFontMetrics>
#include <QFrame>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QShowEvent>
#include <QStyle>
#include <QToolTip>
#include <QValidator>

#include <climits>
#include <functional>
#include <initializer_list>

namespace
{

constexpr int FormWidth = 329;
constexpr int FormHeight = 135;
// How long the field says that letters were left out.
constexpr int LeftOutShowMs = 5000;

// The sentences keep their runs of spaces: the relief labels stand in those
// gaps, so the text must not be reflowed.
QLabel *SentenceLabel(QWidget *parent, const char *name, const char *text, int left, int top)
{
    auto *label = new QLabel(QString::fromLatin1(text), parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->move(left, top);
    label->adjustSize();
    return label;
}

// Blank pixels kept between a sentence's ink and a relief label standing in
// one of its gaps, and between its ink and the bevel around it.
constexpr int FillerClearance = 3;
constexpr int BevelClearance = 3;

// The first inked pixel of `word` when it follows `text` drawn from `left`.
int InkFrom(const QFontMetrics &metrics, int left, const QString &text, const QString &word)
{
    return left + metrics.horizontalAdvance(text) + metrics.tightBoundingRect(word.left(1)).left();
}

// The sentence's words set in `font` from `left`, each gap (a run of two or
// more spaces, where a filler stands) as few spaces as keep the word after
// it clear of its filler.
QString SpacedSentence(const QFont &font, int left, const QStringList &words,
                       std::initializer_list<const QWidget *> fillers)
{
    const QFontMetrics metrics(font);
    QString text = words.value(0);
    auto filler = fillers.begin();
    for (qsizetype i = 1; i < words.size(); ++i) {
        QString gap = QStringLiteral("  ");
        if (filler != fillers.end()) {
            const int clearFrom = (*filler)->geometry().right() + 1 + FillerClearance;
            while (gap.size() < 100 && InkFrom(metrics, left, text + gap, words[i]) < clearFrom)
                gap += QLatin1Char(' ');
            ++filler;
        }
        text += gap + words[i];
    }
    return text;
}

// How many pixels the fillers stray onto the inked words of `text` drawn in
// `font` from `left`, plus how far its ink runs past `rightLimit`.
int SentenceMisfit(const QFont &font, int left, const QString &text,
                   std::initializer_list<const QWidget *> fillers, int rightLimit)
{
    const QFontMetrics metrics(font);
    int misfit = qMax(0, left + metrics.tightBoundingRect(text).right() - rightLimit);
    static const QRegularExpression gaps(QStringLiteral(" {2,}"));
    auto filler = fillers.begin();
    for (auto gap = gaps.globalMatch(text); gap.hasNext() && filler != fillers.end(); ++filler) {
        const QRegularExpressionMatch match = gap.next();
        // The first blank pixel after the word before the gap, and the first
        // inked pixel of the word after it.
        const int blankFrom =
            left + metrics.tightBoundingRect(text.left(match.capturedStart())).right() + 1;
        const int inkFrom =
            InkFrom(metrics, left, text.left(match.capturedEnd()), text.mid(match.capturedEnd()));
        const QRect place = (*filler)->geometry();
        misfit += qMax(0, blankFrom + FillerClearance - place.left());
        misfit += qMax(0, place.right() + 1 + FillerClearance - inkFrom);
    }
    return misfit;
}

// The gaps and the fillers' places were laid out for "MS Sans Serif".  A
// stand-in face has other widths, so each gap gets the spaces its filler
// needs, and a sentence that would still run under a filler or near the
// bevel is set narrower, with wider or thinner spaces: the first setting that
// fits (the nearest to the natural one), or else the one that fits best.
void FitSentence(QLabel *sentence, std::initializer_list<const QWidget *> fillers, int rightLimit)
{
    static const QRegularExpression gaps(QStringLiteral(" {2,}"));
    const QStringList words = sentence->text().split(gaps);
    const int left = sentence->x();
    QFont best = sentence->font();
    QString bestText = sentence->text();
    int bestMisfit = INT_MAX;
    for (int stretch = 100; stretch >= 85 && bestMisfit > 0; --stretch)
        for (qreal spacing : {0.0, -0.25, 0.25, -0.5, 0.5, -0.75, 0.75, 1.0}) {
            QFont font = sentence->font();
            font.setStretch(stretch);
            font.setWordSpacing(spacing);
            const QString text = SpacedSentence(font, left, words, fillers);
            const int misfit = SentenceMisfit(font, left, text, fillers, rightLimit);
            if (misfit < bestMisfit) {
                best = font;
                bestText = text;
                bestMisfit = misfit;
                if (misfit == 0)
                    break;
            }
        }
    sentence->setFont(best);
    sentence->setText(bestText);
    sentence->adjustSize();
}

// Lets through only what the best-times file stores: characters of its
// code page and no control characters.  A letter it cannot hold is left out
// of what is typed or pasted and the rest goes in, so that the name shown is
// the name that will be stored; `Dropped` hears which letters were left out.
class TStorableNameValidator : public QValidator
{
public:
    TStorableNameValidator(std::function<void(const QString &)> dropped, QObject *parent)
        : QValidator(parent), Dropped(std::move(dropped))
    {
    }

    State validate(QString &input, int &position) const override
    {
        QString kept;
        QString left; // what a person would call letters: no line breaks, no tabs
        int keptPosition = position;
        for (qsizetype i = 0; i < input.size(); ++i) {
            if (IsStorableNameCharacter(input[i])) {
                kept += input[i];
                continue;
            }
            if (input[i].category() != QChar::Other_Control)
                left += input[i];
            if (i < position)
                --keptPosition;
        }
        if (kept.size() == input.size())
            return Acceptable;
        input = kept;
        position = keptPosition;
        if (!left.isEmpty())
            Dropped(left);
        return Acceptable;
    }

private:
    std::function<void(const QString &)> Dropped;
};

TDRLabel *ReliefLabel(QWidget *parent, const char *name, const QRect &geometry, const QFont &font)
{
    auto *label = new TDRLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->SetAutoSize(false);
    label->SetFont(font);
    label->setGeometry(geometry);
    return label;
}

// The board's numbers: bold red, blinking (if ever) blue and navy.
TDRLabel *NumberLabel(QWidget *parent, const char *name, const QRect &geometry)
{
    TDRLabel *label = ReliefLabel(parent, name, geometry, DialogFont(11, true));
    label->SetFontColor(Qt::red);
    label->SetHiColor(Qt::blue);
    label->SetLoColor(Qt::darkBlue);
    return label;
}

QPushButton *GlyphButton(QWidget *parent, const char *name, const QString &text,
                         QStyle::StandardPixmap glyph, const QRect &geometry)
{
    auto *button = new QPushButton(parent->style()->standardIcon(glyph), text, parent);
    button->setObjectName(QLatin1String(name));
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
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(8, 8, 305, 89);

    Label1 = SentenceLabel(this, "Label1", "You have set a           record!", 16, 16);
    Label2 = SentenceLabel(
        this, "Label2",
        "A        x         field containing          mines in                seconds.", 16, 40);
    Label3 = SentenceLabel(this, "Label3", "Enter your name:", 16, 64);

    BestName = new QLineEdit(this);
    BestName->setObjectName(QStringLiteral("BestName"));
    BestName->setGeometry(104, 64, 193, 21);
    BestName->setMaxLength(HolderMaxLength);
    Label3->setBuddy(BestName);
    BestName->setValidator(
        new TStorableNameValidator([this](const QString &left) { ShowLeftOut(left); }, BestName));

    CreateRelief();
    PlaceButtons();
}

void TBestForm::CreateRelief()
{
    // The only relief label that keeps AutoSize: it shrinks to its word, so
    // it covers no more of its sentence's gap than it needs.
    DRLabel1 = new TDRLabel(this);
    DRLabel1->setObjectName(QStringLiteral("DRLabel1"));
    DRLabel1->SetFont(DialogFont(11, true, true));
    DRLabel1->setGeometry(91, 16, 30, 13);
    DRLabel1->SetCaption(QStringLiteral("new"));
    DRLabel1->SetFontColor(Qt::blue);
    DRLabel1->SetHiColor(Qt::red);
    DRLabel1->SetLoColor(Qt::darkBlue);
    DRLabel1->SetDeep(1);

    dLabCol = NumberLabel(this, "dLabCol", QRect(28, 40, 18, 13));
    dLabCol->SetAlignment(taCenter);
    DLabRow = NumberLabel(this, "DLabRow", QRect(56, 40, 18, 13));
    DLabMine = NumberLabel(this, "DLabMine", QRect(154, 40, 27, 13));

    DLabTime = ReliefLabel(this, "DLabTime", QRect(224, 32, 40, 24), DialogFont(19, true));
    DLabTime->SetAlignment(taCenter);
    DLabTime->SetHiColor(Qt::blue);
    DLabTime->SetLoColor(Qt::darkBlue);
    DLabTime->SetBorder(boLowered);

    const int bevelInside = Bevel1->geometry().right() - Bevel1->frameWidth() - BevelClearance;
    FitSentence(Label1, {DRLabel1}, bevelInside);
    FitSentence(Label2, {dLabCol, DLabRow, DLabMine, DLabTime}, bevelInside);
}

void TBestForm::PlaceButtons()
{
    BitBtn1 = GlyphButton(this, "BitBtn1", QStringLiteral("OK"), QStyle::SP_DialogOkButton,
                          QRect(80, 104, 75, 25));
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);

    // No help is attached to the dialog; the button is there and does nothing.
    BitBtn3 = GlyphButton(this, "BitBtn3", QStringLiteral("&Help"), QStyle::SP_DialogHelpButton,
                          QRect(168, 104, 75, 25));
    BitBtn3->setAutoDefault(false);

    setTabOrder(BestName, BitBtn1);
    setTabOrder(BitBtn1, BitBtn3);
}

// Said beside the field, for a while, without a box to answer: the name
// goes on being typed.
void TBestForm::ShowLeftOut(const QString &letters)
{
    QToolTip::showText(BestName->mapToGlobal(QPoint(0, BestName->height())),
                       QStringLiteral("Left out: %1\nThe best-times file cannot store these "
                                      "letters.")
                           .arg(letters),
                       BestName, QRect(), LeftOutShowMs);
}

QString TBestForm::Execute(const TBestFormContext &context)
{
    context_ = context;
    name_.clear();
    exec();
    return name_;
}

void TBestForm::FormShow()
{
    BestName->setText(context_.RecordName.left(HolderMaxLength));
    dLabCol->SetCaption(QString::number(context_.Cols));
    DLabRow->SetCaption(QString::number(context_.Rows));
    DLabMine->SetCaption(QString::number(context_.Mines));
    DLabTime->SetCaption(context_.TimeText);
    DLabTime->SetBlink(blHiLo);
    // The sentence's numbers stand in gaps of its label: a screen reader
    // gets the sentence whole.
    Label2->setAccessibleName(QStringLiteral("A %1 x %2 field containing %3 mines in %4 seconds.")
                                  .arg(context_.Cols)
                                  .arg(context_.Rows)
                                  .arg(context_.Mines)
                                  .arg(context_.TimeText.trimmed()));
}

void TBestForm::FormClose()
{
    DLabTime->SetBlink(blNone);
    name_ = BestName->text().left(HolderMaxLength);
}

void TBestForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous() || closePending_)
        return;
    CentreOnScreen(*this);
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
