#pragma once

// TSpinEdit: a numeric text field with up and down buttons whose text may
// hold any number while it is typed, as the custom size dialog needs it.

#include <QAbstractSpinBox>

// Unlike QSpinBox, the text is the value: typing may pass through numbers
// outside the bounds (typing 12 where 8 is the least passes through 1), and
// Value() reads them as typed.  Only the buttons, the arrow and page keys,
// the wheel and SetValue keep within the bounds; a typed number is brought
// within them when the field loses the focus.  Every change of the text,
// typed or set, is announced by Changed().
class TSpinEdit : public QAbstractSpinBox
{
    Q_OBJECT

public:
    explicit TSpinEdit(QWidget *parent = nullptr);

    int MinValue() const { return minValue_; }
    int MaxValue() const { return maxValue_; }
    // New bounds leave the text alone; the owner decides whether the value
    // must follow them.  A lower bound above the upper one makes the upper
    // bound win, so a value always exists.
    void SetBounds(int minValue, int maxValue);
    void SetMinValue(int minValue) { SetBounds(minValue, maxValue_); }
    void SetMaxValue(int maxValue) { SetBounds(minValue_, maxValue); }

    // The number in the text as typed, or the lower bound when the text is
    // not a number (an empty field reads as the lower bound).
    int Value() const;
    // Shows `value` brought within the bounds.
    void SetValue(int value);
    // `value` brought within the bounds.
    int Bounded(int value) const;
    // Shows Bounded(Value()): what leaving the field does to a typed number.
    void BringWithinBounds();

    // The field's text, for tests and the accessibility layer.
    QString Text() const;

    void stepBy(int steps) override;
    QValidator::State validate(QString &input, int &pos) const override;

signals:
    void Changed();

protected:
    StepEnabled stepEnabled() const override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    int minValue_ = 0;
    int maxValue_ = 100;
};
