// Window creation on SDL's offscreen video driver (no X server needed): the refused
// fullscreen mode, the windowed size and the GL state the presentation starts with.
#include "cpp/Demo.h"
#include "cpp/Display.h"
#include "platform/Bass.h"
#include "platform/MessageBox.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

class DemoWindowTest : public testing::Test {
protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        if (SDL_Init(SDL_INIT_VIDEO) != 0) GTEST_SKIP() << "no SDL offscreen video: " << SDL_GetError();
        // Keep boxes from blocking; the text still reaches standard error.
        platform::setMessageBoxHook([](const std::string&) {});
        bassUseManualClock(true);
    }
    void TearDown() override {
        platform::setMessageBoxHook(nullptr);
        bassUseManualClock(false);
    }
};

}  // namespace

TEST_F(DemoWindowTest, RefusedFullscreenModeShowsTheBoxAndEndsWithStatusOneBeforeAnyWindow) {
    EXPECT_EXIT(
        {
            static Demo demo;
            DisplaySettings settings;
            settings.width = 777;
            settings.height = 555;
            settings.fullscreen = true;
            demo.createWindow(settings);
            std::exit(7);
        },
        testing::ExitedWithCode(1), "Failed to set full screen mode\\.");
}

// Creates a 64 x 48 window and prints what it got; runs in the death-test child.
void createWindowedAndReport() {
    // The driver loads the film: run from the assembled working directory.
    if (chdir(HV_BINARY_DIR "/run") != 0) std::exit(3);
    static Demo demo;
    DisplaySettings settings;
    settings.width = 64;
    settings.height = 48;
    settings.fullscreen = false;
    settings.vsync = false;
    settings.multisampling = 2;
    demo.createWindow(settings);
    int width = 0, height = 0;
    demo.window.drawableSize(&width, &height);
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    bool shown = (SDL_GetWindowFlags(demo.window.handle()) & SDL_WINDOW_SHOWN) != 0;
    std::fprintf(
        stderr,
        "size %dx%d viewport %d %d %d %d srgb %d cull %d depth %d shown %d driver %d display %dx%d ms %d\n",
        width, height, viewport[0], viewport[1], viewport[2], viewport[3], glIsEnabled(GL_FRAMEBUFFER_SRGB),
        glIsEnabled(GL_CULL_FACE), glIsEnabled(GL_DEPTH_TEST), shown, demo.driver != nullptr, screenWidth,
        screenHeight, multisampling);
    std::exit(0);
}

TEST_F(DemoWindowTest, WindowedDrawableAndViewportAreTheChosenSizeWithTheInitialGlState) {
    EXPECT_EXIT(createWindowedAndReport(), testing::ExitedWithCode(0),
                "size 64x48 viewport 0 0 64 48 srgb 1 cull 1 depth 0 shown 1 driver 1 display 64x48 ms 2");
}
