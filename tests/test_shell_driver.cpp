// The presentation driver on a headless GL context: track opening, the frame step and
// the end of the music. The music clock runs manually, so positions are exact.
#include "GlTestContext.h"
#include "cpp/Display.h"
#include "cpp/Music.h"
#include "cpp/PresentationDriver.h"
#include "platform/Bass.h"
#include "sync/sync.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Records what the driver hands over, without drawing anything.
class RecordingScene : public AbstractScene {
public:
    explicit RecordingScene(std::vector<std::string> names) {
        for (const auto& name : names) registerTrack(name);
    }
    void draw(const FrameTime* frameTime) override {
        frames.push_back(*frameTime);
        seen.push_back(_parameters);
    }
    std::vector<FrameTime> frames;
    std::vector<ParameterTable> seen;
};

std::shared_ptr<AbstractScene> makeTwoTrackScene() {
    return std::make_shared<RecordingScene>(std::vector<std::string>{"light_x", "cam_z"});
}
std::shared_ptr<AbstractScene> makeSilentScene() {
    return std::make_shared<RecordingScene>(std::vector<std::string>{});
}

struct Key {
    int32_t row;
    float value;
    int8_t type;
};

void writeTrack(const std::string& file, const std::vector<Key>& keys) {
    std::ofstream out(file, std::ios::binary);
    uint64_t count = keys.size();
    out.write(reinterpret_cast<const char*>(&count), 8);
    for (const Key& key : keys) {
        out.write(reinterpret_cast<const char*>(&key.row), 4);
        out.write(reinterpret_cast<const char*>(&key.value), 4);
        out.write(reinterpret_cast<const char*>(&key.type), 1);
    }
}

class PresentationDriverTest : public hvtest::GlTest {
protected:
    static void SetUpTestSuite() {
        hvtest::GlTest::SetUpTestSuite();
        previous = fs::current_path();
        work = fs::temp_directory_path() / ("hv_shell_driver_" + std::to_string(::getpid()));
        fs::create_directories(work / "data");
        std::string make = "sox -n -r 44100 -c 2 -b 16 '" + (work / "t.wav").string() +
                           "' synth 4 sine 440 gain -6 && lame --quiet -b 128 --cbr '" +
                           (work / "t.wav").string() + "' '" + (work / "data" / "music.mp3").string() + "'";
        haveMusic = std::system(make.c_str()) == 0;
        fs::current_path(work);
        // light_x: linear from 1 at row 0 to 3 at row 80; cam_z has no file and reads 0.
        writeTrack("sync_light_x.track", {{0, 1.0f, 1}, {80, 3.0f, 0}});
    }
    static void TearDownTestSuite() {
        fs::current_path(previous);
        std::error_code ignored;
        fs::remove_all(work, ignored);
    }
    void SetUp() override {
        hvtest::GlTest::SetUp();
        if (!haveMusic) GTEST_SKIP() << "sox and lame are needed to make the test music";
        screenWidth = 8;
        screenHeight = 8;
        BASS_Free();
        bassUseManualClock(true);
        bassSetManualSeconds(0.0);
    }
    void TearDown() override {
        BASS_Free();
        bassUseManualClock(false);
    }

    static inline fs::path previous;
    static inline fs::path work;
    static inline bool haveMusic = false;
};

}  // namespace

TEST_F(PresentationDriverTest, OpensOneTrackPerParameterInNameOrderAndHandsOverTheGBuffer) {
    PresentationDriver driver(&makeTwoTrackScene);
    ASSERT_EQ(driver.syncTracks().size(), 2u);
    EXPECT_STREQ(driver.syncTracks()[0]->name, "cam_z");
    EXPECT_STREQ(driver.syncTracks()[1]->name, "light_x");
    EXPECT_NE(driver.currentScene().gBuffer, nullptr);
    EXPECT_EQ(driver.currentFrameTime().time, 0.0);
    EXPECT_EQ(driver.currentFrameTime().delta, 0.0);
    expectNoGlError();
}

TEST_F(PresentationDriverTest, FrameStoresTrackValuesAtTheMusicRowAndMeasuresDelta) {
    PresentationDriver driver(&makeTwoTrackScene);
    auto& scene = static_cast<RecordingScene&>(driver.currentScene());

    bassSetManualSeconds(2.5);  // row 40: halfway between the keys
    driver.renderFrame();
    bassSetManualSeconds(3.0);  // row 48
    driver.renderFrame();

    ASSERT_EQ(scene.frames.size(), 2u);
    EXPECT_DOUBLE_EQ(scene.frames[0].time, 2.5);
    EXPECT_DOUBLE_EQ(scene.frames[0].delta, 2.5);  // the first frame measures from 0
    EXPECT_DOUBLE_EQ(scene.frames[1].time, 3.0);
    EXPECT_DOUBLE_EQ(scene.frames[1].delta, 0.5);
    EXPECT_DOUBLE_EQ(scene.seen[0].at("light_x"), 2.0);
    EXPECT_DOUBLE_EQ(scene.seen[1].at("light_x"), 2.2);
    EXPECT_DOUBLE_EQ(scene.seen[1].at("cam_z"), 0.0);
    EXPECT_EQ(scene.seen[1].size(), 2u);
    expectNoGlError();
}

TEST_F(PresentationDriverTest, SceneWithoutParametersStillDrawsEveryFrame) {
    PresentationDriver driver(&makeSilentScene);
    auto& scene = static_cast<RecordingScene&>(driver.currentScene());
    EXPECT_TRUE(driver.syncTracks().empty());
    bassSetManualSeconds(0.25);
    driver.renderFrame();
    driver.renderFrame();
    EXPECT_EQ(scene.frames.size(), 2u);
    EXPECT_TRUE(scene.seen.back().empty());
}

TEST_F(PresentationDriverTest, FrameAfterTheMusicEndedEndsTheProcessWithStatusZeroWithoutDrawing) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            PresentationDriver driver(&makeTwoTrackScene);
            bassSetManualSeconds(60.0);  // far past the 4 s of music
            driver.renderFrame();
            std::fprintf(stderr, "drew a frame after the end\n");
            std::exit(3);
        },
        testing::ExitedWithCode(0), "^$");
}
