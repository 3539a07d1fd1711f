#pragma once

namespace transport {

struct TransportState
{
    int mediaLoaded = 0;
    int playing = 0;
    int lengthSeconds = 0;
    int savedPositionMs = 0;
    int dragging = 0;
    int grabX = 0;
    int knobSeconds = 0;
};

} // namespace transport
