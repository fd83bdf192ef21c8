#include "platform/WindowGlLoader.h"

#include <GL/glew.h>
#include <SDL.h>

namespace platform {

bool initialiseGlew() {
    glewExperimental = GL_TRUE;
    GLenum result = glewInit();
    if (result == GLEW_OK) return true;
    return result == GLEW_ERROR_NO_GLX_DISPLAY && GLEW_VERSION_4_3;
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
