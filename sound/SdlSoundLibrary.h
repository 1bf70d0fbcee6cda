#pragma once

// TSdlSoundLibrary: the sound module's entry, on SDL2 and libopenmpt.

#include "sound/SoundEngine.h"

// What the sound module answers without a device: its engines, SDL's
// output drivers and devices, and the versions of the libraries it runs
// with.  One instance serves the whole process.
class TSdlSoundLibrary final : public TSoundLibrary
{
public:
    // The one instance; the first call tells SDL that the program has its
    // own main.
    static TSdlSoundLibrary &Instance();

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
    TSdlSoundLibrary();
};
