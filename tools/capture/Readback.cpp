#include "Readback.h"

#include <cstring>

Readback::Readback(int width, int height) : _width(width), _height(height) {
    const GLsizeiptr bytes = static_cast<GLsizeiptr>(width) * height * 4;
    glGenBuffers(kSlots, _buffers);
    for (GLuint buffer : _buffers) {
        glBindBuffer(GL_PIXEL_PACK_BUFFER, buffer);
        glBufferData(GL_PIXEL_PACK_BUFFER, bytes, nullptr, GL_STREAM_READ);
    }
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
}

Readback::~Readback() {
    for (GLsync& fence : _fences) {
        if (fence != nullptr) glDeleteSync(fence);
    }
    glDeleteBuffers(kSlots, _buffers);
}

void Readback::start(int slot) {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, _buffers[slot]);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, _width, _height, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    if (_fences[slot] != nullptr) glDeleteSync(_fences[slot]);
    _fences[slot] = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    glFlush();
}

bool Readback::collect(int slot, uint8_t* out) {
    if (_fences[slot] != nullptr) {
        while (glClientWaitSync(_fences[slot], GL_SYNC_FLUSH_COMMANDS_BIT, 1000000000) == GL_TIMEOUT_EXPIRED) {
        }
        glDeleteSync(_fences[slot]);
        _fences[slot] = nullptr;
    }
    const size_t row = static_cast<size_t>(_width) * 4;
    glBindBuffer(GL_PIXEL_PACK_BUFFER, _buffers[slot]);
    const auto* pixels = static_cast<const uint8_t*>(
        glMapBufferRange(GL_PIXEL_PACK_BUFFER, 0, static_cast<GLsizeiptr>(row * _height), GL_MAP_READ_BIT));
    if (pixels != nullptr) {
        // GL's rows run bottom to top.
        for (int y = 0; y < _height; ++y) std::memcpy(out + row * y, pixels + row * (_height - 1 - y), row);
        glUnmapBuffer(GL_PIXEL_PACK_BUFFER);
    }
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    return pixels != nullptr;
}
