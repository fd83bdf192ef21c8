// Render targets: G-buffer, single colour target, blur pyramid and blits, checked by
// rendering small frames headlessly and reading them back.
#include "GlTestContext.h"
#include "cpp/FboMipmap.h"
#include "cpp/FboNoDepth.h"
#include "cpp/GBuffer.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char* kEightOutputsFragment = R"(#version 430 core
layout(location = 0) out vec4 o0; layout(location = 1) out vec4 o1;
layout(location = 2) out vec4 o2; layout(location = 3) out vec4 o3;
layout(location = 4) out vec4 o4; layout(location = 5) out vec4 o5;
layout(location = 6) out vec4 o6; layout(location = 7) out vec4 o7;
vec4 v(float i) { return vec4(i, -i, 100.0 + i, 0.25 * i); }
void main() {
    o0 = v(0.0); o1 = v(1.0); o2 = v(2.0); o3 = v(3.0);
    o4 = v(4.0); o5 = v(5.0); o6 = v(6.0); o7 = v(7.0);
})";

const char* kValueFragment = R"(#version 430 core
uniform float value;
out vec4 color;
void main() { color = vec4(value, 2.0 * value, 0.0, 1.0); })";

class Framebuffers : public hvtest::GlDrawTest {
protected:
    void TearDown() override {
        if (_program) glDeleteProgram(_program);
        hvtest::GlDrawTest::TearDown();
    }
    void use(const char* fragment) {
        _program = hvtest::buildProgram(hvtest::kFullScreenVertex, fragment);
        glUseProgram(_program);
    }
    void drawFullScreen() { glDrawArrays(GL_TRIANGLES, 0, 3); }

    GLuint _program = 0;
};

GLint boundFramebuffer(GLenum which) {
    GLint value = -1;
    glGetIntegerv(which, &value);
    return value;
}

GLint texParameter(GLenum target, GLenum name) {
    GLint value = 0;
    glGetTexParameteriv(target, name, &value);
    return value;
}

struct Viewport {
    GLint x = 0, y = 0, w = 0, h = 0;
};
Viewport viewport() {
    Viewport v;
    glGetIntegerv(GL_VIEWPORT, &v.x);
    return v;
}

