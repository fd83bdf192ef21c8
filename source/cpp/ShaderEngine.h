// Owner of every GL shader and program of the process.
//
// Contract: the first ShaderEngine::create() (GL context current) compiles the fixed
// list of sources from "<working directory>/shaders/" in order and links the fixed
// program table. A source that is missing, has no or an unknown extension, or fails to
// compile shows a message box and ends the process with status 1. A program that fails
// to link is reported and left out, so getProgram() says false and programHandle()
// gives 0xFFFFFFFF for it; the process-wide engine of create() then ends the process
// with status 1 once every link has been tried. Nothing is compiled later, reloaded or
// deleted, except by a ShaderReloader (the authoring tool's live reload).
#pragma once

#include <GL/glew.h>

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

class ShaderEngine {
public:
    // One linked program: its stage sources by file name; `geometry` empty when there is none.
    struct ProgramStages {
        std::string name;
        std::string vertex;
        std::string geometry;
        std::string fragment;
    };

    std::map<std::string, GLuint> shaders;
    std::map<std::string, GLuint> programs;
    const std::string shaderDirectory;
    const std::string vertexExtension = ".vp";
    const std::string geometryExtension = ".gp";
    const std::string fragmentExtension = ".fp";

    // The process-wide engine, built from the current working directory on first use.
    static ShaderEngine* create();

    // The sources compiled at start, in order, and the programs linked from them.
    static const std::vector<std::string>& sourceFiles();
    static const std::vector<ProgramStages>& programTable();

    // Builds an engine over `workingDirectory` with the given sources and programs
    // (create() passes the real ones). Ends the process at the first compile failure.
    ShaderEngine(const std::string& workingDirectory, const std::vector<std::string>& files,
                 const std::vector<ProgramStages>& table);
    ShaderEngine(const ShaderEngine&) = delete;
    ShaderEngine& operator=(const ShaderEngine&) = delete;

    // True with `handle` set when the program exists; false with `handle` untouched otherwise.
    bool getProgram(const std::string& name, GLuint& handle) const;

    // Construction steps, reachable for tests; each failure shows its message box.
    bool compileShader(const std::string& fileName);
    bool linkProgram(const std::string& name, GLuint vertexShader, GLuint fragmentShader);
    bool linkProgram(const std::string& name, GLuint vertexShader, GLuint geometryShader,
                     GLuint fragmentShader);

    // The full path a source file is read from.
    std::string sourcePath(const std::string& fileName) const;

private:
    std::string _workingDirectory;

    GLuint shaderNamed(const std::string& fileName) const;
    // Links the stages, attached in the given order, and stores the program under `name`.
    // Returns 0 on success, else the failed program for its info log.
    GLuint attachAndLink(const std::string& name, std::initializer_list<GLuint> stagesInOrder);
};

// The GL name of program `name`, or 0xFFFFFFFF when there is no such program.
GLuint programHandle(const std::string& name);
