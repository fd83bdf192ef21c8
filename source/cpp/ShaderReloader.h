// Rebuilds programs from a shader source saved while the film runs (the authoring tool).
//
// Contract: works on an engine's shader and program tables. rebuild() compiles the
// named source anew and links every program of the engine's program table that uses
// it into new program objects; only when all of that succeeds do the new shader and
// programs replace the old ones, which are then deleted (whoever keeps a program's
// name must fetch it again). On any failure nothing changes and *error holds the
// compiler's or linker's log. Nothing is shown and the process never ends here: the
// engine's own start-up failure behaviour is untouched.
#pragma once

#include "cpp/ShaderEngine.h"

#include <string>
#include <vector>

class ShaderReloader {
public:
    explicit ShaderReloader(ShaderEngine& engine) : _engine(engine) {}

    // True when `fileName` ("lighting.fp") is one of the engine's sources.
    bool knows(const std::string& fileName) const;

    // On success *rebuilt names the programs that were linked anew (maybe none).
    bool rebuild(const std::string& fileName, std::vector<std::string>* rebuilt, std::string* error);

private:
    GLuint compile(const std::string& fileName, std::string* error) const;
    GLuint link(const ShaderEngine::ProgramStages& stages, const std::string& fileName, GLuint replacement,
                std::string* error) const;

    ShaderEngine& _engine;
};
