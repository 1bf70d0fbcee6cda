#pragma once

// TSoundModule: the sound module (libopenmpt and SDL2), loaded on first need,
// and what it answers without a device.

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QObject;
class TSoundLibrary;

// The game starts without the sound libraries: libopenmpt, SDL2 and the
// dozens of libraries they bring are loaded only when sound is first
// really needed, from a module of our own that is kept out of the
// program's symbol scope.  Each object makes one attempt; when it fails
// every sound call through it fails cleanly and the game goes on silent.
//
// The program makes one at start-up and hands it down to the player and the
// windows that ask for drivers, formats or versions; a test makes its own.
// It must outlive every player (TModuleAudio) made with it: it owns the
// module's library, whose device worker opens and closes their devices.
// Every call comes from one thread, the one it was made on.
class TSoundModule
{
public:
    // Searches only these folders, in order, or the usual ones (Folders())
    // when none are given.
    explicit TSoundModule(QStringList onlyFolders = {});
    // Waits until the device worker has done everything asked of it (closed
    // the devices of the players gone before), then ends it; never longer
    // than 0.4 s, leaving work held up by a hung device or server behind.  The module
    // itself stays mapped until the process ends: unloading SDL and the
    // libraries it brings would leave what they allocated unreachable and
    // the hooks they were given (SDL's log function) pointing nowhere.
    ~TSoundModule();
    TSoundModule(const TSoundModule &) = delete;
    TSoundModule &operator=(const TSoundModule &) = delete;

    // The module's library, loaded on the first call; null when it cannot
    // be loaded, and Error then says why.
    TSoundLibrary *Library();
    // True once the module is loaded; loads nothing.
    bool IsLoaded() const { return Loaded != nullptr; }
    QString Error() const { return LoadError; }

    // The folders searched by default, in order: beside the program
    // (lib/ferrox next to its bin/, as installed and as the build folder is
    // laid out), and the folder the game was configured to be installed in.
    static QStringList Folders();

    // The choices of the set-up window; each loads the module.  Only
    // drivers that reach a sound card are offered, never SDL's "disk"
    // (which writes a file that grows without end) or "dummy"; an empty
    // entry there stands for the automatic choice, so none is listed here.
    QStringList OutputDrivers();
    // The output devices of a driver (empty: the automatic one).  While a
    // device is open only its own driver's devices can be listed.  Waits
    // until the devices being opened or closed are.
    QStringList OutputDevices(const QString &driver);
    // The same without waiting: done gets the list later on the thread of
    // receiver, and not at all once receiver is gone.
    void OutputDevicesLater(const QString &driver, QObject *receiver,
                            std::function<void(const QStringList &)> done);
    // Waits until every device that was to be opened or closed is; for
    // tests and benchmarks, and a no-op while the module is not loaded.
    void FinishDeviceWork();

    // Every file-name extension the decoder reads, lower case, without the
    // dot.  The first call asks the module (loading it); later calls answer
    // from memory, as the installed decoder does not change while the game
    // runs.  Empty without the module.
    QStringList DecoderExtensions();
    // Whether the decoder reads files named with this extension (any case).
    bool IsDecoderExtension(const QString &extension);
    // The title the decoder reads in the module file at path; nothing when
    // the file is no module it reads, or there is no sound module.
    std::optional<QString> DecoderTitle(const QString &path);

    // The versions of the libraries the music is decoded and played with,
    // as the program finds them when it runs (not the headers it was built
    // against).  Asking loads the module; without it each reads "not
    // loaded".  libopenmpt's "library_version" without its build metadata,
    // e.g. "0.6.9" (a pre-release keeps its tag, "0.7.0-pre.3").
    QString OpenmptVersion();
    // The linked SDL's version, e.g. "2.26.5".
    QString SdlVersion();

private:
    QStringList OnlyFolders;
    bool Tried = false;
    std::unique_ptr<TSoundLibrary> Loaded;
    QString LoadError;
    std::optional<QStringList> Extensions;
};
