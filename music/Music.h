#pragma once

// TMusic: the module player.

#include "base/Constants.h"

#include "music/ModuleAudio.h"
#include "music/PlayList.h"

#include <QString>

// The module player: plays the entries of its play list one after another,
// without looping a song, through the program's sound library.  Every call
// comes from the user-interface thread; the end of a song is found by
// polling CheckSongEnd.
class TMusic
{
public:
    // Starts the sound library (no device is opened) and reads the set-up.
    TMusic();
    // Frees the play list, then closes the sound library.
    virtual ~TMusic();
    TMusic(const TMusic &) = delete;
    TMusic &operator=(const TMusic &) = delete;

    bool IsInitialized() const { return Initialized; }
    bool IsSuspended() const { return Suspended; }
    bool IsPlaying() const { return Playing; }

    // Opens the sound device and starts background play; a warning box and
    // false when there is no device.
    bool OpenSound();
    // Resumes suspended output; a warning box and false when it fails.
    bool ResumeSound();
    // Starts playing: opens the sound library when closed, resumes it when
    // suspended, loads the next module when none is loaded.  True when a
    // module now plays.  Restarting after Stop(false) plays the same module
    // again from its beginning.
    bool Play();
    // false: switches music off (the module stays loaded, output suspended).
    // true: frees the module and closes the sound library.
    void Stop(bool CloseSound);
    // Loads the first loadable entry from NextIndex on, trying each entry at
    // most once; NextIndex then names the entry after it.
    void LoadNextModule();
    // Moves on to the next module; plays it when music was playing.
    bool NextModule();
    // Polled by the main window: true when no module is being played, or
    // when the song had ended and the next module was started.
    bool CheckSongEnd();
    // Read and write the sound library's set-up and "VOLUME" in the settings.
    void ReadSetup();
    void WriteSetup();

    // The entry being played or last loaded: the one before NextIndex,
    // the last when NextIndex is 0; -1 when there is none.
    int CurrentIndex() const;
    // That entry's title as text, empty when there is none.
    QString CurrentTitle() const;

    // The sound library, for the volume and set-up windows.
    TModuleAudio &Sound() { return Audio; }

private:
    TModuleAudio Audio;

public:
    TModuleHandle Module = 0;   // the loaded module; 0 = none
    TPlayHandle PlayHandle = 0; // the module being played; 0 = none
    int Volume = NaturalVolume; // 0..64, stored as "VOLUME"
    int NextIndex = 0;          // the ModuleList entry to load next
    TPlayList ModuleList;
    bool Initialized = false; // the sound device is open and plays in the background
    bool Suspended = false;   // switched off: output suspended, Module kept
    bool Playing = false;     // a module plays under PlayHandle
};
