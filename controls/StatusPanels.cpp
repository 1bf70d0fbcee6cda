#include "controls/StatusPanels.h"

#include "controls/BevelPanel.h"

#include <QAccessible>
#include <QPainter>

namespace
{
// Room between two panels, as the classic status bar leaves it.
constexpr int PanelGap = 2;
} // namespace

TStatusPanels::TStatusPanels(QWidget *parent) : QStatusBar(parent)
{
    setSizeGripEnabled(false);
}

void TStatusPanels::AddPanel(int width, bool ownerDraw, const QString &text)
{
    panels_.append({width, ownerDraw, text});
    update();
}

void TStatusPanels::SetPanelShown(int index, bool shown)
{
    if (panels_[index].Shown == shown)
        return;
    panels_[index].Shown = shown;
    // Told only once shown: a control still being made would be described
    // as the class it is made from.
    if (isVisible()) {
        QAccessibleEvent changed(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&changed);
    }
    // The panel before it may grow or shrink to the edge.
    update();
}

void TStatusPanels::SetPanelText(int index, const QString &text)
{
    if (panels_[index].Text == text)
        return;
    panels_[index].Text = text;
    // Told only once shown: a control still being made would be described
    // as the class it is made from.
    if (isVisible()) {
        QAccessibleEvent changed(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&changed);
    }
    // Every panel clips its text, so the panel alone holds all of the old text.
    update(PanelRect(index).adjusted(-1, -1, 1, 1));
}

QRect TStatusPanels::PanelRect(int index) const
{
    if (!panels_.at(index).Shown)
        return {};
    int left = 0;
    bool last = true;
    for (int i = 0; i < panels_.size(); ++i) {
        if (!panels_.at(i).Shown)
            continue;
        if (i < index)
            left += panels_.at(i).Width + PanelGap;
        else if (i > index)
            last = false;
    }
    // The last panel runs on to the bar's right edge, as a status bar's
    // last panel does, so a long text there has the room the bar has.
    int width = panels_.at(index).Width;
    if (last)
        width = qMax(width, this->width() - left);
    // One pixel of the bar above and below, one pixel of bevel inside it.
    return QRect(left + 1, 3, width - 2, height() - 5);
}

void TStatusPanels::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.setFont(font());
    for (int i = 0; i < panels_.size(); ++i) {
        if (!panels_.at(i).Shown)
            continue;
        const QRect inner = PanelRect(i);
        if (panels_.at(i).OwnerDraw) {
            DrawBevel(painter, inner.adjusted(-1, -1, 1, 1), bvLowered);
            painter.save();
            painter.setClipRect(inner);
            emit drawPanel(painter, i, inner);
            painter.restore();
        } else {
            painter.save();
            painter.setClipRect(inner);
            painter.setPen(palette().color(QPalette::WindowText));
            painter.drawText(inner.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                             panels_.at(i).Text);
            painter.restore();
        }
    }
}
