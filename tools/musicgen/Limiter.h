// Look-ahead peak limiter for a whole stereo buffer (offline, no added latency).
//
// The gain needed at each sample is held for the look-ahead span, allowed to recover
// slowly, then smoothed by a moving average over that span that ends at the peak, so
// the gain is already down when a peak arrives and |output| never exceeds the ceiling.
#pragma once

#include <vector>

namespace music {

struct LimiterSettings {
    double ceiling = 0.8;       // linear, about -1.9 dBFS: headroom for MP3 overshoot
    int lookaheadSamples = 88;  // 2 ms
    double releaseSeconds = 0.12;
};

// Returns the smallest gain applied (1 when nothing was limited).
double limitInPlace(std::vector<float>& left, std::vector<float>& right, const LimiterSettings& settings);

}  // namespace music
