#include "dialogs/SpinEdit.h"

#include <QFocusEvent>
#include <QLineEdit>

#include <algorithm>
#include <climits>

namespace
{

// Nine digits always fit an int, so no typed number can overflow.
constexpr int MaxDigits = 9;

} // namespace

TSpinEdit::TSpinEdit(QWidget *parent) : QAbstractSpinBox(parent)
{
    lineEdit()->setMaxLength(MaxDigits);
    lineEdit()->setText(QString::number(minValue_));
    connect(lineEdit(), &QLineEdit::textChanged, this, &TSpinEdit::Changed);
}

void TSpinEdit::SetBounds(int minValue, int maxValue)
{
    minValue_ = minValue;
    maxValue_ = maxValue;
    // The buttons' enabled look follows the bounds.
    update();
}

int TSpinEdit::Value() const
{
    bool ok = false;
    const int value = lineEdit()->text().toInt(&ok);
    return ok ? value : minValue_;
}

int TSpinEdit::Bounded(int value) const
{
    return std::min(std::max(value, minValue_), maxValue_);
}

void TSpinEdit::SetValue(int value)
{
    lineEdit()->setText(QString::number(Bounded(value)));
}

void TSpinEdit::BringWithinBounds()
{
    SetValue(Value());
}

QString TSpinEdit::Text() const
{
    return lineEdit()->text();
}

void TSpinEdit::stepBy(int steps)
{
    // Computed wide: a typed 999999999 plus a page step must not wrap.
    const qint64 stepped = qint64(Value()) + steps;
    SetValue(int(std::clamp<qint64>(stepped, INT_MIN, INT_MAX)));
    selectAll();
}

// Digits only: a sign or a separator can never make a board size.
QValidator::State TSpinEdit::validate(QString &input, int &) const
{
    if (input.size() > MaxDigits)
        return QValidator::Invalid;
    for (const QChar c : input)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return QValidator::Invalid;
    return QValidator::Acceptable;
}

QAbstractSpinBox::StepEnabled TSpinEdit::stepEnabled() const
{
    StepEnabled enabled = StepNone;
    const int value = Value();
    if (value < maxValue_)
        enabled |= StepUpEnabled;
    if (value > minValue_)
        enabled |= StepDownEnabled;
    return enabled;
}

void TSpinEdit::focusOutEvent(QFocusEvent *event)
{
    // The field's own context menu takes the focus only for a moment.
    if (event->reason() != Qt::PopupFocusReason)
        BringWithinBounds();
    QAbstractSpinBox::focusOutEvent(event);
}
