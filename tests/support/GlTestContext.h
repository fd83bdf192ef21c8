// Headless GL for tests and tools.
//
// A 4.3 core, forward-compatible, debug context from EGL on Mesa's surfaceless
// platform: no display, no window, no default framebuffer (framebuffer 0 is
// incomplete; render into FBOs). GLEW is initialised on it; under EGL glewInit()
// reports "no GLX display" although every entry point loads, so the check is
// GLEW_VERSION_4_3.
//
// GlTest is a GoogleTest fixture that makes the context once per test program and
// keeps it current; every test starts with an empty GL error queue and should
// leave one (expectNoGlError).
#pragma once

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace hvtest {

// Creates (once) and makes current the headless context. Returns false with a
// reason in *why when EGL or GL 4.3 is not available.
bool makeHeadlessContextCurrent(std::string* why = nullptr);

struct ImageRGBA8 {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;  // bottom row first, as glReadPixels returns it
    const uint8_t* at(int x, int y) const { return &pixels[(static_cast<size_t>(y) * width + x) * 4]; }
};

struct ImageRGBA32F {
    int width = 0;
    int height = 0;
    std::vector<float> pixels;
    const float* at(int x, int y) const { return &pixels[(static_cast<size_t>(y) * width + x) * 4]; }
};

// Reads a rectangle of the framebuffer bound to GL_READ_FRAMEBUFFER (colour attachment
// `attachment`) back to memory. Leaves the read binding as it found it.
ImageRGBA8 readFramebufferRGBA8(GLuint framebuffer, int width, int height, GLenum attachment = GL_COLOR_ATTACHMENT0);
ImageRGBA32F readFramebufferRGBA32F(GLuint framebuffer, int width, int height,
                                    GLenum attachment = GL_COLOR_ATTACHMENT0);

// Level 0 of a 2D texture as floats.
ImageRGBA32F readTextureRGBA32F(GLuint texture, int width, int height);

// Writes an RGBA8 image as PNG (top row first in the file, so flipped from GL order).
bool writePng(const std::string& path, const ImageRGBA8& image);

// Drains the GL error queue; returns the names of what was pending, empty when none.
std::string drainGlErrors();

// A vertex shader that covers the viewport with one triangle from gl_VertexID
// (glDrawArrays(GL_TRIANGLES, 0, 3), no vertex data).
extern const char* const kFullScreenVertex;

// Compiles and links a program from sources; fails the current test on error.
GLuint buildProgram(const char* vertexSource, const char* fragmentSource, const char* geometrySource = nullptr);

class GlTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    // Fails the test when a GL error is pending.
    static void expectNoGlError();
};

// A GlTest with an empty vertex array bound, for draws whose vertices come from
// gl_VertexID (kFullScreenVertex). Afterwards no program, vertex array or
// framebuffer is bound.
class GlDrawTest : public GlTest {
protected:
    void SetUp() override;
    void TearDown() override;

private:
    GLuint _vao = 0;
};

}  // namespace hvtest
