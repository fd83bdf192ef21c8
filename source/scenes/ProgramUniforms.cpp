#include "scenes/ProgramUniforms.h"

#include "cpp/ShaderEngine.h"

ProgramUniforms::ProgramUniforms(const char* program, std::initializer_list<const char*> names)
    : _name(program), _names(names), _locations(names.size(), -1) {}

bool ProgramUniforms::use() {
    const GLuint handle = programHandle(_name);
    glUseProgram(handle);
    if (_looked && handle == _program) return false;
    _program = handle;
    _looked = true;
    for (size_t i = 0; i < _names.size(); ++i) _locations[i] = glGetUniformLocation(handle, _names[i]);
    return true;
}
