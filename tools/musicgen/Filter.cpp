#include "Filter.h"

#include "Timing.h"

#include <algorithm>
#include <cmath>

namespace music {

StateVariableFilter::StateVariableFilter(double cutoffHz, double resonanceQ) {
    setCutoff(cutoffHz, resonanceQ);
}

void StateVariableFilter::setCutoff(double cutoffHz, double resonanceQ) {
    const double hz = std::clamp(cutoffHz, 10.0, 0.45 * kSampleRate);
    const double g = std::tan(kPi * hz / kSampleRate);
    _k = 1.0 / std::max(resonanceQ, 0.1);
    _a1 = 1.0 / (1.0 + g * (g + _k));
    _a2 = g * _a1;
    _a3 = g * _a2;
}

FilterOutputs StateVariableFilter::process(double input) {
    const double v3 = input - _ic2;
    const double v1 = _a1 * _ic1 + _a2 * v3;
    const double v2 = _ic2 + _a2 * _ic1 + _a3 * v3;
    _ic1 = 2.0 * v1 - _ic1;
    _ic2 = 2.0 * v2 - _ic2;
    FilterOutputs out;
    out.low = v2;
    out.band = v1;
    out.high = input - _k * v1 - v2;
    return out;
}

double DcBlocker::process(double input) {
    constexpr double kPole = 0.99715;  // about 20 Hz at 44.1 kHz
    const double output = input - _previousInput + kPole * _previousOutput;
    _previousInput = input;
    _previousOutput = output;
    return output;
}

}  // namespace music
