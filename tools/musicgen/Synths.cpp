// Pitched voices: bass, detuned-saw pad, lead with vibrato and portamento, arpeggio
// pluck and an FM bell. Filters follow the channel's brightness curve, re-read every
// few samples to keep the cost low.
#include "Envelope.h"
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

constexpr int kControlInterval = 16;

double semitones(double s) {
    return std::pow(2.0, s / 12.0);
}

// Runs an envelope for a held note: key down at sample 0, key up after `heldSamples`.
class HeldEnvelope {
public:
    HeldEnvelope(const AdsrShape& shape, int64_t heldSamples) : _adsr(shape), _held(heldSamples) {
        _adsr.noteOn();
    }
    double next(int64_t i) {
        if (i == _held) _adsr.noteOff();
        return _adsr.next();
    }

private:
    Adsr _adsr;
    int64_t _held = 0;
};

double brightnessAt(const Automation& brightness, int64_t sample) {
    return brightness.at(sampleToBeat(sample));
}

}  // namespace

void renderBass(const NoteEvent& note, const Automation& brightness, StereoWindow& out) {
    const int64_t start = voiceStartSample(note);
    const int64_t held = beatToSample(note.lengthBeats);
    const int64_t length = voiceLengthSamples(Instrument::Bass, note);
    const double hz = midiToHz(note.midi);
    HeldEnvelope env({0.003, 0.25, 0.65, kBassRelease}, held);
    SawOscillator saw;
    PulseOscillator pulse(0.25, 0.5);
    SineOscillator sub;
    StateVariableFilter filter;
    for (int64_t i = 0; i < length; ++i) {
        const double t = double(i) / kSampleRate;
        if (i % kControlInterval == 0) {
            const double open = brightnessAt(brightness, start + i);
            filter.setCutoff(110.0 + open * (220.0 + 1500.0 * std::exp(-t / 0.11)), 1.3);
        }
        const double buzz = filter.lowPass(0.6 * saw.next(hz) + 0.4 * pulse.next(hz * 1.004));
        const double value = (buzz + 0.75 * sub.next(hz)) * env.next(i) * note.velocity;
        out.add(start + i, value, value);
    }
}

void renderPad(const NoteEvent& note, const Automation& brightness, StereoWindow& out) {
    const int64_t start = voiceStartSample(note);
    const int64_t held = beatToSample(note.lengthBeats);
    const int64_t length = voiceLengthSamples(Instrument::Pad, note);
    const double hz = midiToHz(note.midi);
    Noise phases(note.seed);
    constexpr std::array<double, 4> kDetune{-0.11, 0.05, -0.04, 0.12};
    std::array<SawOscillator, 4> saws{SawOscillator(phases.unit()), SawOscillator(phases.unit()),
                                      SawOscillator(phases.unit()), SawOscillator(phases.unit())};
    std::array<double, 4> frequencies{};
    for (size_t k = 0; k < 4; ++k) frequencies[k] = hz * semitones(kDetune[k]);
    HeldEnvelope env({0.9, 1.2, 0.85, kPadRelease}, held);
    StateVariableFilter left;
    StateVariableFilter right;
    for (int64_t i = 0; i < length; ++i) {
        if (i % kControlInterval == 0) {
            const double absoluteSeconds = double(start + i) / kSampleRate;
            const double wobble = 1.0 + 0.25 * std::sin(2.0 * kPi * 0.07 * absoluteSeconds);
            const double cutoff = 220.0 + brightnessAt(brightness, start + i) * 2600.0 * wobble;
            left.setCutoff(cutoff, 0.9);
            right.setCutoff(cutoff * 1.07, 0.9);
        }
        const double a = saws[0].next(frequencies[0]);
        const double b = saws[1].next(frequencies[1]);
        const double c = saws[2].next(frequencies[2]);
        const double d = saws[3].next(frequencies[3]);
        const double gain = env.next(i) * note.velocity * 0.5;
        out.add(start + i, left.lowPass(a + 0.7 * c + 0.3 * b) * gain,
                right.lowPass(b + 0.7 * d + 0.3 * a) * gain);
    }
}

