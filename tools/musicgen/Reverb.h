// Algorithmic stereo reverb: eight damped feedback combs in parallel followed by four
// series allpasses per side, the right side's delays slightly longer for width.
// Fully wet output.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

namespace music {

class Reverb {
public:
    // roomSize and damping in 0..1.
    Reverb(double roomSize, double damping);

    void process(double input, double& left, double& right);

private:
    struct Comb {
        std::vector<double> buffer;
        size_t position = 0;
        double store = 0.0;
        double process(double input, double feedback, double damping);
    };
    struct Allpass {
        std::vector<double> buffer;
        size_t position = 0;
        double process(double input);
    };
    struct Side {
        std::array<Comb, 8> combs;
        std::array<Allpass, 4> allpasses;
        double process(double input, double feedback, double damping);
    };

    Side _left;
    Side _right;
    double _feedback = 0.0;
    double _damping = 0.0;
};

}  // namespace music
