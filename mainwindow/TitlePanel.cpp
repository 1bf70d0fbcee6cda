#include "mainwindow/TitlePanel.h"

TTitlePanel::TTitlePanel(QWidget *parent) : TBevelPanel(parent)
{
    connect(this, &TBevelPanel::mousePressed, this, &TTitlePanel::UpPanelMouseDown);
    connect(this, &TBevelPanel::mouseReleased, this, &TTitlePanel::UpPanelMouseUp);
    connect(this, &TBevelPanel::mouseMoved, this, &TTitlePanel::UpPanelMouseMove);
}

void TTitlePanel::UpPanelMouseDown(Qt::MouseButton button, Qt::MouseButtons, QPoint)
{
    if (button == Qt::LeftButton && BevelInner() == bvNone)
        SetBevelInner(bvLowered);
}

void TTitlePanel::UpPanelMouseUp(Qt::MouseButton button, Qt::MouseButtons, QPoint)
{
    if (button == Qt::LeftButton && BevelInner() == bvLowered)
        SetBevelInner(bvNone);
}

void TTitlePanel::UpPanelMouseMove(Qt::MouseButtons held, QPoint pos)
{
    if (!(held & Qt::LeftButton))
        return;
    // The edges count as inside.
    const bool inside = pos.x() >= 0 && pos.y() >= 0 && pos.x() <= width() && pos.y() <= height();
    if (!inside && BevelInner() == bvLowered)
        SetBevelInner(bvNone);
    else if (inside && BevelInner() == bvNone)
        SetBevelInner(bvLowered);
}
