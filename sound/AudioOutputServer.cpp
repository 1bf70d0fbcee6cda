#include "sound/AudioOutput.h"

// The music as a stream of the desktop's sound server.

// Connecting may take up to a second: nothing that the engine's thread
// waits for (ServerGuard, the mixer's lock) is held meanwhile.  A volume or
// title changed meanwhile is given to the stream once it is in place.
bool TAudioOutput::OpenServerStream(std::uint64_t request, QString &error)
{
    // The callbacks hold a plain pointer: the stream is closed before this
    // output goes, here, by CloseNow or by Release.
    auto stream = std::make_unique<TPulseStream>(
        [this](std::int16_t *out, std::size_t frames) { MixInto(out, frames); },
        [this](bool heard) { ServerHeard(heard); },
        [this](int volume) {
            MixerVolume = volume;
            Notify();
        });
    int volume = NaturalVolume;
    QString name;
    {
        const std::lock_guard<std::mutex> server(ServerGuard);
        volume = MusicVolume;
        name = StreamName.isEmpty() ? QString::fromLatin1(DefaultStreamName) : StreamName;
    }
    // The mixer runs before the stream opens: the server asks for its
    // first buffer while it connects.
    Rate = stream->Rate();
    BufferFrames = stream->BufferFrames();
    Mixed = 0;
    {
        const auto lock = Lock();
        Voices.SetRunning(true);
        Voices.SetVolume(NaturalVolume);
    }
    ServerVolume = true;
    const bool opened = stream->Open(volume, name, error);
    ServerUnanswered = !opened && stream->WasUnanswered();
    std::unique_lock<std::mutex> server(ServerGuard);
    bool current = false;
    {
        const auto lock = Lock();
        current = opened && !Released && request == Request;
        if (!current) {
            ServerVolume = false;
            Voices.SetRunning(false);
            Voices.SetVolume(MusicVolume);
        }
    }
    if (!current) {
        server.unlock();
        // Closed or released meanwhile: nobody waits for this one.
        if (opened)
            stream->Close(0);
        return opened;
    }
    if (MusicVolume != volume)
        stream->SetVolume(MusicVolume);
    if (!StreamName.isEmpty() && StreamName != name)
        stream->SetMediaName(StreamName);
    ServerStream = std::move(stream);
    ReportServerOpen(request);
    return true;
}

// Under ServerGuard.  A server lost between the opening and this report is
// lost like any other (ServerHeard ignored it while the device was still
// being opened): the stream looks for it again, and the device is open once
// it plays.
void TAudioOutput::ReportServerOpen(std::uint64_t request)
{
    {
        const auto lock = Lock();
        if (request != Request)
            return;
        const bool heard = ServerStream->IsHeard();
        DeviceState = heard ? TDeviceState::dsOpen : TDeviceState::dsLost;
        Voices.SetRunning(heard);
        Used = {true, QStringLiteral("pulseaudio"), QString(), Rate.load(), BufferFrames.load()};
    }
    Notify();
}

std::unique_ptr<TPulseStream> TAudioOutput::TakeServerStream()
{
    const std::lock_guard<std::mutex> server(ServerGuard);
    ServerVolume = false;
    if (ServerStream)
        ++ServerClosings;
    return std::move(ServerStream);
}

// On libpulse's thread: the server went away, or came back and plays.
void TAudioOutput::ServerHeard(bool heard)
{
    {
        const auto lock = Lock();
        if (Released ||
            (DeviceState != TDeviceState::dsOpen && DeviceState != TDeviceState::dsLost))
            return;
        const TDeviceState now = heard ? TDeviceState::dsOpen : TDeviceState::dsLost;
        if (now == DeviceState)
            return;
        DeviceState = now;
        // While nothing asks for sound every stop takes effect at once, and
        // what plays holds its place until the server is back.
        Voices.SetRunning(heard);
    }
    Notify();
}
