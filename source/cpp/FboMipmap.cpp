#include "cpp/FboMipmap.h"

#include "platform/Assert.h"

#include <algorithm>
#include <cmath>

FboMipmap::FboMipmap(int size) : _size(size) {}

FboMipmap::~FboMipmap() {
    if (!_textures.empty()) glDeleteTextures(static_cast<GLsizei>(_textures.size()), _textures.data());
    if (_pyramid != 0) glDeleteTextures(1, &_pyramid);
    if (_framebuffer != 0) glDeleteFramebuffers(1, &_framebuffer);
}

uint32_t FboMipmap::levelsFor(int size) {
    HV_ASSERT(size > 0, "source\\cpp\\GBuffer");
    // Single precision on purpose: the level count of the bloom chain depends on it.
    return static_cast<uint32_t>(std::floor(std::log(static_cast<float>(size)) / 0.6931472f)) + 1;
}

bool FboMipmap::init() {
    _levelCount = levelsFor(_size);
    _textures.resize(_levelCount);
    glGenFramebuffers(1, &_framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, _framebuffer);
    glActiveTexture(GL_TEXTURE0);
    // Level i of the storage has edge max(1, size / 2^i); each level texture is a
    // single-level view of it, and only the views are sampled.
    glGenTextures(1, &_pyramid);
    glBindTexture(GL_TEXTURE_2D, _pyramid);
    glTexStorage2D(GL_TEXTURE_2D, static_cast<GLsizei>(_levelCount), GL_RGBA32F, _size, _size);
    glGenTextures(static_cast<GLsizei>(_levelCount), _textures.data());
    for (uint32_t i = 0; i < _levelCount; ++i) {
        glTextureView(_textures[i], GL_TEXTURE_2D, _pyramid, GL_RGBA32F, i, 1, 0, 1);
        glBindTexture(GL_TEXTURE_2D, _textures[i]);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_BORDER);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_BORDER);
        _currentTexture = _textures[i];
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, _currentTexture, 0);
    }
    const GLenum drawBuffer = GL_COLOR_ATTACHMENT0;
    glDrawBuffers(1, &drawBuffer);
    GLenum fboStatus = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    HV_ASSERT_AT(fboStatus == GL_FRAMEBUFFER_COMPLETE, "fboStatus == GL_FRAMEBUFFER_COMPLETE",
                 "source\\cpp\\GBuffer", 193);
    glClear(GL_COLOR_BUFFER_BIT);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return true;
}

void FboMipmap::setLevel(int level) {
    if (level < 0 || static_cast<uint32_t>(level) >= _levelCount) return;
    _currentLevel = static_cast<uint32_t>(level);
    _currentTexture = _textures[_currentLevel];
}

void FboMipmap::bindForWriting() {
    const int edge =
        static_cast<int>(static_cast<float>(_size) / std::pow(2.0f, static_cast<float>(_currentLevel)));
    glViewport(0, 0, edge, edge);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, _framebuffer);
    glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, _currentTexture, 0);
}

void FboMipmap::bindForReading() {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, _framebuffer);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, _currentTexture, 0);
}

void FboMipmap::bindLevelTexture(int mipmapLevel, int unit) {
    HV_ASSERT_AT(mipmapLevel >= 0 && static_cast<size_t>(mipmapLevel) < _textures.size(),
                 "mipmapLevel < _textures.size() && mipmapLevel >= 0", "source\\cpp\\GBuffer", 228);
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
    // Linear filtering and clamping to the border were set once in init(); nothing changes them.
    glBindTexture(GL_TEXTURE_2D, _textures[static_cast<size_t>(mipmapLevel)]);
}
