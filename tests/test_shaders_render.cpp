// The real shader programs rendering tiny frames: the G-buffer contents both geometry
// passes write, the lighting of a covered and an uncovered pixel (normal map, shadow,
// attenuation), the credits quad's placement and orientation, and the bloom/post passes.
#include "GlTestContext.h"
#include "cpp/ShaderEngine.h"
#include "cpp/VertexAttributes.h"
#include "platform/MessageBox.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace {

ShaderEngine& engine() {
    static ShaderEngine* shared = [] {
        std::vector<std::string> boxes;
        platform::setMessageBoxHook([&](const std::string& text) { boxes.push_back(text); });
        auto* built =
            new ShaderEngine(HV_SOURCE_DIR, ShaderEngine::sourceFiles(), ShaderEngine::programTable());
        platform::setMessageBoxHook(nullptr);
        EXPECT_TRUE(boxes.empty());
        return built;
    }();
    return *shared;
}

GLuint useProgram(const char* name) {
    const GLuint program = engine().programs.at(name);
    glUseProgram(program);
    return program;
}

GLint uniform(const char* name) {
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    return glGetUniformLocation(static_cast<GLuint>(program), name);
}

// A new 2D texture, bound, sampled nearest and clamped: texels read back exactly.
GLuint nearestTexture() {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return texture;
}

GLuint floatTexture(int width, int height, const std::vector<float>& rgba) {
    const GLuint texture = nearestTexture();
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F, width, height, 0, GL_RGBA, GL_FLOAT,
                 rgba.empty() ? nullptr : rgba.data());
    return texture;
}

GLuint byteTexture(int width, int height, GLenum format, const std::vector<unsigned char>& pixels) {
    const GLuint texture = nearestTexture();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), width, height, 0, format, GL_UNSIGNED_BYTE,
                 pixels.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    return texture;
}

void bindOn(int unit, GLuint texture, GLenum target = GL_TEXTURE_2D) {
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(target, texture);
}

// Float colour targets (and optionally depth) of one size, all drawn to at once.
struct Targets {
    Targets(int width, int height, int count, bool withDepth) : width(width), height(height) {
        glGenFramebuffers(1, &fbo);
        glBindFramebuffer(GL_FRAMEBUFFER, fbo);
        std::vector<GLenum> drawBuffers;
        for (int i = 0; i < count; ++i) {
            textures.push_back(floatTexture(width, height, {}));
            glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + i, GL_TEXTURE_2D, textures.back(),
                                   0);
            drawBuffers.push_back(GL_COLOR_ATTACHMENT0 + i);
        }
        if (withDepth) {
            glGenRenderbuffers(1, &depth);
            glBindRenderbuffer(GL_RENDERBUFFER, depth);
            glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
            glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
        }
        glDrawBuffers(static_cast<GLsizei>(drawBuffers.size()), drawBuffers.data());
        EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
        glViewport(0, 0, width, height);
    }
    ~Targets() {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &fbo);
        glDeleteTextures(static_cast<GLsizei>(textures.size()), textures.data());
        glDeleteRenderbuffers(1, &depth);
    }
    hvtest::ImageRGBA32F read(int attachment) const {
        return hvtest::readFramebufferRGBA32F(fbo, width, height, GL_COLOR_ATTACHMENT0 + attachment);
    }
    int width;
    int height;
    GLuint fbo = 0;
    GLuint depth = 0;
    std::vector<GLuint> textures;
};

