#pragma once

#include <QString>

namespace transport {

// What the transport needs of a player: synchronous calls in milliseconds and whole seconds.
class MediaPlayer
{
public:
    virtual ~MediaPlayer() = default;

    // Closes whatever was open; the new file is ready to play from its start. Returns false when refused.
    virtual bool open(const QString &path) = 0;
    // Plays from positionMs, or from the current position when it is -1; no longer paused afterwards.
    virtual void play(int positionMs) = 0;
    virtual void pause() = 0;
    // -1 when nothing is open or the player cannot tell.
    virtual int getPositionMs() = 0;
    // Length in milliseconds divided by 1000, truncated; 0 when unknown.
    virtual int getLengthSeconds() = 0;
};

} // namespace transport
