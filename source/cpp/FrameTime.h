// The time record the driver hands to the scene every frame.
//
// time is the music position in seconds; delta is time minus the previous frame's
// time (the first frame measures from 0, so its delta equals its time).
#pragma once

struct FrameTime {
    double time = 0.0;
    double delta = 0.0;
};
