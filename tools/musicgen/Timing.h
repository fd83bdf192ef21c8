// The piece's fixed time grid: 44.1 kHz, 120 BPM, 4/4.
//
// One beat is exactly 22050 samples (0.5 s, 8 sync rows) and one bar 88200 samples
// (2 s, 32 rows), so every grid position is an integer sample index and kicks land on
// the film's clock without rounding drift.
#pragma once

#include <cmath>
#include <cstdint>

namespace music {

constexpr int kSampleRate = 44100;
constexpr int kSamplesPerBeat = 22050;
constexpr int kBeatsPerBar = 4;
constexpr int kSamplesPerBar = kSamplesPerBeat * kBeatsPerBar;
constexpr int kBarCount = 84;
constexpr int kTailSamples = 4 * kSampleRate;
constexpr int64_t kSongSamples = int64_t{kBarCount} * kSamplesPerBar + kTailSamples;
constexpr double kPi = 3.14159265358979323846;

inline int64_t beatToSample(double beat) {
    return std::llround(beat * kSamplesPerBeat);
}
inline double sampleToBeat(int64_t sample) {
    return double(sample) / kSamplesPerBeat;
}
inline double barToBeat(double bar) {
    return bar * kBeatsPerBar;
}
inline double midiToHz(double midi) {
    return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0);
}

}  // namespace music
