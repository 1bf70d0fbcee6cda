#include "sound/PulseVolume.h"

#include "base/Constants.h"
#include "sound/PulseLoopLock.h"
#include "sound/PulseStream.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <cmath>

pa_volume_t ServerLevel(int volume)
{
    const double share = std::clamp(volume, 0, NaturalVolume) / double(NaturalVolume);
    return static_cast<pa_volume_t>(std::lround(share * PA_VOLUME_NORM));
}

int GameVolume(pa_volume_t level)
{
    if (level == PA_VOLUME_MUTED)
        return 0;
    const double share = double(level) / PA_VOLUME_NORM;
    return std::clamp(static_cast<int>(std::lround(share * NaturalVolume)), 1, NaturalVolume);
}

pa_cvolume StereoVolume(pa_volume_t level)
{
    pa_cvolume volume;
    pa_cvolume_set(&volume, 2, level);
    return volume;
}

// --- The stream's volume --------------------------------------------------------

void TPulseStream::SetVolume(int volume)
{
    if (!Loop)
        return;
    TLoopLock lock(Loop);
    // What the mixer set is the game's volume already: sent back it would
    // be rounded to the game's steps.
    if (volume == Volume)
        return;
    Volume = volume;
    Level = ServerLevel(volume);
    ApplyVolume();
}

void TPulseStream::ApplyVolume()
{
    if (!Stream || !Context || pa_stream_get_state(Stream) != PA_STREAM_READY)
        return;
    const pa_cvolume level = StereoVolume(Level);
    if (pa_operation *op = pa_context_set_sink_input_volume(
            Context, pa_stream_get_index(Stream), &level, &TPulseStream::VolumeSet, this)) {
        ++VolumesInFlight;
        pa_operation_unref(op);
    }
}

void TPulseStream::VolumeSet(pa_context *context, int, void *self)
{
    auto *pulse = static_cast<TPulseStream *>(self);
    if (context == pulse->Context && pulse->VolumesInFlight > 0)
        --pulse->VolumesInFlight;
}

// The desktop's mixer changes the stream's volume: the game hears of it, so
// that its own Volume window shows, and its next module keeps, the same.
// The server keeps the level as the mixer set it; the game's volume is the
// nearest of its steps.
void TPulseStream::Subscribed(pa_context *context, int event, std::uint32_t index)
{
    const int facility = event & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
    const int kind = event & PA_SUBSCRIPTION_EVENT_TYPE_MASK;
    if (context != Context || !Stream || facility != PA_SUBSCRIPTION_EVENT_SINK_INPUT ||
        kind != PA_SUBSCRIPTION_EVENT_CHANGE || index != pa_stream_get_index(Stream))
        return;
    if (pa_operation *op =
            pa_context_get_sink_input_info(context, index, &TPulseStream::InputInfo, this))
        pa_operation_unref(op);
}

void TPulseStream::InputInfo(pa_context *context, const pa_sink_input_info *info, int eol,
                             void *self)
{
    auto *pulse = static_cast<TPulseStream *>(self);
    // The server answers in order: with none of our own changes on the
    // way, what it says is someone else's.
    if (eol != 0 || !info || context != pulse->Context || pulse->VolumesInFlight > 0)
        return;
    pulse->Level = pa_cvolume_avg(&info->volume);
    const int volume = GameVolume(pulse->Level);
    if (volume == pulse->Volume)
        return;
    pulse->Volume = volume;
    if (pulse->VolumeListener)
        pulse->VolumeListener(volume);
}
