// The presentation window and its GL context, over SDL.
//
// The window is created hidden with an sRGB-capable, double-buffered RGBA8 +
// depth framebuffer and no stencil. In fullscreen the display is switched to the
// requested size and the window has no border; otherwise the drawable area is
// exactly the requested size. The GL context is a 4.3 core, forward-compatible
// one. Events are read without waiting and reduced to what the presentation
// reacts to.
#pragma once

#include <SDL.h>

namespace platform {

struct WindowEvent {
    enum Kind { Quit, Close, KeyDown, Other };
    Kind kind = Other;
    int key = 0;  // SDL keycode for KeyDown; Escape is 27 as on every other system
    int modifiers = 0;  // SDL key modifiers (KMOD_SHIFT...) held with that key
};

constexpr int kEscapeKey = SDLK_ESCAPE;

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // True when the display offers exactly width x height, so fullscreen can switch to it.
    static bool displayOffersMode(int width, int height);

    enum class CreateResult { Created, NoPixelFormat, FullscreenRefused };

    // Requests the presentation's framebuffer format and creates the hidden window;
    // in fullscreen also selects the display mode it switches to when shown.
    CreateResult create(const char* title, int width, int height, bool fullscreen);

    // Creates the 4.3 core context (not yet current); false on failure.
    bool createCoreContext();
    bool makeCurrent();
    // Best effort: many servers (Xvfb) refuse to change the swap interval.
    void setSwapInterval(int interval);
    void show();
    // True when the window's display now runs at width x height (the fullscreen switch
    // happens when the window is first shown).
    bool displayShowsMode(int width, int height) const;
    void swap();
    // The next pending event without waiting; false when there is none.
    bool pollEvent(WindowEvent* event);

    void drawableSize(int* width, int* height) const;
    SDL_Window* handle() const { return _window; }

private:
    SDL_Window* _window = nullptr;
    SDL_GLContext _context = nullptr;
};

}  // namespace platform
