// Compiles the shader sources and links the programs once, then hands out program names.
#include "cpp/ShaderEngine.h"

#include "platform/MessageBox.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

std::string currentDirectory() {
    std::error_code error;
    std::filesystem::path path = std::filesystem::current_path(error);
    // A vanished working directory must not turn the path into "/shaders/...".
    return error ? std::string(".") : path.string();
}

std::string directoryOfShaders() {
    const char separator = std::filesystem::path::preferred_separator;
    return std::string(1, separator) + "shaders" + separator;
}

}  // namespace

ShaderEngine* ShaderEngine::create() {
    static ShaderEngine* instance = [] {
        auto* engine = new ShaderEngine(currentDirectory(), sourceFiles(), programTable());
        // Every failed link has been shown by now; the film needs all of its programs.
        if (engine->programs.size() != programTable().size()) std::exit(1);
        return engine;
    }();
    return instance;
}

const std::vector<std::string>& ShaderEngine::sourceFiles() {
    static const std::vector<std::string> files = {
        "geometryPass.vp", "geometryPass.fp", "passThrough.vp", "passThrough.fp", "zorva.vp",
        "zorva.fp",        "hblur.fp",        "vblur.fp",       "shadow.vp",      "shadow.gp",
        "shadow.fp",       "lighting.vp",     "lighting.fp",    "forward.vp",     "forward.fp",
        "brightPass.fp",   "sum_mipmaps.fp",  "dither.fp",      "overlay.vp",     "overlay.fp",
        "quad.vp",         "quad.gp",         "quad.fp",        "pp.fp",          "gPassT.vp",
        "gPassT.fp"};
    return files;
}

const std::vector<ShaderEngine::ProgramStages>& ShaderEngine::programTable() {
    static const std::vector<ProgramStages> table = {
        {"geometryPass", "geometryPass.vp", "", "geometryPass.fp"},
        {"passThrough", "passThrough.vp", "", "passThrough.fp"},
        {"zorva", "zorva.vp", "", "zorva.fp"},
        {"hblur", "passThrough.vp", "", "hblur.fp"},
        {"vblur", "passThrough.vp", "", "vblur.fp"},
        {"shadow", "shadow.vp", "", "shadow.fp"},
        {"lighting", "lighting.vp", "", "lighting.fp"},
        {"forward", "forward.vp", "", "forward.fp"},
        {"brightPass", "passThrough.vp", "", "brightPass.fp"},
        {"sumMipMaps", "passThrough.vp", "", "sum_mipmaps.fp"},
        {"dither", "passThrough.vp", "", "dither.fp"},
        {"overlay", "overlay.vp", "", "overlay.fp"},
        {"quad", "quad.vp", "quad.gp", "quad.fp"},
        {"postproc", "passThrough.vp", "", "pp.fp"},
        {"gPassT", "gPassT.vp", "", "gPassT.fp"},
    };
    return table;
}

ShaderEngine::ShaderEngine(const std::string& workingDirectory, const std::vector<std::string>& files,
                           const std::vector<ProgramStages>& table)
    : shaderDirectory(directoryOfShaders()), _workingDirectory(workingDirectory) {
    for (const std::string& file : files) {
        if (!compileShader(file)) std::exit(1);
    }
    for (const ProgramStages& program : table) {
        if (program.geometry.empty())
            linkProgram(program.name, shaderNamed(program.vertex), shaderNamed(program.fragment));
        else
            linkProgram(program.name, shaderNamed(program.vertex), shaderNamed(program.geometry),
                        shaderNamed(program.fragment));
    }
}

GLuint ShaderEngine::shaderNamed(const std::string& fileName) const {
    auto found = shaders.find(fileName);
    return found == shaders.end() ? 0 : found->second;
}

std::string ShaderEngine::sourcePath(const std::string& fileName) const {
    return _workingDirectory + shaderDirectory + fileName;
}

