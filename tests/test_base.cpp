#include "GlTestContext.h"
#include "cpp/GLError.h"
#include "cpp/Random.h"
#include "platform/Assert.h"
#include "platform/MessageBox.h"

#include <gtest/gtest.h>

TEST(Random, FirstDrawsMatchTheCLibrarySequence) {
    uint32_t saved = demoRandState();
    setDemoRandState(1);
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724};
    for (int value : expected) EXPECT_EQ(demoRand(), value);
    setDemoRandState(saved);
}

TEST(Random, JumpingAheadEqualsDrawing) {
    for (uint64_t draws : {0ull, 1ull, 2ull, 7ull, 1000ull, 123457ull}) {
        uint32_t drawn = 987654321u;
        for (uint64_t i = 0; i < draws; ++i) demoRandFrom(&drawn);
        EXPECT_EQ(demoRandStateAfter(987654321u, draws), drawn) << draws;
    }
}

TEST(AssertDeathTest, ReportsExpressionSourceAndLine) {
    EXPECT_DEATH(HV_ASSERT_AT(1 + 1 == 3, "mi != hi", "source\\sync\\track", 76),
                 "Expression: mi != hi\nFile: source\\\\sync\\\\track\nLine: 76");
}

TEST(MessageBox, HookReceivesTextAndStandardErrorGetsIt) {
    std::string seen;
    platform::setMessageBoxHook([&](const std::string& text) { seen = text; });
    testing::internal::CaptureStderr();
    platform::showMessageBox("Failed to init FBO.");
    std::string err = testing::internal::GetCapturedStderr();
    platform::setMessageBoxHook(nullptr);
    EXPECT_EQ(seen, "Failed to init FBO.");
    EXPECT_NE(err.find("Oh my god! No Wayyyy!: Failed to init FBO."), std::string::npos);
}

class HeadlessGl : public hvtest::GlTest {};

TEST_F(HeadlessGl, RendersIntoAnFboAndReadsBack) {
    GLuint texture = 0, fbo = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glGenFramebuffers(1, &fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    glClearColor(1.0f, 0.5f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    hvtest::ImageRGBA8 image = hvtest::readFramebufferRGBA8(fbo, 4, 4);
    EXPECT_EQ(image.at(3, 3)[0], 255);
    EXPECT_NEAR(image.at(0, 0)[1], 128, 1);
    EXPECT_EQ(image.at(2, 1)[2], 0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &fbo);
    glDeleteTextures(1, &texture);
    glClearColor(0, 0, 0, 1);
    expectNoGlError();
}

TEST_F(HeadlessGl, CheckGLErrorListsEveryPendingErrorInOrder) {
    glEnable(0x1234);          // GL_INVALID_ENUM
    glBindBuffer(0x1234, 1);   // GL_INVALID_ENUM
    glViewport(0, 0, -1, -1);  // GL_INVALID_VALUE
    std::string seen;
    platform::setMessageBoxHook([&](const std::string& text) { seen = text; });
    testing::internal::CaptureStderr();
    checkGLError();
    testing::internal::GetCapturedStderr();
    platform::setMessageBoxHook(nullptr);
    // Mesa may coalesce: the queue holds at least the first error and ends with a blank.
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.rfind("GL_INVALID_ENUM ", 0), 0u);
    EXPECT_EQ(seen.back(), ' ');
    expectNoGlError();
}
