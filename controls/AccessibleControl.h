#pragma once

// TAccessibleControl: what a screen reader learns of one of our self-drawn
// controls: its role, its words, a number as its value, a press.

#include <QAccessibleWidget>

#include <functional>

class TAccessibleControl : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    // `words` is the name unless the widget has an accessible name of its
    // own; `value` (when given) is the number shown; `press` (when given)
    // is what the press action does.
    TAccessibleControl(QWidget *widget, QAccessible::Role role, std::function<QString()> words,
                       std::function<QString()> value = {}, std::function<void()> press = {});

    // The interface for the controls of this folder, by the class name Qt
    // asks about; null for others.  Fit to be installed as a factory.
    static QAccessibleInterface *Create(const QString &className, QObject *object);

    QString text(QAccessible::Text kind) const override;
    void *interface_cast(QAccessible::InterfaceType type) override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant &) override {}
    QVariant maximumValue() const override { return {}; }
    QVariant minimumValue() const override { return {}; }
    QVariant minimumStepSize() const override { return {}; }

private:
    std::function<QString()> Words;
    std::function<QString()> Value;
    std::function<void()> Press;
};
