#include "scenes/ShadowReach.h"

#include <glm/gtc/type_ptr.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Repeats lighting.fp's lookup: the point nudged 0.02 along its unit normal, on the
// face of its major axis, at GL's face coordinates. Each invocation covers a block of
// pixels and writes its own rectangles (face coordinates, -1..1) to its own slot: the
// rasteriser's threads share nothing, and the CPU takes the union of a few thousand.
const char* const kSource = R"(#version 430 core
layout(local_size_x = 8, local_size_y = 8) in;

uniform sampler2D texPos;
uniform sampler2D texNor;
uniform sampler2D texTex;
uniform vec3 lightPos;
uniform float edge;
uniform ivec2 size;

// Per invocation: six faces' (lowest s, lowest t, highest s, highest t), then x > 0
// when a lookup sits on the light.
layout(std430, binding = 0) writeonly buffer Reach { vec4 boxes[]; };

const int kBlock = 8;

void add(inout vec4 box, float along, float major, float sc, float tc) {
    // A lookup this close to an edge may be filtered from, or rounded onto, the
    // neighbouring face: it counts for both.
    if (along < major * edge) return;
    vec2 t = clamp(vec2(sc, tc) / along, -1.0, 1.0);
    box = vec4(min(box.xy, t), max(box.zw, t));
}

void main() {
    const vec4 none = vec4(2.0, 2.0, -2.0, -2.0);
    vec4 px = none, nx = none, py = none, ny = none, pz = none, nz = none;
    float whole = 0.0;
    ivec2 origin = ivec2(gl_GlobalInvocationID.xy) * kBlock;
    for (int y = 0; y < kBlock; ++y) {
        for (int x = 0; x < kBlock; ++x) {
            ivec2 p = origin + ivec2(x, y);
            if (p.x >= size.x || p.y >= size.y) continue;
            if (texelFetch(texTex, p, 0).z < 0.5) continue;
            vec3 position = texelFetch(texPos, p, 0).xyz;
            vec3 normal = texelFetch(texNor, p, 0).xyz;
            float len = length(normal);
            normal = len > 1e-6 ? normal / len : vec3(0.0);
            vec3 d = position + normal * 0.02 - lightPos;
            vec3 a = abs(d);
            float major = max(a.x, max(a.y, a.z));
            if (!(major > 1e-4) || isinf(major)) {
                whole = 1.0;
                continue;
            }
            add(px, d.x, major, -d.z, -d.y);
            add(nx, -d.x, major, d.z, -d.y);
            add(py, d.y, major, d.x, d.z);
            add(ny, -d.y, major, d.x, -d.z);
            add(pz, d.z, major, d.x, -d.y);
            add(nz, -d.z, major, -d.x, -d.y);
        }
    }
    uint slot = (gl_GlobalInvocationID.y * gl_NumWorkGroups.x * gl_WorkGroupSize.x + gl_GlobalInvocationID.x) * 7u;
    boxes[slot + 0u] = px;
    boxes[slot + 1u] = nx;
    boxes[slot + 2u] = py;
    boxes[slot + 3u] = ny;
    boxes[slot + 4u] = pz;
    boxes[slot + 5u] = nz;
    boxes[slot + 6u] = vec4(whole, 0.0, 0.0, 0.0);
}
)";

constexpr int kGroupPixels = 8 * 8;  // pixels per work group along each axis
constexpr int kSlotFloats = 7 * 4;
constexpr int kMargin = 2;  // texels: the linear filter's 2 x 2 footprint, and rounding

GLuint buildProgram() {
    const char* text = kSource;
    GLuint shader = glCreateShader(GL_COMPUTE_SHADER);
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    char log[1024] = {0};
    if (ok != GL_TRUE) {
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::fprintf(stderr, "Shadow reach pass unavailable, every face drawn whole: %s\n", log);
        glDeleteShader(shader);
        return 0;
    }
    GLuint program = glCreateProgram();
    glAttachShader(program, shader);
    glLinkProgram(program);
    glDeleteShader(shader);
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) {
        glGetProgramInfoLog(program, sizeof log, nullptr, log);
        std::fprintf(stderr, "Shadow reach pass unavailable, every face drawn whole: %s\n", log);
        glDeleteProgram(program);
        return 0;
    }
    return program;
}

}  // namespace