TEST_F(Framebuffers, GBufferTargetsReceiveTheEightFragmentOutputsAndDepth) {
    GBuffer<8> gbuffer(16, 12);
    EXPECT_EQ(gbuffer.width(), 16);
    EXPECT_EQ(gbuffer.height(), 12);
    ASSERT_TRUE(gbuffer.init());
    EXPECT_EQ(boundFramebuffer(GL_DRAW_FRAMEBUFFER_BINDING), 0);

    use(kEightOutputsFragment);
    gbuffer.bindForWriting();
    Viewport v = viewport();
    EXPECT_EQ(v.w, 16);
    EXPECT_EQ(v.h, 12);
    glEnable(GL_DEPTH_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawFullScreen();
    glDisable(GL_DEPTH_TEST);

    for (int i = 0; i < 8; ++i) {
        hvtest::ImageRGBA32F image =
            hvtest::readFramebufferRGBA32F(gbuffer.framebuffer(), 16, 12, GL_COLOR_ATTACHMENT0 + i);
        for (auto [x, y] : {std::pair{0, 0}, std::pair{15, 11}, std::pair{7, 5}}) {
            const float* p = image.at(x, y);
            EXPECT_FLOAT_EQ(p[0], float(i)) << "attachment " << i;
            EXPECT_FLOAT_EQ(p[1], -float(i)) << "attachment " << i;
            EXPECT_FLOAT_EQ(p[2], 100.0f + i) << "attachment " << i;
            EXPECT_FLOAT_EQ(p[3], 0.25f * i) << "attachment " << i;
        }
    }
    float depth = 0.0f;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, gbuffer.framebuffer());
    glReadPixels(3, 3, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_NEAR(depth, 0.5f, 1e-5f);  // NDC z 0 through the default depth range
    expectNoGlError();
}

TEST_F(Framebuffers, GBufferBindTexturesPutsAttachmentIOnUnitIAndLeavesUnit7Active) {
    GBuffer<8> gbuffer(16, 16);
    ASSERT_TRUE(gbuffer.init());
    gbuffer.bindTextures();
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    EXPECT_EQ(active, GL_TEXTURE7);
    for (int i = 0; i < 8; ++i) {
        glActiveTexture(GL_TEXTURE0 + i);
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(GLuint(bound), gbuffer.texture(i));
        EXPECT_EQ(texParameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
        EXPECT_EQ(texParameter(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    glActiveTexture(GL_TEXTURE0);
    expectNoGlError();
}

TEST_F(Framebuffers, FboNoDepthWritesAtItsSizeAndBindsItsTextureWithOrWithoutMipmaps) {
    FboNoDepth fbo(8, 4);
    ASSERT_TRUE(fbo.init());
    EXPECT_EQ(boundFramebuffer(GL_DRAW_FRAMEBUFFER_BINDING), 0);
    use(kValueFragment);
    glUniform1f(glGetUniformLocation(_program, "value"), 3.5f);
    fbo.bindForWriting();
    EXPECT_EQ(viewport().w, 8);
    EXPECT_EQ(viewport().h, 4);
    EXPECT_EQ(GLuint(boundFramebuffer(GL_DRAW_FRAMEBUFFER_BINDING)), fbo.framebuffer());
    drawFullScreen();
    hvtest::ImageRGBA32F image = hvtest::readTextureRGBA32F(fbo.texture(), 8, 4);
    EXPECT_FLOAT_EQ(image.at(7, 3)[0], 3.5f);  // float storage keeps values above 1
    EXPECT_FLOAT_EQ(image.at(0, 0)[1], 7.0f);

    fbo.bindTexture(true);
    EXPECT_EQ(texParameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(texParameter(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL), 1000);
    EXPECT_EQ(texParameter(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_BORDER);
    fbo.bindTexture(false);
    EXPECT_EQ(texParameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(texParameter(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, 0);
    expectNoGlError();
}

TEST(FboMipmapLevels, CountIsFloorLog2PlusOne) {
    EXPECT_EQ(FboMipmap::levelsFor(512), 10u);
    EXPECT_EQ(FboMipmap::levelsFor(1024), 11u);
    EXPECT_EQ(FboMipmap::levelsFor(1), 1u);
    EXPECT_EQ(FboMipmap::levelsFor(2), 2u);
    EXPECT_EQ(FboMipmap::levelsFor(600), 10u);
}

TEST(FboMipmapLevels, SizeIsReadWithSizeNotWidthOrHeight) {
    FboMipmap fbo(512);
    EXPECT_EQ(fbo.width(), -1);
    EXPECT_EQ(fbo.height(), -1);
    EXPECT_EQ(fbo.size(), 512);
}

TEST_F(Framebuffers, FboMipmapRendersIntoEachOfItsTenLevelsAtTheLevelsViewport) {
    FboMipmap fbo(512);
    ASSERT_TRUE(fbo.init());
    ASSERT_EQ(fbo.levelCount(), 10u);
    ASSERT_EQ(fbo.textures().size(), 10u);
    // Straight after init the last level's texture is current although the level is 0.
    EXPECT_EQ(fbo.currentLevel(), 0u);
    EXPECT_EQ(fbo.currentTexture(), fbo.textures().back());
    EXPECT_EQ(boundFramebuffer(GL_DRAW_FRAMEBUFFER_BINDING), 0);

    use(kValueFragment);
    const GLint valueLocation = glGetUniformLocation(_program, "value");
    for (int level = 0; level < 10; ++level) {
        fbo.setLevel(level);
        EXPECT_EQ(fbo.currentTexture(), fbo.textures()[level]);
        fbo.bindForWriting();
        const int edge = 512 >> level;
        EXPECT_EQ(viewport().w, edge) << "level " << level;
        EXPECT_EQ(viewport().h, edge) << "level " << level;
        glUniform1f(valueLocation, float(level + 1));
        drawFullScreen();
    }
    for (int level = 0; level < 10; ++level) {
        const int edge = 512 >> level;
        glBindTexture(GL_TEXTURE_2D, fbo.textures()[level]);
        GLint width = 0, height = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        EXPECT_EQ(width, edge);
        EXPECT_EQ(height, edge);
        hvtest::ImageRGBA32F image = hvtest::readTextureRGBA32F(fbo.textures()[level], edge, edge);
        EXPECT_FLOAT_EQ(image.at(0, 0)[0], float(level + 1)) << "level " << level;
        EXPECT_FLOAT_EQ(image.at(edge - 1, edge - 1)[0], float(level + 1)) << "level " << level;
    }
    glBindTexture(GL_TEXTURE_2D, 0);

    fbo.bindLevelTexture(3);
    GLint bound = 0, active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(active, GL_TEXTURE0);
    EXPECT_EQ(GLuint(bound), fbo.textures()[3]);
    EXPECT_EQ(texParameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, 0);
    expectNoGlError();
}

TEST_F(Framebuffers, FboMipmapSetLevelAtOrPastTheEndChangesNothing) {
    FboMipmap fbo(16);
    ASSERT_TRUE(fbo.init());
    ASSERT_EQ(fbo.levelCount(), 5u);
    fbo.setLevel(2);
    fbo.setLevel(int(fbo.levelCount()));
    EXPECT_EQ(fbo.currentLevel(), 2u);
    EXPECT_EQ(fbo.currentTexture(), fbo.textures()[2]);
    fbo.setLevel(100);
    fbo.setLevel(-1);
    EXPECT_EQ(fbo.currentLevel(), 2u);
    EXPECT_EQ(fbo.currentTexture(), fbo.textures()[2]);
    fbo.setLevel(4);
    EXPECT_EQ(fbo.currentTexture(), fbo.textures()[4]);
    expectNoGlError();
}

// Fills a 2 x 1 colour target with black | white.
void fillTwoPixelPattern(FboNoDepth& source) {
    const float pixels[8] = {0, 0, 0, 1, 1, 1, 1, 1};
    glBindTexture(GL_TEXTURE_2D, source.texture());
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 2, 1, GL_RGBA, GL_FLOAT, pixels);
    glBindTexture(GL_TEXTURE_2D, 0);
}

TEST_F(Framebuffers, BlitToALargerTargetFiltersColourLinearlyWithoutAGlError) {
    FboNoDepth source(2, 1), target(16, 1);
    ASSERT_TRUE(source.init());
    ASSERT_TRUE(target.init());
    fillTwoPixelPattern(source);
    source.blitTo(target);
    expectNoGlError();
    hvtest::ImageRGBA32F image = hvtest::readTextureRGBA32F(target.texture(), 16, 1);
    int between = 0;
    for (int x = 0; x < 16; ++x) {
        const float r = image.at(x, 0)[0];
        if (r > 0.05f && r < 0.95f) ++between;
    }
    EXPECT_GT(between, 0) << "a linear blit interpolates between the two source pixels";
    EXPECT_FLOAT_EQ(image.at(0, 0)[0], 0.0f);
    EXPECT_FLOAT_EQ(image.at(15, 0)[0], 1.0f);
}

TEST_F(Framebuffers, BlitBetweenEqualSizesCopiesColourAndDepthExactly) {
    GBuffer<8> source(4, 4), target(4, 4);
    ASSERT_TRUE(source.init());
    ASSERT_TRUE(target.init());
    use(kValueFragment);
    glUniform1f(glGetUniformLocation(_program, "value"), 0.3f);
    source.bindForWriting();
    glEnable(GL_DEPTH_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawFullScreen();
    glDisable(GL_DEPTH_TEST);
    target.bindForWriting();
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    source.blitTo(target);
    expectNoGlError();
    hvtest::ImageRGBA32F image = hvtest::readFramebufferRGBA32F(target.framebuffer(), 4, 4);
    EXPECT_FLOAT_EQ(image.at(2, 1)[0], 0.3f);
    EXPECT_FLOAT_EQ(image.at(2, 1)[1], 0.6f);
    float depth = 1.0f;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, target.framebuffer());
    glReadPixels(1, 1, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_NEAR(depth, 0.5f, 1e-5f);
    expectNoGlError();
}

TEST_F(Framebuffers, BlitBetweenEqualColourTargetsUsesNearestAndKeepsSharpEdges) {
    FboNoDepth source(2, 1), target(2, 1);
    ASSERT_TRUE(source.init());
    ASSERT_TRUE(target.init());
    fillTwoPixelPattern(source);
    source.blitTo(target);
    hvtest::ImageRGBA32F image = hvtest::readTextureRGBA32F(target.texture(), 2, 1);
    EXPECT_FLOAT_EQ(image.at(0, 0)[0], 0.0f);
    EXPECT_FLOAT_EQ(image.at(1, 0)[0], 1.0f);
    expectNoGlError();
}

// Death tests re-run in a fresh process that makes its own context.
class FramebuffersDeathTest : public Framebuffers {
protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        Framebuffers::SetUp();
    }
};

TEST_F(FramebuffersDeathTest, IncompleteColourTargetIsAFatalAssertion) {
    EXPECT_DEATH(
        {
            FboNoDepth fbo(0, 0);
            fbo.init();
        },
        "Expression: fboStatus == GL_FRAMEBUFFER_COMPLETE\nFile: source\\\\cpp\\\\GBuffer\nLine: 94");
}

TEST_F(FramebuffersDeathTest, IncompleteGBufferIsAFatalAssertion) {
    EXPECT_DEATH(
        {
            GBuffer<8> gbuffer(0, 0);
            gbuffer.init();
        },
        "Expression: fboStatus == GL_FRAMEBUFFER_COMPLETE\nFile: source\\\\cpp\\\\GBuffer\nLine: 395");
}

TEST_F(FramebuffersDeathTest, LevelTexturePastTheEndIsAFatalAssertion) {
    FboMipmap fbo(4);
    ASSERT_TRUE(fbo.init());
    EXPECT_DEATH(fbo.bindLevelTexture(3),
                 "Expression: mipmapLevel < _textures.size\\(\\) && mipmapLevel >= 0\nFile: "
                 "source\\\\cpp\\\\GBuffer\nLine: 228");
    EXPECT_DEATH(fbo.bindLevelTexture(-1), "Line: 228");
    fbo.bindLevelTexture(2);
    glBindTexture(GL_TEXTURE_2D, 0);
    expectNoGlError();
}

}  // namespace
