// The presentation window and its GL context, over Win32 and WGL.
//
// create() registers the window class "Vostrel", switches the display with
// ChangeDisplaySettingsW (CDS_FULLSCREEN) for fullscreen and creates the hidden
// window; its creation message takes the class's own device context, sets the
// presentation's pixel format and runs the creation handler. In windowed mode the
// client area is the requested size unless the system clamps it to the screen. The context is built in two steps: a
// legacy one from wglCreateContext (GLEW is initialised on it), then the 4.3 core,
// forward-compatible one from wglCreateContextAttribsARB.
//
// The window procedure hands size changes, paint requests (between BeginPaint and EndPaint, the
// window invalidated again afterwards so frames follow each other), key presses and
// the window's destruction to the message handler. An exception thrown by a handler
// does not cross the system's frames: it is kept and thrown again from create() or
// dispatchMessage().
#pragma once

#include "platform/WindowEvent.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <exception>

namespace platform {

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Nothing to start on Windows.
    static bool startVideo() { return true; }

    // True when the primary display lists width x height (EnumDisplaySettingsW).
    static bool displayOffersMode(int width, int height);
    // The primary display's current mode (ENUM_CURRENT_SETTINGS); false when it cannot be told.
    static bool desktopMode(int* width, int* height);

    // NoWindow: CreateWindowExW failed for another reason than the pixel format.
    enum class CreateResult { Created, NoPixelFormat, NoWindow, FullscreenRefused };

    CreateResult create(const char* title, int width, int height, bool fullscreen, WindowHandlers handlers);

    // The legacy context, GLEW on it, then the 4.3 core context (not yet current).
    // Without wglCreateContextAttribsARB shows "Couldn't get address for
    // wglCreateContextAttribsARB" and ends the process with status 1.
    bool createCoreContext();
    // Releases and deletes the legacy context and makes the core one current.
    bool makeCurrent();
    void setSwapInterval(int interval);
    // A windowed window has a sizing frame already.
    void allowResizing() {}
    void show();
    bool displayShowsMode(int width, int height) const;
    void swap();
    // PeekMessageW without waiting; WM_QUIT is returned, everything else translated
    // and dispatched to the window procedure.
    enum class Dispatched { Message, Quit };
    Dispatched dispatchMessage();

    void drawableSize(int* width, int* height) const;
    HWND handle() const { return _window; }

    // The window procedure's work for this window (public for the procedure only).
    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void deliver(const WindowEvent& event);
    void rethrowPending();

    HWND _window = nullptr;
    HDC _dc = nullptr;
    HDC _paintDc = nullptr;
    HGLRC _legacyContext = nullptr;
    HGLRC _context = nullptr;
    bool _pixelFormatFailed = false;
    WindowHandlers _handlers;
    std::exception_ptr _pending;
};

}  // namespace platform
