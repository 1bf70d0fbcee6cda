#include "music/AudioSetupForm.h"

#include "music/SoundModule.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace
{

const QString Automatic = QStringLiteral("Automatic");

QString RateText(int rate)
{
    return QStringLiteral("%1 Hz").arg(rate);
}

QString LengthText(int ms)
{
    return QStringLiteral("%1 ms").arg(ms);
}

// Selects the item whose data is value, adding it (shown as text) when the
// box does not list it.
void Choose(QComboBox *box, const QVariant &value, const QString &text)
{
    int index = box->findData(value);
    if (index < 0) {
        box->addItem(text, value);
        index = box->count() - 1;
    }
    box->setCurrentIndex(index);
}

QComboBox *ChoiceBox(const QString &name, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(name);
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    box->setMinimumContentsLength(22);
    return box;
}

QLabel *InUseLine(const QString &name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

TAudioSetupForm::TAudioSetupForm(TSoundModule &sound, QWidget *parent)
    : QDialog(parent), Sound(sound)
{
    setWindowTitle(QStringLiteral("Sound Card Setup"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    Buttons->setObjectName(QStringLiteral("Buttons"));
    connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(CreateChoices());
    layout->addWidget(CreateInUse());
    layout->addWidget(Buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget *TAudioSetupForm::CreateChoices()
{
    auto *group = new QGroupBox(QStringLiteral("Output"), this);
    DriverBox = ChoiceBox(QStringLiteral("DriverBox"), group);
    DeviceBox = ChoiceBox(QStringLiteral("DeviceBox"), group);
    RateBox = ChoiceBox(QStringLiteral("RateBox"), group);
    BufferBox = ChoiceBox(QStringLiteral("BufferBox"), group);

    DriverBox->addItem(Automatic, QString());
    for (const QString &driver : Sound.OutputDrivers())
        DriverBox->addItem(driver, driver);
    RateBox->addItem(Automatic, 0);
    for (int rate : TModuleAudio::MixRates())
        RateBox->addItem(RateText(rate), rate);
    BufferBox->addItem(Automatic, 0);
    for (int ms : TModuleAudio::BufferLengths())
        BufferBox->addItem(LengthText(ms), ms);
    BufferBox->setToolTip(
        QStringLiteral("Longer buffers cost less processor time; shorter ones stop sooner."));

    connect(DriverBox, &QComboBox::currentIndexChanged, this,
            [this] { RefreshDevices(DeviceBox->currentData().toString(), false); });

    auto *form = new QFormLayout(group);
    form->addRow(QStringLiteral("&Driver:"), DriverBox);
    form->addRow(QStringLiteral("D&evice:"), DeviceBox);
    form->addRow(QStringLiteral("&Mixing rate:"), RateBox);
    form->addRow(QStringLiteral("&Buffer length:"), BufferBox);

    EnvironmentNote = new QLabel(group);
    EnvironmentNote->setObjectName(QStringLiteral("EnvironmentNote"));
    EnvironmentNote->setWordWrap(true);
    EnvironmentNote->setEnabled(false);
    form->addRow(EnvironmentNote);
    RefreshDevices(QString(), false);
    return group;
}

QWidget *TAudioSetupForm::CreateInUse()
{
    auto *group = new QGroupBox(QStringLiteral("In use"), this);
    InUseLines = new QWidget(group);
    InUseDriver = InUseLine(QStringLiteral("InUseDriver"), InUseLines);
    InUseDevice = InUseLine(QStringLiteral("InUseDevice"), InUseLines);
    InUseRate = InUseLine(QStringLiteral("InUseRate"), InUseLines);
    InUseBuffer = InUseLine(QStringLiteral("InUseBuffer"), InUseLines);
    auto *lines = new QFormLayout(InUseLines);
    lines->setContentsMargins(0, 0, 0, 0);
    lines->addRow(QStringLiteral("Driver:"), InUseDriver);
    lines->addRow(QStringLiteral("Device:"), InUseDevice);
    lines->addRow(QStringLiteral("Mixing rate:"), InUseRate);
    lines->addRow(QStringLiteral("Buffer:"), InUseBuffer);

    ClosedNote = new QLabel(QStringLiteral("The sound device is closed."), group);
    ClosedNote->setObjectName(QStringLiteral("ClosedNote"));

    auto *layout = new QVBoxLayout(group);
    layout->addWidget(InUseLines);
    layout->addWidget(ClosedNote);
    ShowInUse(TAudioInUse{});
    return group;
}

// The list comes from the sound layer's device worker, which may first have
// to give the music's device back: the window does not wait for it.
void TAudioSetupForm::RefreshDevices(const QString &wanted, bool addWhenMissing)
{
    WantedDevice = wanted;
    AddWanted = addWhenMissing;
    {
        const QSignalBlocker quiet(DeviceBox);
        DeviceBox->clear();
    }
    ShowDevices(QStringList());
    const int request = ++DeviceRequest;
    Sound.OutputDevicesLater(DriverBox->currentData().toString(), this,
                             [this, request](const QStringList &devices) {
                                 if (request == DeviceRequest)
                                     ShowDevices(devices);
                             });
}

void TAudioSetupForm::ShowDevices(const QStringList &devices)
{
    // What was chosen meanwhile stays chosen; else the device wanted.
    const QString chosen = DeviceBox->currentData().toString();
    const QString target = chosen.isEmpty() ? WantedDevice : chosen;
    const QSignalBlocker quiet(DeviceBox);
    DeviceBox->clear();
    DeviceBox->addItem(Automatic, QString());
    for (const QString &device : devices)
        DeviceBox->addItem(device, device);
    int index = target.isEmpty() ? 0 : DeviceBox->findData(target);
    if (index < 0 && AddWanted && target == WantedDevice) {
        DeviceBox->addItem(target, target);
        index = DeviceBox->count() - 1;
    }
    DeviceBox->setCurrentIndex(std::max(index, 0));
}

void TAudioSetupForm::ShowInUse(const TAudioInUse &inUse)
{
    InUseLines->setVisible(inUse.Open);
    ClosedNote->setVisible(!inUse.Open);
    InUseDriver->setText(inUse.Driver);
    InUseDevice->setText(inUse.Device.isEmpty() ? QStringLiteral("the driver's default")
                                                : inUse.Device);
    InUseRate->setText(RateText(inUse.MixRate));
    const double ms = inUse.MixRate > 0 ? 1000.0 * inUse.BufferFrames / inUse.MixRate : 0.0;
    InUseBuffer->setText(QStringLiteral("%1 frames (%2 ms)")
                             .arg(inUse.BufferFrames)
                             .arg(QString::number(ms, 'f', 1)));
}

void TAudioSetupForm::ShowSetup(const TAudioSetup &setup, const TAudioInUse &inUse)
{
    {
        const QSignalBlocker quiet(DriverBox);
        Choose(DriverBox, setup.Driver, setup.Driver);
    }
    RefreshDevices(setup.Device, true);
    Choose(RateBox, setup.MixRate, RateText(setup.MixRate));
    Choose(BufferBox, setup.BufferMs, LengthText(setup.BufferMs));
    ShowInUse(inUse);

    const QString forced = qEnvironmentVariable("SDL_AUDIODRIVER");
    EnvironmentNote->setText(
        QStringLiteral("SDL_AUDIODRIVER=%1 is set: that driver is used whatever is chosen here.")
            .arg(forced));
    EnvironmentNote->setVisible(DriverChosenByEnvironment());
}

TAudioSetup TAudioSetupForm::ChosenSetup() const
{
    return {DriverBox->currentData().toString(), DeviceBox->currentData().toString(),
            RateBox->currentData().toInt(), BufferBox->currentData().toInt()};
}

std::optional<TAudioSetup> TAudioSetupForm::Execute(const TAudioSetup &setup,
                                                    const TAudioInUse &inUse)
{
    ShowSetup(setup, inUse);
    Buttons->button(QDialogButtonBox::Ok)->setFocus();
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return ChosenSetup();
}

TCardSetupResult TAudioSetupForm::CardSetup(TMusic &music)
{
    return music.CardSetup([this](const TAudioSetup &setup, const TAudioInUse &inUse) {
        return Execute(setup, inUse);
    });
}
