#include "sound/SdlSoundEngine.h"

#include "sound/ModuleFile.h"

#include <algorithm>
#include <cmath>

namespace
{

// Amplification in percent of the natural level becomes libopenmpt's master
// gain; 150 is a little louder, and libopenmpt clips what would overflow.
std::int32_t MillibelOfPercent(int percent)
{
    const double factor = std::clamp(percent, 1, 1000) / 100.0;
    return static_cast<std::int32_t>(std::lround(2000.0 * std::log10(factor)));
}

} // namespace

TSdlSoundEngine::TSdlSoundEngine(TDeviceWorker &worker) : Output(TAudioOutput::Create(worker)) {}

TSdlSoundEngine::~TSdlSoundEngine()
{
    Output->Release();
}

openmpt::module *TSdlSoundEngine::Find(TModuleHandle module) const
{
    const auto it = Modules.find(module);
    return it == Modules.end() ? nullptr : it->second.Decoder.get();
}

void TSdlSoundEngine::FreeRetired()
{
    if (Retired.empty())
        return;
    std::vector<TLoadedModule> unused;
    {
        const auto lock = Output->Lock();
        for (auto it = Retired.begin(); it != Retired.end();) {
            if (Output->Mixer().Uses(it->Decoder.get())) {
                ++it;
            } else {
                unused.push_back(std::move(*it));
                it = Retired.erase(it);
            }
        }
    }
    // The decoders are destroyed here, outside the lock.
}

QString TSdlSoundEngine::DecoderLog() const
{
    return Output->Log.Text() + TAudioOutput::SdlLog().Text();
}

// --- The device --------------------------------------------------------------

bool TSdlSoundEngine::Init(const TAudioSetup &setup)
{
    if (Requested && Output->State() != TDeviceState::dsFailed)
        return false;
    Requested = true;
    Suspended = false;
    Output->Open(setup);
    return true;
}

bool TSdlSoundEngine::IsOpen() const
{
    return Requested && Output->State() != TDeviceState::dsFailed;
}

void TSdlSoundEngine::SetDeviceListener(std::function<void()> listener)
{
    Output->SetListener(std::move(listener));
}

bool TSdlSoundEngine::StartBackgroundPlay()
{
    if (!Requested)
        return false;
    Output->Hear();
    return true;
}

bool TSdlSoundEngine::StopBackgroundPlay()
{
    if (!Requested)
        return false;
    Output->Hush();
    return true;
}

// Music switched off gives the device back, so that other programs can
// use it meanwhile; the modules stay loaded.
bool TSdlSoundEngine::Suspend()
{
    if (!Requested)
        return false;
    Output->Close();
    Requested = false;
    Suspended = true;
    return true;
}

bool TSdlSoundEngine::Resume(const TAudioSetup &setup)
{
    if (IsOpen()) {
        Output->Hear();
        return true;
    }
    // Suspended, or a resume that failed: the device is asked for again.
    if (!Suspended && !Requested)
        return false;
    Requested = true;
    Suspended = false;
    Output->Open(setup);
    Output->Hear();
    return true;
}

bool TSdlSoundEngine::Close()
{
    const bool wasOpen = Requested || Suspended;
    if (Requested)
        Output->Close();
    Requested = false;
    Suspended = false;
    FreeRetired();
    return wasOpen;
}

// --- Modules -----------------------------------------------------------------

