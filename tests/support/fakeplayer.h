#pragma once

#include "transport/mediaplayer.h"

#include <QList>
#include <QString>

namespace testing {

// A player that plays nothing: it records every call and reports the position and length a test sets.
// play(ms) moves the position there, as a real seek would; time only passes when the test says so.
class FakePlayer final : public transport::MediaPlayer
{
public:
    enum class Op { Open, Play, Pause };
    struct Call
    {
        Op op;
        int positionMs = 0; // for Play
        QString path;       // for Open
    };

    bool open(const QString &path) override;
    void play(int positionMs) override;
    void pause() override;
    int getPositionMs() override { return positionMs; }
    int getLengthSeconds() override { return lengthSeconds; }

    QList<int> playedPositions() const;
    int lastPlayed() const;
    void clearCalls() { calls.clear(); }

    // What a successful open reports; set lengthAfterOpen to 0 and positionAfterOpen to -1 for a refused file.
    int lengthAfterOpen = 120;
    int positionAfterOpen = 0;

    int positionMs = -1;
    int lengthSeconds = 0;
    bool paused = true;
    bool opened = false;
    QList<Call> calls;
};

} // namespace testing
