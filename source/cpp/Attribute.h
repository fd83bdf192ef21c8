// One vertex attribute stream: a tightly packed vector of glm float vectors and the
// GL array buffer it is uploaded to.
//
// Contract: the geometry that holds the attribute creates `buffer` (create()) and
// sets the attribute pointer; upload(location) (re)specifies the whole buffer store
// from the current data, or disables the location when the stream is empty. The
// attribute owns its buffer and deletes it when destroyed. The data vector is shared
// with producers through data(), who fill or resize it in place.
#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

class AttributeBase {
public:
    GLuint buffer = 0;

    AttributeBase() = default;
    AttributeBase(const AttributeBase&) = delete;
    AttributeBase& operator=(const AttributeBase&) = delete;
    // Name 0 is skipped: deleting it is a no-op, and CPU-only users (no GL loaded)
    // may destroy attributes that never got a buffer.
    virtual ~AttributeBase() {
        if (buffer != 0) glDeleteBuffers(1, &buffer);
    }

    virtual std::string typeName() const = 0;
    virtual GLenum glType() const = 0;
    virtual GLint componentCount() const = 0;
    virtual size_t byteSize() const = 0;
    virtual const void* dataPointer() const = 0;
    virtual GLsizei stride() const = 0;
    virtual size_t elementCount() const = 0;

    // Binds `buffer` and re-specifies its whole store; an empty stream only disables
    // its location, so a stale pointer is never read.
    void upload(GLuint location) {
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        if (byteSize() == 0) {
            glDisableVertexAttribArray(location);
            return;
        }
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(byteSize()), dataPointer(), GL_DYNAMIC_DRAW);
        glEnableVertexAttribArray(location);
    }
};

namespace detail {
template <typename T>
struct AttributeTraits;
template <>
struct AttributeTraits<glm::vec2> {
    static constexpr const char* name = "vec2";
    static constexpr GLint components = 2;
};
template <>
struct AttributeTraits<glm::vec3> {
    static constexpr const char* name = "vec3";
    static constexpr GLint components = 3;
};
template <>
struct AttributeTraits<glm::vec4> {
    static constexpr const char* name = "vec4";
    static constexpr GLint components = 4;
};
}  // namespace detail

template <typename T>
class Attribute : public AttributeBase {
public:
    static_assert(sizeof(T) == sizeof(float) * detail::AttributeTraits<T>::components,
                  "attribute elements must be tightly packed floats");

    std::shared_ptr<std::vector<T>> elements = std::make_shared<std::vector<T>>();

    std::string typeName() const override { return detail::AttributeTraits<T>::name; }
    GLenum glType() const override { return GL_FLOAT; }
    GLint componentCount() const override { return detail::AttributeTraits<T>::components; }
    size_t byteSize() const override { return elements->size() * sizeof(T); }
    const void* dataPointer() const override { return elements->data(); }
    GLsizei stride() const override { return static_cast<GLsizei>(sizeof(T)); }
    size_t elementCount() const override { return elements->size(); }

    virtual std::shared_ptr<std::vector<T>> data() { return elements; }
};

using Attribute2 = Attribute<glm::vec2>;
using Attribute3 = Attribute<glm::vec3>;
using Attribute4 = Attribute<glm::vec4>;
