// The texels of each shadow cube face that lighting will read this frame, found from
// the G-buffer itself.
//
// Lighting looks the shadow up once per covered pixel, at the surface point nudged
// along its normal, through a linear filter. A compute pass over the G-buffer does the
// same arithmetic for every covered pixel and keeps, per face, the rectangle of texels
// those lookups touch (with a margin for the filter's footprint, for rounding, and for
// lookups so close to a face edge that they may land on the neighbouring face). The
// result is read back once per frame, after the G-buffer is complete: the shadow pass
// then clears and draws only those rectangles, which no other texel is read from.
//
// Contract: measure() with the G-buffer's position (unit 0), normal (unit 1) and
// texture-coordinate (unit 3) targets bound, the light position, the face size and
// the G-buffer's size. Rectangles are texel columns (s) and rows (t) of the face
// images as GL's cube lookup addresses them: where the face matrices draw. It
// returns false when the pass is unavailable (the program did not build, or its result
// could not be mapped); the caller then keeps its own bound. Either way its own program
// may be left current: the caller binds its own again. Rect x0 >= x1 means no lookup
// lands on that face; every face is whole when a lookup sits on the light itself.
// Every measure() reads a GPU result back (mapsForReading() counts the maps): only
// the software path (GpuPath) calls it. Allocates nothing per frame.
#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <array>

class ShadowReach {
public:
    struct Rect {
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // texels [x0, x1) x [y0, y1)
    };

    ShadowReach();
    ~ShadowReach();
    ShadowReach(const ShadowReach&) = delete;
    ShadowReach& operator=(const ShadowReach&) = delete;

    bool measure(const glm::vec3& light, int faceSize, int width, int height);
    const Rect& rect(int face) const { return _rects[static_cast<size_t>(face)]; }
    // How many times measure() has mapped its result for reading.
    long mapsForReading() const { return _mapsForReading; }

private:
    GLuint _program = 0;
    GLuint _buffer = 0;
    GLint _lightLocation = -1;
    GLint _edgeLocation = -1;
    GLsizeiptr _bufferBytes = 0;
    GLint _sizeLocation = -1;
    std::array<Rect, 6> _rects{};
    long _mapsForReading = 0;
};
