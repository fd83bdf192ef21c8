// The music's bar grid in film seconds, from the timeline's rows per beat and beats per
// bar at the sync rows per second (8 rows a beat, 4 beats a bar, 16 rows a second:
// 120 BPM in 4/4, one bar = 2 s). Bars and beats count from 0, as BAR:BEAT in the timeline.
#pragma once

#include <cmath>

struct BarGrid {
    double secondsPerBeat = 0.5;
    int beatsPerBar = 4;

    static BarGrid fromRows(int rowsPerBeat, int beatsPerBar, double rowsPerSecond) {
        BarGrid grid;
        grid.secondsPerBeat = rowsPerBeat / rowsPerSecond;
        grid.beatsPerBar = beatsPerBar;
        return grid;
    }

    double secondsPerBar() const { return secondsPerBeat * beatsPerBar; }
    // A time a hair short of a bar line (a frame-rounded position) still counts as on it.
    int barAt(double seconds) const { return static_cast<int>(std::floor(seconds / secondsPerBar() + 1e-6)); }
    double barStart(int bar) const { return bar * secondsPerBar(); }
    int beatAt(double seconds) const {
        const int beat = static_cast<int>(std::floor((seconds - barStart(barAt(seconds))) / secondsPerBeat + 1e-6));
        return beat < 0 ? 0 : (beat >= beatsPerBar ? beatsPerBar - 1 : beat);
    }
};
