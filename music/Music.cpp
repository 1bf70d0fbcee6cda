#include "music/Music.h"

#include "base/MessageBox.h"
#include "base/SettingsStore.h"

#include <QSettings>

#include <algorithm>
#include <utility>

namespace
{

constexpr int Amplification = 150;
// How often the player looks whether the song has ended, as often as the
// main window's timer once did: the next module follows within a quarter
// of a second.
constexpr int SongEndWatchMs = 250;

const char *const SetupGroup = "MUSIC_SETUP";
const char *const VolumeKey = "VOLUME";
const char *const SwitchKey = "MUSIC";

const char *const InitFailedText =
    "Couldn't initialize audio! Other program uses audio or you have to change the music setup!";
const char *const ResumeFailedText = "Couldn't resume playing music! Other program uses audio or "
                                     "you have to change the music setup!";
const char *const EmptyListText = "Sorry, the playList is empty!";
const char *const LoadFailedText =
    "Could not load  in memory! Check module or choose another module-file!";
const char *const StartFailedText =
    "Could not start playing ! Choose sound settings or choose another module-file!";

} // namespace

// --- Announcements -----------------------------------------------------------

TMusic::TChangeNotice::TChangeNotice(TMusic &music) : Music(music)
{
    if (Music.NoticeDepth++ > 0)
        return;
    Music.WasPlaying = Music.Playing;
    Music.WasSwitchedOn = Music.IsSwitchedOn();
    Music.WasAwaitingServer = Music.IsAwaitingServer();
    Music.StartedModule = false;
}

TMusic::TChangeNotice::~TChangeNotice()
{
    if (--Music.NoticeDepth == 0)
        Music.Announce();
}

void TMusic::Announce()
{
    // Music that waited for its device and was switched off meanwhile, or
    // gave up, is news too: the stored option follows it.
    if (Playing != WasPlaying || (WasSwitchedOn && !IsSwitchedOn())) {
        if (Playing)
            SongEndWatch.start();
        else
            SongEndWatch.stop();
        emit playingChanged(Playing);
    }
    if (IsSwitchedOn() != WasSwitchedOn)
        emit switchChanged(IsSwitchedOn());
    if (IsAwaitingServer() != WasAwaitingServer)
        emit awaitingServerChanged(IsAwaitingServer());
    if (Playing && std::exchange(StartedModule, false))
        emit moduleChanged(LoadedIndex, LoadedTitle);
}

void TMusic::Warn(const QString &text)
{
    ShowMessage(TMsgType::mtWarning, text);
    emit failed(text);
}

void TMusic::Inform(const QString &text)
{
    ShowMessage(TMsgType::mtInformation, text);
    emit failed(text);
}

// --- Life --------------------------------------------------------------------

TMusic::TMusic(TSoundModule &sound, const TSettingsStore &settings, QObject *parent)
    : QObject(parent), Audio(sound), Settings(settings)
{
    SongEndWatch.setInterval(SongEndWatchMs);
    connect(&SongEndWatch, &QTimer::timeout, this, [this] {
        if (Playing)
            CheckSongEnd();
    });
    // The device worker's news comes here on this object's own thread.
    Audio.SetDeviceListener(
        [this] { QMetaObject::invokeMethod(this, &TMusic::DeviceChanged, Qt::QueuedConnection); });
    Audio.Startup();
    ReadSetup();
}

TMusic::~TMusic()
{
    Audio.SetDeviceListener({});
    blockSignals(true);
    ModuleList.ClearEntries();
    Stop(true);
}

void TMusic::ReadSetup()
{
    const std::unique_ptr<QSettings> store = Settings.Open();
    Audio.ReadConfig(*store, QString::fromLatin1(SetupGroup));
    StoredOn = ReadStoredBool(*store, QString::fromLatin1(SwitchKey)).value_or(StoredOn);
    // A value that is not a volume the sound layer knows counts as absent.
    StoredVolume = ReadStoredInt(*store, QString::fromLatin1(VolumeKey), 0, NaturalVolume)
                       .value_or(StoredVolume);
}

void TMusic::WriteSetup()
{
    const std::unique_ptr<QSettings> store = Settings.Open();
    Audio.WriteConfig(*store, QString::fromLatin1(SetupGroup));
    WriteStoredInt(*store, QString::fromLatin1(VolumeKey), StoredVolume);
    store->sync();
}

// Music waiting for the sound server is still wanted at the next start,
// though nothing is heard meanwhile.
bool TMusic::SaveSettings()
{
    const std::unique_ptr<QSettings> store = Settings.Open();
    WriteStoredBool(*store, QString::fromLatin1(SwitchKey), IsSwitchedOn());
    Audio.WriteConfig(*store, QString::fromLatin1(SetupGroup));
    WriteStoredInt(*store, QString::fromLatin1(VolumeKey), StoredVolume);
    store->sync();
    return store->status() == QSettings::NoError;
}

