#include "platform/Window.h"

#include "platform/MessageBox.h"
#include "platform/WindowGlLoader.h"
#include "platform/win32/LegacyContext.h"
#include "platform/win32/PixelFormat.h"
#include "platform/win32/Text.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace platform {

namespace {

constexpr int kIconResource = 115;

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* owner = reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (owner != nullptr) return owner->handleMessage(window, message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

bool Window::displayOffersMode(int width, int height) {
    DEVMODEW mode;
    ZeroMemory(&mode, sizeof mode);
    mode.dmSize = sizeof mode;
    for (DWORD i = 0; EnumDisplaySettingsW(nullptr, i, &mode); ++i) {
        if (static_cast<int>(mode.dmPelsWidth) == width && static_cast<int>(mode.dmPelsHeight) == height)
            return true;
    }
    return false;
}

bool Window::desktopMode(int* width, int* height) {
    DEVMODEW mode;
    ZeroMemory(&mode, sizeof mode);
    mode.dmSize = sizeof mode;
    if (!EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode) || mode.dmPelsWidth == 0 ||
        mode.dmPelsHeight == 0)
        return false;
    *width = static_cast<int>(mode.dmPelsWidth);
    *height = static_cast<int>(mode.dmPelsHeight);
    return true;
}

Window::CreateResult Window::create(const char* title, int width, int height, bool fullscreen,
                                    WindowHandlers handlers) {
    _handlers = std::move(handlers);
    const std::wstring name = win32::widen(title);
    HINSTANCE instance = GetModuleHandleW(nullptr);

    WNDCLASSEXW windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = &windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconResource));
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = nullptr;
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = name.c_str();
    RegisterClassExW(&windowClass);

    DWORD style = WS_OVERLAPPEDWINDOW;
    int outerWidth = width;
    int outerHeight = height;
    if (fullscreen) {
        DEVMODEW mode;
        ZeroMemory(&mode, sizeof mode);
        mode.dmSize = sizeof mode;
        mode.dmBitsPerPel = 32;
        mode.dmPelsWidth = static_cast<DWORD>(width);
        mode.dmPelsHeight = static_cast<DWORD>(height);
        mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
        // Windows gives the desktop its mode back when the process ends. (Restoring it
        // ourselves at exit makes Wine tear down X windows that are already gone.)
        if (ChangeDisplaySettingsW(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL)
            return CreateResult::FullscreenRefused;
        ShowCursor(FALSE);
        style = WS_POPUP;
    } else {
        // The chosen size is the client area's, where the frames are drawn: the frame
        // and title bar come on top of it.
        RECT outer = {0, 0, width, height};
        if (AdjustWindowRectEx(&outer, style, FALSE, 0)) {
            outerWidth = outer.right - outer.left;
            outerHeight = outer.bottom - outer.top;
        }
    }

    HWND window = CreateWindowExW(0, name.c_str(), name.c_str(), style, 0, 0, outerWidth, outerHeight,
                                  nullptr, nullptr, nullptr, this);
    rethrowPending();
    if (_pixelFormatFailed) return CreateResult::NoPixelFormat;
    if (window == nullptr) {
        std::fprintf(stderr, "CreateWindowExW failed (system error %lu)\n", GetLastError());
        return CreateResult::NoWindow;
    }
    return CreateResult::Created;
}

