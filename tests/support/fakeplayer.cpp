#include "fakeplayer.h"

namespace testing {

bool FakePlayer::open(const QString &path)
{
    calls.append({Op::Open, 0, path});
    positionMs = positionAfterOpen;
    lengthSeconds = lengthAfterOpen;
    paused = true;
    opened = positionAfterOpen >= 0;
    return opened;
}

void FakePlayer::play(int position)
{
    calls.append({Op::Play, position, {}});
    if (position >= 0 && opened)
        positionMs = position;
    paused = false;
}

void FakePlayer::pause()
{
    calls.append({Op::Pause, 0, {}});
    paused = true;
}

QList<int> FakePlayer::playedPositions() const
{
    QList<int> positions;
    for (const Call &call : calls) {
        if (call.op == Op::Play)
            positions.append(call.positionMs);
    }
    return positions;
}

int FakePlayer::lastPlayed() const
{
    const QList<int> positions = playedPositions();
    return positions.isEmpty() ? -2 : positions.constLast();
}

} // namespace testing
