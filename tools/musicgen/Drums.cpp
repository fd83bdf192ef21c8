// Drum voices: sine kick with a pitch sweep, noise-and-tone snare, metallic hats,
// a triple-burst clap, a long crash and a swept noise riser.
#include "Filter.h"
#include "Instruments.h"
#include "Noise.h"
#include "Oscillator.h"
#include "Timing.h"
#include "VoiceShape.h"

#include <array>
#include <cmath>

namespace music {
namespace {

// Six detuned square waves at inharmonic ratios give the metallic part of hats and crash.
class MetalSource {
public:
    double next(double scale) {
        double sum = 0.0;
        for (size_t i = 0; i < _oscillators.size(); ++i) sum += _oscillators[i].next(kFrequencies[i] * scale);
        return sum / 6.0;
    }

private:
    static constexpr std::array<double, 6> kFrequencies{205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
    std::array<PulseOscillator, 6> _oscillators{PulseOscillator(0.0), PulseOscillator(0.1),
                                                PulseOscillator(0.2), PulseOscillator(0.3),
                                                PulseOscillator(0.4), PulseOscillator(0.5)};
};

}  // namespace

void renderKick(const NoteEvent& note, StereoWindow& out) {
    const int64_t start = voiceStartSample(note);
    const int64_t length = int64_t(kKickSeconds * kSampleRate);
    SineOscillator body;
    Noise noise(note.seed);
    StateVariableFilter clickFilter(3000.0, 0.7);
    for (int64_t i = 0; i < length; ++i) {
        const double t = double(i) / kSampleRate;
        const double hz = 46.0 + 130.0 * std::exp(-t / 0.028) + 60.0 * std::exp(-t / 0.006);
        const double amp = std::exp(-t / 0.17) * edgeGain(t, kKickSeconds, 0.0);
        double value = body.next(hz) * amp;
        value += 0.18 * clickFilter.bandPass(noise.next()) * std::exp(-t / 0.004) * std::min(1.0, t / 0.0005);
        value = std::tanh(1.6 * value) / std::tanh(1.6);
        value *= note.velocity;
        out.add(start + i, value, value);
    }
}

void renderSnare(const NoteEvent& note, StereoWindow& out) {
    const int64_t start = voiceStartSample(note);
    const int64_t length = int64_t(kSnareSeconds * kSampleRate);
    SineOscillator low;
    SineOscillator high;
    Noise noise(note.seed);
    StateVariableFilter highPass(1400.0, 0.7);
    StateVariableFilter lowPass(9000.0, 0.7);
    for (int64_t i = 0; i < length; ++i) {
        const double t = double(i) / kSampleRate;
        const double tone = 0.55 * low.next(180.0 + 40.0 * std::exp(-t / 0.01)) * std::exp(-t / 0.055) +
                            0.25 * high.next(330.0) * std::exp(-t / 0.035);
        const double hiss = lowPass.lowPass(highPass.highPass(noise.next())) * std::exp(-t / 0.11);
        const double value = (tone + 0.8 * hiss) * edgeGain(t, kSnareSeconds, 0.0008) * note.velocity;
        out.add(start + i, value, value);
    }
}

void renderHat(const NoteEvent& note, bool open, StereoWindow& out) {
    const double seconds = open ? kOpenHatSeconds : kClosedHatSeconds;
    const double decay = open ? 0.16 : 0.028;
    const int64_t start = voiceStartSample(note);
    const int64_t length = int64_t(seconds * kSampleRate);
    MetalSource metal;
    Noise noise(note.seed);
    StateVariableFilter band(10000.0, 1.2);
    StateVariableFilter highPass(7000.0, 0.7);
    for (int64_t i = 0; i < length; ++i) {
        const double t = double(i) / kSampleRate;
        const double source = 0.6 * metal.next(1.0) + 0.5 * noise.next();
        const double value = highPass.highPass(band.bandPass(source)) * std::exp(-t / decay) *
                             edgeGain(t, seconds, 0.0005) * note.velocity;
        out.add(start + i, value, value);
    }
}

void renderClap(const NoteEvent& note, StereoWindow& out) {
    const int64_t start = voiceStartSample(note);
    const int64_t length = int64_t(kClapSeconds * kSampleRate);
    Noise noiseLeft(note.seed);
    Noise noiseRight(mixSeed(note.seed, 7));
    StateVariableFilter bandLeft(1300.0, 1.4);
    StateVariableFilter bandRight(1350.0, 1.4);
    for (int64_t i = 0; i < length; ++i) {
        const double t = double(i) / kSampleRate;
        double env = 0.0;
        for (double burst : {0.0, 0.011, 0.022}) {
            if (t >= burst) env = std::max(env, std::exp(-(t - burst) / 0.004));
        }
        if (t >= 0.031) env = std::max(env, 0.8 * std::exp(-(t - 0.031) / 0.11));
        const double gain = env * edgeGain(t, kClapSeconds, 0.0004) * note.velocity * 1.6;
        out.add(start + i, bandLeft.bandPass(noiseLeft.next()) * gain,
                bandRight.bandPass(noiseRight.next()) * gain);
    }
}

void renderCrash(const NoteEvent& note, StereoWindow& out) {
    const int64_t start = voiceStartSample(note);
    const int64_t length = int64_t(kCrashSeconds * kSampleRate);
    MetalSource metal;
    Noise noiseLeft(note.seed);
    Noise noiseRight(mixSeed(note.seed, 11));
    StateVariableFilter highLeft(4500.0, 0.7);
    StateVariableFilter highRight(4700.0, 0.7);
    for (int64_t i = 0; i < length; ++i) {
        const double t = double(i) / kSampleRate;
        const double shimmer = 0.35 * metal.next(1.7);
        const double gain = std::exp(-t / 0.8) * edgeGain(t, kCrashSeconds, 0.002) * note.velocity;
        out.add(start + i, highLeft.highPass(noiseLeft.next() + shimmer) * gain,
                highRight.highPass(noiseRight.next() + shimmer) * gain);
    }
}

void renderRiser(const NoteEvent& note, StereoWindow& out) {
    const int64_t start = voiceStartSample(note);
    const int64_t length = beatToSample(note.lengthBeats);
    const double seconds = double(length) / kSampleRate;
    Noise noiseLeft(note.seed);
    Noise noiseRight(mixSeed(note.seed, 13));
    StateVariableFilter left(200.0, 2.0);
    StateVariableFilter right(200.0, 2.0);
    for (int64_t i = 0; i < length; ++i) {
        const double progress = double(i) / double(length);
        if (i % 16 == 0) {
            const double hz = 200.0 * std::pow(45.0, progress);
            left.setCutoff(hz, 2.0);
            right.setCutoff(hz * 1.05, 2.0);
        }
        const double t = double(i) / kSampleRate;
        const double gain = progress * progress * edgeGain(t, seconds, 0.05) * note.velocity;
        out.add(start + i, left.bandPass(noiseLeft.next()) * gain, right.bandPass(noiseRight.next()) * gain);
    }
}

}  // namespace music
