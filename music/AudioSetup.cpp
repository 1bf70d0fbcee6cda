#include "music/ModuleAudio.h"

#include "model/SettingsStore.h"

#include <QSettings>

#define SDL_MAIN_HANDLED
#include <SDL.h>

namespace
{

// SDL's drivers that play nothing: "disk" writes the sound to a file in the
// working folder, which grows for as long as music plays, and "dummy"
// throws it away.  Tests ask for them through SDL_AUDIODRIVER.
const QStringList SilentDrivers = {QStringLiteral("disk"), QStringLiteral("dummy")};

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

bool DriverChosenByEnvironment()
{
    return !qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER");
}

void TModuleAudio::ReadConfig(QSettings &settings, const QString &group)
{
    settings.beginGroup(group);
    TAudioSetup setup;
    setup.Driver =
        OutputDriverNamed(ReadStoredString(settings, QStringLiteral("DRIVER")).value_or(QString()));
    setup.Device = ReadDeviceName(settings, QStringLiteral("DEVICE"));
    setup.MixRate = ReadStoredInt(settings, QStringLiteral("MIXRATE"), 8000, 192000).value_or(0);
    setup.BufferMs = ReadStoredInt(settings, QStringLiteral("BUFFER"), 1, 2000).value_or(0);
    settings.endGroup();
    CurrentSetup = setup;
}

void TModuleAudio::WriteConfig(QSettings &settings, const QString &group) const
{
    settings.beginGroup(group);
    WriteStoredString(settings, QStringLiteral("DRIVER"), CurrentSetup.Driver);
    settings.setValue(QStringLiteral("DEVICE"), CurrentSetup.Device);
    WriteStoredInt(settings, QStringLiteral("MIXRATE"), CurrentSetup.MixRate);
    WriteStoredInt(settings, QStringLiteral("BUFFER"), CurrentSetup.BufferMs);
    settings.endGroup();
}

const TAudioSetup &TModuleAudio::Setup() const
{
    return CurrentSetup;
}

void TModuleAudio::SetSetup(const TAudioSetup &setup)
{
    CurrentSetup = setup;
}

// The lists the set-up window offers.  An empty entry there stands for the
// automatic choice, so none is listed here.

QStringList TModuleAudio::OutputDrivers()
{
    QStringList drivers;
    const int count = SDL_GetNumAudioDrivers();
    for (int i = 0; i < count; ++i) {
        const QString driver = QString::fromUtf8(SDL_GetAudioDriver(i));
        if (!driver.isEmpty() && !SilentDrivers.contains(driver, Qt::CaseInsensitive))
            drivers << driver;
    }
    return drivers;
}

namespace
{

QStringList DevicesOfCurrentDriver()
{
    QStringList devices;
    const int count = SDL_GetNumAudioDevices(0);
    for (int i = 0; i < count; ++i) {
        if (const char *name = SDL_GetAudioDeviceName(i, 0))
            devices << QString::fromUtf8(name);
    }
    return devices;
}

bool IsCurrentDriver(const QString &driver)
{
    const char *current = SDL_GetCurrentAudioDriver();
    return driver.isEmpty() || (current && driver == QString::fromUtf8(current));
}

} // namespace

QStringList TModuleAudio::OutputDevices(const QString &driver)
{
    // While the device is open its driver stays; asking for another one
    // would mean closing the music.
    if (SDL_WasInit(SDL_INIT_AUDIO))
        return IsCurrentDriver(driver) ? DevicesOfCurrentDriver() : QStringList();
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    const QByteArray name = DriverChosenByEnvironment() ? QByteArray() : driver.toUtf8();
    if (!name.isEmpty())
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, name.constData(), SDL_HINT_OVERRIDE);
    QStringList devices;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        devices = DevicesOfCurrentDriver();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    if (!name.isEmpty())
        SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    return devices;
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
