#include "mpris/MprisPlayer.h"

#include "mpris/MediaControls.h"

TMprisPlayer::TMprisPlayer(TMediaControls *controls)
    : QDBusAbstractAdaptor(controls), Controls(controls)
{
}

QString TMprisPlayer::PlaybackStatus() const
{
    return Controls->PlaybackStatus();
}

QVariantMap TMprisPlayer::Metadata() const
{
    return Controls->Metadata();
}

double TMprisPlayer::Volume() const
{
    return Controls->Volume();
}

void TMprisPlayer::SetVolume(double volume)
{
    Controls->SetVolume(volume);
}

qlonglong TMprisPlayer::Position() const
{
    return Controls->Position();
}

bool TMprisPlayer::CanGoNext() const
{
    return Controls->CanGoNext();
}

bool TMprisPlayer::CanPlay() const
{
    return Controls->CanPlay();
}

void TMprisPlayer::Next()
{
    Controls->Next();
}

void TMprisPlayer::Pause()
{
    Controls->Pause();
}

void TMprisPlayer::PlayPause()
{
    Controls->PlayPause();
}

void TMprisPlayer::Stop()
{
    Controls->Stop();
}

void TMprisPlayer::Play()
{
    Controls->Play();
}

// CanSeek is false: the callers that honour it never come here.
void TMprisPlayer::Seek(qlonglong) {}

void TMprisPlayer::SetPosition(const QDBusObjectPath &, qlonglong) {}

// No URI scheme is offered.
void TMprisPlayer::OpenUri(const QString &) {}
