#include "controls/Counter.h"

#include "controls/Resources.h"

#include <QAccessible>
#include <QPainter>

TCounter::TCounter(QWidget *parent) : QWidget(parent)
{
    FerroxRes::InitResources();
    // Opaque: a repaint draws straight over the parent without erasing it
    // first, which keeps the second-by-second clock free of flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    LoadStrip();
}

TCounter::~TCounter() = default;

QString TCounter::StripName(TCounterType type)
{
    switch (type) {
    case ctSmall:
        return QString::fromLatin1(FerroxRes::Small);
    case ctTraditional:
        return QString::fromLatin1(FerroxRes::Trad);
    case ctTypographical:
        return QString::fromLatin1(FerroxRes::Typo);
    case ctLed:
        return QString::fromLatin1(FerroxRes::Led);
    case ctGold:
        return QString::fromLatin1(FerroxRes::Gold);
    case ctUserdefined:
        break;
    }
    return QString();
}

void TCounter::SetAutoSize(bool on)
{
    if (on == autoSize_)
        return;
    autoSize_ = on;
    if (autoSize_ && value_.size() > numDigits_)
        SetNumDigits(value_.size());
}

void TCounter::SetCounterType(TCounterType type)
{
    if (type == counterType_ || type < ctSmall || type > ctUserdefined)
        return;
    if (type == ctUserdefined && userBitmap_.isNull())
        return;
    counterType_ = type;
    LoadStrip();
    repaint();
}

void TCounter::SetNumDigits(int digits)
{
    digits = qBound(MinDigits, digits, MaxDigits);
    if (digits == numDigits_)
        return;
    ApplyNumDigits(digits);
}

void TCounter::ApplyNumDigits(int digits)
{
    numDigits_ = (autoSize_ && digits < value_.size()) ? int(value_.size()) : digits;
    if (!stretch_)
        resize(NaturalSize().width(), height());
    repaint();
}

void TCounter::SetStretch(bool on)
{
    if (on == stretch_)
        return;
    stretch_ = on;
    if (!stretch_)
        resize(NaturalSize());
    repaint();
}

void TCounter::SetUserBitmap(const QPixmap &strip)
{
    userBitmap_ = strip.copy();
    if (counterType_ != ctUserdefined) {
        SetCounterType(ctUserdefined);
        return;
    }
    // Already user-defined: show the new strip now rather than at the next
    // type change.
    if (userBitmap_.isNull())
        return;
    LoadStrip();
    repaint();
}

void TCounter::SetValue(const QString &value)
{
    const QString cut = value.left(MaxDigits);
    if (cut == value_)
        return;
    value_ = cut;
    // Told only once shown: a control still being made would be described
    // as the class it is made from.
    if (isVisible()) {
        QAccessibleValueChangeEvent changed(this, value_);
        QAccessible::updateAccessibility(&changed);
    }
    if (autoSize_ && value_.size() > numDigits_)
        ApplyNumDigits(value_.size());
    else
        repaint();
}

void TCounter::Loaded()
{
    LoadStrip();
}

QSize TCounter::NaturalSize() const
{
    return QSize(numDigits_ * glyphWidth_, glyphHeight_);
}

void TCounter::LoadStrip()
{
    if (counterType_ == ctUserdefined)
        strip_ = userBitmap_.copy();
    else
        strip_ = FerroxRes::LoadPicture(StripName(counterType_).toLatin1().constData());
    const int glyphs = counterType_ == ctLed ? 11 : 10;
    glyphWidth_ = strip_.width() / glyphs; // a null strip is 0 x 0
    glyphHeight_ = strip_.height();
}

QString TCounter::PaddedValue() const
{
    QString padded = value_;
    while (padded.size() < numDigits_) {
        if (padded.startsWith(QLatin1Char('-')))
            padded.insert(1, QLatin1Char('0'));
        else
            padded.prepend(QLatin1Char('0'));
    }
    return padded;
}

// Characters other than digits and "-" show as a zero rather than reading
// past the strip.
int TCounter::GlyphIndex(QChar ch) const
{
    if (ch >= QLatin1Char('0') && ch <= QLatin1Char('9'))
        return ch.unicode() - '0';
    if (ch == QLatin1Char('-') && counterType_ == ctLed)
        return 10;
    return 0;
}

void TCounter::ComposeRow()
{
    const QSize size = NaturalSize();
    if (buffer_.size() != size)
        buffer_ = QPixmap(size);
    if (size.isEmpty())
        return;
    buffer_.fill(Qt::black);
    QPainter painter(&buffer_);
    // With AutoSize off a longer Value shows its leftmost NumDigits characters.
    const QString text = PaddedValue().left(numDigits_);
    for (int i = 0; i < numDigits_; ++i) {
        const QRect glyph(GlyphIndex(text.at(i)) * glyphWidth_, 0, glyphWidth_, glyphHeight_);
        painter.drawPixmap(i * glyphWidth_, 0, strip_, glyph.x(), glyph.y(), glyph.width(),
                           glyph.height());
    }
}

void TCounter::paintEvent(QPaintEvent *)
{
    ComposeRow();
    if (buffer_.isNull() || buffer_.size().isEmpty())
        return;
    QPainter painter(this);
    // Nearest-pixel scaling keeps the digits' edges sharp.
    if (stretch_) {
        painter.drawPixmap(rect(), buffer_);
    } else {
        painter.drawPixmap(0, 0, buffer_);
    }
}
