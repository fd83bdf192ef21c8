// The X screen's display modes, taken once and put back later.
//
// A fullscreen switch changes the mode of an X output through RandR, and nothing in
// the X server undoes it when the process ends. take() opens a connection of its own
// (so it can be used from any thread while the window's connection is busy) and records
// the screen size and every CRTC's mode, position, rotation and outputs; putBack()
// re-applies what differs now. Without an X display (or without RandR 1.2) take() records
// nothing and putBack() does nothing.
#pragma once

#include <memory>

namespace platform {

class X11DisplayModes {
public:
    X11DisplayModes();
    ~X11DisplayModes();
    X11DisplayModes(const X11DisplayModes&) = delete;
    X11DisplayModes& operator=(const X11DisplayModes&) = delete;

    // Whether the X screen can be width x height at all (RandR's screen size range): a
    // mode the output lists but the screen cannot hold is refused when it is set.
    // True when there is no X display with RandR to ask.
    static bool screenCanHold(int width, int height);

    // False when there is no X display with RandR 1.2 to record.
    bool take();
    // True when the recorded state is in place afterwards (also when nothing had changed).
    bool putBack();

private:
    struct State;
    std::unique_ptr<State> _state;
};

}  // namespace platform
