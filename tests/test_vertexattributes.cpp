// Vertex attributes: stream metadata, which locations get buffers and pointers, the
// enable state after enableAll/enableOnly, indexed and ranged draws read back from a
// tiny frame, material texture binding, and the release of every GL object.
#include "GLwrappers/Texture.h"
#include "GlTestContext.h"
#include "cpp/VertexAttributes.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

template <typename T>
std::shared_ptr<Attribute<T>> stream(size_t count, T value = T(0.0f)) {
    auto attribute = std::make_shared<Attribute<T>>();
    attribute->data()->assign(count, value);
    return attribute;
}

GLint attribParameter(int location, GLenum parameter) {
    GLint value = -1;
    glGetVertexAttribiv(static_cast<GLuint>(location), parameter, &value);
    return value;
}

std::vector<int> enabledLocations(const VertexAttributes& geometry) {
    glBindVertexArray(geometry.vao);
    std::vector<int> enabled;
    for (int location = 0; location < VertexAttributes::kMaxLocations; ++location) {
        if (attribParameter(location, GL_VERTEX_ATTRIB_ARRAY_ENABLED) != 0) enabled.push_back(location);
    }
    return enabled;
}

GLint bufferSize(GLuint buffer) {
    GLint size = -1;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    return size;
}

// Six streams as a mesh with normals, colours, texture coordinates and tangents has.
void fillSixStreams(VertexAttributes& geometry, size_t count) {
    geometry.setAttribute(stream<glm::vec3>(count), 0);
    geometry.setAttribute(stream<glm::vec3>(count), 1);
    geometry.setAttribute(stream<glm::vec4>(count, glm::vec4(1.0f)), 2);
    geometry.setAttribute(stream<glm::vec2>(count), 3);
    geometry.setAttribute(stream<glm::vec3>(count), 4);
    geometry.setAttribute(stream<glm::vec3>(count), 5);
}

}  // namespace

TEST(Attribute, ReportsTypeSizeAndLayoutOfItsElements) {
    auto positions = stream<glm::vec3>(1536);
    EXPECT_EQ(positions->byteSize(), 18432u);
    EXPECT_EQ(positions->stride(), 12);
    EXPECT_EQ(positions->componentCount(), 3);
    EXPECT_EQ(positions->glType(), static_cast<GLenum>(GL_FLOAT));
    EXPECT_EQ(positions->typeName(), "vec3");
    EXPECT_EQ(positions->elementCount(), 1536u);
    EXPECT_EQ(positions->dataPointer(), positions->data()->data());

    auto coords = stream<glm::vec2>(5);
    EXPECT_EQ(coords->typeName(), "vec2");
    EXPECT_EQ(coords->byteSize(), 40u);
    EXPECT_EQ(coords->stride(), 8);
    auto colours = stream<glm::vec4>(3);
    EXPECT_EQ(colours->typeName(), "vec4");
    EXPECT_EQ(colours->componentCount(), 4);
    EXPECT_EQ(colours->byteSize(), 48u);

    Attribute<glm::vec3> empty;
    EXPECT_EQ(empty.buffer, 0u);
    ASSERT_NE(empty.data(), nullptr);
    EXPECT_EQ(empty.byteSize(), 0u);
}

TEST(Attribute, ProducersShareTheVectorTheAttributeUploads) {
    Attribute<glm::vec3> attribute;
    std::shared_ptr<std::vector<glm::vec3>> held = attribute.data();
    held->resize(7);
    EXPECT_EQ(attribute.elementCount(), 7u);
    EXPECT_EQ(attribute.byteSize(), 84u);
}

