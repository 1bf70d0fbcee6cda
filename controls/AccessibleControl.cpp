#include "controls/AccessibleControl.h"

#include "controls/BevelPanel.h"
#include "controls/Counter.h"
#include "controls/DRLabel.h"
#include "controls/StatusPanels.h"
#include "controls/fxRepeatBtn.h"

#include <QStringList>

#include <utility>

TAccessibleControl::TAccessibleControl(QWidget *widget, QAccessible::Role role,
                                       std::function<QString()> words,
                                       std::function<QString()> value, std::function<void()> press)
    : QAccessibleWidget(widget, role), Words(std::move(words)), Value(std::move(value)),
      Press(std::move(press))
{
}

namespace
{
// The status bar says the text of its shown panels in a row.
QString ShownPanelsText(const TStatusPanels *bar)
{
    QStringList texts;
    for (int i = 0; i < bar->PanelCount(); ++i)
        if (bar->PanelShown(i) && !bar->PanelText(i).isEmpty())
            texts << bar->PanelText(i);
    return texts.join(QLatin1Char(' '));
}
} // namespace

QAccessibleInterface *TAccessibleControl::Create(const QString &className, QObject *object)
{
    if (className == QLatin1String("TCounter")) {
        auto *counter = static_cast<TCounter *>(object);
        return new TAccessibleControl(
            counter, QAccessible::StaticText, [counter] { return counter->Value(); },
            [counter] { return counter->Value(); });
    }
    if (className == QLatin1String("TBevelPanel")) {
        auto *panel = static_cast<TBevelPanel *>(object);
        return new TAccessibleControl(panel, QAccessible::StaticText,
                                      [panel] { return panel->Caption(); });
    }
    if (className == QLatin1String("TDRLabel")) {
        auto *label = static_cast<TDRLabel *>(object);
        return new TAccessibleControl(label, QAccessible::StaticText,
                                      [label] { return label->Caption(); });
    }
    if (className == QLatin1String("TStatusPanels")) {
        auto *bar = static_cast<TStatusPanels *>(object);
        return new TAccessibleControl(bar, QAccessible::StatusBar,
                                      [bar] { return ShownPanelsText(bar); });
    }
    if (className == QLatin1String("TfxRepeatBtn")) {
        auto *button = static_cast<TfxRepeatBtn *>(object);
        return new TAccessibleControl(
            button, QAccessible::Button, [button] { return button->Caption(); }, {},
            [button] {
                if (button->isEnabled())
                    emit button->clicked();
            });
    }
    return nullptr;
}

QString TAccessibleControl::text(QAccessible::Text kind) const
{
    if (kind == QAccessible::Name && widget()->accessibleName().isEmpty())
        return Words ? Words() : QString();
    if (kind == QAccessible::Value && Value)
        return Value();
    return QAccessibleWidget::text(kind);
}

void *TAccessibleControl::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ValueInterface && Value)
        return static_cast<QAccessibleValueInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QStringList TAccessibleControl::actionNames() const
{
    QStringList names = QAccessibleWidget::actionNames();
    if (Press)
        names.prepend(pressAction());
    return names;
}

void TAccessibleControl::doAction(const QString &actionName)
{
    if (Press && actionName == pressAction())
        Press();
    else
        QAccessibleWidget::doAction(actionName);
}

// A counter's digits as a number; a dash or blank counts as none.
QVariant TAccessibleControl::currentValue() const
{
    bool isNumber = false;
    const int number = Value ? Value().trimmed().toInt(&isNumber) : 0;
    return isNumber ? QVariant(number) : QVariant();
}
