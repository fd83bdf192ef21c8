// ADSR envelope without clicks.
//
// The attack ramps linearly from wherever the level is (so a retrigger never jumps),
// decay and release approach their targets exponentially, and release always starts
// from the current level. Attack and release are at least two milliseconds, which
// bounds the change between two samples and so the click at note on and off.
#pragma once

namespace music {

struct AdsrShape {
    double attackSeconds = 0.005;
    double decaySeconds = 0.1;
    double sustainLevel = 0.7;
    double releaseSeconds = 0.05;
};

class Adsr {
public:
    explicit Adsr(const AdsrShape& shape);

    void noteOn();
    void noteOff();
    double next();
    double level() const { return _level; }
    bool finished() const { return _stage == Stage::Idle; }

private:
    enum class Stage { Idle, Attack, Decay, Sustain, Release };

    double _attackStep = 0.0;
    double _decayCoefficient = 0.0;
    double _sustain = 0.0;
    double _releaseCoefficient = 0.0;
    double _level = 0.0;
    Stage _stage = Stage::Idle;
};

}  // namespace music
