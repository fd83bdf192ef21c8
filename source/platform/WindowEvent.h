// What the presentation window tells the application, on every platform.
//
// The window hands each message to the application's handler as it arrives (on
// Windows from the window procedure): a paint request, a key, the window closing.
// Resized comes when the drawable's size may have changed (a window manager, the
// viewer, a clamp to the screen); drawableSize() tells the new one. A Paint comes whenever the message queue is empty, because the window asks for
// its next frame as soon as it has drawn one. The creation handler runs once the
// window exists and before create() returns, hidden (on Windows inside the
// window's creation message); it builds the context and loads everything.
#pragma once

#include <functional>

namespace platform {

struct WindowEvent {
    enum Kind { Quit, Close, KeyDown, Paint, Resized, Other };
    Kind kind = Other;
    int key = 0;        // virtual key for KeyDown; Escape is 27 on every system
    int modifiers = 0;  // the platform's key modifiers held with that key (SDL: KMOD_SHIFT...)
};

constexpr int kEscapeKey = 27;

struct WindowHandlers {
    std::function<void()> created;
    std::function<void(const WindowEvent&)> message;
};

}  // namespace platform
