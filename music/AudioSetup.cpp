#include "music/ModuleAudio.h"

#include "base/SettingsStore.h"
#include "music/SoundModule.h"
#include "sound/SoundEngine.h"

#include <QSettings>

#include <algorithm>

namespace
{

// The output driver of that name as SDL spells it, or empty for a name
// that is none of them.
QString OutputDriverNamed(TSoundModule &module, const QString &name)
{
    for (const QString &driver : module.OutputDrivers())
        if (driver.compare(name, Qt::CaseInsensitive) == 0)
            return driver;
    return QString();
}

// Device names are SDL's UTF-8 text, which may hold any character; they are
// kept whole, not passed through the store's 8-bit rule, or a device with
// such a name could never be opened again.  A name with a comma written by
// hand without quotes comes back as a list.
QString ReadDeviceName(const QSettings &settings, const QString &key)
{
    const QVariant value = settings.value(key);
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

// A chosen value (above 0) outside what the set-up window offers becomes the
// nearest one it offers: a hand-made BUFFER=2000 would hold every stop for
// seconds.  0 and below are the automatic choice.
int InOfferedRange(int value, const QList<int> &offered)
{
    if (value <= 0)
        return 0;
    const auto [lowest, highest] = std::minmax_element(offered.begin(), offered.end());
    return std::clamp(value, *lowest, *highest);
}

TAudioSetup InOfferedRange(TAudioSetup setup)
{
    setup.MixRate = InOfferedRange(setup.MixRate, TModuleAudio::MixRates());
    setup.BufferMs = InOfferedRange(setup.BufferMs, TModuleAudio::BufferLengths());
    return setup;
}

} // namespace

void TModuleAudio::ReadConfig(QSettings &settings, const QString &group)
{
    settings.beginGroup(group);
    TAudioSetup setup;
    setup.Driver = ReadStoredString(settings, QStringLiteral("DRIVER")).value_or(QString());
    if (IsSilentDriver(setup.Driver))
        setup.Driver.clear();
    setup.Device = ReadDeviceName(settings, QStringLiteral("DEVICE"));
    setup.MixRate = ReadStoredInt(settings, QStringLiteral("MIXRATE")).value_or(0);
    setup.BufferMs = ReadStoredInt(settings, QStringLiteral("BUFFER")).value_or(0);
    settings.endGroup();
    CurrentSetup = InOfferedRange(setup);
    // Music switched off at start must not load the sound library just to
    // check a name; once it is loaded the check costs nothing.
    DriverUnchecked = !setup.Driver.isEmpty();
    if (TheModule.IsLoaded())
        CheckDriver();
}

// A driver not yet checked is written back as it was read.
void TModuleAudio::WriteConfig(QSettings &settings, const QString &group) const
{
    settings.beginGroup(group);
    WriteStoredString(settings, QStringLiteral("DRIVER"), CurrentSetup.Driver);
    settings.setValue(QStringLiteral("DEVICE"), CurrentSetup.Device);
    WriteStoredInt(settings, QStringLiteral("MIXRATE"), CurrentSetup.MixRate);
    WriteStoredInt(settings, QStringLiteral("BUFFER"), CurrentSetup.BufferMs);
    settings.endGroup();
}

void TModuleAudio::CheckDriver() const
{
    // Without the sound library nothing can be opened anyway; the name is
    // kept so that the player's choice is not lost.
    if (!DriverUnchecked || !TheModule.Library())
        return;
    CurrentSetup.Driver = OutputDriverNamed(TheModule, CurrentSetup.Driver);
    DriverUnchecked = false;
}

const TAudioSetup &TModuleAudio::Setup() const
{
    CheckDriver();
    return CurrentSetup;
}

void TModuleAudio::SetSetup(const TAudioSetup &setup)
{
    CurrentSetup = InOfferedRange(setup);
    DriverUnchecked = false;
}

// The rates and lengths the set-up window offers.  An empty entry there
// stands for the automatic choice, so none is listed here.

QList<int> TModuleAudio::MixRates()
{
    return {22050, 44100, 48000};
}

// At 48 kHz the nearest device buffers are 512 to 8192 frames, around the
// automatic 2048: shorter ones are heard sooner after a change and cost
// more processor time.
QList<int> TModuleAudio::BufferLengths()
{
    return {10, 20, 40, 80, 160};
}
