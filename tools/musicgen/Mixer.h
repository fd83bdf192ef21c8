// Renders a song, or an excerpt of it, to a stereo float buffer.
//
// Each channel is rendered on its own, ducked by the kick where asked, panned and
// summed with its gain; the reverb and delay sends feed shared effects whose wet output
// joins the mix. The master chain removes DC, applies the master gain curve and the
// limiter. Nothing depends on time of day or threads: equal input, equal samples.
#pragma once

#include "Limiter.h"
#include "Song.h"

#include <cstdint>
#include <vector>

namespace music {

struct StereoBuffer {
    std::vector<float> left;
    std::vector<float> right;

    explicit StereoBuffer(size_t samples = 0) : left(samples, 0.0f), right(samples, 0.0f) {}
    size_t size() const { return left.size(); }
};

struct RenderReport {
    double minimumLimiterGain = 1.0;
};

// The channel's own voices over [firstSample, firstSample + sampleCount), before gain,
// pan, ducking and effects.
StereoBuffer renderChannelVoices(const Channel& channel, int64_t firstSample, int64_t sampleCount);

// Gain (0..1] that the kick sidechain applies at an absolute sample.
double duckGain(const std::vector<double>& kickBeats, int64_t sample, double depth);

StereoBuffer renderSong(const Song& song, int64_t firstSample, int64_t sampleCount,
                        RenderReport* report = nullptr);

}  // namespace music
