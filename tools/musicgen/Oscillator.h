// Band-limited oscillators (PolyBLEP saw and pulse) and a plain sine.
//
// Each takes its frequency per sample so pitch can glide or wobble; the phase is kept
// in [0, 1). PolyBLEP smooths the jumps of the naive waveforms to keep aliasing low.
#pragma once

namespace music {

class SawOscillator {
public:
    explicit SawOscillator(double phase = 0.0) : _phase(phase) {}
    double next(double hz);

private:
    double _phase = 0.0;
};

class PulseOscillator {
public:
    explicit PulseOscillator(double phase = 0.0, double width = 0.5) : _phase(phase), _width(width) {}
    double next(double hz);

private:
    double _phase = 0.0;
    double _width = 0.5;
};

class SineOscillator {
public:
    explicit SineOscillator(double phase = 0.0) : _phase(phase) {}
    double next(double hz);
    double phase() const { return _phase; }

private:
    double _phase = 0.0;
};

}  // namespace music
