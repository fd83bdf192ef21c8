#include "platform/linux/Window.h"

#include "platform/ExitGuard.h"
#include "platform/linux/WindowIcon.h"
#include "platform/linux/X11DisplayModes.h"
#include "platform/WindowGlLoader.h"

#include <SDL_syswm.h>

#include <cstdio>
#include <cstring>
#include <utility>

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xlib.h>
#endif

namespace platform {

namespace {
// SDL stores the title only as UTF8_STRING; older X tools (xdotool among them) find
// windows by a plain STRING WM_NAME. An ASCII title reads the same in both.
void storePlainWindowName(SDL_Window* window, const char* title) {
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11)
        XStoreName(info.info.x11.display, info.info.x11.window, title);
#else
    (void)window;
    (void)title;
#endif
}
}  // namespace

bool Window::startVideo() {
    if (SDL_Init(SDL_INIT_VIDEO) == 0) return true;
    std::fprintf(stderr, "Halvane could not start SDL video: %s\n", SDL_GetError());
    return false;
}

bool Window::displayOffersMode(int width, int height) {
    bool listed = false;
    int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count && !listed; ++i) {
        SDL_DisplayMode mode{};
        listed = SDL_GetDisplayMode(0, i, &mode) == 0 && mode.w == width && mode.h == height;
    }
    // The switch itself comes only when the window is shown, after loading: a listed mode
    // the X screen cannot take is found here, before anything loads.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (listed && driver != nullptr && std::strcmp(driver, "x11") == 0)
        return X11DisplayModes::screenCanHold(width, height);
    return listed;
}

bool Window::desktopMode(int* width, int* height) {
    SDL_DisplayMode mode{};
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0 || mode.w <= 0 || mode.h <= 0) return false;
    *width = mode.w;
    *height = mode.h;
    return true;
}

Window::CreateResult Window::create(const char* title, int width, int height, bool fullscreen,
                                    WindowHandlers handlers) {
    requestWindowPixelFormat();
    SDL_GL_SetAttribute(SDL_GL_FRAMEBUFFER_SRGB_CAPABLE, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 4);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, SDL_GL_CONTEXT_FORWARD_COMPATIBLE_FLAG);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);

    // The X server keeps a switched mode after the process ends; the desktop's own is put back on exit.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (fullscreen && driver != nullptr && std::strcmp(driver, "x11") == 0) keepDesktopModeForExit();

    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (fullscreen) flags |= SDL_WINDOW_FULLSCREEN | SDL_WINDOW_BORDERLESS;
    _window = SDL_CreateWindow(title, 0, 0, width, height, flags);
    if (_window == nullptr) {
        // sRGB output is a nicety some X servers lack; the film still runs without it.
        SDL_GL_SetAttribute(SDL_GL_FRAMEBUFFER_SRGB_CAPABLE, 0);
        _window = SDL_CreateWindow(title, 0, 0, width, height, flags);
    }
    if (_window == nullptr) {
        std::fprintf(stderr, "No window with the requested GL framebuffer: %s\n", SDL_GetError());
        return CreateResult::NoPixelFormat;
    }
    storePlainWindowName(_window, title);
    setWindowIcon(_window);
    if (fullscreen) {
        SDL_DisplayMode mode{};
        mode.w = width;
        mode.h = height;
        SDL_DisplayMode closest{};
        if (SDL_GetClosestDisplayMode(0, &mode, &closest) == nullptr || closest.w != width ||
            closest.h != height || SDL_SetWindowDisplayMode(_window, &closest) != 0)
            return CreateResult::FullscreenRefused;
        SDL_ShowCursor(SDL_DISABLE);
    }
    _handlers = std::move(handlers);
    if (_handlers.created) _handlers.created();
    return CreateResult::Created;
}

bool Window::createCoreContext() {
    _context = SDL_GL_CreateContext(_window);
    if (_context == nullptr) std::fprintf(stderr, "GL 4.3 core context: %s\n", SDL_GetError());
    return _context != nullptr;
}

bool Window::makeCurrent() {
    return SDL_GL_MakeCurrent(_window, _context) == 0;
}

void Window::setSwapInterval(int interval) {
    SDL_GL_SetSwapInterval(interval);
}

void Window::allowResizing() {
    if ((SDL_GetWindowFlags(_window) & SDL_WINDOW_FULLSCREEN) == 0) SDL_SetWindowResizable(_window, SDL_TRUE);
}

void Window::show() {
    SDL_ShowWindow(_window);
}

bool Window::displayShowsMode(int width, int height) const {
    SDL_DisplayMode current{};
    const int display = SDL_GetWindowDisplayIndex(_window);
    if (SDL_GetCurrentDisplayMode(display < 0 ? 0 : display, &current) != 0) return false;
    return current.w == width && current.h == height;
}

void Window::swap() {
    SDL_GL_SwapWindow(_window);
}

bool Window::pollEvent(WindowEvent* event) {
    SDL_Event e{};
    if (SDL_PollEvent(&e) == 0) return false;
    event->kind = WindowEvent::Other;
    event->key = 0;
    event->modifiers = 0;
    if (e.type == SDL_QUIT) {
        event->kind = WindowEvent::Quit;
    } else if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE) {
        event->kind = WindowEvent::Close;
    } else if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        event->kind = WindowEvent::Resized;
    } else if (e.type == SDL_KEYDOWN) {
        event->kind = WindowEvent::KeyDown;
        event->key = e.key.keysym.sym;
        event->modifiers = e.key.keysym.mod;
    }
    return true;
}

Window::Dispatched Window::dispatchMessage() {
    WindowEvent event;
    // Nothing pending: the window is due for its next frame.
    if (!pollEvent(&event)) event.kind = WindowEvent::Paint;
    if (event.kind == WindowEvent::Quit) return Dispatched::Quit;
    if (_handlers.message) _handlers.message(event);
    return Dispatched::Message;
}

void Window::drawableSize(int* width, int* height) const {
    SDL_GL_GetDrawableSize(_window, width, height);
}

}  // namespace platform
