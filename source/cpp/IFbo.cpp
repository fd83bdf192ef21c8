#include "cpp/IFbo.h"

#include "cpp/Display.h"

#include <GL/glew.h>

void IFbo::blitToScreen() {
    bindForReading();
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glBlitFramebuffer(0, 0, width(), height(), 0, 0, screenWidth, screenHeight,
                      GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, GL_NEAREST);
}

void IFbo::blitTo(IFbo& target) {
    bindForReading();
    target.bindForWriting();
    const bool sameSize = width() == target.width() && height() == target.height();
    // GL refuses linear filtering of depth (GL_INVALID_OPERATION, nothing copied), so a
    // scaling blit copies colour only.
    const GLbitfield mask = sameSize ? GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT : GL_COLOR_BUFFER_BIT;
    const GLenum filter = sameSize ? GL_NEAREST : GL_LINEAR;
    glBlitFramebuffer(0, 0, width(), height(), 0, 0, target.width(), target.height(), mask, filter);
}
