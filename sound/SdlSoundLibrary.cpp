#include "sound/SdlSoundLibrary.h"

#include "sound/ModuleFile.h"
#include "sound/SdlSoundEngine.h"

#include <ostream>

TSdlSoundLibrary::TSdlSoundLibrary()
{
    // Our main is the program's own (SDL_MAIN_HANDLED); SDL refuses to
    // start on the platforms that want its main unless told so.
    SDL_SetMainReady();
}

TSdlSoundLibrary::~TSdlSoundLibrary()
{
    // SDL keeps what it needs per thread (its error text) until the thread
    // says it is done, which a thread SDL did not start has to say itself:
    // the worker's last job, after every device was closed.
    Worker.Post([] { SDL_TLSCleanup(); });
}

TSoundEngine *TSdlSoundLibrary::NewEngine()
{
    return new TSdlSoundEngine(Worker);
}

// An empty entry in the set-up window stands for the automatic choice, so
// none is listed here.
QStringList TSdlSoundLibrary::OutputDrivers()
{
    QStringList drivers;
    const int count = SDL_GetNumAudioDrivers();
    for (int i = 0; i < count; ++i) {
        const QString driver = QString::fromUtf8(SDL_GetAudioDriver(i));
        if (!driver.isEmpty() && !IsSilentDriver(driver))
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

QStringList DevicesOfDriver(const QString &driver)
{
    // While a device is open its driver stays; asking for another one
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

} // namespace

// SDL's audio subsystem is started and stopped on the device worker only.
QStringList TSdlSoundLibrary::OutputDevices(const QString &driver)
{
    QStringList devices;
    Worker.Call([&] { devices = DevicesOfDriver(driver); });
    return devices;
}

void TSdlSoundLibrary::ListOutputDevices(const QString &driver,
                                         std::function<void(const QStringList &)> done)
{
    Worker.Post([driver, done = std::move(done)] { done(DevicesOfDriver(driver)); });
}

void TSdlSoundLibrary::FinishDeviceWork()
{
    Worker.Call([] {});
}

// The verbose version carries build metadata after a '+' ("0.6.9+r18817.pkg"),
// which says nothing to a player.
QString TSdlSoundLibrary::OpenmptVersion()
{
    const QString verbose = QString::fromStdString(openmpt::string::get("library_version"));
    return verbose.section(QLatin1Char('+'), 0, 0);
}

// SDL_GetVersion needs no SDL_Init, so the about window can ask before any
// sound has been opened.
QString TSdlSoundLibrary::SdlVersion()
{
    SDL_version linked;
    SDL_GetVersion(&linked);
    return QStringLiteral("%1.%2.%3").arg(linked.major).arg(linked.minor).arg(linked.patch);
}

QStringList TSdlSoundLibrary::ModuleExtensions()
{
    QStringList extensions;
    for (const std::string &extension : openmpt::get_supported_extensions())
        extensions << QString::fromStdString(extension).toLower();
    extensions.removeDuplicates();
    return extensions;
}

// Only the title is wanted: the decoder reads the headers and skips the
// rest, and what it has to say about the file goes nowhere.
std::optional<QString> TSdlSoundLibrary::ModuleTitle(const QString &path)
{
    QByteArray bytes;
    QString error;
    if (!ReadModuleFile(path, bytes, error))
        return std::nullopt;
    std::ostream nowhere(nullptr);
    try {
        const openmpt::module decoder(bytes.constData(), static_cast<std::size_t>(bytes.size()),
                                      nowhere, DescriptionOnlyOptions());
        const QString title = QString::fromStdString(decoder.get_metadata("title"));
        return title.section(QLatin1Char('\n'), 0, 0);
    } catch (const std::exception &) {
        return std::nullopt;
    }
}