LRESULT Window::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            _window = window;
            // The class owns this device context: it is never released.
            _dc = GetDC(window);
            if (!win32::setPresentationPixelFormat(_dc)) {
                _pixelFormatFailed = true;
                SetWindowLongPtrW(window, GWLP_USERDATA,
                                  0);  // the destruction that follows is not the viewer's
                return -1;
            }
            try {
                if (_handlers.created) _handlers.created();
            } catch (...) {
                _pending = std::current_exception();
                SetWindowLongPtrW(window, GWLP_USERDATA, 0);
                return -1;
            }
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(window, &paint);
            _paintDc = paint.hdc;
            WindowEvent event;
            event.kind = WindowEvent::Paint;
            deliver(event);
            _paintDc = nullptr;
            EndPaint(window, &paint);
            // Invalid again at once: the next WM_PAINT comes as soon as the queue is empty.
            InvalidateRect(window, nullptr, FALSE);
            return 0;
        }
        case WM_SIZE: {
            // Minimised: nothing to draw into, nothing to follow.
            if (wParam == SIZE_MINIMIZED) return 0;
            WindowEvent event;
            event.kind = WindowEvent::Resized;
            deliver(event);
            return 0;
        }
        case WM_KEYDOWN: {
            WindowEvent event;
            event.kind = WindowEvent::KeyDown;
            event.key = static_cast<int>(wParam);
            deliver(event);
            return 0;
        }
        case WM_DESTROY: {
            WindowEvent event;
            event.kind = WindowEvent::Close;
            deliver(event);
            return 0;
        }
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

void Window::deliver(const WindowEvent& event) {
    if (!_handlers.message || _pending) return;
    try {
        _handlers.message(event);
    } catch (...) {
        _pending = std::current_exception();
    }
}

void Window::rethrowPending() {
    if (!_pending) return;
    std::exception_ptr pending = std::move(_pending);
    _pending = nullptr;
    std::rethrow_exception(pending);
}

bool Window::createCoreContext() {
    _legacyContext = wglCreateContext(_dc);
    if (_legacyContext != nullptr) wglMakeCurrent(_dc, _legacyContext);
    win32::initialiseGlewOnLegacyContext();

    PFNWGLCREATECONTEXTATTRIBSARBPROC createContextAttribs = win32::requireCreateContextAttribs();
    const int attributes[] = {WGL_CONTEXT_MAJOR_VERSION_ARB,
                              4,
                              WGL_CONTEXT_MINOR_VERSION_ARB,
                              3,
                              WGL_CONTEXT_FLAGS_ARB,
                              WGL_CONTEXT_FORWARD_COMPATIBLE_BIT_ARB,
                              WGL_CONTEXT_PROFILE_MASK_ARB,
                              WGL_CONTEXT_CORE_PROFILE_BIT_ARB,
                              0};
    _context = createContextAttribs(_dc, nullptr, attributes);
    if (_context == nullptr) std::fprintf(stderr, "GL 4.3 core context: system error %lu\n", GetLastError());
    return _context != nullptr;
}

bool Window::makeCurrent() {
    wglMakeCurrent(nullptr, nullptr);
    if (_legacyContext != nullptr) wglDeleteContext(_legacyContext);
    _legacyContext = nullptr;
    return wglMakeCurrent(_dc, _context) != FALSE;
}

void Window::setSwapInterval(int interval) {
    if (wglSwapIntervalEXT != nullptr) wglSwapIntervalEXT(interval);
}

void Window::show() {
    ShowWindow(_window, SW_SHOW);
}

bool Window::displayShowsMode(int width, int height) const {
    DEVMODEW mode;
    ZeroMemory(&mode, sizeof mode);
    mode.dmSize = sizeof mode;
    if (!EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode)) return false;
    return static_cast<int>(mode.dmPelsWidth) == width && static_cast<int>(mode.dmPelsHeight) == height;
}

void Window::swap() {
    SwapBuffers(_paintDc != nullptr ? _paintDc : _dc);
}

Window::Dispatched Window::dispatchMessage() {
    MSG message;
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) return Dispatched::Message;
    if (message.message == WM_QUIT) return Dispatched::Quit;
    TranslateMessage(&message);
    DispatchMessageW(&message);
    rethrowPending();
    return Dispatched::Message;
}

void Window::drawableSize(int* width, int* height) const {
    RECT client = {0, 0, 0, 0};
    GetClientRect(_window, &client);
    *width = client.right - client.left;
    *height = client.bottom - client.top;
}

}  // namespace platform
