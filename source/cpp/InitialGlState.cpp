#include "cpp/InitialGlState.h"

#include <GL/glew.h>

void setInitialGlState(int width, int height) {
    glEnable(GL_FRAMEBUFFER_SRGB);
    glViewport(0, 0, width, height);
    glEnable(GL_CULL_FACE);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_STENCIL_TEST);
}