// The full-screen quad as the scene builds it: signed-byte corners and texture coordinates.
struct ScreenQuad {
    ScreenQuad() {
        const signed char corners[] = {-1, -1, 1, -1, -1, 1, 1, 1};
        const signed char coords[] = {0, 0, 1, 0, 0, 1, 1, 1};
        glGenVertexArrays(1, &vao);
        glBindVertexArray(vao);
        glGenBuffers(2, buffers);
        glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
        glBufferData(GL_ARRAY_BUFFER, sizeof(corners), corners, GL_STATIC_DRAW);
        glVertexAttribPointer(0, 2, GL_BYTE, GL_FALSE, 0, nullptr);
        glEnableVertexAttribArray(0);
        glBindBuffer(GL_ARRAY_BUFFER, buffers[1]);
        glBufferData(GL_ARRAY_BUFFER, sizeof(coords), coords, GL_STATIC_DRAW);
        glVertexAttribPointer(3, 2, GL_BYTE, GL_FALSE, 0, nullptr);
        glEnableVertexAttribArray(3);
    }
    ~ScreenQuad() {
        glBindVertexArray(0);
        glDeleteVertexArrays(1, &vao);
        glDeleteBuffers(2, buffers);
    }
    void draw() const {
        glBindVertexArray(vao);
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    }
    GLuint vao = 0;
    GLuint buffers[2] = {};
};

template <typename T>
std::shared_ptr<Attribute<T>> filled(const std::vector<T>& values) {
    auto attribute = std::make_shared<Attribute<T>>();
    *attribute->data() = values;
    return attribute;
}

// Two triangles over local x in [-5, 0], y in [-5, 5], facing +z, with a full tangent frame.
std::shared_ptr<VertexAttributes> halfPlane(const glm::mat4& transform) {
    auto plane = std::make_shared<VertexAttributes>(GL_TRIANGLES);
    std::vector<glm::vec3> corners = {{-5, -5, 0}, {0, -5, 0}, {0, 5, 0}, {-5, -5, 0}, {0, 5, 0}, {-5, 5, 0}};
    for (glm::vec3& corner : corners) corner = glm::vec3(transform * glm::vec4(corner, 1.0f));
    const glm::mat3 linear(transform);
    plane->setAttribute(filled(corners), 0);
    plane->setAttribute(filled(std::vector<glm::vec3>(6, linear * glm::vec3(0, 0, 1))), 1);
    plane->setAttribute(filled(std::vector<glm::vec4>(6, glm::vec4(1.0f, 0.5f, 0.25f, 1.0f))), 2);
    plane->setAttribute(filled(std::vector<glm::vec2>(6, glm::vec2(0.25f, 0.75f))), 3);
    plane->setAttribute(filled(std::vector<glm::vec3>(6, linear * glm::vec3(1, 0, 0))), 4);
    plane->setAttribute(filled(std::vector<glm::vec3>(6, linear * glm::vec3(0, 1, 0))), 5);
    plane->create();
    return plane;
}

void expectPixel(const hvtest::ImageRGBA32F& image, int x, int y, glm::vec4 expected, float tolerance,
                 const char* what) {
    const float* texel = image.at(x, y);
    for (int c = 0; c < 4; ++c) EXPECT_NEAR(texel[c], expected[c], tolerance) << what << " channel " << c;
}

class ShaderRender : public hvtest::GlTest {
protected:
    void SetUp() override {
        hvtest::GlTest::SetUp();
        engine();
        glDisable(GL_CULL_FACE);
        glDisable(GL_BLEND);
        glDisable(GL_DEPTH_TEST);
        glClearColor(0, 0, 0, 0);
    }
    void TearDown() override {
        for (int unit = 0; unit < 12; ++unit) {
            glActiveTexture(GL_TEXTURE0 + unit);
            glBindTexture(GL_TEXTURE_2D, 0);
            glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
        }
        glActiveTexture(GL_TEXTURE0);
        glUseProgram(0);
        glBindVertexArray(0);
        glDisable(GL_BLEND);
        glDisable(GL_DEPTH_TEST);
        glClearColor(0, 0, 0, 1);
        expectNoGlError();
    }
};

