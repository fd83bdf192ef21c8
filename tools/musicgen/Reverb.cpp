#include "Reverb.h"

#include <algorithm>

namespace music {
namespace {

// Mutually prime-ish delay lengths at 44.1 kHz so the echoes do not line up.
constexpr std::array<int, 8> kCombLengths{1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
constexpr std::array<int, 4> kAllpassLengths{556, 441, 341, 225};
constexpr int kStereoSpread = 23;
constexpr double kInputGain = 0.015;

}  // namespace

double Reverb::Comb::process(double input, double feedback, double damping) {
    const double output = buffer[position];
    store = output * (1.0 - damping) + store * damping;
    buffer[position] = input + store * feedback;
    position = (position + 1) % buffer.size();
    return output;
}

double Reverb::Allpass::process(double input) {
    const double delayed = buffer[position];
    buffer[position] = input + delayed * 0.5;
    position = (position + 1) % buffer.size();
    return delayed - input;
}

double Reverb::Side::process(double input, double feedback, double damping) {
    double sum = 0.0;
    for (Comb& comb : combs) sum += comb.process(input, feedback, damping);
    for (Allpass& allpass : allpasses) sum = allpass.process(sum);
    return sum;
}

Reverb::Reverb(double roomSize, double damping)
    : _feedback(0.7 + 0.28 * std::clamp(roomSize, 0.0, 1.0)), _damping(0.4 * std::clamp(damping, 0.0, 1.0)) {
    for (size_t i = 0; i < kCombLengths.size(); ++i) {
        _left.combs[i].buffer.assign(size_t(kCombLengths[i]), 0.0);
        _right.combs[i].buffer.assign(size_t(kCombLengths[i] + kStereoSpread), 0.0);
    }
    for (size_t i = 0; i < kAllpassLengths.size(); ++i) {
        _left.allpasses[i].buffer.assign(size_t(kAllpassLengths[i]), 0.0);
        _right.allpasses[i].buffer.assign(size_t(kAllpassLengths[i] + kStereoSpread), 0.0);
    }
}

void Reverb::process(double input, double& left, double& right) {
    const double scaled = input * kInputGain;
    left = _left.process(scaled, _feedback, _damping);
    right = _right.process(scaled, _feedback, _damping);
}

}  // namespace music
