// The shadow cube map: layered clears, per-face rendering, the face matrices as GL's
// cube lookup sees them, and the comparison sampler.
#include "GlTestContext.h"
#include "cpp/FboDepthOnlyCubeMap.h"
#include "cpp/FboNoDepth.h"

#include <glm/gtc/type_ptr.hpp>
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

constexpr int kEdge = 16;

const char* kConstantDepthVertex = R"(#version 430 core
uniform float ndcDepth;
void main() {
    vec2 p = vec2(gl_VertexID == 1 ? 3.0 : -1.0, gl_VertexID == 2 ? 3.0 : -1.0);
    gl_Position = vec4(p, ndcDepth, 1.0);
})";

// A world-space quad: from `centre` it extends 10 units along `towards` and +-10
// along `across`, i.e. it covers only one half of the face it is drawn into.
const char* kHalfQuadVertex = R"(#version 430 core
uniform mat4 MVP;
uniform vec3 centre, towards, across;
void main() {
    vec2 c = vec2(gl_VertexID & 1, gl_VertexID >> 1);
    vec3 p = centre + towards * (10.0 * c.x) + across * (20.0 * c.y - 10.0);
    gl_Position = MVP * vec4(p, 1.0);
})";

const char* kDepthOnlyFragment = R"(#version 430 core
void main() {})";

// Pixel x samples direction dirs[x] with reference depth ref.
const char* kShadowSampleFragment = R"(#version 430 core
uniform samplerCubeShadow shadowMap;
uniform vec3 dirs[2];
uniform float ref;
out vec4 color;
void main() {
    vec3 d = dirs[int(gl_FragCoord.x)];
    color = vec4(texture(shadowMap, vec4(d, ref)), 0.0, 0.0, 1.0);
})";

class CubeShadow : public hvtest::GlDrawTest {
protected:
    void SetUp() override {
        hvtest::GlDrawTest::SetUp();
        if (IsSkipped()) return;
        ASSERT_TRUE(_cube.init());
    }
    void TearDown() override {
        hvtest::GlDrawTest::TearDown();
        for (GLuint program : _programs) glDeleteProgram(program);
        glDisable(GL_DEPTH_TEST);
        glClearDepth(1.0);
        glActiveTexture(GL_TEXTURE0);
    }
    GLuint program(const char* vertex, const char* fragment) {
        _programs.push_back(hvtest::buildProgram(vertex, fragment));
        return _programs.back();
    }
    std::vector<float> faceDepth(int face) {
        std::vector<float> depth(kEdge * kEdge, -1.0f);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_CUBE_MAP, _cube.texture());
        glGetTexImage(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
        glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
        return depth;
    }

    FboDepthOnlyCubeMap _cube{kEdge, kEdge};
    std::vector<GLuint> _programs;
};

TEST_F(CubeShadow, InitMakesA32BitDepthCubeAndLeavesFramebuffer0Bound) {
    EXPECT_EQ(_cube.width(), kEdge);
    EXPECT_EQ(_cube.height(), kEdge);
    GLint draw = -1;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &draw);
    EXPECT_EQ(draw, 0);
    glBindTexture(GL_TEXTURE_CUBE_MAP, _cube.texture());
    GLint format = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_CUBE_MAP_NEGATIVE_Z, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    EXPECT_EQ(format, GL_DEPTH_COMPONENT32F);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
    expectNoGlError();
}