// Camera at (1, 2, 6) looking down -z; the plane is moved to z = 3 and turned 90 degrees
// about z, so it covers the lower half of a 4 x 4 view.
const glm::vec3 kEye(1, 2, 6);
const glm::mat4 kView = glm::lookAt(kEye, glm::vec3(1, 2, 3), glm::vec3(0, 1, 0));
const glm::mat4 kProjection = glm::perspective(glm::radians(90.0f), 1.0f, 0.1f, 100.0f);
const glm::mat4 kWorld =
    glm::rotate(glm::translate(glm::mat4(1.0f), glm::vec3(1, 2, 3)), glm::radians(90.0f), glm::vec3(0, 0, 1));

struct MaterialTextures {
    MaterialTextures()
        : diffuse(byteTexture(1, 1, GL_RGBA, {128, 255, 255, 255})),
          specular(byteTexture(1, 1, GL_RGB, {51, 102, 153})),
          normal(byteTexture(1, 1, GL_RGB, {128, 128, 255})) {}
    ~MaterialTextures() {
        const GLuint names[] = {diffuse, specular, normal};
        glDeleteTextures(3, names);
    }
    // Binds the three maps on the given units and points the current program's samplers at them.
    void bind(int diffuseUnit, int specularUnit, int normalUnit) const {
        glUniform1i(uniform("texDiff"), diffuseUnit);
        glUniform1i(uniform("texSpec"), specularUnit);
        glUniform1i(uniform("texNorm"), normalUnit);
        bindOn(diffuseUnit, diffuse);
        bindOn(specularUnit, specular);
        bindOn(normalUnit, normal);
    }
    GLuint diffuse, specular, normal;
};

// Draws the plane alone into the bound targets, depth tested.
void drawAlone(const std::shared_ptr<VertexAttributes>& plane) {
    glEnable(GL_DEPTH_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    plane->enableAll();
    plane->draw();
}

void expectGBuffer(const Targets& gbuffer, float material) {
    const float decodedHalf = std::pow(128.0f / 255.0f, 2.2f);
    // Pixel (1, 0): screen (-0.25, -0.75) at distance 3 is world (0.25, -0.25, 3).
    expectPixel(gbuffer.read(0), 1, 0, {0.25f, -0.25f, 3.0f, 1.0f}, 2e-3f, "position");
    expectPixel(gbuffer.read(1), 1, 0, {0, 0, 1, kEye.x}, 1e-2f, "normal + eye x");
    // Vertex colour (1, 0.5, 0.25) times the diffuse texel decoded to linear.
    expectPixel(gbuffer.read(2), 1, 0, {decodedHalf, 0.5f, 0.25f, 1}, 2e-3f, "colour");
    expectPixel(gbuffer.read(3), 1, 0, {0.25f, 0.75f, 1, material}, 1e-5f, "texcoord, covered, material");
    expectPixel(gbuffer.read(4), 1, 0, {0, 1, 0, kEye.y}, 1e-2f, "tangent + eye y");
    expectPixel(gbuffer.read(5), 1, 0, {-1, 0, 0, kEye.z}, 1e-2f, "bitangent + eye z");
    expectPixel(gbuffer.read(6), 1, 0, {128 / 255.0f, 128 / 255.0f, 1, 1}, 2e-3f, "normal map");
    expectPixel(gbuffer.read(7), 1, 0, {0.2f, 0.4f, 0.6f, 1}, 2e-3f, "specular");
    // The upper half saw no geometry: every target keeps its cleared zero.
    for (int target = 0; target < 8; ++target)
        expectPixel(gbuffer.read(target), 1, 3, glm::vec4(0.0f), 0.0f, "uncovered");
}

}  // namespace

