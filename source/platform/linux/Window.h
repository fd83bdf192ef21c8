// The presentation window and its GL context, over SDL.
//
// The window is created hidden with an sRGB-capable, double-buffered RGBA8 +
// depth framebuffer and no stencil. In fullscreen the display is switched to the
// requested size and the window has no border; otherwise the drawable area is
// the requested size unless the window manager or the screen makes it smaller. The GL context is a 4.3 core, forward-compatible
// one. Events are read without waiting and reduced to what the presentation
// reacts to. The Windows build has its own window over Win32 and WGL (win32/Window.h).
#pragma once

#include "platform/WindowEvent.h"

#include <SDL.h>

namespace platform {

static_assert(kEscapeKey == SDLK_ESCAPE, "SDL's Escape keycode");

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Starts SDL's video; false (with the reason on standard error) when it cannot.
    static bool startVideo();

    // True when the display offers exactly width x height and (on X) the screen can be
    // that size, so fullscreen can switch to it.
    static bool displayOffersMode(int width, int height);
    // The desktop's current mode (display 0); false when it cannot be told.
    static bool desktopMode(int* width, int* height);

    // A window SDL cannot make is one without the GL framebuffer asked for (NoPixelFormat);
    // NoWindow is the Windows window's own failure, never given here.
    enum class CreateResult { Created, NoPixelFormat, NoWindow, FullscreenRefused };

    // Requests the presentation's framebuffer format and creates the hidden window;
    // in fullscreen also selects the display mode it switches to when shown and hides
    // the mouse cursor. Then runs handlers.created; handlers.message gets the events.
    CreateResult create(const char* title, int width, int height, bool fullscreen, WindowHandlers handlers = {});

    // Creates the 4.3 core context (not yet current); false on failure.
    bool createCoreContext();
    bool makeCurrent();
    // Best effort: many servers (Xvfb) refuse to change the swap interval.
    void setSwapInterval(int interval);
    // Lets the viewer resize a windowed window (its owner then follows Resized events).
    void allowResizing();
    void show();
    // True when the window's display now runs at width x height (the fullscreen switch
    // happens when the window is first shown).
    bool displayShowsMode(int width, int height) const;
    void swap();
    // The next pending event without waiting; false when there is none.
    bool pollEvent(WindowEvent* event);
    // Hands the next pending event to the message handler, or a Paint when none is
    // pending; a quit request is returned instead.
    enum class Dispatched { Message, Quit };
    Dispatched dispatchMessage();

    void drawableSize(int* width, int* height) const;
    SDL_Window* handle() const { return _window; }

private:
    SDL_Window* _window = nullptr;
    SDL_GLContext _context = nullptr;
    WindowHandlers _handlers;
};

}  // namespace platform

