#include "Oscillator.h"

#include "Timing.h"

#include <cmath>

namespace music {
namespace {

// Polynomial correction of a unit step at phase 0, spread over one sample each side.
double polyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

double wrap(double phase) {
    return phase - std::floor(phase);
}

}  // namespace

double SawOscillator::next(double hz) {
    const double dt = hz / kSampleRate;
    const double value = 2.0 * _phase - 1.0 - polyBlep(_phase, dt);
    _phase = wrap(_phase + dt);
    return value;
}

double PulseOscillator::next(double hz) {
    const double dt = hz / kSampleRate;
    double value = _phase < _width ? 1.0 : -1.0;
    value += polyBlep(_phase, dt);
    value -= polyBlep(wrap(_phase + 1.0 - _width), dt);
    _phase = wrap(_phase + dt);
    return value;
}

double SineOscillator::next(double hz) {
    const double value = std::sin(2.0 * kPi * _phase);
    _phase = wrap(_phase + hz / kSampleRate);
    return value;
}

}  // namespace music
