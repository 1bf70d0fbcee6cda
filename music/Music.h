#pragma once

// TMusic: the module player, the one owner of the music.

#include "base/Constants.h"
#include "base/SettingsStore.h"
#include "music/ModuleAudio.h"
#include "music/PlayList.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <functional>
#include <optional>

// What came of "Card Setup..." for the music.
enum class TCardSetupResult {
    csrNotRestarted,  // music had not been playing, so it was not started
    csrRestarted,     // music plays again, with the next entry of the play list
    csrRestartFailed, // music was playing but Play failed (it told the user why)
};

// The sound set-up window: shows the set-up and what the device was running
// with (taken before the device was closed); the set-up chosen on OK, or
// nothing when cancelled.
using TSetupDialog =
    std::function<std::optional<TAudioSetup>(const TAudioSetup &setup, const TAudioInUse &inUse)>;

// The module player: plays the entries of its play list one after another,
// without looping a song, through the program's sound layer.  It owns the
// music: whether it plays, what plays, the list and the volume; windows read
// them here, change them through the calls below, and learn of every change
// from the signals.  It watches for the end of a song itself, four times a
// second while it plays.
//
// Every call comes from the thread the player lives in and returns without
// waiting for the sound device, which the sound layer opens and closes in
// the background: a Play that asked for the device succeeds at once, but
// the music is announced as playing only once the device plays; a device
// that fails to open is reported as Play's failure would have been (its
// warning box, failed), and the player then names no module.  A sound
// server that goes away stops the music (playingChanged(false)) until it
// is back, when the same module plays on by itself; meanwhile the music
// stays switched on (IsSwitchedOn) and waits (IsAwaitingServer), and
// switching it off keeps it off when the server returns.
//
// Its stored values (MUSIC, VOLUME and the sound set-up in "MUSIC_SETUP")
// live in the settings store it is given: read when it is made, written by
// SaveSettings and by the windows that change them.
//
// Signals come after the change is complete; an operation that calls
// others announces once, at its end: playingChanged first, then
// moduleChanged.  The boxes of the player are shown by the operation that
// fails, which then emits failed with the box's text.
class TMusic : public QObject
{
    Q_OBJECT

public:
    // Starts the sound layer on sound, which must outlive the player (no
    // device is opened, nothing is loaded) and reads the stored values from
    // settings (without one, nothing is read or written).
    explicit TMusic(TSoundModule &sound, const TSettingsStore &settings = {},
                    QObject *parent = nullptr);
    // Frees the play list, then closes the sound layer; announces nothing.
    ~TMusic() override;

    bool IsInitialized() const { return Initialized; }
    bool IsSuspended() const { return Suspended; }
    // A module plays and is heard.
    bool IsPlaying() const { return Playing; }
    // Music is switched on but not heard yet: its device is being opened,
    // or the desktop's sound server went away and the module waits, where
    // it stands, for the server to come back.  It then plays by itself.
    bool IsAwaitingDevice() const { return AwaitingDevice; }
    // Playing, or awaiting its device: what the player was asked for last.
    // The Music item, the media controls and the stored MUSIC follow it.
    bool IsSwitchedOn() const { return Playing || AwaitingDevice; }
    // Awaiting its device because the desktop's sound server went away (not
    // merely while the device opens).
    bool IsAwaitingServer() const { return AwaitingDevice && ServerLost; }
    // Whether music was switched on when the stored values were last written
    // (MUSIC); off when absent.
    bool WasStoredOn() const { return StoredOn; }

    // The play list and the index of the entry to load next.
    const TPlayList &List() const { return ModuleList; }
    int NextIndex() const { return NextEntry; }
    // The module that plays, or that was loaded last: the index of its
    // entry (-1 when the list has been replaced since, or there is none)
    // and its title (empty when there is none).
    int PlayingIndex() const { return LoadedIndex; }
    QString PlayingTitle() const { return LoadedTitle; }
    // The file of that module (empty when there is none) and how long its
    // song lasts, as the decoder reckons it (zero when unknown).
    QString PlayingPath() const { return LoadedPath; }
    std::chrono::microseconds PlayingLength() const { return LoadedLength; }
    // Where the playing module stands; all zeros when nothing plays.
    TPlayStatus Status() const;
    // Music volume 0..64, stored as "VOLUME".
    int Volume() const { return StoredVolume; }

