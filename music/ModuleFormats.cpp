#include "music/ModuleFormats.h"

#include "music/SoundModule.h"
#include "sound/SoundEngine.h"

QStringList DecoderExtensions()
{
    // The installed decoder does not change while the game runs.
    static const QStringList extensions = [] {
        TSoundLibrary *library = TSoundModule::Library();
        return library ? library->ModuleExtensions() : QStringList();
    }();
    return extensions;
}

bool IsDecoderExtension(const QString &extension)
{
    return !extension.isEmpty() && DecoderExtensions().contains(extension, Qt::CaseInsensitive);
}

std::optional<QString> DecoderTitle(const QString &path)
{
    TSoundLibrary *library = TSoundModule::Library();
    return library ? library->ModuleTitle(path) : std::nullopt;
}
