#include "music/MusicForm.h"
#include "controls/Fonts.h"

#include "base/Constants.h"
#include "music/Music.h"

#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QSlider>
#include <QStyle>

namespace
{

constexpr int FormWidth = 218;
constexpr int FormHeight = 75;
constexpr int TickInterval = 5;

} // namespace

TMusicForm::TMusicForm(TMusic &music, QWidget *parent) : QDialog(parent), Music(music)
{
    setWindowTitle(QStringLiteral("Volume"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(FormWidth, FormHeight);
    setFont(DialogFont());

    Label1 = new QLabel(QStringLiteral("Volume:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(8, 12, 44, 13);

    TBVolume = new QSlider(Qt::Horizontal, this);
    TBVolume->setObjectName(QStringLiteral("TBVolume"));
    TBVolume->setGeometry(56, 4, 154, 32);
    TBVolume->setRange(0, NaturalVolume);
    TBVolume->setSingleStep(1);
    TBVolume->setPageStep(TickInterval);
    TBVolume->setTickPosition(QSlider::TicksBelow);
    TBVolume->setTickInterval(TickInterval);
    connect(TBVolume, &QSlider::valueChanged, this, &TMusicForm::TBVolumeChange);
    Label1->setBuddy(TBVolume);

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                              QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry((FormWidth - 75) / 2, 42, 75, 25);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &TMusicForm::BitBtn1Click);

    setTabOrder(TBVolume, BitBtn1);
}

bool TMusicForm::Execute()
{
    return exec() == QDialog::Accepted;
}

void TMusicForm::FormShow()
{
    {
        // The change handler runs once below, also when the position stays.
        const QSignalBlocker quiet(TBVolume);
        TBVolume->setValue(Music.Volume());
    }
    TBVolumeChange(TBVolume->value());
}

void TMusicForm::TBVolumeChange(int position)
{
    Music.PreviewVolume(position);
}

void TMusicForm::BitBtn1Click()
{
    Music.SetVolume(TBVolume->value());
    accept();
}

void TMusicForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    FormShow();
    TBVolume->setFocus();
}
