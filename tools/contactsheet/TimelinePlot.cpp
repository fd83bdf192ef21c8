#include "TimelinePlot.h"

#include "Canvas.h"

extern "C" {
#include "sync/sync.h"
}

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace art {

namespace {
const int kWidth = 1600;
const int kLabelWidth = 200;
const int kHeader = 56;
const int kBand = 44;
const int kGap = 4;
const Rgb kBackground{24, 24, 28};
const Rgb kText{220, 220, 210};
const Rgb kCurve{255, 190, 80};

std::vector<double> sampleTrack(const synctrack::TimelineTrack& track, int columns, double rowsPerColumn) {
    std::vector<sync_key> keys;
    for (const synctrack::TimelineKey& k : track.keys) {
        keys.push_back(sync_key{k.row, k.value, k.type});
    }
    std::string name = track.name;
    const sync_track syncTrack{&name[0], keys.data(), static_cast<uint64_t>(keys.size())};
    std::vector<double> values(static_cast<size_t>(columns));
    for (int c = 0; c < columns; ++c) {
        values[static_cast<size_t>(c)] = sync_track_value(&syncTrack, c * rowsPerColumn);
    }
    return values;
}

std::string shortNumber(double v) {
    char buffer[32] = {};
    std::snprintf(buffer, sizeof buffer, "%.3g", v);
    return buffer;
}
}  // namespace

Image plotTimeline(const synctrack::Timeline& timeline, const std::vector<Section>& sections,
                   TextRenderer& font) {
    const int rowsPerBar = timeline.rowsPerBeat * timeline.beatsPerBar;
    int endRow = sections.empty() ? rowsPerBar : sections.back().endBar * rowsPerBar;
    for (const synctrack::TimelineTrack& t : timeline.tracks) {
        if (!t.keys.empty()) {
            endRow = std::max(endRow, t.keys.back().row);
        }
    }
    const int count = static_cast<int>(timeline.tracks.size());
    Image image(kWidth, kHeader + count * (kBand + kGap) + kGap, 3);
    fillRect(image, 0, 0, image.width, image.height, kBackground);
    const int plotWidth = kWidth - kLabelWidth - 10;
    const double rowsPerColumn = static_cast<double>(endRow) / plotWidth;
    const auto xOf = [&](double row) {
        return kLabelWidth + static_cast<int>(std::lround(row / rowsPerColumn));
    };

    // Section shading and names, bar lines through every band.
    for (size_t s = 0; s < sections.size(); ++s) {
        const int x0 = xOf(sections[s].firstBar * rowsPerBar), x1 = xOf(sections[s].endBar * rowsPerBar);
        const Rgb shade = (s % 2) ? Rgb{34, 36, 44} : Rgb{40, 40, 40};
        fillRect(image, x0, kHeader - 6, x1, image.height, shade);
        font.setPixelHeight(16);
        font.draw(image, x0 + 4, 22, sections[s].name, kText);
    }
    font.setPixelHeight(11);
    for (int bar = 0; bar * rowsPerBar <= endRow; ++bar) {
        const int x = xOf(bar * rowsPerBar);
        const bool phrase = bar % 4 == 0;
        const Rgb line = phrase ? Rgb{90, 90, 96} : Rgb{52, 52, 58};
        drawLine(image, x, kHeader - 6, x, image.height - 1, line);
        if (bar % 8 == 0) {
            font.draw(image, x + 2, kHeader - 12, std::to_string(bar), Rgb{160, 160, 150});
        }
    }
    for (const Section& s : sections) {
        const int x = xOf(s.firstBar * rowsPerBar);
        drawLine(image, x, 4, x, image.height - 1, Rgb{140, 120, 90});
    }

    for (int i = 0; i < count; ++i) {
        const synctrack::TimelineTrack& track = timeline.tracks[static_cast<size_t>(i)];
        const int top = kHeader + i * (kBand + kGap) + kGap;
        const std::vector<double> values = sampleTrack(track, plotWidth + 1, rowsPerColumn);
        double lo = *std::min_element(values.begin(), values.end());
        double hi = *std::max_element(values.begin(), values.end());
        font.setPixelHeight(14);
        font.draw(image, 8, top + 16, track.name, kText);
        font.setPixelHeight(11);
        font.draw(image, 8, top + 34, shortNumber(lo) + " .. " + shortNumber(hi), Rgb{150, 150, 140});
        drawLine(image, kLabelWidth, top + kBand, kWidth - 10, top + kBand, Rgb{70, 70, 76});
        if (hi - lo < 1e-9) {
            lo -= 1.0;
            hi += 1.0;
        }
        const auto yOf = [&](double v) {
            return top + kBand - 4 - static_cast<int>(std::lround((v - lo) / (hi - lo) * (kBand - 8)));
        };
        for (int c = 1; c <= plotWidth; ++c) {
            drawLine(image, kLabelWidth + c - 1, yOf(values[static_cast<size_t>(c - 1)]), kLabelWidth + c,
                     yOf(values[static_cast<size_t>(c)]), kCurve);
        }
    }
    return image;
}

}  // namespace art
