// The placeholder scene's picture follows its parameters and the music time.
#include "GlTestContext.h"
#include "scenes/PlaceholderScene.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class PlaceholderSceneTest : public hvtest::GlTest {
protected:
    void SetUp() override {
        hvtest::GlTest::SetUp();
        glGenTextures(1, &_texture);
        glBindTexture(GL_TEXTURE_2D, _texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kSize, kSize, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glGenFramebuffers(1, &_framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, _framebuffer);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, _texture, 0);
        glViewport(0, 0, kSize, kSize);
    }
    void TearDown() override {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &_framebuffer);
        glDeleteTextures(1, &_texture);
    }
    hvtest::ImageRGBA8 drawAt(AbstractScene& scene, double seconds) {
        FrameTime time{seconds, 0.0};
        glBindFramebuffer(GL_FRAMEBUFFER, _framebuffer);
        scene.draw(&time);
        return hvtest::readFramebufferRGBA8(_framebuffer, kSize, kSize);
    }
    static bool isQuad(const uint8_t* pixel) { return pixel[0] == 255 && pixel[2] < 100; }

    static constexpr int kSize = 32;
    GLuint _texture = 0;
    GLuint _framebuffer = 0;
};

}  // namespace

TEST_F(PlaceholderSceneTest, NamesItsParameters) {
    PlaceholderScene scene;
    EXPECT_EQ(scene.trackNames(), (std::vector<std::string>{"credits", "light_intens"}));
    expectNoGlError();
}

TEST_F(PlaceholderSceneTest, QuadCirclesWithTheTime) {
    PlaceholderScene scene;
    hvtest::ImageRGBA8 start = drawAt(scene, 0.0);  // centre at (0.5, 0) in clip space
    EXPECT_TRUE(isQuad(start.at(24, 16)));
    EXPECT_FALSE(isQuad(start.at(16, 24)));
    EXPECT_FALSE(isQuad(start.at(0, 0)));
    EXPECT_GT(start.at(0, 0)[2], 0);  // never a black background

    hvtest::ImageRGBA8 later = drawAt(scene, M_PI / 2.0);  // a quarter turn: centre at (0, 0.5)
    EXPECT_TRUE(isQuad(later.at(16, 24)));
    EXPECT_FALSE(isQuad(later.at(24, 16)));
    expectNoGlError();
}

TEST_F(PlaceholderSceneTest, LightIntensityBrightensTheBackground) {
    PlaceholderScene scene;
    int dark = drawAt(scene, 0.0).at(0, 0)[0];
    scene.parameter("light_intens") = 1.0;
    int bright = drawAt(scene, 0.0).at(0, 0)[0];
    EXPECT_GT(bright, dark + 100);
    expectNoGlError();
}
