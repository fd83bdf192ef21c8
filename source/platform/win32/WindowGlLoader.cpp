#include "platform/WindowGlLoader.h"

#include "platform/MessageBox.h"
#include "platform/win32/LegacyContext.h"

#include <cstdlib>

namespace platform {

namespace {
bool legacyGlewLoaded = false;
}  // namespace

namespace win32 {

bool initialiseGlewOnLegacyContext() {
    glewExperimental = GL_TRUE;
    legacyGlewLoaded = glewInit() == GLEW_OK;
    return legacyGlewLoaded;
}

PFNWGLCREATECONTEXTATTRIBSARBPROC requireCreateContextAttribs() {
    // Through void*: PROC and the real signature are unrelated function types.
    auto createContextAttribs = reinterpret_cast<PFNWGLCREATECONTEXTATTRIBSARBPROC>(
        reinterpret_cast<void*>(wglGetProcAddress("wglCreateContextAttribsARB")));
    if (createContextAttribs == nullptr) {
        showMessageBox("Couldn't get address for wglCreateContextAttribsARB");
        std::exit(1);
    }
    return createContextAttribs;
}

}  // namespace win32

bool initialiseGlew(int minimumMajor, int minimumMinor) {
    // Entry points are loaded again on the core context that will use them: a driver
    // may hand out different ones per context.
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK || !legacyGlewLoaded) return false;
    GLint major = 0, minor = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    return major > minimumMajor || (major == minimumMajor && minor >= minimumMinor);
}

}  // namespace platform
