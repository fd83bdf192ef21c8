#include "cpp/ShaderReloader.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>

namespace {

std::string trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '\0'))
        text.pop_back();
    return text;
}

// Shaders and programs report their status and log through twin GL calls; one
// reader serves both. Returns true when `statusName` is GL_TRUE, else the trimmed log.
template <typename GetParameter, typename GetLog>
bool succeeded(GLuint object, GLenum statusName, GetParameter getParameter, GetLog getLog, std::string* log) {
    GLint status = GL_FALSE;
    getParameter(object, statusName, &status);
    if (status == GL_TRUE) return true;
    GLint logLength = 0;
    getParameter(object, GL_INFO_LOG_LENGTH, &logLength);
    std::string text(static_cast<size_t>(std::max(logLength, 1)), '\0');
    getLog(object, static_cast<GLsizei>(text.size()), nullptr, &text[0]);
    *log = trimmed(text);
    return false;
}

}  // namespace

bool ShaderReloader::knows(const std::string& fileName) const {
    const auto& files = ShaderEngine::sourceFiles();
    return std::find(files.begin(), files.end(), fileName) != files.end() || _engine.shaders.count(fileName) != 0;
}

GLuint ShaderReloader::compile(const std::string& fileName, std::string* error) const {
    const std::string::size_type dot = fileName.rfind('.');
    const std::string extension = dot == std::string::npos ? "" : fileName.substr(dot);
    const GLenum type = extension == _engine.vertexExtension     ? GL_VERTEX_SHADER
                        : extension == _engine.geometryExtension ? GL_GEOMETRY_SHADER
                        : extension == _engine.fragmentExtension ? GL_FRAGMENT_SHADER
                                                                 : 0;
    if (type == 0) return *error = "not a .vp, .gp or .fp source", 0;
    std::ifstream file(_engine.sourcePath(fileName), std::ios::binary);
    if (!file) return *error = "cannot read " + _engine.sourcePath(fileName), 0;
    const std::string source((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const GLchar* data = source.c_str();
    const GLint length = static_cast<GLint>(source.size());
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &data, &length);
    glCompileShader(shader);
    std::string log;
    if (succeeded(shader, GL_COMPILE_STATUS, glGetShaderiv, glGetShaderInfoLog, &log)) return shader;
    glDeleteShader(shader);
    *error = log;
    if (error->empty()) *error = "does not compile";
    return 0;
}

GLuint ShaderReloader::link(const ShaderEngine::ProgramStages& stages, const std::string& fileName,
                            GLuint replacement, std::string* error) const {
    auto stage = [&](const std::string& name) -> GLuint {
        if (name == fileName) return replacement;
        auto found = _engine.shaders.find(name);
        return found == _engine.shaders.end() ? 0 : found->second;
    };
    const GLuint program = glCreateProgram();
    // The engine's attachment order: fragment first for two stages, in pipeline order for three.
    if (stages.geometry.empty()) {
        for (GLuint shader : {stage(stages.fragment), stage(stages.vertex)})
            if (shader != 0) glAttachShader(program, shader);
    } else {
        for (GLuint shader : {stage(stages.vertex), stage(stages.geometry), stage(stages.fragment)})
            if (shader != 0) glAttachShader(program, shader);
    }
    glLinkProgram(program);
    std::string log;
    if (succeeded(program, GL_LINK_STATUS, glGetProgramiv, glGetProgramInfoLog, &log)) return program;
    glDeleteProgram(program);
    *error = "linking " + stages.name + ": " + log;
    return 0;
}

bool ShaderReloader::rebuild(const std::string& fileName, std::vector<std::string>* rebuilt, std::string* error) {
    rebuilt->clear();
    const GLuint shader = compile(fileName, error);
    if (shader == 0) return false;

    std::map<std::string, GLuint> linked;
    for (const ShaderEngine::ProgramStages& stages : ShaderEngine::programTable()) {
        if (stages.vertex != fileName && stages.geometry != fileName && stages.fragment != fileName) continue;
        const GLuint program = link(stages, fileName, shader, error);
        if (program == 0) {
            for (const auto& [name, made] : linked) glDeleteProgram(made);
            glDeleteShader(shader);
            return false;
        }
        linked[stages.name] = program;
    }

    auto old = _engine.shaders.find(fileName);
    if (old != _engine.shaders.end()) glDeleteShader(old->second);
    _engine.shaders[fileName] = shader;
    for (const auto& [name, program] : linked) {
        auto previous = _engine.programs.find(name);
        if (previous != _engine.programs.end()) glDeleteProgram(previous->second);
        _engine.programs[name] = program;
        rebuilt->push_back(name);
    }
    return true;
}