TEST_F(CubeShadow, BindForWritingClearsEveryFaceAndBindFaceDrawsIntoOneFaceOnly) {
    glClearDepth(0.25);
    _cube.bindForWriting();
    for (int face = 0; face < 6; ++face) EXPECT_FLOAT_EQ(faceDepth(face)[0], 0.25f) << "face " << face;

    GLuint p = program(kConstantDepthVertex, kDepthOnlyFragment);
    glUseProgram(p);
    glViewport(0, 0, kEdge, kEdge);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_ALWAYS);
    for (int face = 0; face < 6; ++face) {
        _cube.bindFace(face);
        glUniform1f(glGetUniformLocation(p, "ndcDepth"), -0.9f + 0.2f * face);
        glDrawArrays(GL_TRIANGLES, 0, 3);
    }
    glDepthFunc(GL_LESS);
    for (int face = 0; face < 6; ++face) {
        const std::vector<float> depth = faceDepth(face);
        const float expected = (-0.9f + 0.2f * face + 1.0f) * 0.5f;
        EXPECT_NEAR(depth[0], expected, 1e-6f) << "face " << face;
        EXPECT_NEAR(depth[kEdge * kEdge - 1], expected, 1e-6f) << "face " << face;
    }
    // The layered attachment clears all six again in one go.
    glClearDepth(1.0);
    _cube.bindForWriting();
    for (int face = 0; face < 6; ++face) EXPECT_FLOAT_EQ(faceDepth(face)[5], 1.0f) << "face " << face;
    expectNoGlError();
}

TEST(CubeProjection, NinetyDegreesNearPoint1FarSeventy) {
    FboDepthOnlyCubeMap cube(16, 16);
    const glm::mat4& m = cube.projection();
    EXPECT_NEAR(m[0][0], 1.0f, 1e-6f);
    EXPECT_EQ(m[0][0], m[1][1]);
    EXPECT_FLOAT_EQ(m[2][2], -1.0028611f);
    EXPECT_FLOAT_EQ(m[2][3], -1.0f);
    EXPECT_FLOAT_EQ(m[3][2], -0.2002861f);
    EXPECT_EQ(m[3][3], 0.0f);
    EXPECT_EQ(m[0][1], 0.0f);
    glm::vec4 nearPoint = m * glm::vec4(0, 0, -0.1f, 1);
    glm::vec4 farPoint = m * glm::vec4(0, 0, -70.0f, 1);
    EXPECT_NEAR(nearPoint.z / nearPoint.w, -1.0f, 1e-5f);
    EXPECT_NEAR(farPoint.z / farPoint.w, 1.0f, 1e-5f);
}

