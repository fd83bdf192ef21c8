#include "platform/WindowGlLoader.h"

#include <GL/glew.h>
#include <SDL.h>

namespace platform {

bool initialiseGlew(int minimumMajor, int minimumMinor) {
    glewExperimental = GL_TRUE;
    GLenum result = glewInit();
    if (result == GLEW_OK) return true;
    if (result != GLEW_ERROR_NO_GLX_DISPLAY) return false;
    GLint major = 0, minor = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    return major > minimumMajor || (major == minimumMajor && minor >= minimumMinor);
}

void requestWindowPixelFormat() {
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
}

}  // namespace platform
