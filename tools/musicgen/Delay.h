// Stereo ping-pong echo: a mono send bounces left, right, left..., each repeat a little
// darker and quieter. Fully wet output; the mixer adds it to the dry signal.
#pragma once

#include "Filter.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace music {

class PingPongDelay {
public:
    PingPongDelay(int delaySamples, double feedback, double dampingHz);

    // Returns the wet left and right samples for one input sample.
    void process(double input, double& left, double& right);

private:
    std::vector<double> _left;
    std::vector<double> _right;
    size_t _position = 0;
    double _feedback = 0.0;
    StateVariableFilter _dampLeft;
    StateVariableFilter _dampRight;
};

}  // namespace music