TEST(VertexAttributesStore, OccupiedLocationKeepsItsAttribute) {
    VertexAttributes geometry(GL_TRIANGLES);
    EXPECT_EQ(geometry.attributes.size(), 10u);
    auto first = stream<glm::vec4>(3);
    auto second = stream<glm::vec4>(4);
    geometry.setAttribute(first, 2);
    geometry.setAttribute(second, 2);
    EXPECT_EQ(geometry.attribute(2), first);
    EXPECT_EQ(geometry.attributeCount, 1);
    // Locations that do not exist are refused rather than written past the table.
    geometry.setAttribute(second, 10);
    geometry.setAttribute(second, -1);
    EXPECT_EQ(geometry.attributeCount, 1);
    EXPECT_EQ(geometry.attribute(10), nullptr);
    EXPECT_EQ(geometry.attribute(0), nullptr);

    geometry.setTexture(7, "a.png");
    geometry.setTexture(7, "b.png");
    EXPECT_EQ(geometry.textures.size(), 1u);
    EXPECT_EQ(geometry.textures.at(7), "b.png");
}

class VertexAttributesGl : public hvtest::GlTest {
protected:
    void TearDown() override {
        glBindVertexArray(0);
        expectNoGlError();
    }
};

TEST_F(VertexAttributesGl, CreateGivesBuffersAndPointersOnlyToStoredLocations) {
    VertexAttributes geometry(GL_TRIANGLES);
    auto positions = stream<glm::vec3>(6);
    auto coords = stream<glm::vec2>(6);
    geometry.setAttribute(positions, 0);
    geometry.setAttribute(coords, 3);
    geometry.create();

    ASSERT_NE(geometry.vao, 0u);
    GLint boundVao = 0;
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &boundVao);
    EXPECT_EQ(static_cast<GLuint>(boundVao), geometry.vao);
    EXPECT_NE(positions->buffer, 0u);
    EXPECT_NE(coords->buffer, 0u);
    EXPECT_NE(positions->buffer, coords->buffer);
    for (int location = 0; location < 10; ++location) {
        const GLint binding = attribParameter(location, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING);
        if (location == 0)
            EXPECT_EQ(static_cast<GLuint>(binding), positions->buffer);
        else if (location == 3)
            EXPECT_EQ(static_cast<GLuint>(binding), coords->buffer);
        else
            EXPECT_EQ(binding, 0) << location;
    }
    EXPECT_EQ(attribParameter(0, GL_VERTEX_ATTRIB_ARRAY_SIZE), 3);
    EXPECT_EQ(attribParameter(3, GL_VERTEX_ATTRIB_ARRAY_SIZE), 2);
    EXPECT_EQ(attribParameter(3, GL_VERTEX_ATTRIB_ARRAY_STRIDE), 8);
    EXPECT_EQ(bufferSize(positions->buffer), 72);
    EXPECT_EQ(bufferSize(coords->buffer), 48);

    EXPECT_EQ(enabledLocations(geometry), (std::vector<int>{0, 3}));
    for (int location : {1, 2}) glEnableVertexAttribArray(location);  // stale state from elsewhere
    geometry.enableAll();
    EXPECT_EQ(enabledLocations(geometry), (std::vector<int>{0, 3}));
}

TEST_F(VertexAttributesGl, EnableOnlyNarrowsToPresentListedLocations) {
    VertexAttributes geometry(GL_TRIANGLES);
    fillSixStreams(geometry, 3);
    geometry.create();
    EXPECT_EQ(enabledLocations(geometry), (std::vector<int>{0, 1, 2, 3, 4, 5}));

    geometry.enableOnly({0});
    EXPECT_EQ(enabledLocations(geometry), (std::vector<int>{0}));
    geometry.enableAll();
    EXPECT_EQ(enabledLocations(geometry), (std::vector<int>{0, 1, 2, 3, 4, 5}));

    VertexAttributes withoutFive(GL_TRIANGLES);
    withoutFive.setAttribute(stream<glm::vec3>(3), 0);
    withoutFive.setAttribute(stream<glm::vec3>(3), 1);
    withoutFive.create();
    withoutFive.enableOnly({5});
    EXPECT_TRUE(enabledLocations(withoutFive).empty());
    // Out-of-range entries are ignored, not used as indices.
    withoutFive.enableOnly({-1, 12, 1});
    EXPECT_EQ(enabledLocations(withoutFive), (std::vector<int>{1}));
}

