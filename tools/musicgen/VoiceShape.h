// Small helpers shared by the voices: click-free edges for one-shot sounds.
#pragma once

#include "Timing.h"

#include <algorithm>
#include <cmath>

namespace music {

// Linear fade-in over `attack` seconds and fade-out over the last 10 ms of `length`, so
// a one-shot voice starts and ends at exactly zero.
inline double edgeGain(double t, double length, double attack) {
    const double in = attack > 0.0 ? std::min(1.0, t / attack) : 1.0;
    const double out = std::clamp((length - t) / 0.01, 0.0, 1.0);
    return in * out;
}

inline double smoothStep(double edge0, double edge1, double x) {
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

}  // namespace music
