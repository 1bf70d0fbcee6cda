#include "dialogs/MAboutForm.h"

#include "base/Constants.h"
#include "base/Rounding.h"
#include "controls/BevelPanel.h"
#include "controls/CentreOnScreen.h"
#include "controls/Fonts.h"
#include "controls/Resources.h"
#include "dialogs/LicenseForm.h"
#include "music/SoundModule.h"

#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>

namespace
{

constexpr int FormWidth = 310;
constexpr int FormHeight = 262;
const QRect PanelPlace(8, 8, 289, 217);

const QString NameSuffix = QStringLiteral("for Windows");

// The program picture is drawn larger and shown shrunk into the corner.
const QSize ProgramIconSize(65, 57);
constexpr int NamePixels = 16;
const QColor NameColor = Qt::red;
const QColor SuffixColor(0x80, 0x00, 0x00); // maroon

QLabel *TextLabel(QWidget *parent, const char *name, const QString &text, QPoint place,
                  const QFont &font = DialogFont())
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->move(place);
    label->adjustSize();
    return label;
}

QLabel *ColoredLabel(QWidget *parent, const char *name, const QString &text, QPoint place,
                     const QFont &font, const QColor &color)
{
    QLabel *label = TextLabel(parent, name, text, place, font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    return label;
}

QLabel *PictureLabel(QWidget *parent, const char *name, const char *picture, const QRect &place)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setPixmap(FerroxRes::LoadPicture(picture));
    label->setScaledContents(true);
    label->setGeometry(place);
    return label;
}

} // namespace

TMAboutForm::TMAboutForm(TSoundModule &sound, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About %1 %2").arg(ProgramName, NameSuffix));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(FormWidth, FormHeight);
    setFont(DialogFont());

    Panel1 = new TBevelPanel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->SetBevelOuter(bvLowered);
    Panel1->SetBevelInner(bvRaised);
    Panel1->setGeometry(PanelPlace);

    CreatePictures();
    CreateNameLine();
    CreateCredits(sound);

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                              QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(Round((FormWidth - 75) / 2.0), 231, 75, 25);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

void TMAboutForm::CreatePictures()
{
    ProgramIcon = PictureLabel(Panel1, "ProgramIcon", FerroxRes::ProgramIcon,
                               QRect(QPoint(8, 8), ProgramIconSize));
    Image1 = PictureLabel(Panel1, "Image1", FerroxRes::AboutImage, QRect(217, 40, 64, 64));
}

void TMAboutForm::CreateNameLine()
{
    ProductName = ColoredLabel(Panel1, "ProductName", ProgramName + QLatin1Char(' '),
                               QPoint(84, 14), DialogFont(NamePixels, true), NameColor);
    // The two parts share one baseline; their fonts differ only in slant.
    Label1 = ColoredLabel(Panel1, "Label1", NameSuffix,
                          QPoint(ProductName->geometry().right() + 1, ProductName->y()),
                          DialogFont(NamePixels, true, true), SuffixColor);
    Version =
        TextLabel(Panel1, "Version", QStringLiteral("Version ") + ProgramVersion, QPoint(84, 42));
}

void TMAboutForm::CreateCredits(TSoundModule &sound)
{
    TextLabel(Panel1, "Copyright",
              QStringLiteral("Copyright (c) 2026 the %1 developers").arg(ProgramName),
              QPoint(8, 110));
    TextLabel(Panel1, "Author", QStringLiteral("Written by the %1 developers").arg(ProgramName),
              QPoint(8, 128));
    TextLabel(Panel1, "Credits", QStringLiteral("Thanks to everyone who sent suggestions"),
              QPoint(8, 146));

    // The versions are the ones the program runs with, asked at start.
    Label3 = TextLabel(Panel1, "Label3",
                       QStringLiteral("Music played with libopenmpt %1 and SDL %2 (see License)")
                           .arg(sound.OpenmptVersion(), sound.SdlVersion()),
                       QPoint(8, 168));
    Label3->setWordWrap(true);
    Label3->setGeometry(8, 168, 190, 40);
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Button1 = new QPushButton(QStringLiteral("License"), Panel1);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(PanelPlace.width() - 83, PanelPlace.height() - 33, 75, 25);
    // Enter stays with OK, whichever button has the focus.
    Button1->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, &TMAboutForm::Button1Click);
}

void TMAboutForm::SetLicenseForm(TLicenseForm *form)
{
    licenseForm_ = form;
}

TLicenseForm *TMAboutForm::LicenseForm()
{
    if (!licenseForm_)
        licenseForm_ = new TLicenseForm(this);
    return licenseForm_;
}

void TMAboutForm::Execute()
{
    exec();
}

void TMAboutForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    CentreOnScreen(*this);
    BitBtn1->setFocus(Qt::OtherFocusReason);
}

void TMAboutForm::Button1Click()
{
    LicenseForm()->Execute(this);
}
