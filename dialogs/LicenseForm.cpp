#include "dialogs/LicenseForm.h"

#include "controls/CentreOnScreen.h"
#include "controls/Fonts.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QShowEvent>
#include <QTextCursor>
#include <QVBoxLayout>
#include <QWindow>

// Q_INIT_RESOURCE must be used outside any namespace.  A static library
// keeps its compiled-in files only when something registers them.
static void RegisterLicenseTexts()
{
    Q_INIT_RESOURCE(licenses);
}

namespace
{

constexpr int FormWidth = 419;
constexpr int FormHeight = 310;

const char *const LicenseFiles[] = {"Ferrox", "libopenmpt", "SDL2", "Qt", "LGPL-3", "GPL-3"};

// Between two texts, so that the end of one is not read as the start of the next.
const QString TextSeparator =
    QStringLiteral("\n\n") + QString(40, QLatin1Char('-')) + QStringLiteral("\n\n");

} // namespace

QString LicenseText()
{
    static const bool registered = [] {
        RegisterLicenseTexts();
        return true;
    }();
    (void)registered;

    QStringList texts;
    for (const char *name : LicenseFiles) {
        QFile file(QStringLiteral(":/licenses/%1.txt").arg(QLatin1String(name)));
        if (file.open(QIODevice::ReadOnly))
            texts << QString::fromUtf8(file.readAll()).trimmed();
    }
    return texts.join(TextSeparator);
}

TLicenseForm::TLicenseForm(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("License for Ferrox for Windows"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    resize(FormWidth, FormHeight);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setFont(DialogFont());
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setReadOnly(true);
    // Read-only text has no caret by default; without scroll bars the
    // caret keys are the only way through it.
    Memo1->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    Memo1->setPlainText(LicenseText());
    Memo1->setAccessibleName(windowTitle());

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Memo1);
}

void TLicenseForm::Execute(QWidget *over)
{
    QWidget *owner = over ? over->window() : parentWidget() ? parentWidget()->window() : nullptr;
    // A dialog is kept in front of the window it is transient for; the
    // licence window is shared by the main window and the about window.
    create();
    if (QWindow *handle = windowHandle())
        handle->setTransientParent(owner ? owner->windowHandle() : nullptr);
    exec();
}

void TLicenseForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    CentreOnScreen(*this);
    Memo1->moveCursor(QTextCursor::Start);
    Memo1->setFocus(Qt::OtherFocusReason);
}
