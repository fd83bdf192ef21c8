#include "Overlay.h"

#include <algorithm>
#include <stdexcept>

namespace {

const char* const kVertex = R"(#version 430 core
uniform vec4 rect;  // left, top, right, bottom in clip space
out vec2 uv;
void main() {
    vec2 corner = vec2(gl_VertexID & 1, gl_VertexID >> 1);
    uv = corner;
    gl_Position = vec4(mix(rect.x, rect.z, corner.x), mix(rect.y, rect.w, corner.y), 0.0, 1.0);
})";

const char* const kFragment = R"(#version 430 core
uniform sampler2D panel;
in vec2 uv;
out vec4 colour;
void main() { colour = texture(panel, uv); })";

GLuint compileStage(GLenum type, const char* source) {
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint status = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status != GL_TRUE) throw std::runtime_error("the overlay's shader does not compile");
    return shader;
}

}  // namespace

Overlay::Overlay(const std::string& fontPath, int pixelHeight) : _text(fontPath, pixelHeight), _pixelHeight(pixelHeight) {
    const GLuint vertex = compileStage(GL_VERTEX_SHADER, kVertex);
    const GLuint fragment = compileStage(GL_FRAGMENT_SHADER, kFragment);
    _program = glCreateProgram();
    glAttachShader(_program, vertex);
    glAttachShader(_program, fragment);
    glLinkProgram(_program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint status = GL_FALSE;
    glGetProgramiv(_program, GL_LINK_STATUS, &status);
    if (status != GL_TRUE) throw std::runtime_error("the overlay's program does not link");
    _rectLocation = glGetUniformLocation(_program, "rect");
    glGenVertexArrays(1, &_vao);
    for (GLuint* texture : {&_texture, &_stripTexture}) {
        glGenTextures(1, texture);
        glBindTexture(GL_TEXTURE_2D, *texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
}

Overlay::~Overlay() {
    glDeleteTextures(1, &_texture);
    glDeleteTextures(1, &_stripTexture);
    glDeleteVertexArrays(1, &_vao);
    glDeleteProgram(_program);
}

void Overlay::setLines(const std::vector<Line>& lines) {
    if (lines == _lines) return;
    _lines = lines;
    _stale = true;
}

void Overlay::render() {
    const int lineHeight = _pixelHeight + _pixelHeight / 3;
    const int margin = _pixelHeight / 2;
    int widest = 0;
    for (const Line& line : _lines) widest = std::max(widest, _text.width(line.text));
    _width = widest + 2 * margin;
    _height = static_cast<int>(_lines.size()) * lineHeight + 2 * margin - (lineHeight - _pixelHeight);
    art::Image image(std::max(_width, 1), std::max(_height, 1), 4);
    for (size_t i = 0; i < image.pixels.size(); i += 4) image.pixels[i + 3] = 170;  // translucent black panel
    for (size_t i = 0; i < _lines.size(); ++i) {
        const int baseline = margin + static_cast<int>(i) * lineHeight + _pixelHeight * 4 / 5;
        _text.draw(image, margin, baseline, _lines[i].text, _lines[i].colour);
    }
    upload(_texture, image);
    _stale = false;
}

void Overlay::upload(GLuint texture, const art::Image& image) {
    // Row 0 is the top line; the quad samples v = 0 at its top.
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, image.width, image.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 image.pixels.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void Overlay::setStrip(const art::Image& strip) {
    _stripWidth = strip.channels == 4 ? strip.width : 0;
    _stripHeight = strip.channels == 4 ? strip.height : 0;
    if (_stripWidth > 0 && _stripHeight > 0) upload(_stripTexture, strip);
}

void Overlay::drawQuad(GLuint texture, float left, float top, float right, float bottom) {
    glUniform4f(_rectLocation, left, top, right, bottom);
    glBindTexture(GL_TEXTURE_2D, texture);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

void Overlay::draw(int windowWidth, int windowHeight) {
    const bool strip = _stripWidth > 0 && _stripHeight > 0;
    if ((_lines.empty() && !strip) || windowWidth <= 0 || windowHeight <= 0) return;
    if (_stale && !_lines.empty()) render();
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glViewport(0, 0, windowWidth, windowHeight);
    glDisable(GL_DEPTH_TEST);
    const GLboolean culling = glIsEnabled(GL_CULL_FACE);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glUseProgram(_program);
    glActiveTexture(GL_TEXTURE0);
    glBindVertexArray(_vao);
    const float w = static_cast<float>(windowWidth);
    const float h = static_cast<float>(windowHeight);
    if (strip)
        drawQuad(_stripTexture, -1.0f, -1.0f + 2.0f * _stripHeight / h, -1.0f + 2.0f * _stripWidth / w, -1.0f);
    if (!_lines.empty())
        drawQuad(_texture, -1.0f, 1.0f, -1.0f + 2.0f * _width / w, 1.0f - 2.0f * _height / h);
    glBindVertexArray(0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glUseProgram(0);
    glDisable(GL_BLEND);
    if (culling) glEnable(GL_CULL_FACE);
}
