#include "music/ModuleAudio.h"

#include <QSettings>

#define SDL_MAIN_HANDLED
#include <SDL.h>

namespace
{

int ReadIntSetting(const QSettings &settings, const QString &key, int low, int high, int fallback)
{
    bool ok = false;
    const int value = settings.value(key).toString().toInt(&ok);
    return ok && value >= low && value <= high ? value : fallback;
}

} // namespace

void TModuleAudio::ReadConfig(QSettings &settings, const QString &group)
{
    settings.beginGroup(group);
    TAudioSetup setup;
    setup.Driver = settings.value(QStringLiteral("DRIVER")).toString();
    setup.Device = settings.value(QStringLiteral("DEVICE")).toString();
    setup.MixRate = ReadIntSetting(settings, QStringLiteral("MIXRATE"), 8000, 192000, 0);
    setup.BufferMs = ReadIntSetting(settings, QStringLiteral("BUFFER"), 5, 2000, 0);
    settings.endGroup();
    CurrentSetup = setup;
}

void TModuleAudio::WriteConfig(QSettings &settings, const QString &group) const
{
    settings.beginGroup(group);
    settings.setValue(QStringLiteral("DRIVER"), CurrentSetup.Driver);
    settings.setValue(QStringLiteral("DEVICE"), CurrentSetup.Device);
    settings.setValue(QStringLiteral("MIXRATE"), CurrentSetup.MixRate);
    settings.setValue(QStringLiteral("BUFFER"), CurrentSetup.BufferMs);
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
    for (int i = 0; i < count; ++i)
        drivers << QString::fromUtf8(SDL_GetAudioDriver(i));
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
    const QByteArray name = driver.toUtf8();
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
    return {22050, 32000, 44100, 48000, 96000};
}

QList<int> TModuleAudio::BufferLengths()
{
    return {10, 20, 40, 80, 160, 320};
}
