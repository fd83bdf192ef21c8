// Averages several renders of framebuffer 0 in linear light, for anti-aliased frames.
//
// After each render, add() copies framebuffer 0 into a texture that decodes it from
// sRGB and adds it into one floating-point target; resolve() writes the mean back into
// framebuffer 0, encoded to sRGB as the film's own last pass writes it, so whatever
// reads framebuffer 0 afterwards (a PNG, the capture's read-back) is unchanged. Memory
// is two images of the frame's size whatever the number of renders. On a surface that
// is not sRGB the bytes are averaged as they are. Needs the GL context current; the GL
// state it touches is put back as it was, so the film's next render starts as usual.
#pragma once

#include <GL/glew.h>

class SampleAccumulator {
public:
    SampleAccumulator(int width, int height, bool srgb);
    ~SampleAccumulator();
    SampleAccumulator(const SampleAccumulator&) = delete;
    SampleAccumulator& operator=(const SampleAccumulator&) = delete;

    // False when the floating-point target cannot be drawn into.
    bool valid() const { return _valid; }

    void clear();
    void add();
    void resolve(int samples);

private:
    void draw(GLuint program, GLuint source);

    int _width = 0;
    int _height = 0;
    bool _srgb = false;
    bool _valid = false;
    GLuint _frame = 0;  // the last render, as it was in framebuffer 0
    GLuint _sum = 0;    // linear light, 32-bit float per channel
    GLuint _sumTarget = 0;
    GLuint _vao = 0;
    GLuint _addProgram = 0;
    GLuint _meanProgram = 0;
    GLint _scaleLocation = -1;
};
