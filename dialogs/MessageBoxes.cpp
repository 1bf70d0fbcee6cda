#include "dialogs/MessageBoxes.h"

#include "base/MessageBox.h"

#include <QApplication>
#include <QMessageBox>

QWidget *MessageBoxOwner()
{
    if (QWidget *waiting = QApplication::activeModalWidget())
        return waiting;
    if (QWidget *active = QApplication::activeWindow(); active && active->isVisible())
        return active;
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->windowType() == Qt::Window)
            return window;
    return nullptr;
}

void InstallMessageBoxes()
{
    SetMessageHandler([](TMsgType type, const QString &text) {
        QMessageBox::Icon icon = QMessageBox::Information;
        if (type == TMsgType::mtWarning)
            icon = QMessageBox::Warning;
        else if (type == TMsgType::mtError)
            icon = QMessageBox::Critical;
        QMessageBox box(icon, MessageCaption(type), text, QMessageBox::Ok, MessageBoxOwner());
        box.exec();
    });
    SetQuestionHandler([](const QString &text) {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), text,
                        QMessageBox::Yes | QMessageBox::No, MessageBoxOwner());
        box.setDefaultButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    });
}
