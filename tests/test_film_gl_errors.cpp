// The whole film on a debug context (KHR_debug), headless and small: loading and a frame
// every half second of film time from the start to the end of the music raise no GL
// error and no high-severity debug message. Between samples the branches take every
// 1/60 s step, so they move as they do on screen.
#include "HeadlessSurface.h"

#include "cpp/Display.h"
#include "cpp/InitialGlState.h"
#include "cpp/Music.h"
#include "cpp/PresentationDriver.h"
#include "platform/Bass.h"
#include "platform/MessageBox.h"
#include "scenes/TestGeometry.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kWidth = 80;
constexpr int kHeight = 50;
constexpr double kSampleEvery = 0.5;

struct Problems {
    double filmTime = -1.0;  // negative while loading
    std::vector<std::string> seen;

    void add(const std::string& what) {
        char when[32];
        if (filmTime < 0.0)
            std::snprintf(when, sizeof when, "loading: ");
        else
            std::snprintf(when, sizeof when, "%.1f s: ", filmTime);
        if (seen.size() < 20) seen.push_back(when + what);
    }
};

Problems g_problems;

void GLAPIENTRY onDebugMessage(GLenum, GLenum type, GLuint id, GLenum severity, GLsizei,
                               const GLchar* message, const void*) {
    if (type != GL_DEBUG_TYPE_ERROR && severity != GL_DEBUG_SEVERITY_HIGH) return;
    g_problems.add("debug message " + std::to_string(id) + ": " + message);
}

void drainErrors() {
    for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError())
        g_problems.add("glGetError " + std::to_string(error));
}

}  // namespace

TEST(FilmGl, NoErrorFromLoadingToTheEndOfTheMusic) {
    std::string why;
    screenWidth = kWidth;
    screenHeight = kHeight;
    if (!makeHeadlessSurfaceCurrent(kWidth, kHeight, &why, true)) GTEST_SKIP() << why;
    GLint flags = 0;
    glGetIntegerv(GL_CONTEXT_FLAGS, &flags);
    ASSERT_NE(flags & GL_CONTEXT_FLAG_DEBUG_BIT, 0) << "no debug context";
    glEnable(GL_DEBUG_OUTPUT);
    glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
    glDebugMessageCallback(onDebugMessage, nullptr);
    glDebugMessageControl(GL_DONT_CARE, GL_DONT_CARE, GL_DONT_CARE, 0, nullptr, GL_TRUE);
    // The watch sees an error when there is one: once as a debug message, once from glGetError.
    glEnable(0x0001);
    drainErrors();
    ASSERT_EQ(g_problems.seen.size(), 2u);
    g_problems.seen.clear();
    // checkGLError() shows what it drains in a box: that counts too.
    platform::setMessageBoxHook([](const std::string& text) { g_problems.add("message box: " + text); });
    ASSERT_EQ(chdir(HV_BINARY_DIR "/run"), 0);

    setInitialGlState(kWidth, kHeight);
    bassUseManualClock(true);
    PresentationDriver driver(
        []() -> std::shared_ptr<AbstractScene> { return std::make_shared<TestGeometry>(); });
    // Every 1/60 s step between two samples is taken, as on screen.
    dynamic_cast<TestGeometry&>(driver.currentScene()).branchMotion().setCatchUpLimit(0);
    BASS_ChannelPlay(musicStream, TRUE);
    drainErrors();

    int frames = 0;
    for (double sample = 0.0;; sample += kSampleEvery) {
        bassSetManualSeconds(sample);
        if (BASS_ChannelIsActive(musicStream) == 0) break;
        g_problems.filmTime = sample;
        driver.renderFrame();
        drainErrors();
        ++frames;
    }
    glFinish();
    drainErrors();

    EXPECT_GE(frames, 340) << "the music should last about 172 s";
    std::string report;
    for (const std::string& problem : g_problems.seen) report += problem + "\n";
    EXPECT_TRUE(g_problems.seen.empty()) << report;
}