// --- The device --------------------------------------------------------------

bool TMusic::OpenSound()
{
    if (!Audio.Init()) {
        Warn(QString::fromLatin1(InitFailedText));
        return false;
    }
    Opening = TOpening::opInit;
    ModuleBeforeOpening = Module;
    EntryBeforeOpening = NextEntry;
    Audio.StartBackgroundPlay();
    return true;
}

bool TMusic::ResumeSound()
{
    if (!Initialized)
        return false;
    if (!Suspended)
        return true;
    if (Audio.Resume()) {
        Opening = TOpening::opResume;
        return true;
    }
    Warn(QString::fromLatin1(ResumeFailedText));
    return false;
}

void TMusic::DeviceChanged()
{
    // Moved in the desktop's mixer: the player's volume, as if chosen in
    // the Volume window, but not sent back: the stream has it already, at
    // the mixer's own level rather than the nearest of the player's steps.
    if (const int volume = Audio.TakeMixerVolume(); volume >= 0 && volume != StoredVolume)
        KeepVolume(volume);
    const TDeviceState state = Audio.DeviceState();
    if (state == TDeviceState::dsOpening)
        return;
    TChangeNotice notice(*this);
    if (state == TDeviceState::dsLost) {
        DeviceLost();
        return;
    }
    if (state == TDeviceState::dsOpen) {
        Opening = TOpening::opNone;
        DeviceHeard();
        return;
    }
    const TOpening opening = std::exchange(Opening, TOpening::opNone);
    if (state != TDeviceState::dsFailed || opening == TOpening::opNone)
        return;
    if (opening == TOpening::opInit)
        InitFailed();
    else
        ResumeFailed();
}

// The sound server went away: nothing is heard, so nothing says it plays;
// the module holds its place for the server's return.
void TMusic::DeviceLost()
{
    if (!IsSwitchedOn())
        return;
    Playing = false;
    AwaitingDevice = true;
    ServerLost = true;
}

void TMusic::DeviceHeard()
{
    if (!AwaitingDevice)
        return;
    AwaitingDevice = false;
    ServerLost = false;
    Playing = true;
    StartedModule = std::exchange(AnnounceWhenHeard, false);
}

void TMusic::ForgetLoadedModule()
{
    LoadedIndex = -1;
    LoadedTitle.clear();
    LoadedPath.clear();
    LoadedLength = std::chrono::microseconds{0};
}

QString TMusic::StreamTitle() const
{
    const QString title = LoadedTitle.trimmed();
    return title.isEmpty() ? QStringLiteral("Music") : title;
}

// As if the opening had failed at once: closed, and the next Play tries the
// same entry again.
void TMusic::InitFailed()
{
    if (!Initialized)
        return;
    if (PlayHandle != 0)
        Audio.StopModule(PlayHandle);
    if (Module != 0) {
        // Nothing played: the player names no module, and the next Play
        // starts from the same entry.
        const bool loadedBefore = Module == ModuleBeforeOpening && LoadedIndex >= 0;
        NextEntry = loadedBefore ? LoadedIndex : EntryBeforeOpening;
        Audio.FreeModule(Module);
        Module = 0;
    }
    ForgetLoadedModule();
    Audio.Close();
    PlayHandle = 0;
    Playing = false;
    AwaitingDevice = false;
    ServerLost = false;
    AnnounceWhenHeard = false;
    Suspended = false;
    Initialized = false;
    Warn(QString::fromLatin1(InitFailedText));
}

// Still suspended: the module stays loaded for the next try.
void TMusic::ResumeFailed()
{
    if (!Initialized)
        return;
    if (PlayHandle != 0)
        Audio.StopModule(PlayHandle);
    PlayHandle = 0;
    Playing = false;
    AwaitingDevice = false;
    ServerLost = false;
    AnnounceWhenHeard = false;
    Suspended = true;
    Warn(QString::fromLatin1(ResumeFailedText));
}

// --- Playing -----------------------------------------------------------------

bool TMusic::Play()
{
    TChangeNotice notice(*this);
    if (!Initialized)
        Initialized = OpenSound();
    if (!Initialized || Playing)
        return false;
    // Asked for already: it plays once its device does.
    if (AwaitingDevice)
        return true;
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
    Audio.SetStreamTitle(StreamTitle());
    // The volume goes with the start so that no buffer is mixed louder.
    PlayHandle = Audio.PlayModule(Module, false, StoredVolume);
    if (PlayHandle == 0) {
        Warn(QString::fromLatin1(StartFailedText));
        return false;
    }
    Audio.SetMusicVolume(PlayHandle, StoredVolume);
    // Shown as playing only once it can be heard.
    if (Audio.DeviceState() == TDeviceState::dsOpen) {
        Playing = true;
        StartedModule = true;
    } else {
        AwaitingDevice = true;
        AnnounceWhenHeard = true;
        ServerLost = Audio.DeviceState() == TDeviceState::dsLost;
    }
    return true;
}

