#include "platform/linux/GlProbe.h"

#include "platform/WindowGlLoader.h"
#include "platform/MessageBox.h"

#include <GL/glew.h>
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace platform {

int probeMaxSamples() {
    // The probe window carries the same framebuffer format as the presentation window.
    requestWindowPixelFormat();
    SDL_Window* window =
        SDL_CreateWindow("Halvane probe", 0, 0, 16, 16, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window == nullptr) {
        // The message Windows shows for the same failure; SDL's reason goes to the log.
        std::fprintf(stderr, "probe window: %s\n", SDL_GetError());
        showMessageBox("Couldn't set pixel format.");
        std::exit(1);
    }

    // A context of whatever kind the driver gives by default, to load GL with.
    SDL_GLContext mock = SDL_GL_CreateContext(window);
    if (mock == nullptr)
        showMessageBox("Failed to create mock context.");
    else if (SDL_GL_MakeCurrent(window, mock) != 0)
        showMessageBox("Failed to make mock context current.");

    if (!initialiseGlew(3, 0)) {
        showMessageBox("GLEW failed to initialize.");
        std::exit(1);
    }

    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS,
                        SDL_GL_CONTEXT_DEBUG_FLAG | SDL_GL_CONTEXT_FORWARD_COMPATIBLE_FLAG);
    SDL_GLContext probe = SDL_GL_CreateContext(window);
    if (probe == nullptr) {
        std::string reason = SDL_GetError();
        showMessageBox("Couldn't create GL 3.3 context.");
        showMessageBox(reason);
        std::exit(1);
    }

    // SDL made the new context current; the vendor is read on the mock one, as before.
    if (mock != nullptr && SDL_GL_MakeCurrent(window, mock) == 0) (void)glGetString(GL_VENDOR);
    SDL_GL_MakeCurrent(window, nullptr);
    if (mock != nullptr) SDL_GL_DeleteContext(mock);
    if (SDL_GL_MakeCurrent(window, probe) != 0) showMessageBox("wglMakeCurrent failed for GL 3.3 context.");

    GLint maxSamples = 0;
    glGetIntegerv(GL_MAX_SAMPLES, &maxSamples);
    while (glGetError() != GL_NO_ERROR) {
    }

    // Unlike the presentation's context this one has no further use.
    SDL_GL_MakeCurrent(window, nullptr);
    SDL_GL_DeleteContext(probe);
    SDL_DestroyWindow(window);
    SDL_GL_ResetAttributes();
    return maxSamples;
}

}  // namespace platform
