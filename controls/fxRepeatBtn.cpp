#include "controls/fxRepeatBtn.h"

#include "controls/Resources.h"

#include "base/MessageBox.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <exception>

TfxRepeatBtn::TfxRepeatBtn(QWidget *parent) : QWidget(parent)
{
    FerroxRes::InitResources();
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover, true);
    resize(25, 25);
}

TfxRepeatBtn::~TfxRepeatBtn()
{
    DestroyRepeatTimer();
}

QString TfxRepeatBtn::Copyright() const
{
    return QStringLiteral("Auto-repeat button, Ferrox display controls");
}

QString TfxRepeatBtn::Version() const
{
    return QStringLiteral("Beta 0.50");
}

void TfxRepeatBtn::SetInitDelay(int milliseconds)
{
    initDelay_ = milliseconds;
}

void TfxRepeatBtn::SetRepeatDelay(int milliseconds)
{
    repeatDelay_ = milliseconds;
}

void TfxRepeatBtn::SetRepeatEnabled(bool on)
{
    repeatEnabled_ = on;
}

void TfxRepeatBtn::SetCaption(const QString &caption)
{
    if (caption == caption_)
        return;
    caption_ = caption;
    update();
}

void TfxRepeatBtn::SetGlyph(const QPixmap &glyph)
{
    glyph_ = glyph;
    if (!glyph_.isNull() && glyph_.height() > 0 && glyph_.width() % glyph_.height() == 0)
        SetNumGlyphs(glyph_.width() / glyph_.height());
    update();
}

void TfxRepeatBtn::SetNumGlyphs(int count)
{
    count = qBound(1, count, 4);
    if (count == numGlyphs_)
        return;
    numGlyphs_ = count;
    update();
}

QSize TfxRepeatBtn::sizeHint() const
{
    return QSize(25, 25);
}

void TfxRepeatBtn::SetDown(bool down)
{
    if (down == down_)
        return;
    down_ = down;
    repaint();
}

void TfxRepeatBtn::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        tracking_ = true;
        SetDown(true);
    }
    if (repeatEnabled_)
        StartRepeatTimer();
    event->accept();
}

void TfxRepeatBtn::mouseMoveEvent(QMouseEvent *event)
{
    if (tracking_)
        SetDown(rect().contains(event->position().toPoint()));
    event->accept();
}

void TfxRepeatBtn::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && tracking_) {
        tracking_ = false;
        const bool over = rect().contains(event->position().toPoint());
        SetDown(false);
        if (over)
            FireClick();
    }
    DestroyRepeatTimer();
    event->accept();
}

void TfxRepeatBtn::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        tracking_ = false;
        SetDown(false);
        DestroyRepeatTimer();
    }
    if (event->type() == QEvent::EnabledChange)
        update();
    QWidget::changeEvent(event);
}

void TfxRepeatBtn::enterEvent(QEnterEvent *event)
{
    hovered_ = true;
    update();
    QWidget::enterEvent(event);
}

void TfxRepeatBtn::leaveEvent(QEvent *event)
{
    hovered_ = false;
    update();
    QWidget::leaveEvent(event);
}

// A second press during a hold keeps the running timer and only resets its
// interval, as a periodic timer does when its interval is written.
void TfxRepeatBtn::StartRepeatTimer()
{
    if (repeatTimer_ == nullptr) {
        repeatTimer_ = new QTimer(this);
        // A coarse timer may fire a few per cent early; the repeats keep
        // their rhythm to the millisecond.
        repeatTimer_->setTimerType(Qt::PreciseTimer);
        repeatTimer_->setInterval(initDelay_);
        connect(repeatTimer_, &QTimer::timeout, this, &TfxRepeatBtn::RepeatTimerExpired);
        if (initDelay_ > 0)
            repeatTimer_->start();
        return;
    }
    SetTimerInterval(initDelay_);
}

// Writing an unchanged interval leaves the running period alone; a changed
// one restarts it; 0 stops the timer.
void TfxRepeatBtn::SetTimerInterval(int milliseconds)
{
    if (milliseconds <= 0) {
        repeatTimer_->stop();
        repeatTimer_->setInterval(0);
        return;
    }
    if (milliseconds != repeatTimer_->interval() || !repeatTimer_->isActive())
        repeatTimer_->start(milliseconds);
}

void TfxRepeatBtn::RepeatTimerExpired()
{
    if (repeatTimer_ == nullptr)
        return;
    SetTimerInterval(repeatDelay_);
    if (down_ && tracking_ && !FireClick())
        DestroyRepeatTimer();
}

void TfxRepeatBtn::DestroyRepeatTimer()
{
    if (repeatTimer_ == nullptr)
        return;
    repeatTimer_->stop();
    // Possibly called from the timer's own timeout: let Qt delete it later.
    repeatTimer_->deleteLater();
    repeatTimer_ = nullptr;
}

bool TfxRepeatBtn::FireClick()
{
    try {
        emit clicked();
        return true;
    } catch (const std::exception &error) {
        ShowMessage(TMsgType::mtError, QString::fromLocal8Bit(error.what()));
    } catch (...) {
        ShowMessage(TMsgType::mtError, QStringLiteral("The button's action failed."));
    }
    return false;
}

QPixmap TfxRepeatBtn::GlyphPicture(int index) const
{
    if (glyph_.isNull())
        return QPixmap();
    const int w = glyph_.width() / numGlyphs_;
    if (index >= numGlyphs_)
        index = 0;
    return glyph_.copy(index * w, 0, w, glyph_.height());
}

void TfxRepeatBtn::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPalette &pal = palette();
    painter.fillRect(rect(), pal.color(QPalette::Button));
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    // Flat: a frame shows only while pressed or under the pointer.
    if (down_ || (hovered_ && isEnabled() && !tracking_)) {
        painter.setPen(pal.color(down_ ? QPalette::Dark : QPalette::Light));
        painter.drawLine(frame.topLeft(), frame.topRight());
        painter.drawLine(frame.topLeft(), frame.bottomLeft());
        painter.setPen(pal.color(down_ ? QPalette::Light : QPalette::Dark));
        painter.drawLine(frame.bottomLeft(), frame.bottomRight());
        painter.drawLine(frame.topRight(), frame.bottomRight());
    }
    const int shift = down_ ? 1 : 0;
    const QPixmap picture = GlyphPicture(isEnabled() ? 0 : 1);
    int textLeft = 0;
    if (!picture.isNull()) {
        const int captionWidth =
            caption_.isEmpty() ? 0 : fontMetrics().horizontalAdvance(caption_) + 4;
        const int x = (width() - picture.width() - captionWidth) / 2 + shift;
        const int y = (height() - picture.height()) / 2 + shift;
        painter.drawPixmap(x, y, picture);
        textLeft = x + picture.width() + 4 - shift;
    }
    if (caption_.isEmpty())
        return;
    painter.setPen(
        pal.color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    const QRect textRect =
        picture.isNull() ? rect() : QRect(textLeft, 0, width() - textLeft, height());
    painter.drawText(textRect.translated(shift, shift),
                     (picture.isNull() ? Qt::AlignCenter : (Qt::AlignLeft | Qt::AlignVCenter)) |
                         Qt::TextShowMnemonic,
                     caption_);
}
