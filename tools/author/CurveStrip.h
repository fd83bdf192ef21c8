// One track's curve as a strip of picture: the values over eight bars either side of
// the playhead, evaluated exactly as the film evaluates its tracks, with the keys as
// marks, faint bar lines (stronger every four bars), the playhead, and what a mode
// stands in with at the playhead, if anything. The track's name and its value at the
// playhead are written at the strip's top left.
//
// Contract: render() needs no GL; it gives an RGBA picture of the size asked for
// (straight alpha, a translucent dark ground), scaled to the values in view.
#pragma once

#include "BarGrid.h"
#include "Timeline.h"
#include "TextRenderer.h"

#include <optional>
#include <string>

class CurveStrip {
public:
    static constexpr int kBarsEitherSide = 8;

    struct View {
        std::string name;
        const synctrack::TimelineTrack* track = nullptr;  // null: no keys, the track reads 0
        BarGrid grid;
        double rowsPerSecond = 16.0;
        double seconds = 0.0;
        std::optional<double> standIn;
    };

    // Throws std::runtime_error when the font cannot be loaded.
    CurveStrip(const std::string& fontPath, int pixelHeight)
        : _text(fontPath, pixelHeight), _pixelHeight(pixelHeight) {}

    art::Image render(const View& view, int width, int height) const;

private:
    art::TextRenderer _text;
    int _pixelHeight = 12;
};
