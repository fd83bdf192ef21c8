#include "SampleAccumulator.h"

#include <stdexcept>
#include <string>

namespace {

// One triangle over the whole target, from the vertex index alone.
const char* const kVertex = R"(#version 430 core
void main() {
    vec2 corner = vec2((gl_VertexID << 1) & 2, gl_VertexID & 2);
    gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);
}
)";

const char* const kAdd = R"(#version 430 core
layout(binding = 0) uniform sampler2D frame;
out vec4 colour;
void main() { colour = texelFetch(frame, ivec2(gl_FragCoord.xy), 0); }
)";

const char* const kMean = R"(#version 430 core
layout(binding = 0) uniform sampler2D sum;
uniform float scale;
out vec4 colour;
void main() { colour = texelFetch(sum, ivec2(gl_FragCoord.xy), 0) * scale; }
)";

GLuint compile(GLenum type, const char* source) {
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        char log[512] = {};
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        glDeleteShader(shader);
        throw std::runtime_error(std::string("the sample accumulator's shader does not compile: ") + log);
    }
    return shader;
}

GLuint link(const char* fragment) {
    const GLuint vertex = compile(GL_VERTEX_SHADER, kVertex), pixel = compile(GL_FRAGMENT_SHADER, fragment);
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, pixel);
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(pixel);
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) throw std::runtime_error("the sample accumulator's program does not link");
    return program;
}

GLuint texture(GLenum format, int width, int height) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexStorage2D(GL_TEXTURE_2D, 1, format, width, height);
    // One level: a mipmapping filter would leave it incomplete, and texelFetch would read zeros.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    return name;
}

// The state these passes change, as the film left it (a tool on a software rasteriser may ask).
struct SavedState {
    GLint program = 0, vao = 0, drawTarget = 0, readTarget = 0, activeUnit = 0, texture = 0, sampler = 0;
    GLint viewport[4] = {0, 0, 0, 0};
    GLint blendSrcRgb = 0, blendDstRgb = 0, blendSrcAlpha = 0, blendDstAlpha = 0;
    GLboolean blend = GL_FALSE, depth = GL_FALSE, scissor = GL_FALSE, cull = GL_FALSE, srgb = GL_FALSE;

    SavedState() {
        glGetIntegerv(GL_CURRENT_PROGRAM, &program);
        glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &vao);
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawTarget);
        glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readTarget);
        glGetIntegerv(GL_ACTIVE_TEXTURE, &activeUnit);
        glActiveTexture(GL_TEXTURE0);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
        glGetIntegerv(GL_SAMPLER_BINDING, &sampler);
        glGetIntegerv(GL_VIEWPORT, viewport);
        glGetIntegerv(GL_BLEND_SRC_RGB, &blendSrcRgb);
        glGetIntegerv(GL_BLEND_DST_RGB, &blendDstRgb);
        glGetIntegerv(GL_BLEND_SRC_ALPHA, &blendSrcAlpha);
        glGetIntegerv(GL_BLEND_DST_ALPHA, &blendDstAlpha);
        blend = glIsEnabled(GL_BLEND);
        depth = glIsEnabled(GL_DEPTH_TEST);
        scissor = glIsEnabled(GL_SCISSOR_TEST);
        cull = glIsEnabled(GL_CULL_FACE);
        srgb = glIsEnabled(GL_FRAMEBUFFER_SRGB);
    }
    static void set(GLenum cap, GLboolean on) { on ? glEnable(cap) : glDisable(cap); }
    ~SavedState() {
        glUseProgram(static_cast<GLuint>(program));
        glBindVertexArray(static_cast<GLuint>(vao));
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(drawTarget));
        glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(readTarget));
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
        glBindSampler(0, static_cast<GLuint>(sampler));
        glActiveTexture(static_cast<GLenum>(activeUnit));
        glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
        glBlendFuncSeparate(static_cast<GLenum>(blendSrcRgb), static_cast<GLenum>(blendDstRgb),
                            static_cast<GLenum>(blendSrcAlpha), static_cast<GLenum>(blendDstAlpha));
        set(GL_BLEND, blend);
        set(GL_DEPTH_TEST, depth);
        set(GL_SCISSOR_TEST, scissor);
        set(GL_CULL_FACE, cull);
        set(GL_FRAMEBUFFER_SRGB, srgb);
    }
};

}  // namespace

SampleAccumulator::SampleAccumulator(int width, int height, bool srgb)
    : _width(width), _height(height), _srgb(srgb) {
    SavedState saved;
    _frame = texture(srgb ? GL_SRGB8_ALPHA8 : GL_RGBA8, width, height);
    _sum = texture(GL_RGBA32F, width, height);
    glGenFramebuffers(1, &_sumTarget);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, _sumTarget);
    glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, _sum, 0);
    _valid = glCheckFramebufferStatus(GL_DRAW_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glGenVertexArrays(1, &_vao);
    _addProgram = link(kAdd);
    _meanProgram = link(kMean);
    _scaleLocation = glGetUniformLocation(_meanProgram, "scale");
}

SampleAccumulator::~SampleAccumulator() {
    glDeleteProgram(_addProgram);
    glDeleteProgram(_meanProgram);
    glDeleteVertexArrays(1, &_vao);
    glDeleteFramebuffers(1, &_sumTarget);
    glDeleteTextures(1, &_sum);
    glDeleteTextures(1, &_frame);
}

void SampleAccumulator::clear() {
    SavedState saved;
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, _sumTarget);
    const GLfloat zero[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    glClearBufferfv(GL_COLOR, 0, zero);
}

void SampleAccumulator::draw(GLuint program, GLuint source) {
    glUseProgram(program);
    glBindVertexArray(_vao);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, source);
    glBindSampler(0, 0);
    glViewport(0, 0, _width, _height);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_CULL_FACE);
    glDrawArrays(GL_TRIANGLES, 0, 3);
}

void SampleAccumulator::add() {
    SavedState saved;
    // The bytes as they are: the texture decodes them when it is read.
    glDisable(GL_FRAMEBUFFER_SRGB);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, _frame);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, _width, _height);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, _sumTarget);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    draw(_addProgram, _frame);
}

void SampleAccumulator::resolve(int samples) {
    SavedState saved;
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glDisable(GL_BLEND);
    if (_srgb) glEnable(GL_FRAMEBUFFER_SRGB);
    glUseProgram(_meanProgram);
    glUniform1f(_scaleLocation, 1.0f / static_cast<float>(samples));
    draw(_meanProgram, _sum);
}