void renderLead(const NoteEvent& note, const Automation& brightness, StereoWindow& out) {
    const int64_t start = voiceStartSample(note);
    const int64_t held = beatToSample(note.lengthBeats);
    const int64_t length = voiceLengthSamples(Instrument::Lead, note);
    HeldEnvelope env({0.008, 0.35, 0.75, note.legatoOut ? kLegatoRelease : kLeadRelease}, held);
    SawOscillator sawUp;
    SawOscillator sawDown(0.37);
    PulseOscillator octaveDown(0.0, 0.5);
    SineOscillator vibrato;
    StateVariableFilter filter;
    for (int64_t i = 0; i < length; ++i) {
        const double t = double(i) / kSampleRate;
        double pitch = note.midi;
        if (note.glideFromMidi >= 0) pitch += (note.glideFromMidi - note.midi) * std::exp(-t / 0.04);
        pitch += 0.2 * smoothStep(0.25, 0.65, t) * vibrato.next(5.3);
        const double hz = midiToHz(pitch);
        if (i % kControlInterval == 0) {
            const double open = brightnessAt(brightness, start + i);
            filter.setCutoff(800.0 + open * (1800.0 + 2600.0 * std::exp(-t / 0.25)), 1.1);
        }
        const double raw = sawUp.next(hz * semitones(0.07)) + sawDown.next(hz * semitones(-0.07)) +
                           0.4 * octaveDown.next(hz * 0.5);
        const double value = filter.lowPass(raw) * env.next(i) * note.velocity * 0.5;
        out.add(start + i, value, value);
    }
}

void renderPluck(const NoteEvent& note, const Automation& brightness, StereoWindow& out) {
    const int64_t start = voiceStartSample(note);
    const int64_t held = beatToSample(note.lengthBeats);
    const int64_t length = voiceLengthSamples(Instrument::Pluck, note);
    const double hz = midiToHz(note.midi);
    HeldEnvelope env({0.002, 0.22, 0.0, kPluckRelease}, held);
    SawOscillator saw;
    PulseOscillator pulse(0.1, 0.25);
    StateVariableFilter filter;
    for (int64_t i = 0; i < length; ++i) {
        const double t = double(i) / kSampleRate;
        if (i % kControlInterval == 0) {
            const double open = brightnessAt(brightness, start + i);
            filter.setCutoff(300.0 + open * (300.0 + 4500.0 * std::exp(-t / 0.08)), 2.0);
        }
        const double value =
            filter.lowPass(saw.next(hz) + 0.5 * pulse.next(hz * 1.003)) * env.next(i) * note.velocity * 0.5;
        out.add(start + i, value, value);
    }
}

void renderBell(const NoteEvent& note, StereoWindow& out) {
    const int64_t start = voiceStartSample(note);
    const int64_t held = beatToSample(note.lengthBeats);
    const int64_t length = voiceLengthSamples(Instrument::Bell, note);
    const double hz = midiToHz(note.midi);
    HeldEnvelope env({0.002, 2.5, 0.0, kBellRelease}, held);
    double carrier = 0.0;
    double modulator = 0.0;
    double shimmer = 0.0;
    for (int64_t i = 0; i < length; ++i) {
        const double t = double(i) / kSampleRate;
        const double index = 0.4 + 2.2 * std::exp(-t / 0.35);
        const double mod = std::sin(2.0 * kPi * modulator);
        const double body = std::sin(2.0 * kPi * carrier + index * mod);
        const double upper = 0.15 * std::sin(2.0 * kPi * shimmer) * std::exp(-t / 0.5);
        carrier += hz / kSampleRate;
        modulator += 3.5 * hz / kSampleRate;
        shimmer += 4.02 * hz / kSampleRate;
        carrier -= std::floor(carrier);
        modulator -= std::floor(modulator);
        shimmer -= std::floor(shimmer);
        const double value = (body + upper) * env.next(i) * note.velocity * 0.35;
        out.add(start + i, value, value);
    }
}

}  // namespace music
