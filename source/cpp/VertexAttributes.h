// The one geometry container: a vertex array with up to ten attribute streams (one
// GL buffer per location, location = index in `attributes`), an optional index list
// (IndexedVertexAttributes), and the names of the material textures it binds.
//
// Contract: construct, fill the attribute vectors, setAttribute() each stream, create()
// once with the GL context current, then per frame optionally update(), enableAll() or
// enableOnly(), bindTextures(), draw(). Locations must be below kMaxLocations.
// Texture keys 7 (diffuse), 8 (specular) and 1 (normal map) bind to units 8, 9, 10.
// Destruction releases the vertex array, the index buffer and (through the
// attributes) the stream buffers.
#pragma once

#include "cpp/Attribute.h"

#include <GL/glew.h>

#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace gl {
class Texture2D;
}

// The scene's textures by image file name.
using TextureTable = std::unordered_map<std::string, std::unique_ptr<gl::Texture2D>>;

class VertexAttributes {
public:
    static constexpr int kMaxLocations = 10;

    std::vector<std::shared_ptr<AttributeBase>> attributes;
    std::map<int, std::string> textures;
    GLenum mode = GL_TRIANGLES;
    GLuint vao = 0;
    int attributeCount = 0;

    explicit VertexAttributes(GLenum primitiveMode);
    VertexAttributes(const VertexAttributes&) = delete;
    VertexAttributes& operator=(const VertexAttributes&) = delete;
    virtual ~VertexAttributes();

    // Stores the stream at a free location; an occupied location keeps its attribute.
    void setAttribute(std::shared_ptr<AttributeBase> attribute, int location);
    std::shared_ptr<AttributeBase> attribute(int location) const;
    void setTexture(int key, const std::string& name);

    virtual void create();
    virtual void drawRange(GLint first, GLsizei count);
    virtual void draw();

    // Re-uploads every stream after its producer changed the data.
    void update();
    void enableAll();
    void enableOnly(const std::vector<int>& locations);

    // Binds the named textures from `textureTable`; throws std::runtime_error when a
    // named texture is missing from the table.
    void bindTextures(const TextureTable& textureTable);

protected:
    bool holds(int location) const;
};

class IndexedVertexAttributes : public VertexAttributes {
public:
    GLuint elementBuffer = 0;
    std::vector<GLuint> indices;

    IndexedVertexAttributes(GLenum primitiveMode, const std::vector<GLuint>& indexList);
    ~IndexedVertexAttributes() override;

    void create() override;
    // `first` and `count` count indices.
    void drawRange(GLint first, GLsizei count) override;
    void draw() override;
};
