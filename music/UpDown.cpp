#include "music/UpDown.h"

#include <QToolButton>

namespace
{

QToolButton *ArrowButton(QWidget *parent, Qt::ArrowType arrow, const char *name)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

TUpDown::TUpDown(QWidget *parent)
    : QWidget(parent), Upper(ArrowButton(this, Qt::UpArrow, "UpperArrow")),
      Lower(ArrowButton(this, Qt::DownArrow, "LowerArrow"))
{
    connect(Upper, &QToolButton::clicked, this, [this] { emit Click(TUDBtnType::btNext); });
    connect(Lower, &QToolButton::clicked, this, [this] { emit Click(TUDBtnType::btPrev); });
}

// The two arrows share the control's height, the upper one taking the odd
// pixel.
void TUpDown::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int upperHeight = (height() + 1) / 2;
    Upper->setGeometry(0, 0, width(), upperHeight);
    Lower->setGeometry(0, upperHeight, width(), height() - upperHeight);
}