bool ShaderEngine::getProgram(const std::string& name, GLuint& handle) const {
    auto found = programs.find(name);
    if (found == programs.end()) return false;
    handle = found->second;
    return true;
}

bool ShaderEngine::compileShader(const std::string& fileName) {
    if (shaders.count(fileName) != 0) return true;

    const std::string::size_type dot = fileName.find('.');
    const std::string path = sourcePath(fileName);

    std::ifstream file(path, std::ios::binary);
    // A directory opens as a stream on Linux but cannot be read: treat it as missing.
    if (!file || std::filesystem::is_directory(path)) {
        platform::showMessageBox("Cannot find file: " + path);
        return false;
    }
    if (dot == std::string::npos) {
        platform::showMessageBox("Shader has no extension. Unable to determine type.");
        return false;
    }

    const std::string extension = fileName.substr(dot);
    GLenum type = 0;
    if (extension == vertexExtension)
        type = GL_VERTEX_SHADER;
    else if (extension == geometryExtension)
        type = GL_GEOMETRY_SHADER;
    else if (extension == fragmentExtension)
        type = GL_FRAGMENT_SHADER;
    else {
        platform::showMessageBox(
            "Unable to determine shader type. Shader source file has neither .fp, .vp or .gp extension: " +
            fileName);
        return false;
    }

    const GLuint shader = glCreateShader(type);

    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    file.seekg(0, std::ios::beg);
    std::vector<char> source(size > 0 ? static_cast<size_t>(size) : 0);
    if (!source.empty()) file.read(source.data(), static_cast<std::streamsize>(source.size()));

    // An empty file still hands GL a string, not a null pointer.
    const GLchar* text = source.empty() ? "" : source.data();
    const GLint length = static_cast<GLint>(source.size());
    glShaderSource(shader, 1, &text, &length);
    glCompileShader(shader);

    GLint status = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status == GL_TRUE) {
        shaders[fileName] = shader;
        return true;
    }

    char log[2048] = {};
    glGetShaderInfoLog(shader, sizeof(log), nullptr, log);
    platform::showMessageBox(std::string(log) + path);
    return false;
}

GLuint ShaderEngine::attachAndLink(const std::string& name, std::initializer_list<GLuint> stagesInOrder) {
    const GLuint program = glCreateProgram();
    // A stage that never compiled has no name to attach; the link then fails on its own.
    for (GLuint stage : stagesInOrder)
        if (stage != 0) glAttachShader(program, stage);
    glLinkProgram(program);

    GLint status = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    if (status != GL_TRUE) return program;
    programs[name] = program;
    return 0;
}

bool ShaderEngine::linkProgram(const std::string& name, GLuint vertexShader, GLuint fragmentShader) {
    const GLuint failed = attachAndLink(name, {fragmentShader, vertexShader});
    if (failed == 0) return true;

    char log[1024] = {};
    glGetProgramInfoLog(failed, sizeof(log), nullptr, log);
    platform::showMessageBox("Linking shaders failed for in program " + name + ". " + log);
    return false;
}

bool ShaderEngine::linkProgram(const std::string& name, GLuint vertexShader, GLuint geometryShader,
                               GLuint fragmentShader) {
    const GLuint failed = attachAndLink(name, {vertexShader, geometryShader, fragmentShader});
    if (failed == 0) return true;

    std::string log;
    GLint logLength = 0;
    glGetProgramiv(failed, GL_INFO_LOG_LENGTH, &logLength);
    if (logLength > 0) {
        std::vector<char> buffer(static_cast<size_t>(logLength), '\0');
        glGetProgramInfoLog(failed, logLength, nullptr, buffer.data());
        log.assign(buffer.data());
    }
    platform::showMessageBox("Linking shaders failed for program " + name + log);
    return false;
}

GLuint programHandle(const std::string& name) {
    static ShaderEngine* engine = ShaderEngine::create();
    GLuint handle = 0xFFFFFFFF;
    engine->getProgram(name, handle);
    return handle;
}