void TMusic::Stop(bool CloseSound)
{
    if (!Initialized)
        return;
    TChangeNotice notice(*this);
    Opening = TOpening::opNone;
    const bool switchedOn = Playing || AwaitingDevice;
    AwaitingDevice = false;
    ServerLost = false;
    AnnounceWhenHeard = false;
    if (!CloseSound) {
        if (!switchedOn)
            return;
        Audio.StopModule(PlayHandle);
        PlayHandle = 0;
        Audio.Suspend();
        Playing = false;
        Suspended = true;
        return;
    }
    if (Module != 0) {
        if (switchedOn)
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
        Inform(QString::fromLatin1(EmptyListText));
        return;
    }
    if (NextEntry >= count || NextEntry < 0)
        NextEntry = 0;
    if (Module != 0) {
        Audio.FreeModule(Module);
        Module = 0;
    }
    int index = NextEntry;
    int loaded = index;
    do {
        loaded = index;
        Module = Audio.LoadModule(ModuleList.Items(index).Path());
        index = (index + 1) % count;
    } while (Module == 0 && index != NextEntry);
    if (Module == 0) {
        Warn(QString::fromLatin1(LoadFailedText));
        return;
    }
    NextEntry = index;
    LoadedIndex = loaded;
    LoadedTitle = ModuleList.Items(loaded).TitleText();
    LoadedPath = ModuleList.Items(loaded).Path();
    LoadedLength = Audio.ModuleLength(Module);
}

bool TMusic::NextModule()
{
    TChangeNotice notice(*this);
    const bool switchedOn = Playing || AwaitingDevice;
    if (switchedOn)
        Audio.StopModule(PlayHandle);
    if (Module != 0)
        Audio.FreeModule(Module);
    PlayHandle = 0;
    Module = 0;
    LoadNextModule();
    if (!switchedOn)
        return false;
    Playing = false;
    AwaitingDevice = false;
    AnnounceWhenHeard = false;
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

TPlayStatus TMusic::Status() const
{
    TPlayStatus status;
    if (PlayHandle == 0 || !Audio.GetPlayStatus(PlayHandle, status))
        return {};
    return status;
}

// --- What the windows change -------------------------------------------------

void TMusic::ReplaceList(const TPlayList &list, int startIndex)
{
    TChangeNotice notice(*this);
    ModuleList.Assign(list);
    if (startIndex >= 0)
        NextEntry = startIndex;
    // Should the device being opened fail, the next Play starts where it
    // would have had the opening failed at once: from the entry chosen
    // here, the module loaded before being gone with the old list.
    if (Opening == TOpening::opInit) {
        ModuleBeforeOpening = 0;
        if (startIndex >= 0)
            EntryBeforeOpening = startIndex;
    }
    // A module still loaded came from the old list; its title stays.
    LoadedIndex = -1;
    emit listChanged();
    if (Playing || AwaitingDevice)
        NextModule();
}

void TMusic::SetVolume(int volume)
{
    volume = std::clamp(volume, 0, NaturalVolume);
    PreviewVolume(volume);
    if (!KeepVolume(volume))
        return;
    const std::unique_ptr<QSettings> store = Settings.Open();
    WriteStoredInt(*store, QString::fromLatin1(VolumeKey), StoredVolume);
    store->sync();
}

// A level moved in the mixer arrives in bursts while its slider is dragged;
// it is only remembered here and stored with the other settings at the end,
// so the window's thread never writes the store for each step.
bool TMusic::KeepVolume(int volume)
{
    if (volume == StoredVolume)
        return false;
    StoredVolume = volume;
    emit volumeChanged(StoredVolume);
    return true;
}

void TMusic::PreviewVolume(int volume)
{
    if (PlayHandle != 0)
        Audio.SetMusicVolume(PlayHandle, std::clamp(volume, 0, NaturalVolume));
}

TAudioInUse TMusic::InUse() const
{
    return Initialized && !Suspended ? Audio.InUse() : TAudioInUse{};
}

TCardSetupResult TMusic::CardSetup(const TSetupDialog &dialog)
{
    const bool wasOpen = Initialized;
    // Music switched off keeps the layer open but suspended; starting it
    // again here would play while the menu offers "Turn On".
    const bool wasSwitchedOff = Suspended;
    const TAudioInUse inUse = InUse();
    if (wasOpen)
        Stop(true);
    if (const std::optional<TAudioSetup> chosen =
            dialog ? dialog(Audio.Setup(), inUse) : std::nullopt) {
        Audio.SetSetup(*chosen);
        WriteSetup();
    }
    if (!wasOpen || wasSwitchedOff)
        return TCardSetupResult::csrNotRestarted;
    return Play() ? TCardSetupResult::csrRestarted : TCardSetupResult::csrRestartFailed;
}
