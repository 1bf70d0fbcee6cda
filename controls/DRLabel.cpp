#include "controls/DRLabel.h"

#include "controls/Resources.h"

#include <QEvent>
#include <QKeySequence>
#include <QPainter>
#include <QShortcutEvent>
#include <QTimer>

namespace
{

constexpr int MaxDrawnChars = 255;

QColor SystemColor(const QWidget *widget, QPalette::ColorRole role)
{
    return widget->palette().color(QPalette::Active, role);
}

} // namespace

TDRLabel::TDRLabel(QWidget *parent) : QWidget(parent)
{
    FerroxRes::InitResources();
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    resize(65, 17);
    fontColor_ = SystemColor(this, QPalette::WindowText);
    rememberedColor_ = fontColor_;
    hiColor_ = QColor(0, 0, 255);
    loColor_ = QColor(0, 0, 128);
    shadowColor_ = SystemColor(this, QPalette::Light);
    blinkTimer_ = new QTimer(this);
    blinkTimer_->setInterval(blinkInterval_);
    connect(blinkTimer_, &QTimer::timeout, this, &TDRLabel::BlinkTimerExpired);
    // Room for the shadow below and right of the text.
    resize(width() + deep_, height() + deep_);
}

TDRLabel::~TDRLabel() = default;

void TDRLabel::SetCaption(const QString &caption)
{
    if (caption == caption_)
        return;
    caption_ = caption;
    UpdateShortcut();
    AdjustBounds();
    update();
}

void TDRLabel::SetFontColor(const QColor &color)
{
    ChangeFontColor(color);
}

void TDRLabel::ChangeFontColor(const QColor &color)
{
    if (color == fontColor_)
        return;
    fontColor_ = color;
    update();
}

void TDRLabel::SetFont(const QFont &font)
{
    setFont(font); // the FontChange event re-measures
}

QColor TDRLabel::Color() const
{
    return parentColor_ ? SystemColor(this, QPalette::Window) : color_;
}

void TDRLabel::SetColor(const QColor &color)
{
    if (!parentColor_ && color == color_)
        return;
    color_ = color;
    parentColor_ = false;
    update();
}

void TDRLabel::SetParentColor(bool on)
{
    if (on == parentColor_)
        return;
    if (!on)
        color_ = Color();
    parentColor_ = on;
    update();
}

void TDRLabel::SetAlignment(TDRAlignment alignment)
{
    if (alignment == alignment_)
        return;
    alignment_ = alignment;
    update();
}

void TDRLabel::SetAutoSize(bool on)
{
    if (on == autoSize_)
        return;
    autoSize_ = on;
    AdjustBounds();
    update();
}

void TDRLabel::SetTransparent(bool on)
{
    if (on == transparent_)
        return;
    transparent_ = on;
    setAttribute(Qt::WA_OpaquePaintEvent, !on);
    update();
}

void TDRLabel::SetShowAccelChar(bool on)
{
    if (on == showAccelChar_)
        return;
    showAccelChar_ = on;
    UpdateShortcut();
    AdjustBounds();
    update();
}

void TDRLabel::SetWordWrap(bool on)
{
    if (on == wordWrap_)
        return;
    wordWrap_ = on;
    AdjustBounds();
    update();
}

void TDRLabel::SetFocusControl(QWidget *control)
{
    focusControl_ = control;
}

void TDRLabel::SetHiColor(const QColor &color)
{
    if (color == hiColor_)
        return;
    hiColor_ = color;
    update();
}

void TDRLabel::SetLoColor(const QColor &color)
{
    if (color == loColor_)
        return;
    loColor_ = color;
    update();
}

void TDRLabel::SetBorder(TDRBorder border)
{
    if (border == border_)
        return;
    border_ = border;
    update();
}

void TDRLabel::SetCtl3D(bool on)
{
    if (on == ctl3D_)
        return;
    ctl3D_ = on;
    update();
}

void TDRLabel::SetShadowColor(const QColor &color)
{
    if (color == shadowColor_)
        return;
    shadowColor_ = color;
    update();
}

void TDRLabel::SetDeep(int deep)
{
    if (deep == deep_ || deep < 1 || deep > 2)
        return;
    deep_ = deep;
    update();
}

void TDRLabel::SetBlinkInterval(int milliseconds)
{
    if (milliseconds == blinkInterval_ || milliseconds < 0)
        return;
    blinkInterval_ = milliseconds;
    blinkTimer_->setInterval(blinkInterval_);
    UpdateBlinkTimer();
    update();
}

void TDRLabel::SetBlink(TDRBlink mode)
{
    if (mode == blink_)
        return;
    if (mode == blBlink)
        rememberedColor_ = fontColor_;
    else
        ChangeFontColor(rememberedColor_);
    blink_ = mode;
    UpdateBlinkTimer();
    update();
}

bool TDRLabel::BlinkTimerActive() const
{
    return blinkTimer_->isActive();
}

