// A sound module left behind by another build of the game: its entry point
// turns down this build's interface, as a real one of another build would.

extern "C" __attribute__((visibility("default"))) void *FerroxSoundLibrary(int)
{
    return nullptr;
}