TEST_F(ShaderRender, GeometryPassWritesTheEightTargets) {
    Targets gbuffer(4, 4, 8, true);
    MaterialTextures material;
    auto plane = halfPlane(glm::mat4(1.0f));
    useProgram("geometryPass");
    glUniformMatrix4fv(uniform("projection"), 1, GL_FALSE, glm::value_ptr(kProjection));
    glUniformMatrix4fv(uniform("modelView"), 1, GL_FALSE, glm::value_ptr(kView * kWorld));
    glUniformMatrix4fv(uniform("model"), 1, GL_FALSE, glm::value_ptr(kWorld));
    material.bind(8, 9, 10);
    drawAlone(plane);
    expectGBuffer(gbuffer, 1.0f);

    // A mesh without a normal map: a flat normal, flagged as not mapped.
    bindOn(10, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    plane->draw();
    expectPixel(gbuffer.read(6), 1, 0, {0.5f, 0.5f, 1, 0}, 1e-5f, "no normal map");
    expectPixel(gbuffer.read(2), 1, 0, {std::pow(128.0f / 255.0f, 2.2f), 0.5f, 0.25f, 1}, 2e-3f, "colour");
}

TEST_F(ShaderRender, TreePassWritesTheSameLayoutFromWorldPositions) {
    Targets gbuffer(4, 4, 8, true);
    MaterialTextures material;
    auto plane = halfPlane(kWorld);
    useProgram("gPassT");
    const glm::mat4 viewProjection = kProjection * kView;
    glUniformMatrix4fv(uniform("VP"), 1, GL_FALSE, glm::value_ptr(viewProjection));
    material.bind(8, 10, 9);
    drawAlone(plane);
    expectGBuffer(gbuffer, 2.0f);
}

namespace {

// A 16 x 16 depth cube with comparison sampling, every face cleared to `depth`.
struct ShadowCube {
    explicit ShadowCube(float depth) {
        glGenTextures(1, &cube);
        glBindTexture(GL_TEXTURE_CUBE_MAP, cube);
        for (int face = 0; face < 6; ++face)
            glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, 0, GL_DEPTH_COMPONENT32F, 16, 16, 0,
                         GL_DEPTH_COMPONENT, GL_FLOAT, nullptr);
        glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        for (GLenum wrap : {GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T, GL_TEXTURE_WRAP_R})
            glTexParameteri(GL_TEXTURE_CUBE_MAP, wrap, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
        glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
        glGenFramebuffers(1, &fbo);
        glBindFramebuffer(GL_FRAMEBUFFER, fbo);
        glDrawBuffer(GL_NONE);
        glClearDepth(depth);
        for (int face = 0; face < 6; ++face) {
            bindFace(face);
            glClear(GL_DEPTH_BUFFER_BIT);
        }
        glClearDepth(1.0);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }
    ~ShadowCube() {
        glDeleteFramebuffers(1, &fbo);
        glDeleteTextures(1, &cube);
    }
    void bindFace(int face) const {
        glBindFramebuffer(GL_FRAMEBUFFER, fbo);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_CUBE_MAP_POSITIVE_X + face,
                               cube, 0);
        glViewport(0, 0, 16, 16);
    }
    GLuint cube = 0;
    GLuint fbo = 0;
};

const glm::vec3 kLight(0, 0, 3);

// Renders a square at height z, spanning +-1 in x and y, into the -z face seen from the light.
void castShadow(const ShadowCube& shadow, float z) {
    const glm::mat4 projection = glm::perspective(glm::radians(90.0f), 1.0f, 0.1f, 70.0f);
    const glm::mat4 face =
        projection * glm::lookAt(kLight, kLight + glm::vec3(0, 0, -1), glm::vec3(0, -1, 0));
    VertexAttributes square(GL_TRIANGLES);
    square.setAttribute(filled(std::vector<glm::vec3>{
                            {-1, -1, z}, {1, -1, z}, {1, 1, z}, {-1, -1, z}, {1, 1, z}, {-1, 1, z}}),
                        0);
    square.create();
    square.enableOnly({0});
    useProgram("shadow");
    glUniformMatrix4fv(uniform("MVP"), 1, GL_FALSE, glm::value_ptr(face));
    shadow.bindFace(5);
    glEnable(GL_DEPTH_TEST);
    square.draw();
    glDisable(GL_DEPTH_TEST);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

// A 4 x 1 G-buffer: 0 a lit surface at the origin facing the light, 1 nothing, 2 the same
// surface with its normal map turned sideways, 3 that sample without a normal map flagged.
// The camera is at (0, 0, 5).
std::vector<GLuint> litGBuffer() {
    const glm::vec4 none(0.0f);
    // The program clears with alpha 1, so an uncovered texel's position w is 1 too: only
    // the texture coordinate's z tells covered from uncovered.
    const glm::vec4 clearedPosition(0, 0, 0, 1);
    const std::array<std::vector<glm::vec4>, 8> layers = {{
        {{0, 0, 0, 1}, clearedPosition, {0, 0, 0, 1}, {0, 0, 0, 1}},
        {{0, 0, 1, 0}, none, {0, 0, 1, 0}, {0, 0, 1, 0}},
        {{1, 1, 1, 1}, none, {1, 1, 1, 1}, {1, 1, 1, 1}},
        {{0, 0, 1, 1}, none, {0, 0, 1, 1}, {0, 0, 1, 1}},
        {{1, 0, 0, 0}, none, {1, 0, 0, 0}, {1, 0, 0, 0}},
        {{0, 1, 0, 5}, none, {0, 1, 0, 5}, {0, 1, 0, 5}},
        {{0.5f, 0.5f, 1, 1}, none, {1, 0.5f, 0.5f, 1}, {1, 0.5f, 0.5f, 0}},
        {{1, 1, 1, 1}, none, {1, 1, 1, 1}, {1, 1, 1, 1}},
    }};
    std::vector<GLuint> textures;
    for (const auto& layer : layers) {
        std::vector<float> data;
        for (const glm::vec4& texel : layer) data.insert(data.end(), {texel.x, texel.y, texel.z, texel.w});
        textures.push_back(floatTexture(4, 1, data));
    }
    return textures;
}

hvtest::ImageRGBA32F light(const ShadowCube& shadow) {
    std::vector<GLuint> gbuffer = litGBuffer();
    Targets target(4, 1, 1, false);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    for (int unit = 0; unit < 8; ++unit) bindOn(unit, gbuffer[unit]);
    bindOn(11, shadow.cube, GL_TEXTURE_CUBE_MAP);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    useProgram("lighting");
    const char* samplers[] = {"texPos", "texNor", "texCol", "texTex", "texTan", "texBit", "texBum", "texSpc"};
    for (int unit = 0; unit < 8; ++unit) glUniform1i(uniform(samplers[unit]), unit);
    glUniform1i(uniform("shadowMap"), 11);
    glUniform1f(uniform("blinnTermExponent"), 16.0f);
    glUniform1f(uniform("attenuationExponent"), 2.0f);
    glUniform1f(uniform("intensity"), 1.0f);
    glUniform3f(uniform("lightPos"), kLight.x, kLight.y, kLight.z);
    glUniform3f(uniform("lightAmb"), 0.05f, 0.05f, 0.05f);
    glUniform3f(uniform("lightDif"), 1, 1, 1);
    glUniform3f(uniform("lightSpc"), 1, 1, 1);
    ScreenQuad quad;
    quad.draw();
    glDisable(GL_BLEND);
    hvtest::ImageRGBA32F image = target.read(0);
    glDeleteTextures(8, gbuffer.data());
    return image;
}

}  // namespace

TEST_F(ShaderRender, LightingLightsCoveredPixelsAndLeavesTheRestBlack) {
    ShadowCube open(1.0f);
    hvtest::ImageRGBA32F image = light(open);
    // Light 3 units straight above, attenuation exponent 2 over a reach of 2.5:
    // 1 / (1 + 1.2^2). Facing the light the wrapped diffuse is 1 and the normalised
    // Blinn term (16 + 8) / 25; the fill is the ambient times its gain (0.05 * 3) over
    // a half-open sky (0.8) plus the lamp's bounce (0.05) on the half sky.
    const float attenuation = 1.0f / (1.0f + 1.44f);
    const float fill = 0.05f * 3.0f * 0.8f + attenuation * 0.05f * 0.5f;
    const float lit = fill + attenuation * (1.0f + 0.96f);
    expectPixel(image, 0, 0, {lit, lit, lit, 1}, 1e-3f, "lit");
    expectPixel(image, 1, 0, {0, 0, 0, 1}, 0.0f, "uncovered");
    // The normal map turns the surface edge-on to the light: only the wrapped edge of
    // the diffuse term (0.25 / 1.25) and the fill remain, no highlight.
    const float edgeOn = fill + attenuation * 0.2f;
    expectPixel(image, 2, 0, {edgeOn, edgeOn, edgeOn, 1}, 1e-3f, "normal mapped");
    // Without a normal map flagged the same sample is ignored.
    expectPixel(image, 3, 0, {lit, lit, lit, 1}, 1e-3f, "no normal map");
}

TEST_F(ShaderRender, LightingUsesTheShadowPassDepthsWithoutSelfShadowing) {
    ShadowCube receiverOnly(1.0f);
    castShadow(receiverOnly, 0.0f);  // the lit surface itself is in the map
    const float attenuation = 1.0f / (1.0f + 1.44f);
    const float fill = 0.05f * 3.0f * 0.8f + attenuation * 0.05f * 0.5f;
    const float lit = fill + attenuation * (1.0f + 0.96f);
    expectPixel(light(receiverOnly), 0, 0, {lit, lit, lit, 1}, 1e-3f, "receiver only");

    ShadowCube occluded(1.0f);
    castShadow(occluded, 1.5f);  // a square between the light and the surface: fill only
    expectPixel(light(occluded), 0, 0, {fill, fill, fill, 1}, 1e-3f, "occluded");
}

TEST_F(ShaderRender, CreditsQuadKeepsTheImageAspectAndOrientation) {
    Targets target(8, 8, 1, false);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    // 1 x 2 image, first row (the top of the picture) red, second green.
    const GLuint image = byteTexture(1, 2, GL_RGBA, {255, 0, 0, 255, 0, 255, 0, 255});
    bindOn(0, image);
    VertexAttributes point(GL_POINTS);
    point.setAttribute(filled(std::vector<glm::vec3>{{0, 0, 0}}), 0);
    point.create();
    glEnable(GL_BLEND);
    glBlendFunc(GL_DST_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    useProgram("quad");
    glUniform1f(uniform("aspectRatio"), 0.5f);  // image aspect 0.5 on a square target
    glUniform1f(uniform("amp"), 1.0f);
    glUniform1i(uniform("image"), 0);
    point.draw();
    glDisable(GL_BLEND);
    hvtest::ImageRGBA32F drawn = target.read(0);
    expectPixel(drawn, 3, 7, {1, 0, 0, 1}, 1e-4f, "top is the first row");
    expectPixel(drawn, 4, 0, {0, 1, 0, 1}, 1e-4f, "bottom is the second row");
    expectPixel(drawn, 0, 4, {0, 0, 0, 1}, 0.0f, "left margin");
    expectPixel(drawn, 7, 4, {0, 0, 0, 1}, 0.0f, "right margin");

    // Half strength lays half the image over the dark background.
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    glUniform1f(uniform("amp"), 0.5f);
    point.draw();
    glDisable(GL_BLEND);
    expectPixel(target.read(0), 3, 7, {0.5f, 0, 0, 1}, 1e-4f, "faded");
    glDeleteTextures(1, &image);
}

TEST_F(ShaderRender, BrightPassKeepsOnlyLightAboveTheThreshold) {
    Targets target(2, 1, 1, false);
    const GLuint lit = floatTexture(2, 1, {0.2f, 0.2f, 0.2f, 1, 3, 3, 3, 1});
    bindOn(0, lit);
    useProgram("brightPass");
    glUniform1i(uniform("image"), 0);
    ScreenQuad quad;
    quad.draw();
    hvtest::ImageRGBA32F image = target.read(0);
    EXPECT_EQ(image.at(0, 0)[0], 0.0f);
    EXPECT_GT(image.at(1, 0)[0], 1.5f);
    EXPECT_LT(image.at(1, 0)[0], 3.0f);
    glDeleteTextures(1, &lit);
}

TEST_F(ShaderRender, BlursSpreadAPointWithoutLosingEnergy) {
    // As in the bloom: the horizontal blur writes at half its source's size (each output
    // pixel covers two source columns of two rows), the vertical one at its source's size.
    ScreenQuad quad;
    for (const char* program : {"hblur", "vblur"}) {
        const bool horizontal = std::string(program) == "hblur";
        const int sourceWidth = horizontal ? 32 : 1, sourceHeight = horizontal ? 2 : 16;
        std::vector<float> spike(static_cast<size_t>(sourceWidth * sourceHeight) * 4, 0.0f);
        if (horizontal) {
            spike[16 * 4] = spike[(32 + 16) * 4] = 1.0f;  // column 16, both rows
        } else {
            spike[8 * 4] = 1.0f;
        }
        const GLuint source = floatTexture(sourceWidth, sourceHeight, spike);
        // Filtered and bordered in black, like the bright image it reads in the film.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_BORDER);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_BORDER);
        Targets target(horizontal ? 16 : 1, horizontal ? 1 : 16, 1, false);
        bindOn(0, source);
        useProgram(program);
        glUniform1i(uniform("image"), 0);
        glUniform1f(uniform("mipmapLevel"), 0.0f);
        quad.draw();
        hvtest::ImageRGBA32F image = target.read(0);
        float sum = 0.0f;
        for (int i = 0; i < 16; ++i) sum += image.pixels[static_cast<size_t>(i) * 4];
        const float pixelArea = horizontal ? 2.0f : 1.0f;  // in source texels
        EXPECT_NEAR(sum * pixelArea, 1.0f, 1e-3f) << program;
        EXPECT_GT(image.pixels[7 * 4], 0.1f) << program;  // the neighbour received some
        EXPECT_LT(image.pixels[8 * 4], 0.5f) << program;
        glDeleteTextures(1, &source);
    }
}

TEST_F(ShaderRender, PostProcessingMapsHdrIntoDisplayRange) {
    Targets target(4, 4, 1, false);
    const GLuint dark = floatTexture(1, 1, {0, 0, 0, 1});
    const GLuint bright = floatTexture(1, 1, {50, 50, 50, 1});
    const GLuint noBloom = floatTexture(1, 1, {0, 0, 0, 0});
    const GLuint noise = byteTexture(2, 2, GL_RED, {128, 128, 128, 128});
    useProgram("postproc");
    glUniform1i(uniform("texFbo1"), 0);
    glUniform1i(uniform("texFbo2"), 1);
    glUniform1i(uniform("texNoise"), 2);
    glUniform2f(uniform("noiseOffset"), 0.3f, 0.7f);
    glUniform1f(uniform("time"), 1.5f);
    bindOn(1, noBloom);
    bindOn(2, noise);
    ScreenQuad quad;

    bindOn(0, dark);
    quad.draw();
    hvtest::ImageRGBA32F black = target.read(0);
    EXPECT_NEAR(black.at(1, 1)[0], 0.0f, 0.01f);
    EXPECT_EQ(black.at(1, 1)[3], 1.0f);

    bindOn(0, bright);
    quad.draw();
    hvtest::ImageRGBA32F white = target.read(0);
    EXPECT_GT(white.at(1, 1)[0], 0.85f);
    EXPECT_LE(white.at(1, 1)[0], 1.0f);
    EXPECT_LT(white.at(0, 0)[0], white.at(1, 1)[0]);  // the corners are vignetted

    const GLuint names[] = {dark, bright, noBloom, noise};
    glDeleteTextures(4, names);
}
