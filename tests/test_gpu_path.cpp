// The two ways a frame bounds its shadow pass: which renderers take which, that the
// hardware path reads nothing back during a frame (counted), and that both paths draw
// the same bytes.
#include "FilmRenderer.h"

#include "cpp/Display.h"
#include "scenes/GpuPath.h"
#include "scenes/TestGeometry.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <string>
#include <unistd.h>
#include <vector>

namespace {

TEST(GpuPath, SoftwareRasterisersAreKnownByTheirRendererAndTheEnvironmentWins) {
    EXPECT_EQ(gpuPathFor("llvmpipe (LLVM 15.0.6, 256 bits)", nullptr), GpuPath::Software);
    EXPECT_EQ(gpuPathFor("softpipe", ""), GpuPath::Software);
    EXPECT_EQ(gpuPathFor("Google SwiftShader", nullptr), GpuPath::Software);
    EXPECT_EQ(gpuPathFor("GDI Generic", nullptr), GpuPath::Software);
    EXPECT_EQ(gpuPathFor("NVIDIA GeForce RTX 3060/PCIe/SSE2", nullptr), GpuPath::Hardware);
    EXPECT_EQ(gpuPathFor("AMD Radeon RX 6600 (radeonsi, navi23, LLVM 15.0.6, DRM 3.49)", ""), GpuPath::Hardware);
    EXPECT_EQ(gpuPathFor(nullptr, nullptr), GpuPath::Hardware);
    EXPECT_EQ(gpuPathFor("llvmpipe", "hardware"), GpuPath::Hardware);
    EXPECT_EQ(gpuPathFor("Mesa Intel(R) UHD Graphics 620 (KBL GT2)", "software"), GpuPath::Software);
    EXPECT_EQ(gpuPathFor("llvmpipe", "gpu"), GpuPath::Software);  // unknown: ignored
}

std::vector<unsigned char> frameAt(FilmRenderer& film, double seconds) {
    film.renderAt(seconds);
    std::vector<unsigned char> pixels(static_cast<size_t>(film.width()) * film.height() * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, film.width(), film.height(), GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

TEST(GpuPath, TheHardwarePathMapsNothingForReadingAndDrawsTheSoftwarePathsBytes) {
    ASSERT_EQ(chdir(HV_BINARY_DIR "/run"), 0) << "the build assembles the run directory";
    FilmRenderer film;
    std::string why;
    testing::internal::CaptureStdout();  // the texture scan reports every file
    const bool opened = film.open(160, 100, &why);
    testing::internal::GetCapturedStdout();
    if (!opened) GTEST_SKIP() << "no headless GL: " << why;
    TestGeometry& scene = film.scene();
    const ShadowReach& reach = scene.shadowReach();
    // The intro, the orbit, the crane shot and the credits: light and camera all over the hall.
    for (double seconds : {5.0, 40.0, 100.0, 155.0}) {
        scene.setGpuPath(GpuPath::Hardware);
        const long before = reach.mapsForReading();
        const std::vector<unsigned char> hardware = frameAt(film, seconds);
        EXPECT_EQ(reach.mapsForReading(), before) << "a hardware frame at " << seconds << " s mapped a buffer";

        scene.setGpuPath(GpuPath::Software);
        const std::vector<unsigned char> software = frameAt(film, seconds);
        EXPECT_EQ(reach.mapsForReading(), before + 1) << "the software frame measures once";
        EXPECT_TRUE(hardware == software) << "the paths draw different pixels at " << seconds << " s";
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
