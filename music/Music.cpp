#include "music/Music.h"

#include "base/MessageBox.h"
#include "base/SettingsStore.h"

#include <QSettings>

namespace
{

constexpr int Amplification = 150;

const char *const SetupGroup = "MUSIC_SETUP";
const char *const VolumeKey = "VOLUME";

void Warn(const char *text)
{
    ShowMessage(TMsgType::mtWarning, QString::fromLatin1(text));
}

} // namespace

TMusic::TMusic()
{
    Audio.Startup();
    ReadSetup();
}

TMusic::~TMusic()
{
    ModuleList.ClearEntries();
    Stop(true);
}

void TMusic::ReadSetup()
{
    const std::unique_ptr<QSettings> store = OpenSettingsStore();
    Audio.ReadConfig(*store, QString::fromLatin1(SetupGroup));
    // A value that is not a volume the sound layer knows counts as absent.
    Volume =
        ReadStoredInt(*store, QString::fromLatin1(VolumeKey), 0, NaturalVolume).value_or(Volume);
}

void TMusic::WriteSetup()
{
    const std::unique_ptr<QSettings> store = OpenSettingsStore();
    Audio.WriteConfig(*store, QString::fromLatin1(SetupGroup));
    WriteStoredInt(*store, QString::fromLatin1(VolumeKey), Volume);
    store->sync();
}

bool TMusic::OpenSound()
{
    if (!Audio.Init()) {
        Warn("Couldn't initialize audio! Other program uses audio or you have to change the music "
             "setup!");
        return false;
    }
    Audio.StartBackgroundPlay();
    return true;
}

bool TMusic::ResumeSound()
{
    if (!Initialized)
        return false;
    if (!Suspended)
        return true;
    if (Audio.Resume())
        return true;
    Warn("Couldn't resume playing music! Other program uses audio or you have to change the music "
         "setup!");
    return false;
}

bool TMusic::Play()
{
    if (!Initialized)
        Initialized = OpenSound();
    if (!Initialized || Playing)
        return false;
    if (Suspended) {
        Suspended = !ResumeSound();
        if (Suspended)
            return false;
    }
    if (Module == 0) {
        LoadNextModule();
        if (Module == 0)
            return false;
    }
    Audio.SetAmplification(Amplification);
    // The volume goes with the start so that no buffer is mixed louder.
    PlayHandle = Audio.PlayModule(Module, false, Volume);
    if (PlayHandle == 0) {
        Warn("Could not start playing ! Choose sound settings or choose another module-file!");
        return false;
    }
    Audio.SetMusicVolume(PlayHandle, Volume);
    Playing = true;
    return true;
}

void TMusic::Stop(bool CloseSound)
{
    if (!Initialized)
        return;
    if (!CloseSound) {
        if (!Playing)
            return;
        Audio.StopModule(PlayHandle);
        PlayHandle = 0;
        Audio.Suspend();
        Playing = false;
        Suspended = true;
        return;
    }
    if (Module != 0) {
        if (Playing)
            Audio.StopModule(PlayHandle);
        Audio.FreeModule(Module);
        PlayHandle = 0;
        Module = 0;
    }
    Audio.StopBackgroundPlay();
    Audio.Close();
    Playing = false;
    Suspended = false;
    Initialized = false;
}

void TMusic::LoadNextModule()
{
    const int count = ModuleList.Count();
    if (count == 0) {
        ShowMessage(TMsgType::mtInformation, QStringLiteral("Sorry, the playList is empty!"));
        return;
    }
    if (NextIndex >= count || NextIndex < 0)
        NextIndex = 0;
    if (Module != 0) {
        Audio.FreeModule(Module);
        Module = 0;
    }
    int index = NextIndex;
    do {
        Module = Audio.LoadModule(ModuleList.Items(index).Path());
        index = (index + 1) % count;
    } while (Module == 0 && index != NextIndex);
    if (Module == 0) {
        Warn("Could not load  in memory! Check module or choose another module-file!");
        return;
    }
    NextIndex = index;
}

bool TMusic::NextModule()
{
    if (Playing)
        Audio.StopModule(PlayHandle);
    if (Module != 0)
        Audio.FreeModule(Module);
    PlayHandle = 0;
    Module = 0;
    LoadNextModule();
    if (!Playing)
        return false;
    Playing = false;
    return Play();
}

bool TMusic::CheckSongEnd()
{
    if (PlayHandle == 0)
        return true;
    // A handle that no longer plays has ended as surely as a finished song.
    TPlayStatus status;
    if (Audio.GetPlayStatus(PlayHandle, status) && status.SongLoopCount == 0)
        return false;
    NextModule();
    return true;
}

int TMusic::CurrentIndex() const
{
    const int count = ModuleList.Count();
    const int index = NextIndex == 0 ? count - 1 : NextIndex - 1;
    return index >= 0 && index < count ? index : -1;
}

QString TMusic::CurrentTitle() const
{
    const int index = CurrentIndex();
    return index < 0 ? QString() : ModuleList.Items(index).TitleText();
}
