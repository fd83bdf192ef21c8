#include "Limiter.h"

#include "Timing.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <stdexcept>

namespace music {

double limitInPlace(std::vector<float>& left, std::vector<float>& right, const LimiterSettings& settings) {
    if (left.size() != right.size()) throw std::invalid_argument("limiter needs equal channel lengths");
    if (settings.ceiling <= 0.0) throw std::invalid_argument("limiter ceiling must be positive");
    const size_t n = left.size();
    const size_t span = size_t(std::max(settings.lookaheadSamples, 1));
    const double recovery = 1.0 - std::exp(-1.0 / (std::max(settings.releaseSeconds, 0.001) * kSampleRate));

    // Gain each sample needs on its own.
    std::vector<double> needed(n, 1.0);
    for (size_t i = 0; i < n; ++i) {
        const double peak = std::max(std::abs(double(left[i])), std::abs(double(right[i])));
        if (peak > settings.ceiling) needed[i] = settings.ceiling / peak;
    }

    // Trailing minimum over the span (monotonic queue), then a slow recovery towards 1
    // that may only lower the gain further.
    std::vector<double> held(n, 1.0);
    std::deque<size_t> window;
    double recovering = 1.0;
    for (size_t i = 0; i < n; ++i) {
        while (!window.empty() && needed[window.back()] >= needed[i]) window.pop_back();
        window.push_back(i);
        if (window.front() + span <= i) window.pop_front();
        recovering = std::min(needed[window.front()], recovering + (1.0 - recovering) * recovery);
        held[i] = recovering;
    }

    // Moving average over the span, read so that the window ending at i + span - 1
    // (which contains only values <= needed[i]) sets the gain of sample i.
    double minimum = 1.0;
    double sum = 0.0;
    std::vector<double> gain(n, 1.0);
    for (size_t j = 0; j < n + span - 1; ++j) {
        sum += j < n ? held[j] : 1.0;
        if (j >= span) sum -= (j - span) < n ? held[j - span] : 1.0;
        if (j + 1 >= span) {
            const size_t i = j + 1 - span;
            if (i < n) gain[i] = sum / double(std::min(j + 1, span));
        }
    }
    for (size_t i = 0; i < n; ++i) {
        double g = std::min(gain[i], needed[i]);  // guards against rounding in the running sum
        minimum = std::min(minimum, g);
        left[i] = float(left[i] * g);
        right[i] = float(right[i] * g);
        const float ceiling = float(settings.ceiling);
        left[i] = std::clamp(left[i], -ceiling, ceiling);
        right[i] = std::clamp(right[i], -ceiling, ceiling);
    }
    return minimum;
}

}  // namespace music
