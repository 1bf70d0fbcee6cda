#include "controls/BevelPanel.h"

#include <QAccessible>
#include <QFontInfo>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

TBevelPanel::TBevelPanel(QWidget *parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    fontColor_ = palette().color(QPalette::WindowText);
}

void TBevelPanel::SetCaption(const QString &caption)
{
    if (caption == caption_)
        return;
    caption_ = caption;
    // Told only once shown: a control still being made would be described
    // as the class it is made from.
    if (isVisible()) {
        QAccessibleEvent changed(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&changed);
    }
    update();
}

void TBevelPanel::SetFontColor(const QColor &color)
{
    if (color == fontColor_)
        return;
    fontColor_ = color;
    update();
}

void TBevelPanel::SetBevelOuter(TPanelBevel bevel)
{
    if (bevel == bevelOuter_)
        return;
    bevelOuter_ = bevel;
    update();
}

void TBevelPanel::SetBevelInner(TPanelBevel bevel)
{
    if (bevel == bevelInner_)
        return;
    bevelInner_ = bevel;
    update();
}

void TBevelPanel::SetShrinkCaptionTo(int smallestPixels)
{
    if (smallestPixels == smallestPixels_)
        return;
    smallestPixels_ = smallestPixels;
    update();
}

TFittedCaption FitCaption(const QString &caption, const QFont &font, int width, int smallestPixels)
{
    const int pixels = QFontInfo(font).pixelSize();
    const int smallest = smallestPixels > 0 ? std::min(smallestPixels, pixels) : pixels;
    QFont sized = font;
    for (int size = pixels; size >= smallest; --size) {
        if (size != pixels)
            sized.setPixelSize(size);
        if (QFontMetrics(sized).horizontalAdvance(caption) <= width)
            return {caption, sized};
    }
    return {QFontMetrics(sized).elidedText(caption, Qt::ElideRight, width), sized};
}

// Inside the two bevels, a pixel from either side.
QRect TBevelPanel::CaptionRoom() const
{
    QRect room = rect().adjusted(1, 0, -1, 0);
    if (bevelOuter_ != bvNone)
        room.adjust(1, 1, -1, -1);
    return room;
}

QString TBevelPanel::ShownCaption() const
{
    return FitCaption(caption_, font(), CaptionRoom().width(), smallestPixels_).Text;
}

void DrawBevel(QPainter &painter, const QRect &rect, TPanelBevel bevel)
{
    if (bevel == bvNone)
        return;
    const QPalette palette;
    const QColor light = palette.color(QPalette::Light);
    const QColor dark = palette.color(QPalette::Dark);
    const QColor topLeft = bevel == bvRaised ? light : dark;
    const QColor bottomRight = bevel == bvRaised ? dark : light;
    painter.setPen(topLeft);
    painter.drawLine(rect.left(), rect.top(), rect.right(), rect.top());
    painter.drawLine(rect.left(), rect.top(), rect.left(), rect.bottom());
    painter.setPen(bottomRight);
    painter.drawLine(rect.right(), rect.top(), rect.right(), rect.bottom());
    painter.drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
}

void TBevelPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QRect frame = rect();
    DrawBevel(painter, frame, bevelOuter_);
    if (bevelOuter_ != bvNone)
        frame.adjust(1, 1, -1, -1);
    DrawBevel(painter, frame, bevelInner_);
    if (caption_.isEmpty())
        return;
    // A caption wider than the panel (a long module title on a narrow
    // board) keeps its beginning, which says the most, and shows that it
    // goes on.
    const QRect room = CaptionRoom();
    const TFittedCaption shown = FitCaption(caption_, font(), room.width(), smallestPixels_);
    painter.setFont(shown.Font);
    painter.setPen(fontColor_);
    painter.drawText(room, Qt::AlignCenter, shown.Text);
}

void TBevelPanel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        leftPressed_ = true;
    emit mousePressed(event->button(), event->buttons(), event->position().toPoint());
}

void TBevelPanel::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    emit mouseReleased(event->button(), event->buttons(), pos);
    if (event->button() != Qt::LeftButton || !leftPressed_)
        return;
    leftPressed_ = false;
    if (rect().contains(pos))
        emit clicked();
}

void TBevelPanel::mouseMoveEvent(QMouseEvent *event)
{
    emit mouseMoved(event->buttons(), event->position().toPoint());
}
