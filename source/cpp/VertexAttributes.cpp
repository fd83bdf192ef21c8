// Geometry container: vertex array, per-location streams, optional index buffer.
#include "cpp/VertexAttributes.h"

#include "GLwrappers/Texture.h"

#include <cstdint>
#include <stdexcept>
#include <utility>

VertexAttributes::VertexAttributes(GLenum primitiveMode) : attributes(kMaxLocations), mode(primitiveMode) {}

VertexAttributes::~VertexAttributes() {
    // A geometry that was never created owns no vertex array (and may live where no GL is loaded).
    if (vao != 0) glDeleteVertexArrays(1, &vao);
}

bool VertexAttributes::holds(int location) const {
    return location >= 0 && location < kMaxLocations && attributes[location] != nullptr;
}

void VertexAttributes::setAttribute(std::shared_ptr<AttributeBase> attribute, int location) {
    if (location < 0 || location >= kMaxLocations || attribute == nullptr) return;
    if (attributes[location] != nullptr) return;
    attributes[location] = std::move(attribute);
    ++attributeCount;
}

std::shared_ptr<AttributeBase> VertexAttributes::attribute(int location) const {
    if (location < 0 || location >= kMaxLocations) return nullptr;
    return attributes[location];
}

void VertexAttributes::setTexture(int key, const std::string& name) {
    textures[key] = name;
}

void VertexAttributes::create() {
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    for (int location = 0; location < kMaxLocations; ++location) {
        AttributeBase* stream = attributes[location].get();
        if (stream == nullptr) continue;
        glGenBuffers(1, &stream->buffer);
        glBindBuffer(GL_ARRAY_BUFFER, stream->buffer);
        glVertexAttribPointer(location, stream->componentCount(), stream->glType(), GL_FALSE,
                              stream->stride(), nullptr);
        stream->upload(location);
    }
}

void VertexAttributes::update() {
    glBindVertexArray(vao);
    for (int location = 0; location < kMaxLocations; ++location) {
        if (attributes[location] != nullptr) attributes[location]->upload(location);
    }
}

void VertexAttributes::enableAll() {
    glBindVertexArray(vao);
    for (int location = 0; location < kMaxLocations; ++location) {
        if (holds(location))
            glEnableVertexAttribArray(location);
        else
            glDisableVertexAttribArray(location);
    }
}

void VertexAttributes::enableOnly(const std::vector<int>& locations) {
    glBindVertexArray(vao);
    bool disable[kMaxLocations] = {true, true, true, true, true, true, true, true, true, true};
    for (int location : locations) {
        if (!holds(location)) continue;
        glEnableVertexAttribArray(location);
        disable[location] = false;
    }
    for (int location = 0; location < kMaxLocations; ++location) {
        if (disable[location]) glDisableVertexAttribArray(location);
    }
}

void VertexAttributes::draw() {
    glBindVertexArray(vao);
    // Without a position stream there is nothing to count; drawing nothing beats reading null.
    const GLsizei count = holds(0) ? static_cast<GLsizei>(attributes[0]->elementCount()) : 0;
    glDrawArrays(mode, 0, count);
}

void VertexAttributes::drawRange(GLint first, GLsizei count) {
    glBindVertexArray(vao);
    glDrawArrays(mode, first, count);
}

void VertexAttributes::bindTextures(const TextureTable& textureTable) {
    struct KeyUnit {
        int key;
        GLenum unit;
    };
    static const KeyUnit kBindings[] = {{7, GL_TEXTURE8}, {8, GL_TEXTURE9}, {1, GL_TEXTURE10}};
    for (const KeyUnit& binding : kBindings) {
        auto named = textures.find(binding.key);
        if (named == textures.end()) continue;
        auto found = textureTable.find(named->second);
        if (found == textureTable.end() || found->second == nullptr) {
            throw std::runtime_error("VertexAttributes::bindTextures: VertexAttributes expects texture " +
                                     named->second + ".\n");
        }
        found->second->bind(binding.unit);
    }
}

IndexedVertexAttributes::IndexedVertexAttributes(GLenum primitiveMode, const std::vector<GLuint>& indexList)
    : VertexAttributes(primitiveMode), indices(indexList) {}

IndexedVertexAttributes::~IndexedVertexAttributes() {
    if (elementBuffer != 0) glDeleteBuffers(1, &elementBuffer);
}

void IndexedVertexAttributes::create() {
    VertexAttributes::create();
    glGenBuffers(1, &elementBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, elementBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(GLuint)),
                 indices.data(), GL_STATIC_DRAW);
}

void IndexedVertexAttributes::drawRange(GLint first, GLsizei count) {
    glBindVertexArray(vao);
    const auto offset = static_cast<uintptr_t>(first) * sizeof(GLuint);
    glDrawElements(mode, count, GL_UNSIGNED_INT, reinterpret_cast<const void*>(offset));
}

void IndexedVertexAttributes::draw() {
    glBindVertexArray(vao);
    glDrawElements(mode, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_INT, nullptr);
}
