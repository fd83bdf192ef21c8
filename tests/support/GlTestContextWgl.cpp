// The test context on Windows: a hidden window with the program's pixel format, a
// legacy context to look up wglCreateContextAttribsARB with, then a 4.3 core,
// forward-compatible, debug context made current on the window. Its default
// framebuffer is never drawn to; tests render into FBOs as under EGL.
#include <GL/glew.h>
#include <GL/wglew.h>

#include "platform/win32/HiddenWindow.h"
#include "platform/win32/PixelFormat.h"

#include <string>

namespace hvtest {

bool createWglContext(std::string* why) {
    HWND window =
        platform::win32::createHiddenWindow(L"HalvaneTestGl", L"HalvaneTestGl", WS_OVERLAPPEDWINDOW, 64, nullptr);
    if (window == nullptr) {
        *why = "no window for the GL context (is there an X display for Wine?)";
        return false;
    }
    HDC dc = GetDC(window);
    if (!platform::win32::setPresentationPixelFormat(dc)) {
        *why = "SetPixelFormat failed";
        return false;
    }
    HGLRC legacy = wglCreateContext(dc);
    if (legacy == nullptr || !wglMakeCurrent(dc, legacy)) {
        *why = "no legacy WGL context";
        return false;
    }
    auto createContextAttribs = reinterpret_cast<PFNWGLCREATECONTEXTATTRIBSARBPROC>(
        reinterpret_cast<void*>(wglGetProcAddress("wglCreateContextAttribsARB")));
    if (createContextAttribs == nullptr) {
        *why = "wglCreateContextAttribsARB is missing";
        return false;
    }
    const int attributes[] = {WGL_CONTEXT_MAJOR_VERSION_ARB,
                              4,
                              WGL_CONTEXT_MINOR_VERSION_ARB,
                              3,
                              WGL_CONTEXT_FLAGS_ARB,
                              WGL_CONTEXT_FORWARD_COMPATIBLE_BIT_ARB | WGL_CONTEXT_DEBUG_BIT_ARB,
                              WGL_CONTEXT_PROFILE_MASK_ARB,
                              WGL_CONTEXT_CORE_PROFILE_BIT_ARB,
                              0};
    HGLRC context = createContextAttribs(dc, nullptr, attributes);
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(legacy);
    if (context == nullptr || !wglMakeCurrent(dc, context)) {
        *why = "no WGL 4.3 core context";
        return false;
    }
    glewExperimental = GL_TRUE;
    const GLenum result = glewInit();
    if (result != GLEW_OK) {
        *why = std::string("glewInit failed: ") + reinterpret_cast<const char*>(glewGetErrorString(result));
        return false;
    }
    if (!GLEW_VERSION_4_3) {
        *why = "GL 4.3 entry points are missing";
        return false;
    }
    while (glGetError() != GL_NO_ERROR) {
    }
    return true;
}

}  // namespace hvtest