TEST_F(VertexAttributesGl, EmptyStreamsStayDisabledUntilUpdateFindsData) {
    VertexAttributes geometry(GL_LINES);
    auto positions = stream<glm::vec3>(0);
    geometry.setAttribute(positions, 0);
    geometry.create();
    EXPECT_TRUE(enabledLocations(geometry).empty());
    EXPECT_NE(positions->buffer, 0u);

    positions->data()->resize(4);
    geometry.update();
    EXPECT_EQ(enabledLocations(geometry), (std::vector<int>{0}));
    EXPECT_EQ(bufferSize(positions->buffer), 48);

    positions->data()->resize(10);
    geometry.update();
    EXPECT_EQ(bufferSize(positions->buffer), 120);

    positions->data()->clear();
    geometry.update();
    EXPECT_TRUE(enabledLocations(geometry).empty());
}

// A tiny RGBA8 target and a flat white program for the draw checks.
class VertexAttributesDraw : public VertexAttributesGl {
protected:
    static constexpr int kSize = 8;
    void SetUp() override {
        VertexAttributesGl::SetUp();
        glGenTextures(1, &_texture);
        glBindTexture(GL_TEXTURE_2D, _texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kSize, kSize, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glGenFramebuffers(1, &_fbo);
        glBindFramebuffer(GL_FRAMEBUFFER, _fbo);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, _texture, 0);
        glViewport(0, 0, kSize, kSize);
        _program = hvtest::buildProgram(
            "#version 430 core\nlayout(location = 0) in vec3 p;\nvoid main() { gl_Position = vec4(p, 1.0); "
            "}\n",
            "#version 430 core\nout vec4 c;\nvoid main() { c = vec4(1.0); }\n");
        glUseProgram(_program);
        glDisable(GL_CULL_FACE);
        glDisable(GL_DEPTH_TEST);
    }
    void TearDown() override {
        glUseProgram(0);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteProgram(_program);
        glDeleteFramebuffers(1, &_fbo);
        glDeleteTextures(1, &_texture);
        VertexAttributesGl::TearDown();
    }
    // The whole geometry, or with count > 0 the range from `first`.
    hvtest::ImageRGBA8 render(VertexAttributes& geometry, GLint first = 0, GLsizei count = 0) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        if (count > 0)
            geometry.drawRange(first, count);
        else
            geometry.draw();
        return hvtest::readFramebufferRGBA8(_fbo, kSize, kSize);
    }
    // Which quarters of the target are lit, as "LL LR UL UR" flags (lower left first).
    std::string litQuarters(const hvtest::ImageRGBA8& image) {
        std::string lit;
        for (int y : {1, 6}) {
            for (int x : {1, 6}) lit += image.at(x, y)[0] == 255 ? '1' : '0';
        }
        return lit;
    }
    GLuint _texture = 0;
    GLuint _fbo = 0;
    GLuint _program = 0;
};

TEST_F(VertexAttributesDraw, IndexedCubeDrawsThirtySixIndices) {
    // Corners: 0..3 the back face (counter-clockwise from bottom left), 4..7 the front face.
    const std::vector<GLuint> indices = {0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7, 0, 1, 5, 0, 5, 4,
                                         3, 2, 6, 3, 6, 7, 0, 3, 7, 0, 7, 4, 1, 2, 6, 1, 6, 5};
    IndexedVertexAttributes cube(GL_TRIANGLES, indices);
    EXPECT_EQ(cube.elementBuffer, 0u);
    auto corners = stream<glm::vec3>(0);
    *corners->data() = {{-0.5f, -0.5f, -0.5f}, {0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, -0.5f},
                        {-0.5f, 0.5f, -0.5f},  {-0.5f, -0.5f, 0.5f}, {0.5f, -0.5f, 0.5f},
                        {0.5f, 0.5f, 0.5f},    {-0.5f, 0.5f, 0.5f}};
    cube.setAttribute(corners, 0);
    cube.create();
    ASSERT_NE(cube.elementBuffer, 0u);
    // The index buffer is part of the vertex array, so binding the array is enough to draw.
    glBindVertexArray(0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glBindVertexArray(cube.vao);
    GLint elementBinding = 0;
    glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &elementBinding);
    EXPECT_EQ(static_cast<GLuint>(elementBinding), cube.elementBuffer);

    hvtest::ImageRGBA8 whole = render(cube);
    EXPECT_EQ(whole.at(2, 5)[0], 255);  // upper left of the centre square
    EXPECT_EQ(whole.at(5, 2)[0], 255);  // lower right
    EXPECT_EQ(whole.at(0, 0)[0], 0);    // outside the cube
    EXPECT_EQ(whole.at(7, 7)[0], 0);
}

