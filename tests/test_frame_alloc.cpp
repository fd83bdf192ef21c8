// A whole frame of the film, from the driver's track update to the post-processing,
// must not touch the heap once the first frames have compiled what they need: every
// operator new made while a hundred frames run is counted.
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
#include <new>
#include <string>
#include <unistd.h>

namespace {
bool g_counting = false;
long g_allocations = 0;
}  // namespace

// These replace every unaligned form, so malloc and free are the matching functions here:
// a form left out (Mesa's compiler uses the nothrow one) would come from the sanitizer's
// allocator and reach our delete.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
namespace {
void* countedAllocation(std::size_t size) noexcept {
    if (g_counting) ++g_allocations;
    return std::malloc(size == 0 ? 1 : size);
}
}  // namespace
void* operator new(std::size_t size) {
    if (void* p = countedAllocation(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    if (void* p = countedAllocation(size)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return countedAllocation(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return countedAllocation(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
#pragma GCC diagnostic pop

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
    g_allocations = 0;
    g_counting = true;
    PresentationDriver driver([]() -> std::shared_ptr<AbstractScene> { return std::make_shared<TestGeometry>(); });
    g_counting = false;
    testing::internal::GetCapturedStdout();
    EXPECT_GT(g_allocations, 0) << "the counter sees the loading";
    BASS_ChannelPlay(musicStream, TRUE);

    // During the credits (from 152 s), so every pass draws.
    const double start = 155.0;
    for (int frame = 0; frame < 3; ++frame) {
        bassSetManualSeconds(start + frame / 60.0);
        driver.renderFrame();
    }
    g_allocations = 0;
    g_counting = true;
    for (int frame = 3; frame < 103; ++frame) {
        bassSetManualSeconds(start + frame / 60.0);
        driver.renderFrame();
    }
    g_counting = false;
    EXPECT_EQ(g_allocations, 0) << "over 100 frames";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
