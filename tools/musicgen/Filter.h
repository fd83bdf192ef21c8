// State-variable filter (trapezoidal integration) with low, band and high outputs,
// plus a one-pole DC blocker.
//
// The trapezoidal form stays stable while the cutoff is modulated every few samples,
// which the pad and bass sweeps rely on. Cutoff is clamped to a safe range.
#pragma once

namespace music {

struct FilterOutputs {
    double low = 0.0;
    double band = 0.0;
    double high = 0.0;
};

class StateVariableFilter {
public:
    StateVariableFilter(double cutoffHz = 1000.0, double resonanceQ = 0.707);

    void setCutoff(double cutoffHz, double resonanceQ);
    FilterOutputs process(double input);
    double lowPass(double input) { return process(input).low; }
    double highPass(double input) { return process(input).high; }
    double bandPass(double input) { return process(input).band; }

private:
    double _k = 1.414;
    double _a1 = 0.0;
    double _a2 = 0.0;
    double _a3 = 0.0;
    double _ic1 = 0.0;
    double _ic2 = 0.0;
};

// Removes DC and subsonic rumble (first-order high-pass near 20 Hz).
class DcBlocker {
public:
    double process(double input);

private:
    double _previousInput = 0.0;
    double _previousOutput = 0.0;
};

}  // namespace music
