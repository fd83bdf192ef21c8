// Texture2D uploads, sampling parameters and mip generation; TimerQuery lifetime.
#include "GlTestContext.h"
#include "GLwrappers/Texture.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

class Textures : public hvtest::GlTest {
protected:
    void TearDown() override {
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
};

GLint texParameter(GLenum name) {
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

std::vector<unsigned char> readLevel(GLuint texture, int level, GLenum format, size_t bytes) {
    std::vector<unsigned char> out(bytes, 0xAB);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, level, format, GL_UNSIGNED_BYTE, out.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return out;
}

TEST_F(Textures, ConstructionBindsANewNameAndKnowsItsAspect) {
    gl::Texture2D texture(3, 2, GL_RGB, false);
    EXPECT_NE(texture.handle(), 0u);
    EXPECT_EQ(glIsTexture(texture.handle()), GL_TRUE);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), texture.handle());
    EXPECT_DOUBLE_EQ(texture.aspect(), 1.5);
    expectNoGlError();
}

TEST_F(Textures, DestructionFreesTheName) {
    GLuint name = 0;
    {
        gl::Texture2D texture(4, 4, GL_RGBA, false);
        name = texture.handle();
    }
    EXPECT_EQ(glIsTexture(name), GL_FALSE);
    expectNoGlError();
}

// 3 pixels of RGB make 9-byte rows: the upload must not assume 4-byte row alignment.
TEST_F(Textures, UploadKeepsTightlyPackedOddRowsInOrderFirstRowAtTheBottom) {
    const std::vector<unsigned char> pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
    gl::Texture2D texture(3, 2, GL_RGB, false);
    texture.upload(pixels);
    EXPECT_EQ(readLevel(texture.handle(), 0, GL_RGB, 18), pixels);
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4) << "the caller's unpack alignment is restored";
    expectNoGlError();
}

TEST_F(Textures, SingleChannelUploadForTheNoiseTexture) {
    std::vector<unsigned char> noise(5 * 3);
    for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<unsigned char>(i * 17);
    gl::Texture2D texture(5, 3, GL_RED, false);
    texture.upload(noise);
    EXPECT_EQ(readLevel(texture.handle(), 0, GL_RED, noise.size()), noise);
    expectNoGlError();
}

TEST_F(Textures, BindToUnit3LeavesUnit3ActiveWithLinearMinificationAndRepeat) {
    gl::Texture2D texture(2, 2, GL_RGBA, false);
    texture.upload(std::vector<unsigned char>(16, 200));
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, 0);
    texture.bind(GL_TEXTURE3);
    GLint active = 0, bound = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(active, GL_TEXTURE3);
    EXPECT_EQ(GLuint(bound), texture.handle());
    EXPECT_EQ(texParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(texParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(texParameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(texParameter(GL_TEXTURE_WRAP_T), GL_REPEAT);
    glBindTexture(GL_TEXTURE_2D, 0);
    expectNoGlError();
}

TEST_F(Textures, MipmappedTextureGeneratesItsLevelsOnEveryUpload) {
    gl::Texture2D texture(8, 8, GL_RGBA, true);
    std::vector<unsigned char> red(8 * 8 * 4, 0), blue(8 * 8 * 4, 0);
    for (size_t i = 0; i < red.size(); i += 4) red[i] = 255, red[i + 3] = 255;
    for (size_t i = 0; i < blue.size(); i += 4) blue[i + 2] = 255, blue[i + 3] = 255;

    texture.upload(red);
    EXPECT_EQ(texParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 3, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 1);
    EXPECT_EQ(readLevel(texture.handle(), 3, GL_RGBA, 4), (std::vector<unsigned char>{255, 0, 0, 255}));

    texture.upload(blue);
    EXPECT_EQ(readLevel(texture.handle(), 3, GL_RGBA, 4), (std::vector<unsigned char>{0, 0, 255, 255}));
    expectNoGlError();
}

// Each name times real GPU work (a shaded full-screen draw into a target) and is deleted
// with its owner.
TEST_F(Textures, TimerQueryOwnsFourWorkingQueryNamesForItsLifetime) {
    GLuint target = 0, framebuffer = 0, vao = 0;
    glGenTextures(1, &target);
    glBindTexture(GL_TEXTURE_2D, target);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 256, 256, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target, 0);
    glViewport(0, 0, 256, 256);
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    const GLuint program = hvtest::buildProgram(
        hvtest::kFullScreenVertex,
        "#version 430 core\nout vec4 c;\nvoid main() { float v = gl_FragCoord.x;\n"
        "  for (int i = 0; i < 64; ++i) v = fract(sin(v) * 43758.5453);\n  c = vec4(v); }\n");
    glUseProgram(program);

    std::array<GLuint, 4> names{};
    {
        gl::TimerQuery timer;
        names = timer.names();
        for (size_t i = 0; i < names.size(); ++i) {
            for (size_t j = 0; j < i; ++j) EXPECT_NE(names[i], names[j]);
            glBeginQuery(GL_TIME_ELAPSED, names[i]);
            glDrawArrays(GL_TRIANGLES, 0, 3);
            glEndQuery(GL_TIME_ELAPSED);
            GLuint64 elapsed = 0;
            glGetQueryObjectui64v(names[i], GL_QUERY_RESULT, &elapsed);
            EXPECT_GT(elapsed, 0u) << i;
            EXPECT_EQ(glIsQuery(names[i]), GL_TRUE) << i;
        }
        expectNoGlError();
    }
    for (GLuint name : names) EXPECT_EQ(glIsQuery(name), GL_FALSE) << name;

    glUseProgram(0);
    glDeleteProgram(program);
    glBindVertexArray(0);
    glDeleteVertexArrays(1, &vao);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteTextures(1, &target);
    expectNoGlError();
}

class TexturesDeathTest : public Textures {
protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        Textures::SetUp();
    }
};

TEST_F(TexturesDeathTest, UploadingNothingIsAFatalAssertion) {
    EXPECT_DEATH(
        {
            gl::Texture2D texture(2, 2, GL_RGBA, false);
            texture.upload({});
        },
        "Expression: data.size\\(\\) > 0\nFile: source\\\\GLwrappers\\\\Texture\nLine: 37");
}

TEST_F(TexturesDeathTest, UploadingLessThanTheImageIsAFatalAssertionNotAnOverread) {
    EXPECT_DEATH(
        {
            gl::Texture2D texture(4, 4, GL_RGBA, false);
            texture.upload(std::vector<unsigned char>(4 * 4 * 3, 0));  // an RGB image in an RGBA texture
        },
        "File: source\\\\GLwrappers\\\\Texture");
}

}  // namespace