// A zero-period QTimer would fire at every pass of the event loop; a period
// of 0 means "do not blink" here.
void TDRLabel::UpdateBlinkTimer()
{
    const bool wanted = blink_ != blNone && blinkInterval_ > 0;
    if (!wanted)
        blinkTimer_->stop();
    else if (!blinkTimer_->isActive())
        blinkTimer_->start();
}

void TDRLabel::BlinkTimerExpired()
{
    if (blink_ == blHiLo)
        ChangeFontColor(fontColor_ == hiColor_ ? loColor_ : hiColor_);
    else if (blink_ == blBlink)
        ChangeFontColor(fontColor_ == Color() ? rememberedColor_ : Color());
}

QString TDRLabel::DrawnText() const
{
    return caption_.left(MaxDrawnChars);
}

int TDRLabel::TextFlags() const
{
    int flags = Qt::AlignTop | Qt::TextWordWrap | Qt::TextExpandTabs;
    switch (alignment_) {
    case taLeftJustify:
        flags |= Qt::AlignLeft;
        break;
    case taRightJustify:
        flags |= Qt::AlignRight;
        break;
    case taCenter:
        flags |= Qt::AlignHCenter;
        break;
    }
    if (showAccelChar_)
        flags |= Qt::TextShowMnemonic;
    return flags;
}

// Measured as a plain label measures its text, without the shadow offset:
// one line per line break, or with WordWrap the lines that fit the present
// width.  Text that draws nothing (empty, or a lone access-key "&") is
// measured as one space, so the label keeps a line's height and a sliver of
// width.
QSize TDRLabel::TextSize() const
{
    QString text = DrawnText();
    int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextExpandTabs;
    QRect room(0, 0, 32767, 32767);
    if (wordWrap_) {
        flags |= Qt::TextWordWrap;
        room.setWidth(qMax(1, width()));
    }
    if (showAccelChar_)
        flags |= Qt::TextShowMnemonic;
    if (text.isEmpty() || (showAccelChar_ && text == QLatin1String("&")))
        text += QLatin1Char(' ');
    return fontMetrics().boundingRect(room, flags, text).size();
}

QSize TDRLabel::sizeHint() const
{
    return TextSize();
}

// A right-aligned label keeps its right edge and grows or shrinks leftwards.
void TDRLabel::AdjustBounds()
{
    if (!autoSize_)
        return;
    const QSize size = TextSize();
    const int left = alignment_ == taRightJustify ? x() + width() - size.width() : x();
    setGeometry(left, y(), size.width(), size.height());
}

void TDRLabel::UpdateShortcut()
{
    if (shortcutId_ != 0) {
        releaseShortcut(shortcutId_);
        shortcutId_ = 0;
    }
    if (!showAccelChar_)
        return;
    const QKeySequence key = QKeySequence::mnemonic(caption_);
    if (!key.isEmpty())
        shortcutId_ = grabShortcut(key);
}

bool TDRLabel::event(QEvent *event)
{
    if (event->type() == QEvent::Shortcut &&
        static_cast<QShortcutEvent *>(event)->shortcutId() == shortcutId_) {
        if (focusControl_ && focusControl_->isEnabled())
            focusControl_->setFocus(Qt::ShortcutFocusReason);
        emit AccelPressed();
        return true;
    }
    if (event->type() == QEvent::FontChange)
        AdjustBounds();
    return QWidget::event(event);
}

void TDRLabel::DrawFrame(QPainter &painter)
{
    QColor first, second;
    switch (border_) {
    case boNone:
        return;
    case boSingle:
        first = second = SystemColor(this, QPalette::Shadow);
        break;
    case boRaised:
        first = SystemColor(this, QPalette::Light);
        second = SystemColor(this, QPalette::Dark);
        break;
    case boLowered:
        first = SystemColor(this, QPalette::Dark);
        second = SystemColor(this, QPalette::Light);
        break;
    }
    // The frame stops one pixel short of the right and bottom edges.
    const int w = width(), h = height();
    painter.fillRect(QRect(0, 0, w - 2, 1), first);
    painter.fillRect(QRect(0, 0, 1, h - 2), first);
    painter.fillRect(QRect(w - 2, 0, 1, h - 1), second);
    painter.fillRect(QRect(0, h - 2, w - 1, 1), second);
}

void TDRLabel::DrawCaption(QPainter &painter, const QRect &rect, const QColor &color)
{
    painter.setPen(color);
    painter.drawText(rect, TextFlags(), DrawnText());
}

void TDRLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setFont(font());
    const QColor background = Color();
    if (!transparent_)
        painter.fillRect(rect(), background);
    DrawFrame(painter);
    if (fontColor_ == background)
        return; // how blBlink hides the text, shadow and all
    if (ctl3D_)
        DrawCaption(painter, rect().translated(deep_, deep_), shadowColor_);
    const QColor textColor =
        isEnabled() ? fontColor_ : palette().color(QPalette::Disabled, QPalette::WindowText);
    DrawCaption(painter, rect(), textColor);
}
