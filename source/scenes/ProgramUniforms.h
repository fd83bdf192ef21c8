// The uniform locations of one of the shader engine's programs, looked up by name once
// per program object instead of on every use.
//
// Contract: construct with the program's name and its uniform names (string literals,
// which must outlive the object); use() makes the program current and, the first time
// and whenever the engine hands out a different program object under the name (a
// rebuilt program), looks every location up again and returns true, so the caller
// can set the uniforms that never change. location(i) is that of names[i] (-1 when the
// program has no such uniform: GL then ignores the set calls). Allocates only in the
// constructor.
#pragma once

#include <GL/glew.h>

#include <cstddef>
#include <initializer_list>
#include <vector>

class ProgramUniforms {
public:
    ProgramUniforms(const char* program, std::initializer_list<const char*> names);

    bool use();
    GLint location(size_t index) const { return _locations[index]; }
    GLuint program() const { return _program; }

private:
    const char* _name = nullptr;
    std::vector<const char*> _names;
    std::vector<GLint> _locations;
    GLuint _program = 0;
    bool _looked = false;
};
