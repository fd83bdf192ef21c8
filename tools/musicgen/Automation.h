// A piecewise-linear curve over beats: (beat, value) points, held flat before the
// first and after the last point. Used for filter sweeps, riser levels and fades.
#pragma once

#include <utility>
#include <vector>

namespace music {

class Automation {
public:
    Automation() = default;
    explicit Automation(double constant) { _points.emplace_back(0.0, constant); }

    // Points must be added in increasing beat order.
    Automation& add(double beat, double value);
    double at(double beat) const;

private:
    std::vector<std::pair<double, double>> _points;
};

}  // namespace music