TEST(CubeProjection, FaceMatricesLookAlongTheAxesFromTheLight) {
    FboDepthOnlyCubeMap cube(16, 16);
    const glm::vec3 light(1.0f, 2.0f, -3.0f);
    cube.updateFaceMatrices(light);
    ASSERT_EQ(cube.faceMatrices().size(), 6u);
    const glm::vec3 directions[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    const glm::vec3 ups[6] = {{0, -1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}, {0, -1, 0}, {0, -1, 0}};
    for (int face = 0; face < 6; ++face) {
        const glm::mat4& m = cube.faceMatrix(face);
        glm::vec4 ahead = m * glm::vec4(light + 5.0f * directions[face], 1.0f);
        EXPECT_NEAR(ahead.x / ahead.w, 0.0f, 1e-5f) << "face " << face;
        EXPECT_NEAR(ahead.y / ahead.w, 0.0f, 1e-5f) << "face " << face;
        EXPECT_NEAR(ahead.w, 5.0f, 1e-4f) << "face " << face;
        // Half way up the 90 degree frustum lands at NDC y = 0.5.
        glm::vec4 above = m * glm::vec4(light + 5.0f * directions[face] + 2.5f * ups[face], 1.0f);
        EXPECT_NEAR(above.y / above.w, 0.5f, 1e-5f) << "face " << face;
        glm::vec4 behind = m * glm::vec4(light - 5.0f * directions[face], 1.0f);
        EXPECT_LT(behind.w, 0.0f) << "face " << face;
    }
    EXPECT_THROW(cube.faceMatrix(6), std::out_of_range);
}

// Renders, for every face and every axis across it, geometry covering one half of the
// face with that face's matrix, then asks GL's own cube lookup (comparison sampler on
// unit 11) which half is in shadow. Wrong up vectors or a wrong face order flip halves.
TEST_F(CubeShadow, FaceMatricesMatchGlsCubeLookupThroughTheShadowSampler) {
    const glm::vec3 light(0.5f, -1.0f, 2.0f);
    _cube.updateFaceMatrices(light);
    FboNoDepth samples(2, 1);
    ASSERT_TRUE(samples.init());
    GLuint draw = program(kHalfQuadVertex, kDepthOnlyFragment);
    GLuint sample = program(hvtest::kFullScreenVertex, kShadowSampleFragment);
    const glm::vec3 axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};

    for (int face = 0; face < 6; ++face) {
        const int axis = face / 2;
        const glm::vec3 direction = axes[axis] * (face % 2 == 0 ? 1.0f : -1.0f);
        for (int other = 0; other < 3; ++other) {
            if (other == axis) continue;
            const glm::vec3 across = axes[3 - axis - other];
            for (float sign : {1.0f, -1.0f}) {
                const glm::vec3 towards = axes[other] * sign;
                glEnable(GL_DEPTH_TEST);
                glUseProgram(draw);
                _cube.bindForWriting();
                glViewport(0, 0, kEdge, kEdge);
                _cube.bindFace(face);
                glUniformMatrix4fv(glGetUniformLocation(draw, "MVP"), 1, GL_FALSE,
                                   glm::value_ptr(_cube.faceMatrix(face)));
                glUniform3fv(glGetUniformLocation(draw, "centre"), 1,
                             glm::value_ptr(light + 5.0f * direction));
                glUniform3fv(glGetUniformLocation(draw, "towards"), 1, glm::value_ptr(towards));
                glUniform3fv(glGetUniformLocation(draw, "across"), 1, glm::value_ptr(across));
                glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
                glDisable(GL_DEPTH_TEST);

                glUseProgram(sample);
                samples.bindForWriting();
                _cube.bindShadowTexture();
                glUniform1i(glGetUniformLocation(sample, "shadowMap"), 11);
                const glm::vec3 dirs[2] = {direction + 0.5f * towards, direction - 0.5f * towards};
                glUniform3fv(glGetUniformLocation(sample, "dirs"), 2, glm::value_ptr(dirs[0]));
                glUniform1f(glGetUniformLocation(sample, "ref"), 0.999f);
                glDrawArrays(GL_TRIANGLES, 0, 3);
                hvtest::ImageRGBA32F lit = hvtest::readTextureRGBA32F(samples.texture(), 2, 1);
                EXPECT_FLOAT_EQ(lit.at(0, 0)[0], 0.0f)
                    << "face " << face << " covered half, axis " << other << " sign " << sign;
                EXPECT_FLOAT_EQ(lit.at(1, 0)[0], 1.0f)
                    << "face " << face << " open half, axis " << other << " sign " << sign;
            }
        }
    }
    GLint active = 0, wrap = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    EXPECT_EQ(active, GL_TEXTURE11);
    glGetTexParameteriv(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_R, &wrap);
    EXPECT_EQ(wrap, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
    expectNoGlError();
}

TEST_F(CubeShadow, ComparisonSampleIsOneWhereTheReferenceIsNotBehindTheStoredDepth) {
    glClearDepth(0.5);
    _cube.bindForWriting();
    FboNoDepth samples(2, 1);
    ASSERT_TRUE(samples.init());
    GLuint sample = program(hvtest::kFullScreenVertex, kShadowSampleFragment);
    glUseProgram(sample);
    samples.bindForWriting();
    _cube.bindShadowTexture();
    glUniform1i(glGetUniformLocation(sample, "shadowMap"), 11);
    const glm::vec3 dirs[2] = {{1, 0.2f, 0}, {0, -0.3f, -1}};
    glUniform3fv(glGetUniformLocation(sample, "dirs"), 2, glm::value_ptr(dirs[0]));
    for (auto [ref, expected] : {std::pair{0.4f, 1.0f}, std::pair{0.5f, 1.0f}, std::pair{0.6f, 0.0f}}) {
        glUniform1f(glGetUniformLocation(sample, "ref"), ref);
        glDrawArrays(GL_TRIANGLES, 0, 3);
        hvtest::ImageRGBA32F image = hvtest::readTextureRGBA32F(samples.texture(), 2, 1);
        EXPECT_FLOAT_EQ(image.at(0, 0)[0], expected) << "ref " << ref;
        EXPECT_FLOAT_EQ(image.at(1, 0)[0], expected) << "ref " << ref;
    }
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
    expectNoGlError();
}

}  // namespace
