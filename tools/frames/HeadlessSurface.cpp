#include "HeadlessSurface.h"

#include <GL/glew.h>
#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstdio>

namespace {
bool g_srgb = false;
}

bool headlessSurfaceIsSrgb() { return g_srgb; }

bool makeHeadlessSurfaceCurrent(int width, int height, std::string* why, bool debugContext) {
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) return *why = "eglGetPlatformDisplayEXT is missing", false;
    EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr))
        return *why = "no surfaceless EGL display", false;
    if (!eglBindAPI(EGL_OPENGL_API)) return *why = "eglBindAPI(EGL_OPENGL_API) failed", false;

    const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                       EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8,
                                       EGL_DEPTH_SIZE, 24, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint found = 0;
    if (!eglChooseConfig(display, configAttributes, &config, 1, &found) || found < 1)
        return *why = "no EGL pbuffer configuration with 8-bit RGBA and depth", false;

    const EGLint contextAttributes[] = {EGL_CONTEXT_MAJOR_VERSION, 4, EGL_CONTEXT_MINOR_VERSION, 3,
                                        EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                                        EGL_CONTEXT_OPENGL_FORWARD_COMPATIBLE, EGL_TRUE,
                                        EGL_CONTEXT_OPENGL_DEBUG, debugContext ? EGL_TRUE : EGL_FALSE, EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
    if (context == EGL_NO_CONTEXT) return *why = "eglCreateContext for GL 4.3 core failed", false;

    const EGLint srgbSurface[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_GL_COLORSPACE_KHR,
                                  EGL_GL_COLORSPACE_SRGB_KHR, EGL_NONE};
    const EGLint plainSurface[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    EGLSurface surface = eglCreatePbufferSurface(display, config, srgbSurface);
    g_srgb = surface != EGL_NO_SURFACE;
    if (!g_srgb) {
        // The frames still render, but their colours are not the program's: say so.
        std::fprintf(stderr, "no sRGB pbuffer surface (EGL error 0x%04x); falling back to a plain one, "
                             "so colours differ from the program's\n", eglGetError());
        surface = eglCreatePbufferSurface(display, config, plainSurface);
    }
    if (surface == EGL_NO_SURFACE) return *why = "eglCreatePbufferSurface failed", false;
    if (!eglMakeCurrent(display, surface, surface, context)) return *why = "eglMakeCurrent failed", false;

    glewExperimental = GL_TRUE;
    GLenum result = glewInit();
    // Under EGL GLEW reports "no GLX display" although it loaded every entry point.
    if ((result != GLEW_OK && result != 4) || !GLEW_VERSION_4_3) return *why = "GL 4.3 is not available", false;
    while (glGetError() != GL_NO_ERROR) {
    }
    return true;
}