    // Opens the sound device and starts background play; a warning box and
    // false when there is no sound layer.
    bool OpenSound();
    // Resumes suspended output; a warning box and false when it fails.
    bool ResumeSound();
    // Starts playing: opens the sound layer when closed, resumes it when
    // suspended, loads the next module when none is loaded.  True when a
    // module now plays.  Restarting after Stop(false) plays the same module
    // again from its beginning.
    bool Play();
    // false: switches music off (the module stays loaded, output suspended).
    // true: frees the module and closes the sound layer.
    void Stop(bool CloseSound);
    // Loads the first loadable entry from NextIndex on, trying each entry at
    // most once; NextIndex then names the entry after it.
    void LoadNextModule();
    // Moves on to the next module; plays it when music was playing.
    bool NextModule();
    // True when no module is being played, or when the song had ended and
    // the next module was started.  The player's own watch calls it.
    bool CheckSongEnd();
    // Read and write the sound layer's set-up and "VOLUME" in the settings.
    void ReadSetup();
    void WriteSetup();
    // Writes every stored value of the player: MUSIC as IsSwitchedOn, and
    // what WriteSetup writes.  False when the store refused the write.
    bool SaveSettings();

    // The play list becomes a copy of list; NextIndex becomes startIndex
    // unless it is -1.  When music plays, the start entry's module (or the
    // next loadable one) starts at once.
    void ReplaceList(const TPlayList &list, int startIndex);
    // The volume, heard at once and stored as "VOLUME".
    void SetVolume(int volume);
    // Heard at once while a module plays, not kept: the next module starts
    // at Volume again.
    void PreviewVolume(int volume);

    // The sound set-up, taking effect when the device opens next.
    TAudioSetup Setup() const { return Audio.Setup(); }
    void SetSetup(const TAudioSetup &setup) { Audio.SetSetup(setup); }
    // What the device runs with while music is on; closed (empty) while it
    // is off, when the device is being given back.
    TAudioInUse InUse() const;
    // "Card Setup...": remembers whether the sound layer was open and music
    // not switched off, closes the layer, runs dialog and stores what it
    // chose, and starts music again (the next entry) only when it had been
    // playing, so that a set-up while music is off leaves it off.
    TCardSetupResult CardSetup(const TSetupDialog &dialog);

    // The sound layer, to look at (what it has mixed, its errors).
    const TModuleAudio &Sound() const { return Audio; }

signals:
    // Whether a module is heard; announced too when music that waited for
    // its device is switched off or gives up, while nothing was heard.
    void playingChanged(bool playing);
    // IsSwitchedOn changed.
    void switchChanged(bool switchedOn);
    // IsAwaitingServer changed.
    void awaitingServerChanged(bool awaiting);
    // A module started from its beginning: switched on, or moved on to.
    void moduleChanged(int index, const QString &title);
    void listChanged();
    void volumeChanged(int volume);
    // A box of the player was shown with this text.
    void failed(const QString &message);

private:
    // Announces, when the outermost operation ends, what it changed.
    class TChangeNotice
    {
    public:
        explicit TChangeNotice(TMusic &music);
        ~TChangeNotice();
        TChangeNotice(const TChangeNotice &) = delete;
        TChangeNotice &operator=(const TChangeNotice &) = delete;

    private:
        TMusic &Music;
    };

    // What the device is being opened for.
    enum class TOpening { opNone, opInit, opResume };

    void Warn(const QString &text);
    void Inform(const QString &text);
    // The sound layer's news of its device, on this thread.
    void DeviceChanged();
    void InitFailed();
    void ResumeFailed();
    void DeviceLost();
    void DeviceHeard();
    // Volume becomes the player's volume without being sent to the sound
    // layer or written to the store; false when it already was.
    bool KeepVolume(int volume);
    void ForgetLoadedModule();
    // What the desktop's sound mixer calls the stream of the loaded module.
    QString StreamTitle() const;
    void Announce();

    TModuleAudio Audio;
    TSettingsStore Settings;
    QTimer SongEndWatch;

    TModuleHandle Module = 0;   // the loaded module; 0 = none
    TPlayHandle PlayHandle = 0; // the module being played; 0 = none
    int StoredVolume = NaturalVolume;
    int NextEntry = 0; // the ModuleList entry to load next
    TPlayList ModuleList;
    bool Initialized = false;       // the sound device is open (or being opened) and plays
    bool Suspended = false;         // switched off: output suspended, Module kept
    bool Playing = false;           // a module plays under PlayHandle and is heard
    bool AwaitingDevice = false;    // a module started under PlayHandle waits for its device
    bool AnnounceWhenHeard = false; // that module is announced once it is heard
    bool ServerLost = false;        // it waits because the sound server went away
    bool StoredOn = false;          // MUSIC as read

    int LoadedIndex = -1; // the entry Module came from; -1 once the list was replaced
    QString LoadedTitle;
    QString LoadedPath;
    std::chrono::microseconds LoadedLength{0};
    TOpening Opening = TOpening::opNone;
    // Where things stood when the device was asked for, to go back there
    // when it fails to open.
    TModuleHandle ModuleBeforeOpening = 0;
    int EntryBeforeOpening = 0;

    int NoticeDepth = 0;
    bool WasPlaying = false;
    bool WasSwitchedOn = false;
    bool WasAwaitingServer = false;
    bool StartedModule = false;
};
