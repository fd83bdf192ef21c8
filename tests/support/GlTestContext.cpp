#include "GlTestContext.h"

#ifndef _WIN32
#include <EGL/egl.h>
#include <EGL/eglext.h>
#endif
#include <png.h>

#include <cstdio>

namespace hvtest {

namespace {

bool g_ready = false;
std::string g_failure;

#ifdef _WIN32
}  // namespace
// GlTestContextWgl.cpp: a hidden window with a WGL 4.3 core context.
bool createWglContext(std::string* why);
namespace {
bool createContext(std::string* why) {
    return createWglContext(why);
}
#else
bool createContext(std::string* why) {
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) {
        *why = "eglGetPlatformDisplayEXT is missing";
        return false;
    }
    EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) {
        *why = "no surfaceless EGL display";
        return false;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        *why = "eglBindAPI(EGL_OPENGL_API) failed";
        return false;
    }
    const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION,
                                 4,
                                 EGL_CONTEXT_MINOR_VERSION,
                                 3,
                                 EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                 EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                                 EGL_CONTEXT_OPENGL_FORWARD_COMPATIBLE,
                                 EGL_TRUE,
                                 EGL_CONTEXT_OPENGL_DEBUG,
                                 EGL_TRUE,
                                 EGL_NONE};
    EGLContext context = eglCreateContext(display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
    if (context == EGL_NO_CONTEXT) {
        *why = "eglCreateContext for GL 4.3 core failed";
        return false;
    }
    if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
        *why = "eglMakeCurrent failed";
        return false;
    }
    glewExperimental = GL_TRUE;
    GLenum glewResult = glewInit();
    // Under EGL GLEW reports GLEW_ERROR_NO_GLX_DISPLAY although it loaded everything.
    if (glewResult != GLEW_OK && glewResult != 4) {
        *why = std::string("glewInit failed: ") + reinterpret_cast<const char*>(glewGetErrorString(glewResult));
        return false;
    }
    if (!GLEW_VERSION_4_3) {
        *why = "GL 4.3 entry points are missing";
        return false;
    }
    while (glGetError() != GL_NO_ERROR) {
    }
    return true;
}
#endif

}  // namespace

bool makeHeadlessContextCurrent(std::string* why) {
    static bool tried = false;
    if (!tried) {
        tried = true;
        g_ready = createContext(&g_failure);
    }
    if (!g_ready && why) *why = g_failure;
    return g_ready;
}

// A blank RGBA image of the given size; pixels in the image's own element type.
template <typename Image>
static Image blankImage(int width, int height) {
    Image image;
    image.width = width;
    image.height = height;
    image.pixels.assign(static_cast<size_t>(width) * height * 4, 0);
    return image;
}

// Reads `attachment` of `framebuffer` into `pixels`, leaving the read binding as it was.
static void readPixels(GLuint framebuffer, int width, int height, GLenum attachment, GLenum type, void* pixels) {
    GLint previous = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &previous);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glReadBuffer(attachment);
    // Byte rows of odd widths are not 4-aligned.
    if (type == GL_UNSIGNED_BYTE) glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, type, pixels);
    if (type == GL_UNSIGNED_BYTE) glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(previous));
}

ImageRGBA8 readFramebufferRGBA8(GLuint framebuffer, int width, int height, GLenum attachment) {
    ImageRGBA8 image = blankImage<ImageRGBA8>(width, height);
    readPixels(framebuffer, width, height, attachment, GL_UNSIGNED_BYTE, image.pixels.data());
    return image;
}

ImageRGBA32F readFramebufferRGBA32F(GLuint framebuffer, int width, int height, GLenum attachment) {
    ImageRGBA32F image = blankImage<ImageRGBA32F>(width, height);
    readPixels(framebuffer, width, height, attachment, GL_FLOAT, image.pixels.data());
    return image;
}

ImageRGBA32F readTextureRGBA32F(GLuint texture, int width, int height) {
    ImageRGBA32F image = blankImage<ImageRGBA32F>(width, height);
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, image.pixels.data());
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
    return image;
}

bool writePng(const std::string& path, const ImageRGBA8& image) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, image.width, image.height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = image.height - 1; y >= 0; --y) {
        png_write_row(png, const_cast<png_bytep>(image.at(0, y)));
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return true;
}

std::string drainGlErrors() {
    std::string names;
    for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError()) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "0x%04X ", error);
        names += buffer;
    }
    return names;
}

const char* const kFullScreenVertex = R"(#version 430 core
void main() {
    vec2 p = vec2(gl_VertexID == 1 ? 3.0 : -1.0, gl_VertexID == 2 ? 3.0 : -1.0);
    gl_Position = vec4(p, 0.0, 1.0);
})";

// Shaders and programs report status and log through twin GL calls; one check serves both.
template <typename GetParameter, typename GetLog>
static void expectStatus(GLuint object, GLenum statusName, GetParameter getParameter, GetLog getLog,
                         const char* failure) {
    GLint ok = GL_FALSE;
    getParameter(object, statusName, &ok);
    if (ok != GL_TRUE) {
        char log[2048] = {};
        getLog(object, sizeof log, nullptr, log);
        ADD_FAILURE() << failure << log;
    }
}

static GLuint compile(GLenum type, const char* source) {
    GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    expectStatus(shader, GL_COMPILE_STATUS, glGetShaderiv, glGetShaderInfoLog, "shader compile failed: ");
    return shader;
}

GLuint buildProgram(const char* vertexSource, const char* fragmentSource, const char* geometrySource) {
    GLuint program = glCreateProgram();
    glAttachShader(program, compile(GL_VERTEX_SHADER, vertexSource));
    if (geometrySource) glAttachShader(program, compile(GL_GEOMETRY_SHADER, geometrySource));
    glAttachShader(program, compile(GL_FRAGMENT_SHADER, fragmentSource));
    glLinkProgram(program);
    expectStatus(program, GL_LINK_STATUS, glGetProgramiv, glGetProgramInfoLog, "program link failed: ");
    return program;
}

void GlTest::SetUpTestSuite() { makeHeadlessContextCurrent(); }

void GlTest::SetUp() {
    std::string why;
    if (!makeHeadlessContextCurrent(&why)) GTEST_SKIP() << "no headless GL: " << why;
    drainGlErrors();
}

void GlTest::expectNoGlError() { EXPECT_EQ(drainGlErrors(), "") << "GL errors pending"; }

void GlDrawTest::SetUp() {
    GlTest::SetUp();
    if (IsSkipped()) return;
    glGenVertexArrays(1, &_vao);
    glBindVertexArray(_vao);
}

void GlDrawTest::TearDown() {
    glUseProgram(0);
    glBindVertexArray(0);
    if (_vao) glDeleteVertexArrays(1, &_vao);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

}  // namespace hvtest
