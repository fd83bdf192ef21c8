// Play, pause, seek and loop the film by the music's bars.
//
// Contract: the music clock is the film's only time; the transport pauses and moves it
// and says so on the log, one line per action ("pause 12.345", "play 12.345",
// "seek 96.000", "loop start 24.000", "loop end 32.000", "loop clear", "loop 24.000"
// when the loop wraps, "end 171.234" when the music runs out, which pauses there).
// Every move of the clock also goes to the seek listener, so whatever depends on the
// film's past (the branches) can be brought to the new time before the next frame.
// Seeks by bars land on bar lines, clamped to the film; the loop runs from the start of
// the bar where it was started (or the film's start) to the end of the bar where it
// was ended.
#pragma once

#include "BarGrid.h"
#include "MusicClock.h"

#include <functional>
#include <optional>
#include <string>

class Transport {
public:
    using Log = std::function<void(const std::string&)>;
    using SeekListener = std::function<void(double seconds)>;

    Transport(MusicClock& clock, BarGrid grid, double lengthSeconds, Log log, SeekListener onSeek);

    void togglePause();
    // Moves `bars` bar lines from the current bar's start (negative: back).
    void stepBars(int bars);
    void seekTo(double seconds);
    void home() { seekTo(0.0); }
    void setLoopStart();
    void setLoopEnd();
    void clearLoop();
    // Once per frame before drawing: wraps the loop and stops at the end of the music.
    void tick();

    double now() { return _clock.seconds(); }
    bool paused() const { return _paused; }
    bool looping() const { return _loopEnd.has_value(); }
    double loopStart() const { return _loopStart.value_or(0.0); }
    double loopEnd() const { return _loopEnd.value_or(_length); }
    double length() const { return _length; }
    const BarGrid& grid() const { return _grid; }
    void setGrid(const BarGrid& grid) { _grid = grid; }

private:
    void say(const char* what, double seconds);
    void moveClock(double seconds);

    MusicClock& _clock;
    BarGrid _grid;
    double _length = 0.0;
    Log _log;
    SeekListener _onSeek;
    bool _paused = false;
    std::optional<double> _loopStart;
    std::optional<double> _loopEnd;
};
