#include "Transport.h"

#include <algorithm>
#include <cstdio>

namespace {
// A position within a millisecond of the end counts as the end.
constexpr double kAtEnd = 1e-3;
}  // namespace

Transport::Transport(MusicClock& clock, BarGrid grid, double lengthSeconds, Log log, SeekListener onSeek)
    : _clock(clock), _grid(grid), _length(lengthSeconds), _log(std::move(log)), _onSeek(std::move(onSeek)) {}

void Transport::say(const char* what, double seconds) {
    char line[96];
    std::snprintf(line, sizeof line, "%s %.3f", what, seconds);
    _log(line);
}

void Transport::moveClock(double seconds) {
    _clock.seek(seconds);
    if (_onSeek) _onSeek(seconds);
}

void Transport::togglePause() {
    if (_paused) {
        // Playing on from the end starts the film again.
        if (_clock.seconds() >= _length - kAtEnd) moveClock(_loopStart.value_or(0.0));
        _paused = false;
        _clock.setPaused(false);
        say("play", _clock.seconds());
    } else {
        _paused = true;
        _clock.setPaused(true);
        say("pause", _clock.seconds());
    }
}

void Transport::seekTo(double seconds) {
    const double target = std::clamp(seconds, 0.0, _length);
    moveClock(target);
    say("seek", target);
}

void Transport::stepBars(int bars) {
    const int lastBar = _grid.barAt(std::max(0.0, _length - kAtEnd));
    const int bar = std::clamp(_grid.barAt(_clock.seconds()) + bars, 0, lastBar);
    seekTo(_grid.barStart(bar));
}

void Transport::setLoopStart() {
    _loopStart = _grid.barStart(_grid.barAt(_clock.seconds()));
    if (_loopEnd && *_loopEnd <= *_loopStart) _loopEnd = std::min(_length, *_loopStart + _grid.secondsPerBar());
    say("loop start", *_loopStart);
}

void Transport::setLoopEnd() {
    const int bar = _grid.barAt(_clock.seconds());
    _loopEnd = std::min(_length, _grid.barStart(bar + 1));
    if (_loopStart && *_loopStart >= *_loopEnd) _loopStart = _grid.barStart(bar);
    say("loop end", *_loopEnd);
}

void Transport::clearLoop() {
    _loopStart.reset();
    _loopEnd.reset();
    _log("loop clear");
}

void Transport::tick() {
    if (_paused) return;
    const double now = _clock.seconds();
    if (_loopEnd && now >= *_loopEnd) {
        moveClock(loopStart());
        say("loop", loopStart());
    } else if (now >= _length - kAtEnd) {
        _paused = true;
        _clock.setPaused(true);
        say("end", now);
    }
}
