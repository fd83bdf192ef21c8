#include "scenes/PlaceholderScene.h"

#include "platform/Assert.h"

#include <algorithm>
#include <cmath>

namespace {
// The quad's corners come from gl_VertexID, so no vertex buffer is needed.
const char* const kVertexSource = R"(#version 330 core
uniform vec2 centre;
uniform vec2 size;
void main() {
    vec2 corner = vec2(gl_VertexID & 1, (gl_VertexID >> 1) & 1) * 2.0 - 1.0;
    gl_Position = vec4(centre + corner * size, 0.0, 1.0);
}
)";

const char* const kFragmentSource = R"(#version 330 core
uniform vec3 colour;
out vec4 fragColour;
void main() { fragColour = vec4(colour, 1.0); }
)";

GLuint compile(GLenum kind, const char* source) {
    GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    HV_ASSERT(compiled == GL_TRUE, "source\\scenes\\PlaceholderScene");
    return shader;
}
}  // namespace

PlaceholderScene::PlaceholderScene() {
    registerTrack("light_intens");
    registerTrack("credits");

    GLuint vertex = compile(GL_VERTEX_SHADER, kVertexSource);
    GLuint fragment = compile(GL_FRAGMENT_SHADER, kFragmentSource);
    _program = glCreateProgram();
    glAttachShader(_program, vertex);
    glAttachShader(_program, fragment);
    glLinkProgram(_program);
    GLint linked = GL_FALSE;
    glGetProgramiv(_program, GL_LINK_STATUS, &linked);
    HV_ASSERT(linked == GL_TRUE, "source\\scenes\\PlaceholderScene");
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    _centreLocation = glGetUniformLocation(_program, "centre");
    _sizeLocation = glGetUniformLocation(_program, "size");
    _colourLocation = glGetUniformLocation(_program, "colour");
    glGenVertexArrays(1, &_vertexArray);
}

PlaceholderScene::~PlaceholderScene() {
    glDeleteVertexArrays(1, &_vertexArray);
    glDeleteProgram(_program);
}

void PlaceholderScene::draw(const FrameTime* frameTime) {
    const float t = static_cast<float>(frameTime->time);
    const float light = static_cast<float>(std::clamp(parameter("light_intens"), 0.0, 1.0));
    const float credits = static_cast<float>(std::clamp(parameter("credits"), 0.0, 1.0));

    glDisable(GL_DEPTH_TEST);
    glClearColor(0.08f + 0.6f * light, 0.10f + 0.05f * std::sin(t), 0.25f + 0.1f * std::cos(0.5f * t), 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glUseProgram(_program);
    glUniform2f(_centreLocation, 0.5f * std::cos(t), 0.5f * std::sin(t));
    glUniform2f(_sizeLocation, 0.15f + 0.3f * credits, 0.15f);
    glUniform3f(_colourLocation, 1.0f, 0.8f - 0.4f * light, 0.2f);
    glBindVertexArray(_vertexArray);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glBindVertexArray(0);
    glUseProgram(0);
}