// One triangle in each quarter of the target. The indices list them in another order
// than the vertices, so a range read from the wrong place lights the wrong quarters.
TEST_F(VertexAttributesDraw, RangesStartAtTheirFirstIndexOrVertex) {
    auto corners = stream<glm::vec3>(0);
    for (glm::vec2 centre : {glm::vec2(-0.5f, -0.5f), glm::vec2(0.5f, -0.5f), glm::vec2(-0.5f, 0.5f),
                             glm::vec2(0.5f, 0.5f)}) {
        for (glm::vec2 corner : {glm::vec2(-0.4f, -0.4f), glm::vec2(0.4f, -0.4f), glm::vec2(0.0f, 0.4f)})
            corners->data()->push_back(glm::vec3(centre + corner, 0.0f));
    }
    // Upper right, lower left, upper left, lower right.
    IndexedVertexAttributes indexed(GL_TRIANGLES, {9, 10, 11, 0, 1, 2, 6, 7, 8, 3, 4, 5});
    indexed.setAttribute(corners, 0);
    indexed.create();
    EXPECT_EQ(litQuarters(render(indexed)), "1111");
    EXPECT_EQ(litQuarters(render(indexed, 0, 3)), "0001");
    EXPECT_EQ(litQuarters(render(indexed, 3, 3)), "1000");
    EXPECT_EQ(litQuarters(render(indexed, 6, 6)), "0110");
    EXPECT_EQ(litQuarters(render(indexed, 9, 3)), "0100");

    VertexAttributes plain(GL_TRIANGLES);
    auto sameCorners = stream<glm::vec3>(0);
    *sameCorners->data() = *corners->data();
    plain.setAttribute(sameCorners, 0);
    plain.create();
    EXPECT_EQ(litQuarters(render(plain, 3, 3)), "0100");
    EXPECT_EQ(litQuarters(render(plain, 6, 6)), "0011");
}

TEST_F(VertexAttributesDraw, PlainDrawCountsTheVerticesAtLocationZero) {
    VertexAttributes strip(GL_TRIANGLES);
    auto corners = stream<glm::vec3>(0);
    *corners->data() = {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, -1, 0}, {1, 1, 0}, {-1, 1, 0}};
    strip.setAttribute(corners, 0);
    strip.create();
    hvtest::ImageRGBA8 image = render(strip);
    EXPECT_EQ(image.at(0, 7)[0], 255);
    EXPECT_EQ(image.at(7, 0)[0], 255);

    VertexAttributes noPositions(GL_TRIANGLES);
    noPositions.create();
    render(noPositions);  // nothing to draw, and nothing read from a missing stream
}

class VertexAttributesTextures : public VertexAttributesGl {
protected:
    void SetUp() override {
        VertexAttributesGl::SetUp();
        for (const char* name : {"diffuse.png", "specular.png", "normal.png"}) {
            auto texture = std::make_unique<gl::Texture2D>(1, 1, GL_RGBA, false);
            texture->upload({255, 255, 255, 255});
            table[name] = std::move(texture);
        }
        unbindUnits();
    }
    void TearDown() override {
        unbindUnits();
        glActiveTexture(GL_TEXTURE0);
        VertexAttributesGl::TearDown();
    }
    static void unbindUnits() {
        for (int unit = 0; unit < 12; ++unit) {
            glActiveTexture(GL_TEXTURE0 + unit);
            glBindTexture(GL_TEXTURE_2D, 0);
        }
    }
    static GLuint boundOn(int unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        GLint name = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
        return static_cast<GLuint>(name);
    }
    TextureTable table;
};

