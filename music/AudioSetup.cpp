#include "music/ModuleAudio.h"

#include "base/SettingsStore.h"
#include "music/SoundEngine.h"
#include "music/SoundModule.h"

#include <QSettings>

namespace
{

// The output driver of that name as SDL spells it, or empty for a name
// that is none of them.
QString OutputDriverNamed(const QString &name)
{
    for (const QString &driver : TModuleAudio::OutputDrivers())
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

} // namespace

void TModuleAudio::ReadConfig(QSettings &settings, const QString &group)
{
    settings.beginGroup(group);
    TAudioSetup setup;
    setup.Driver = ReadStoredString(settings, QStringLiteral("DRIVER")).value_or(QString());
    if (IsSilentDriver(setup.Driver))
        setup.Driver.clear();
    setup.Device = ReadDeviceName(settings, QStringLiteral("DEVICE"));
    setup.MixRate = ReadStoredInt(settings, QStringLiteral("MIXRATE"), 8000, 192000).value_or(0);
    setup.BufferMs = ReadStoredInt(settings, QStringLiteral("BUFFER"), 1, 2000).value_or(0);
    settings.endGroup();
    CurrentSetup = setup;
    // Music switched off at start must not load the sound library just to
    // check a name; once it is loaded the check costs nothing.
    DriverUnchecked = !setup.Driver.isEmpty();
    if (TSoundModule::IsLoaded())
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
    if (!DriverUnchecked || !TSoundModule::Library())
        return;
    CurrentSetup.Driver = OutputDriverNamed(CurrentSetup.Driver);
    DriverUnchecked = false;
}

const TAudioSetup &TModuleAudio::Setup() const
{
    CheckDriver();
    return CurrentSetup;
}

void TModuleAudio::SetSetup(const TAudioSetup &setup)
{
    CurrentSetup = setup;
    DriverUnchecked = false;
}

// The lists the set-up window offers.  An empty entry there stands for the
// automatic choice, so none is listed here.

QStringList TModuleAudio::OutputDrivers()
{
    TSoundLibrary *library = TSoundModule::Library();
    return library ? library->OutputDrivers() : QStringList();
}

QStringList TModuleAudio::OutputDevices(const QString &driver)
{
    TSoundLibrary *library = TSoundModule::Library();
    return library ? library->OutputDevices(driver) : QStringList();
}

QList<int> TModuleAudio::MixRates()
{
    return {22050, 44100, 48000};
}

// At 48 kHz the nearest device buffers are 512 to 8192 frames, all longer
// than the automatic one: cheaper to play, slower to stop.
QList<int> TModuleAudio::BufferLengths()
{
    return {10, 20, 40, 80, 160};
}
