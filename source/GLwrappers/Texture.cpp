#include "GLwrappers/Texture.h"

#include "platform/Assert.h"

#include <stdexcept>

namespace gl {

namespace {

size_t bytesPerPixel(GLint format) {
    switch (format) {
        case GL_RED:
            return 1;
        case GL_RG:
            return 2;
        case GL_RGB:
        case GL_BGR:
            return 3;
        default:
            return 4;
    }
}

}  // namespace

Texture2D::Texture2D(GLuint width, GLuint height, GLint format, bool mipmaps)
    : _aspect(static_cast<double>(width) / static_cast<double>(height)),
      _format(format),
      _width(width),
      _height(height),
      _mipmaps(mipmaps) {
    glGenTextures(1, &_handle);
    glBindTexture(GL_TEXTURE_2D, _handle);
    HV_ASSERT_AT(glIsTexture(_handle) == GL_TRUE, "glIsTexture(_handle) == GL_TRUE",
                 "source\\GLwrappers\\Texture", 18);
}

Texture2D::~Texture2D() {
    HV_ASSERT_AT(glIsTexture(_handle) == GL_TRUE, "glIsTexture(_handle) == GL_TRUE",
                 "source\\GLwrappers\\Texture", 30);
    glDeleteTextures(1, &_handle);
}

void Texture2D::upload(const std::vector<unsigned char>& data) {
    HV_ASSERT_AT(data.size() > 0, "data.size() > 0", "source\\GLwrappers\\Texture", 37);
    // GL would read past the end of a short buffer.
    HV_ASSERT(data.size() >= static_cast<size_t>(_width) * _height * bytesPerPixel(_format),
              "source\\GLwrappers\\Texture");
    bind(GL_TEXTURE0);
    // The rows are tightly packed; GL's default row alignment of 4 would skew (and
    // overrun) rows whose size is not a multiple of 4.
    GLint previousAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, _format, static_cast<GLsizei>(_width), static_cast<GLsizei>(_height), 0,
                 static_cast<GLenum>(_format), GL_UNSIGNED_BYTE, data.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);
    if (_mipmaps) glGenerateMipmap(GL_TEXTURE_2D);
}

void Texture2D::bind(GLenum unit) const {
    glActiveTexture(unit);
    glBindTexture(GL_TEXTURE_2D, _handle);
    if (_parametersSet) return;
    _parametersSet = true;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, _mipmaps ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

namespace {

class QueryObject {
public:
    QueryObject() {
        glGenQueries(1, &_name);
        // A failed call leaves the name alone (all ones) or yields 0.
        if (_name == 0 || _name == 0xFFFFFFFFu)
            throw std::runtime_error("class QueryObject: glGenQueries failed");
    }
    ~QueryObject() { glDeleteQueries(1, &_name); }
    QueryObject(const QueryObject&) = delete;
    QueryObject& operator=(const QueryObject&) = delete;
    GLuint name() const { return _name; }

private:
    GLuint _name = 0xFFFFFFFFu;
};

struct QueryPair {
    QueryObject first;
    QueryObject second;
};

}  // namespace

// Members are destroyed in reverse order: the second pair's names go first.
struct TimerQuery::Impl {
    int32_t index = 0;
    QueryPair pairA;
    QueryPair pairB;
    QueryPair* current = &pairA;
    QueryPair* previous = &pairB;
};

TimerQuery::TimerQuery() : _impl(std::make_unique<Impl>()) {}

TimerQuery::~TimerQuery() = default;

std::array<GLuint, 4> TimerQuery::names() const {
    return {_impl->pairA.first.name(), _impl->pairA.second.name(), _impl->pairB.first.name(),
            _impl->pairB.second.name()};
}

}  // namespace gl