TEST_F(VertexAttributesTextures, KeysBindToFixedUnits) {
    VertexAttributes normalOnly(GL_TRIANGLES);
    normalOnly.setTexture(1, "normal.png");
    normalOnly.bindTextures(table);
    EXPECT_EQ(boundOn(10), table.at("normal.png")->handle());
    EXPECT_EQ(boundOn(8), 0u);
    EXPECT_EQ(boundOn(9), 0u);

    unbindUnits();
    VertexAttributes all(GL_TRIANGLES);
    all.setTexture(7, "diffuse.png");
    all.setTexture(8, "specular.png");
    all.setTexture(1, "normal.png");
    all.setTexture(3, "ignored.png");  // keys other than 7, 8 and 1 bind nothing
    all.bindTextures(table);
    EXPECT_EQ(boundOn(8), table.at("diffuse.png")->handle());
    EXPECT_EQ(boundOn(9), table.at("specular.png")->handle());
    EXPECT_EQ(boundOn(10), table.at("normal.png")->handle());
}

TEST_F(VertexAttributesTextures, MissingTextureThrowsAfterBindingEarlierKeys) {
    VertexAttributes geometry(GL_TRIANGLES);
    geometry.setTexture(7, "diffuse.png");
    geometry.setTexture(8, "lost_specular.png");
    geometry.setTexture(1, "normal.png");
    try {
        geometry.bindTextures(table);
        FAIL() << "expected a runtime error";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(),
                     "VertexAttributes::bindTextures: VertexAttributes expects texture lost_specular.png.\n");
    }
    EXPECT_EQ(boundOn(8), table.at("diffuse.png")->handle());
    EXPECT_EQ(boundOn(9), 0u);
    EXPECT_EQ(boundOn(10), 0u);

    // A table entry without a texture object counts as missing rather than crashing.
    table["empty.png"] = nullptr;
    VertexAttributes nullEntry(GL_TRIANGLES);
    nullEntry.setTexture(7, "empty.png");
    EXPECT_THROW(nullEntry.bindTextures(table), std::runtime_error);
}

TEST_F(VertexAttributesGl, DestructionReleasesArrayIndexAndStreamBuffers) {
    GLuint vao = 0, elements = 0, streamBuffer = 0;
    {
        std::shared_ptr<VertexAttributes> geometry =
            std::make_shared<IndexedVertexAttributes>(GL_TRIANGLES, std::vector<GLuint>{0, 1, 2});
        geometry->setAttribute(stream<glm::vec3>(3), 0);
        geometry->create();
        vao = geometry->vao;
        elements = static_cast<IndexedVertexAttributes&>(*geometry).elementBuffer;
        streamBuffer = geometry->attribute(0)->buffer;
        glBindVertexArray(0);
        EXPECT_TRUE(glIsVertexArray(vao));
        EXPECT_TRUE(glIsBuffer(elements));
        EXPECT_TRUE(glIsBuffer(streamBuffer));
    }  // destroyed through the base type
    EXPECT_FALSE(glIsVertexArray(vao));
    EXPECT_FALSE(glIsBuffer(elements));
    EXPECT_FALSE(glIsBuffer(streamBuffer));
}

TEST_F(VertexAttributesGl, StreamTakenByAProducerOutlivesTheGeometry) {
    std::shared_ptr<Attribute<glm::vec3>> kept = stream<glm::vec3>(3);
    {
        VertexAttributes geometry(GL_POINTS);
        geometry.setAttribute(kept, 0);
        geometry.create();
    }
    // Still owned here, so its buffer is still alive.
    EXPECT_TRUE(glIsBuffer(kept->buffer));
}
