#include "cpp/FboNoDepth.h"

#include "platform/Assert.h"

FboNoDepth::FboNoDepth(int width, int height) : _width(width), _height(height) {}

FboNoDepth::~FboNoDepth() {
    if (_framebuffer != 0) {
        glDeleteTextures(1, &_texture);
        glDeleteFramebuffers(1, &_framebuffer);
    }
}

static void setClampedLinear(GLint minFilter) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_BORDER);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_BORDER);
}

bool FboNoDepth::init() {
    glGenFramebuffers(1, &_framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, _framebuffer);
    glActiveTexture(GL_TEXTURE0);
    glGenTextures(1, &_texture);
    glBindTexture(GL_TEXTURE_2D, _texture);
    setClampedLinear(GL_LINEAR_MIPMAP_LINEAR);
    // Only level 0: the mip chain comes from glGenerateMipmap when a user wants it.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F, _width, _height, 0, GL_RGBA, GL_FLOAT, nullptr);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, _texture, 0);
    const GLenum drawBuffer = GL_COLOR_ATTACHMENT0;
    glDrawBuffers(1, &drawBuffer);
    GLenum fboStatus = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    HV_ASSERT_AT(fboStatus == GL_FRAMEBUFFER_COMPLETE, "fboStatus == GL_FRAMEBUFFER_COMPLETE",
                 "source\\cpp\\GBuffer", 94);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return true;
}

void FboNoDepth::resize(int width, int height) {
    if (width == _width && height == _height) return;
    _width = width;
    _height = height;
    if (_framebuffer == 0) return;
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, _texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F, _width, _height, 0, GL_RGBA, GL_FLOAT, nullptr);
}

void FboNoDepth::bindForWriting() {
    glViewport(0, 0, _width, _height);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, _framebuffer);
    const GLenum drawBuffer = GL_COLOR_ATTACHMENT0;
    glDrawBuffers(1, &drawBuffer);
}

void FboNoDepth::bindForReading() {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, _framebuffer);
}

void FboNoDepth::bindTexture(bool mipmapped) {
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, _texture);
    const Sampling wanted = mipmapped ? Sampling::Mipmapped : Sampling::Plain;
    if (_sampling == wanted) return;
    _sampling = wanted;
    if (mipmapped) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 1000);
    }
    setClampedLinear(mipmapped ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
}