TModuleHandle TSdlSoundEngine::LoadModule(const QString &path)
{
    FreeRetired();
    QByteArray bytes;
    QString error;
    if (!ReadModuleFile(path, bytes, error)) {
        Output->SetError(error);
        return 0;
    }
    TLoadedModule loaded;
    loaded.LogStream = Output->Log.NewStream();
    try {
        loaded.Decoder = std::make_unique<openmpt::module>(
            bytes.constData(), static_cast<std::size_t>(bytes.size()), *loaded.LogStream);
    } catch (const std::exception &failure) {
        Output->SetError(QString::fromUtf8(failure.what()));
        return 0;
    }
    // Measured now: once the module plays, its decoder belongs to the
    // audio thread.
    const double seconds = loaded.Decoder->get_duration_seconds();
    if (std::isfinite(seconds) && seconds > 0.0)
        loaded.Length = std::chrono::microseconds{std::llround(seconds * 1e6)};
    if (++LastModule == 0)
        ++LastModule;
    Modules[LastModule] = std::move(loaded);
    return LastModule;
}

bool TSdlSoundEngine::FreeModule(TModuleHandle module)
{
    const auto it = Modules.find(module);
    if (it == Modules.end())
        return false;
    TLoadedModule freed = std::move(it->second);
    Modules.erase(it);
    {
        const auto lock = Output->Lock();
        TVoiceMixer &mixer = Output->Mixer();
        if (mixer.Decoder() == freed.Decoder.get())
            mixer.Stop(mixer.Handle(), Output->FadeFrames());
        if (mixer.Uses(freed.Decoder.get())) {
            Retired.push_back(std::move(freed));
            return true;
        }
    }
    return true; // the decoder is destroyed here, outside the lock
}

std::chrono::microseconds TSdlSoundEngine::ModuleLength(TModuleHandle module) const
{
    const auto it = Modules.find(module);
    return it == Modules.end() ? std::chrono::microseconds{0} : it->second.Length;
}

bool TSdlSoundEngine::SetAmplification(int percent)
{
    Amplification = percent;
    const auto lock = Output->Lock();
    Output->Mixer().SetGain(MillibelOfPercent(percent));
    return true;
}

TPlayHandle TSdlSoundEngine::PlayModule(TModuleHandle module, bool loopSong, int volume)
{
    FreeRetired();
    openmpt::module *decoder = Find(module);
    if (!Requested || !decoder) {
        Output->SetError(Requested ? QStringLiteral("No such module.")
                                   : QStringLiteral("The sound device is not open."));
        return 0;
    }
    if (++LastPlay == 0)
        ++LastPlay;
    {
        const auto lock = Output->Lock();
        Output->Mixer().Start({decoder, LastPlay, Output->VoiceVolume(volume), loopSong,
                               MillibelOfPercent(Amplification)},
                              Output->FadeFrames());
    }
    Output->SetMusicVolume(volume);
    return LastPlay;
}

bool TSdlSoundEngine::SetMusicVolume(TPlayHandle handle, int volume)
{
    {
        const auto lock = Output->Lock();
        if (handle == 0 || Output->Mixer().Handle() != handle)
            return false;
    }
    // Taken without the mixer's lock: it may reach the sound server.
    Output->SetMusicVolume(volume);
    return true;
}

bool TSdlSoundEngine::GetPlayStatus(TPlayHandle handle, TPlayStatus &status) const
{
    const auto lock = Output->Lock();
    const TVoiceMixer &mixer = Output->Mixer();
    if (handle == 0 || mixer.Handle() != handle)
        return false;
    // The decoder runs ahead of what is heard by at most one decoded chunk.
    const TVoicePosition where = mixer.Position();
    status = TPlayStatus{};
    status.Position = static_cast<std::uint32_t>(where.Order);
    status.Pattern = static_cast<std::uint32_t>(where.Pattern);
    status.Row = static_cast<std::uint32_t>(where.Row);
    status.SongLoopCount = mixer.Ended() ? 1 : 0;
    status.Elapsed = std::chrono::microseconds{std::llround(where.Seconds * 1e6)};
    return true;
}

bool TSdlSoundEngine::StopModule(TPlayHandle handle)
{
    const auto lock = Output->Lock();
    if (handle == 0 || Output->Mixer().Handle() != handle)
        return false;
    Output->Mixer().Stop(handle, Output->FadeFrames());
    return true;
}
