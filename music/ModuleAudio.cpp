#include "music/ModuleAudio.h"

#include "music/SoundModule.h"
#include "sound/SoundEngine.h"

// The front the player talks to: every call that needs libopenmpt or SDL is
// forwarded to an engine of the sound module, made when first needed.
struct TModuleAudio::TImpl {
    std::unique_ptr<TSoundEngine> Engine;
    // Kept here as well so that an engine made later starts with them.
    int Amplification = 100;
    std::function<void()> Listener;
    // Why the last call failed before reaching an engine.
    QString Error;
};

TModuleAudio::TModuleAudio(TSoundModule &module)
    : TheModule(module), Impl(std::make_unique<TImpl>())
{
}

TModuleAudio::~TModuleAudio()
{
    if (Impl->Engine)
        Impl->Engine->SetDeviceListener({});
}

TSoundEngine *TModuleAudio::Engine()
{
    if (Impl->Engine)
        return Impl->Engine.get();
    TSoundLibrary *library = TheModule.Library();
    if (!library) {
        Impl->Error = TheModule.Error();
        return nullptr;
    }
    Impl->Engine.reset(library->NewEngine());
    Impl->Engine->SetAmplification(Impl->Amplification);
    Impl->Engine->SetDeviceListener(Impl->Listener);
    return Impl->Engine.get();
}

void TModuleAudio::Startup()
{
    CurrentSetup = TAudioSetup{};
    DriverUnchecked = false;
}

bool TModuleAudio::Init()
{
    TSoundEngine *engine = Engine();
    if (!engine)
        return false;
    CheckDriver();
    return engine->Init(CurrentSetup);
}

bool TModuleAudio::IsOpen() const
{
    return Impl->Engine && Impl->Engine->IsOpen();
}

TDeviceState TModuleAudio::DeviceState() const
{
    return Impl->Engine ? Impl->Engine->DeviceState() : TDeviceState::dsClosed;
}

void TModuleAudio::SetDeviceListener(std::function<void()> listener)
{
    Impl->Listener = std::move(listener);
    if (Impl->Engine)
        Impl->Engine->SetDeviceListener(Impl->Listener);
}

bool TModuleAudio::IsSuspended() const
{
    return Impl->Engine && Impl->Engine->IsSuspended();
}

bool TModuleAudio::StartBackgroundPlay()
{
    return Impl->Engine && Impl->Engine->StartBackgroundPlay();
}

bool TModuleAudio::StopBackgroundPlay()
{
    return Impl->Engine && Impl->Engine->StopBackgroundPlay();
}

bool TModuleAudio::Suspend()
{
    return Impl->Engine && Impl->Engine->Suspend();
}

bool TModuleAudio::Resume()
{
    if (!Impl->Engine)
        return false;
    CheckDriver();
    return Impl->Engine->Resume(CurrentSetup);
}

bool TModuleAudio::Close()
{
    return Impl->Engine && Impl->Engine->Close();
}

TModuleHandle TModuleAudio::LoadModule(const QString &path)
{
    TSoundEngine *engine = Engine();
    return engine ? engine->LoadModule(path) : 0;
}

bool TModuleAudio::FreeModule(TModuleHandle module)
{
    return Impl->Engine && Impl->Engine->FreeModule(module);
}

std::chrono::microseconds TModuleAudio::ModuleLength(TModuleHandle module) const
{
    return Impl->Engine ? Impl->Engine->ModuleLength(module) : std::chrono::microseconds{0};
}

bool TModuleAudio::SetAmplification(int percent)
{
    Impl->Amplification = percent;
    return !Impl->Engine || Impl->Engine->SetAmplification(percent);
}

TPlayHandle TModuleAudio::PlayModule(TModuleHandle module, bool loopSong, int volume)
{
    if (!Impl->Engine) {
        Impl->Error = QStringLiteral("The sound device is not open.");
        return 0;
    }
    return Impl->Engine->PlayModule(module, loopSong, volume);
}

bool TModuleAudio::SetMusicVolume(TPlayHandle handle, int volume)
{
    return Impl->Engine && Impl->Engine->SetMusicVolume(handle, volume);
}

bool TModuleAudio::GetPlayStatus(TPlayHandle handle, TPlayStatus &status) const
{
    return Impl->Engine && Impl->Engine->GetPlayStatus(handle, status);
}

bool TModuleAudio::StopModule(TPlayHandle handle)
{
    return Impl->Engine && Impl->Engine->StopModule(handle);
}

int TModuleAudio::TakeMixerVolume()
{
    return Impl->Engine ? Impl->Engine->TakeMixerVolume() : -1;
}

void TModuleAudio::SetStreamTitle(const QString &title)
{
    if (Impl->Engine)
        Impl->Engine->SetStreamTitle(title);
}

QString TModuleAudio::LastError() const
{
    return Impl->Engine ? Impl->Engine->LastError() : Impl->Error;
}

QString TModuleAudio::DecoderLog() const
{
    return Impl->Engine ? Impl->Engine->DecoderLog() : QString();
}

std::uint64_t TModuleAudio::MixedFrames() const
{
    return Impl->Engine ? Impl->Engine->MixedFrames() : 0;
}

int TModuleAudio::OpenMixRate() const
{
    return InUse().MixRate;
}

int TModuleAudio::OpenBufferFrames() const
{
    return InUse().BufferFrames;
}

TAudioInUse TModuleAudio::InUse() const
{
    return Impl->Engine ? Impl->Engine->InUse() : TAudioInUse{};
}
