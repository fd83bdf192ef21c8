// A whole frame of the film, from the driver's track update to the post-processing,
// must not touch the heap once the first frames have compiled what they need: every
// operator new made while a hundred frames run is counted.
#include "AllocationCounter.h"
#include "HeadlessSurface.h"

#include "cpp/Display.h"
#include "cpp/InitialGlState.h"
#include "cpp/Music.h"
#include "cpp/PresentationDriver.h"
#include "platform/Bass.h"
#include "scenes/TestGeometry.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

using hvtest::allocationsCounted;
using hvtest::countingAllocations;

namespace {

TEST(FrameAllocations, AHundredFramesOfTheFilmAllocateNothing) {
    ASSERT_EQ(chdir(HV_BINARY_DIR "/run"), 0) << "the build assembles the run directory";
    screenWidth = 160;
    screenHeight = 100;
    std::string why;
    if (!makeHeadlessSurfaceCurrent(screenWidth, screenHeight, &why)) GTEST_SKIP() << "no headless GL: " << why;
    setInitialGlState(screenWidth, screenHeight);
    bassUseManualClock(true);

    testing::internal::CaptureStdout();  // the texture scan reports every file
    allocationsCounted = 0;
    countingAllocations = true;
    PresentationDriver driver([]() -> std::shared_ptr<AbstractScene> { return std::make_shared<TestGeometry>(); });
    countingAllocations = false;
    testing::internal::GetCapturedStdout();
    EXPECT_GT(allocationsCounted, 0) << "the counter sees the loading";
    BASS_ChannelPlay(musicStream, TRUE);

    // During the credits (from 152 s), so every pass draws.
    const double start = 155.0;
    for (int frame = 0; frame < 3; ++frame) {
        bassSetManualSeconds(start + frame / 60.0);
        driver.renderFrame();
    }
    allocationsCounted = 0;
    countingAllocations = true;
    for (int frame = 3; frame < 103; ++frame) {
        bassSetManualSeconds(start + frame / 60.0);
        driver.renderFrame();
    }
    countingAllocations = false;
    EXPECT_EQ(allocationsCounted, 0) << "over 100 frames";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
