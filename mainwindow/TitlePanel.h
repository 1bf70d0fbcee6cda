#pragma once

// TTitlePanel: the title panel above the board, a push button made of a panel.

#include "controls/BevelPanel.h"

// It looks pressed (a lowered inner bevel) while the left button pressed on
// it is held over it, and says clicked() when that button is let go on it.
class TTitlePanel : public TBevelPanel
{
    Q_OBJECT

public:
    explicit TTitlePanel(QWidget *parent = nullptr);

private slots:
    void UpPanelMouseDown(Qt::MouseButton button, Qt::MouseButtons held, QPoint pos);
    void UpPanelMouseUp(Qt::MouseButton button, Qt::MouseButtons held, QPoint pos);
    void UpPanelMouseMove(Qt::MouseButtons held, QPoint pos);
};
