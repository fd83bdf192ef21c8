// Reading framebuffer 0 back without waiting for it at once.
//
// Two pixel buffer objects take turns: start() queues the copy of the frame just
// drawn into one of them and returns; collect() later maps that buffer and copies
// the pixels out, top row first. Starting frame k's copy before collecting frame
// k - 1 lets the GL work on frame k while the CPU takes frame k - 1 away.
#pragma once

#include <GL/glew.h>

#include <cstdint>

class Readback {
public:
    static constexpr int kSlots = 2;

    Readback(int width, int height);
    ~Readback();
    Readback(const Readback&) = delete;
    Readback& operator=(const Readback&) = delete;

    void start(int slot);
    // width x height x 4 bytes of RGBA into `out`; false when the buffer cannot be mapped.
    bool collect(int slot, uint8_t* out);

private:
    int _width = 0;
    int _height = 0;
    GLuint _buffers[kSlots] = {0, 0};
    GLsync _fences[kSlots] = {nullptr, nullptr};
};
