#pragma once

#include <QString>

namespace transport {

// Where the knob's left edge sits at position 0, and the two scales: the timer maps the whole length onto
// 566 pixels, dragging maps 564 pixels back onto it. The two differ on purpose, so a knob put at the end by
// the timer (572) lies right of the farthest point a drag reaches (570).
constexpr int KnobOrigin = 6;
constexpr int KnobScaleForPosition = 566;
constexpr int KnobScaleForDrag = 564;
constexpr int KnobLeftLimit = 6;
constexpr int KnobRightLimit = 570;

// Whole seconds as m:ss: minutes unpadded and without an hour part, seconds always two digits.
QString formatTimeText(int seconds);
// The text of a millisecond position; the milliseconds are dropped, never rounded. Unknown (negative) shows 0:00.
QString positionText(int positionMs);

// floor(), except that a fraction above 0.999999999999 counts as the next whole number, so that
// a quotient like 281.99999999999997 from 282 / 564 × 564 lands on 282.
int tolerantFloor(double value);

// The knob's left edge for a position: no upper bound, so the milliseconds past the whole-second length
// push it beyond 572. An unknown length or position keeps it at the origin.
int knobLeftForPosition(int positionMs, int lengthSeconds);
// The whole seconds under a knob edge: 6 gives 0, 570 gives the length.
int secondsForKnobLeft(int left, int lengthSeconds);

} // namespace transport
