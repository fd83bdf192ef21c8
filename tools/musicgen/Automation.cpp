#include "Automation.h"

#include <stdexcept>

namespace music {

Automation& Automation::add(double beat, double value) {
    if (!_points.empty() && beat < _points.back().first)
        throw std::invalid_argument("automation points must be in increasing beat order");
    _points.emplace_back(beat, value);
    return *this;
}

double Automation::at(double beat) const {
    if (_points.empty()) return 1.0;
    if (beat <= _points.front().first) return _points.front().second;
    if (beat >= _points.back().first) return _points.back().second;
    for (size_t i = 1; i < _points.size(); ++i) {
        const auto& [b1, v1] = _points[i];
        if (beat <= b1) {
            const auto& [b0, v0] = _points[i - 1];
            const double span = b1 - b0;
            return span > 0.0 ? v0 + (v1 - v0) * (beat - b0) / span : v1;
        }
    }
    return _points.back().second;
}

}  // namespace music
