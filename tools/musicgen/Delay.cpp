#include "Delay.h"

#include <algorithm>
#include <stdexcept>

namespace music {

PingPongDelay::PingPongDelay(int delaySamples, double feedback, double dampingHz)
    : _left(size_t(std::max(delaySamples, 1)), 0.0),
      _right(size_t(std::max(delaySamples, 1)), 0.0),
      _feedback(std::clamp(feedback, 0.0, 0.95)),
      _dampLeft(dampingHz, 0.7),
      _dampRight(dampingHz, 0.7) {
    if (delaySamples < 1) throw std::invalid_argument("delay must be at least one sample");
}

void PingPongDelay::process(double input, double& left, double& right) {
    const double fromLeft = _left[_position];
    const double fromRight = _right[_position];
    left = fromLeft;
    right = fromRight;
    _left[_position] = input + _feedback * _dampLeft.lowPass(fromRight);
    _right[_position] = _feedback * _dampRight.lowPass(fromLeft);
    _position = (_position + 1) % _left.size();
}

}  // namespace music
