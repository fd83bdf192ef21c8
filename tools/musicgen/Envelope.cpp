#include "Envelope.h"

#include "Timing.h"

#include <algorithm>
#include <cmath>

namespace music {
namespace {

constexpr double kMinimumRampSeconds = 0.002;
// Release aims slightly below zero so it reaches silence in finite time.
constexpr double kReleaseUndershoot = 0.02;

}  // namespace

Adsr::Adsr(const AdsrShape& shape) {
    const double attack = std::max(shape.attackSeconds, kMinimumRampSeconds);
    const double decay = std::max(shape.decaySeconds, kMinimumRampSeconds);
    const double release = std::max(shape.releaseSeconds, kMinimumRampSeconds);
    _attackStep = 1.0 / (attack * kSampleRate);
    _decayCoefficient = std::exp(-4.0 / (decay * kSampleRate));
    _sustain = std::clamp(shape.sustainLevel, 0.0, 1.0);
    const double timeConstants = std::log((1.0 + kReleaseUndershoot) / kReleaseUndershoot);
    _releaseCoefficient = std::exp(-timeConstants / (release * kSampleRate));
}

void Adsr::noteOn() {
    _stage = Stage::Attack;
}

void Adsr::noteOff() {
    if (_stage != Stage::Idle) _stage = Stage::Release;
}

double Adsr::next() {
    switch (_stage) {
        case Stage::Idle:
            _level = 0.0;
            break;
        case Stage::Attack:
            _level += _attackStep;
            if (_level >= 1.0) {
                _level = 1.0;
                _stage = Stage::Decay;
            }
            break;
        case Stage::Decay:
            _level = _sustain + (_level - _sustain) * _decayCoefficient;
            if (std::abs(_level - _sustain) < 1e-5) _stage = Stage::Sustain;
            break;
        case Stage::Sustain:
            _level = _sustain;
            break;
        case Stage::Release:
            _level = -kReleaseUndershoot + (_level + kReleaseUndershoot) * _releaseCoefficient;
            if (_level <= 0.0) {
                _level = 0.0;
                _stage = Stage::Idle;
            }
            break;
    }
    return _level;
}

}  // namespace music
