// GL object wrappers: 2D textures and timer query objects.
//
// Texture2D owns one GL texture name. Its format is used both as internal format and
// as the pixel format of upload(), which takes tightly packed 8-bit rows (first row
// of the data = bottom row of the texture). bind() sets the sampling parameters
// again on every call: repeat wrapping, linear magnification, and trilinear
// minification when the texture is mipmapped (plain linear otherwise).
//
// TimerQuery owns four GL query names (two pairs). Nothing in the film begins, ends or
// reads them; they exist as long as their owner.
#pragma once

#include <GL/glew.h>

#include <array>
#include <memory>
#include <vector>

namespace gl {

class Texture2D {
public:
    // Generates the texture name and binds it to GL_TEXTURE_2D on the active unit.
    Texture2D(GLuint width, GLuint height, GLint format, bool mipmaps);
    virtual ~Texture2D();

    Texture2D(const Texture2D&) = delete;
    Texture2D& operator=(const Texture2D&) = delete;

    // Defines level 0 from `data` (whole image, rows tightly packed) and, when
    // mipmapped, generates the mip chain. Leaves the texture bound on unit 0.
    void upload(const std::vector<unsigned char>& data);

    // Makes `unit` (GL_TEXTURE0 + n) active and binds the texture there, wrapping with
    // GL_REPEAT and filtering linearly (trilinear when mipmapped).
    void bind(GLenum unit) const;

    double aspect() const { return _aspect; }
    GLuint handle() const { return _handle; }
    GLuint width() const { return _width; }
    GLuint height() const { return _height; }
    GLint format() const { return _format; }
    bool mipmapped() const { return _mipmaps; }

private:
    GLuint _handle = 0;
    double _aspect = 0.0;
    GLint _format = 0;
    GLuint _width = 0;
    GLuint _height = 0;
    bool _mipmaps = false;
    // The sampling parameters live with the texture: set on the first bind, kept after.
    mutable bool _parametersSet = false;
};

class TimerQuery {
public:
    // Throws std::runtime_error("class QueryObject: glGenQueries failed") when a name
    // cannot be generated; names made before the failure are deleted again.
    TimerQuery();
    virtual ~TimerQuery();

    TimerQuery(const TimerQuery&) = delete;
    TimerQuery& operator=(const TimerQuery&) = delete;

    // The four names, first pair first: whoever times GPU work begins and ends them.
    std::array<GLuint, 4> names() const;

private:
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace gl
