#include "platform/WindowGlLoader.h"

#include <GL/glew.h>

namespace platform {

bool initialiseGlew() {
    glewExperimental = GL_TRUE;
    GLenum result = glewInit();
    if (result == GLEW_OK) return true;
    return result == GLEW_ERROR_NO_GLX_DISPLAY && GLEW_VERSION_4_3;
}

}  // namespace platform
