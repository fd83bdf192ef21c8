#include "CurveStrip.h"

extern "C" {
#include "sync/sync.h"
}

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

using Colour = std::array<uint8_t, 4>;
const Colour kBar{120, 120, 120, 200};
const Colour kFourBars{170, 170, 170, 220};
const Colour kCurve{130, 190, 255, 255};
const Colour kKey{255, 220, 120, 255};
const Colour kPlayhead{255, 110, 100, 255};
const Colour kStandIn{150, 230, 150, 255};

void put(art::Image& image, int x, int y, const Colour& colour) {
    if (x < 0 || y < 0 || x >= image.width || y >= image.height) return;
    std::copy(colour.begin(), colour.end(), image.at(x, y));
}

void column(art::Image& image, int x, int from, int to, const Colour& colour) {
    for (int y = std::min(from, to); y <= std::max(from, to); ++y) put(image, x, y, colour);
}

void square(art::Image& image, int x, int y, int half, const Colour& colour) {
    for (int dy = -half; dy <= half; ++dy)
        for (int dx = -half; dx <= half; ++dx) put(image, x + dx, y + dy, colour);
}

}  // namespace

art::Image CurveStrip::render(const View& view, int width, int height) const {
    art::Image image(std::max(width, 1), std::max(height, 1), 4);
    for (size_t i = 0; i < image.pixels.size(); i += 4) image.pixels[i + 3] = 190;

    const double span = kBarsEitherSide * view.grid.secondsPerBar();
    const double from = view.seconds - span;
    const double perPixel = 2.0 * span / image.width;
    std::vector<sync_key> keys;
    if (view.track != nullptr)
        for (const synctrack::TimelineKey& key : view.track->keys)
            keys.push_back(sync_key{key.row, key.value, static_cast<key_type>(key.type)});
    sync_track track{nullptr, keys.data(), keys.size()};
    const auto valueAt = [&](double seconds) {
        return sync_track_value(&track, seconds * view.rowsPerSecond);
    };

    std::vector<double> samples(static_cast<size_t>(image.width));
    for (int x = 0; x < image.width; ++x)
        samples[static_cast<size_t>(x)] = valueAt(from + (x + 0.5) * perPixel);
    double low = *std::min_element(samples.begin(), samples.end());
    double high = *std::max_element(samples.begin(), samples.end());
    if (view.standIn) {
        low = std::min(low, *view.standIn);
        high = std::max(high, *view.standIn);
    }
    if (high - low < 1e-6) {
        low -= 0.5;
        high += 0.5;
    }
    const int top = _pixelHeight + _pixelHeight / 2;
    const int bottom = image.height - 4;
    const auto yOf = [&](double value) {
        if (bottom <= top) return bottom;
        return static_cast<int>(std::lround(bottom - (value - low) / (high - low) * (bottom - top)));
    };
    const auto xOf = [&](double seconds) {
        return static_cast<int>(std::floor((seconds - from) / perPixel));
    };

    const int firstBar = view.grid.barAt(std::max(0.0, from));
    for (int bar = firstBar; view.grid.barStart(bar) <= from + 2.0 * span; ++bar)
        column(image, xOf(view.grid.barStart(bar)), top, bottom, bar % 4 == 0 ? kFourBars : kBar);
    for (int x = 0; x < image.width; ++x) {
        const int y = yOf(samples[static_cast<size_t>(x)]);
        column(image, x, x > 0 ? yOf(samples[static_cast<size_t>(x - 1)]) : y, y, kCurve);
    }
    for (const sync_key& key : keys) {
        const double seconds = key.row / view.rowsPerSecond;
        if (seconds >= from && seconds <= from + 2.0 * span)
            square(image, xOf(seconds), yOf(key.value), 2, kKey);
    }
    const int playhead = xOf(view.seconds);
    column(image, playhead, top, bottom, kPlayhead);
    if (view.standIn) square(image, playhead, yOf(*view.standIn), 3, kStandIn);

    char label[160];
    std::snprintf(label, sizeof label, "%s  %.4f%s", view.name.c_str(), valueAt(view.seconds),
                  view.track == nullptr ? "  (no keys)" : "");
    _text.draw(image, _pixelHeight / 2, _pixelHeight, label, {235, 235, 235});
    return image;
}
