#include "dialogs/MessageBoxes.h"

#include "base/MessageBox.h"

#include <QApplication>
#include <QMessageBox>

void InstallMessageBoxes()
{
    SetMessageHandler([](TMsgType type, const QString &text) {
        QMessageBox::Icon icon = QMessageBox::Information;
        if (type == TMsgType::mtWarning)
            icon = QMessageBox::Warning;
        else if (type == TMsgType::mtError)
            icon = QMessageBox::Critical;
        QMessageBox box(icon, MessageCaption(type), text, QMessageBox::Ok,
                        QApplication::activeWindow());
        box.exec();
    });
}
