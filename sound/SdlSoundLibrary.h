#pragma once

// TSdlSoundLibrary: the sound module's entry, on SDL2 and libopenmpt.

#include "sound/DeviceWorker.h"
#include "sound/SoundEngine.h"

// What the sound module answers without a device: its engines, SDL's
// output drivers and devices, and the versions of the libraries it runs
// with.  Each one that loads the module gets a library of its own, with its
// own device worker for the engines it makes.
//
// SDL's audio subsystem is the process's, whoever asks: a program keeps to
// one library at a time that opens devices, as two workers would start and
// stop the subsystem under each other.
class TSdlSoundLibrary final : public TSoundLibrary
{
public:
    // Tells SDL that the program has its own main.
    TSdlSoundLibrary();
    // Once every engine it made is gone: finishes the device work (closes
    // what was to be closed) and ends the worker.
    ~TSdlSoundLibrary() override;
    TSdlSoundLibrary(const TSdlSoundLibrary &) = delete;
    TSdlSoundLibrary &operator=(const TSdlSoundLibrary &) = delete;

    TSoundEngine *NewEngine() override;
    QStringList OutputDrivers() override;
    QStringList OutputDevices(const QString &driver) override;
    void ListOutputDevices(const QString &driver,
                           std::function<void(const QStringList &)> done) override;
    QString OpenmptVersion() override;
    QStringList ModuleExtensions() override;
    std::optional<QString> ModuleTitle(const QString &path) override;
    QString SdlVersion() override;
    void FinishDeviceWork() override;

private:
    TDeviceWorker Worker;
};
