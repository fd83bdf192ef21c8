#include "platform/win32/GlProbe.h"

#include "platform/MessageBox.h"
#include "platform/win32/HiddenWindow.h"
#include "platform/win32/LegacyContext.h"
#include "platform/win32/PixelFormat.h"

#include <cstdlib>
#include <string>

namespace platform::win32 {

int probeMaxSamples(HWND dialog) {
    HWND window = createHiddenWindow(L"HalvaneProbe", L"", WS_POPUP, 16, dialog);
    HDC dc = GetDC(window);
    if (window == nullptr || !setPresentationPixelFormat(dc)) {
        showMessageBox("Couldn't set pixel format.");
        std::exit(1);
    }

    HGLRC mock = wglCreateContext(dc);
    if (mock == nullptr)
        showMessageBox("Failed to create mock context.");
    else if (!wglMakeCurrent(dc, mock))
        showMessageBox("Failed to make mock context current.");

    if (!initialiseGlewOnLegacyContext()) {
        showMessageBox("GLEW failed to initialize.");
        std::exit(1);
    }
    PFNWGLCREATECONTEXTATTRIBSARBPROC createContextAttribs = requireCreateContextAttribs();
    const int attributes[] = {WGL_CONTEXT_MAJOR_VERSION_ARB,
                              3,
                              WGL_CONTEXT_MINOR_VERSION_ARB,
                              3,
                              WGL_CONTEXT_FLAGS_ARB,
                              WGL_CONTEXT_DEBUG_BIT_ARB | WGL_CONTEXT_FORWARD_COMPATIBLE_BIT_ARB,
                              0};
    HGLRC probe = createContextAttribs(dc, nullptr, attributes);
    if (probe == nullptr) {
        const DWORD error = GetLastError();
        showMessageBox("Couldn't create GL 3.3 context.");
        showMessageBox(std::to_string(error));
        std::exit(1);
    }

    (void)glGetString(GL_VENDOR);
    wglMakeCurrent(nullptr, nullptr);
    if (mock != nullptr) wglDeleteContext(mock);
    if (!wglMakeCurrent(dc, probe)) showMessageBox("wglMakeCurrent failed for GL 3.3 context.");

    GLint maxSamples = 0;
    glGetIntegerv(GL_MAX_SAMPLES, &maxSamples);
    while (glGetError() != GL_NO_ERROR) {
    }

    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(probe);
    ReleaseDC(window, dc);
    DestroyWindow(window);
    return maxSamples;
}

}  // namespace platform::win32
