#pragma once

// An up/down control: two arrow buttons, one above the other.

#include <QWidget>

class QToolButton;

// Which arrow was clicked: btNext the upper, btPrev the lower.
enum class TUDBtnType { btNext, btPrev };

// Each arrow clicks once per press and again while it is held.
class TUpDown : public QWidget
{
    Q_OBJECT

public:
    explicit TUpDown(QWidget *parent = nullptr);

    QToolButton *UpperArrow() const { return Upper; }
    QToolButton *LowerArrow() const { return Lower; }

signals:
    void Click(TUDBtnType button);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QToolButton *Upper;
    QToolButton *Lower;
};