ShadowReach::ShadowReach() {
    _program = buildProgram();
    if (_program == 0) return;
    glUseProgram(_program);
    glUniform1i(glGetUniformLocation(_program, "texPos"), 0);
    glUniform1i(glGetUniformLocation(_program, "texNor"), 1);
    glUniform1i(glGetUniformLocation(_program, "texTex"), 3);
    _lightLocation = glGetUniformLocation(_program, "lightPos");
    _edgeLocation = glGetUniformLocation(_program, "edge");
    _sizeLocation = glGetUniformLocation(_program, "size");
    glGenBuffers(1, &_buffer);
    glUseProgram(0);
}

ShadowReach::~ShadowReach() {
    if (_buffer) glDeleteBuffers(1, &_buffer);
    if (_program) glDeleteProgram(_program);
}

bool ShadowReach::measure(const glm::vec3& light, int faceSize, int width, int height) {
    if (_program == 0 || width <= 0 || height <= 0 || faceSize <= 0) return false;
    const GLuint groupsX = static_cast<GLuint>((width + kGroupPixels - 1) / kGroupPixels);
    const GLuint groupsY = static_cast<GLuint>((height + kGroupPixels - 1) / kGroupPixels);
    const size_t slots = static_cast<size_t>(groupsX) * groupsY * 64u;
    const GLsizeiptr bytes = static_cast<GLsizeiptr>(slots * kSlotFloats * sizeof(float));
    glBindBuffer(GL_SHADER_STORAGE_BUFFER, _buffer);
    if (bytes != _bufferBytes) {
        glBufferData(GL_SHADER_STORAGE_BUFFER, bytes, nullptr, GL_DYNAMIC_READ);
        _bufferBytes = bytes;
    }
    glUseProgram(_program);
    glUniform3fv(_lightLocation, 1, glm::value_ptr(light));
    glUniform1f(_edgeLocation, 1.0f - 4.0f / static_cast<float>(faceSize));
    glUniform2i(_sizeLocation, width, height);
    glBindBufferBase(GL_SHADER_STORAGE_BUFFER, 0, _buffer);
    glDispatchCompute(groupsX, groupsY, 1);
    glMemoryBarrier(GL_BUFFER_UPDATE_BARRIER_BIT);
    ++_mapsForReading;
    const auto* boxes = static_cast<const float*>(glMapBufferRange(GL_SHADER_STORAGE_BUFFER, 0, bytes, GL_MAP_READ_BIT));
    if (boxes == nullptr) {
        glBindBufferBase(GL_SHADER_STORAGE_BUFFER, 0, 0);
        return false;
    }
    float lo[6][2], hi[6][2];
    for (int face = 0; face < 6; ++face) lo[face][0] = lo[face][1] = 2.0f, hi[face][0] = hi[face][1] = -2.0f;
    bool whole = false;
    for (size_t slot = 0; slot < slots; ++slot) {
        const float* box = boxes + slot * kSlotFloats;
        for (int face = 0; face < 6; ++face, box += 4) {
            lo[face][0] = std::min(lo[face][0], box[0]);
            lo[face][1] = std::min(lo[face][1], box[1]);
            hi[face][0] = std::max(hi[face][0], box[2]);
            hi[face][1] = std::max(hi[face][1], box[3]);
        }
        whole = whole || box[0] > 0.0f;
    }
    glUnmapBuffer(GL_SHADER_STORAGE_BUFFER);
    glBindBufferBase(GL_SHADER_STORAGE_BUFFER, 0, 0);

    auto texel = [faceSize](float ndc, int margin) {
        const double t = (static_cast<double>(ndc) * 0.5 + 0.5) * faceSize;
        const double edge = margin < 0 ? std::floor(t) + margin : std::ceil(t) + margin + 1;
        return static_cast<int>(std::clamp(edge, 0.0, static_cast<double>(faceSize)));
    };
    for (int face = 0; face < 6; ++face) {
        Rect& rect = _rects[static_cast<size_t>(face)];
        if (whole) {
            rect = Rect{0, 0, faceSize, faceSize};
        } else if (!(lo[face][0] <= hi[face][0] && lo[face][1] <= hi[face][1])) {
            rect = Rect{};
        } else {
            rect = Rect{texel(lo[face][0], -kMargin), texel(lo[face][1], -kMargin), texel(hi[face][0], kMargin),
                        texel(hi[face][1], kMargin)};
        }
    }
    return true;
}
