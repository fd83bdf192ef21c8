// The timeline compiles with the track tool into the 22 tracks the scene asks for, each
// covering the whole music, and the paths it describes stay where the film can use them.
#include "test_content_support.h"

extern "C" {
#include "sync/sync.h"
}

#include <gtest/gtest.h>

#include <glm/geometric.hpp>
#include <glm/vec3.hpp>

#include <map>

namespace {
using namespace contenttest;

class ContentTracks : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        scratch = new ScratchDir("tracks");
        compileStatus = run(std::string(HV_SYNCTRACK) + " compile '" + kTimeline.string() + "' '" +
                            scratch->path().string() + "'");
        device = sync_open_device((scratch->path() / "sync").string().c_str());
        for (const std::string& name : trackNames()) {
            tracks[name] = sync_track_by_name(device, name.c_str());
        }
    }
    static void TearDownTestSuite() {
        sync_close_device(device);
        delete scratch;
        tracks.clear();
    }
    static double value(const std::string& name, double row) {
        return sync_track_value(tracks.at(name), row);
    }
    static glm::dvec3 vec(const std::string& prefix, double row) {
        return {value(prefix + ".x", row), value(prefix + ".y", row), value(prefix + ".z", row)};
    }

    static ScratchDir* scratch;
    static int compileStatus;
    static sync_device* device;
    static std::map<std::string, const sync_track*> tracks;
};
ScratchDir* ContentTracks::scratch = nullptr;
int ContentTracks::compileStatus = -1;
sync_device* ContentTracks::device = nullptr;
std::map<std::string, const sync_track*> ContentTracks::tracks;

constexpr int kEndRow = kMusicBars * kRowsPerBar;

TEST_F(ContentTracks, EveryTrackCompilesStartsAtRowZeroAndReachesTheLastBar) {
    ASSERT_EQ(compileStatus, 0);
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(scratch->path())) {
        files += entry.path().extension() == ".track";
    }
    EXPECT_EQ(files, trackNames().size()) << "no track beyond the scene's 22";
    for (const std::string& name : trackNames()) {
        const sync_track* t = tracks.at(name);
        ASSERT_NE(t, nullptr);
        ASSERT_GT(t->key_count, 0u) << name;
        EXPECT_EQ(t->keys[0].row, 0) << name;
        EXPECT_GE(t->keys[t->key_count - 1].row, kEndRow) << name;
    }
}

TEST_F(ContentTracks, CameraAndLightStayInsideTheHallAndTheViewIsNeverDegenerate) {
    ASSERT_EQ(compileStatus, 0);
    const glm::dvec3 hallLo(-19.7, 0.3, -11.7), hallHi(19.7, 9.7, 11.7);
    for (double row = 0.0; row <= kEndRow + 64; row += 0.5) {
        const glm::dvec3 eye = vec("ts.eyepos", row), target = vec("ts.tarpos", row), up = vec("up", row);
        const glm::dvec3 light = vec("lightP_Off", row);
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(eye[i] > hallLo[i] && eye[i] < hallHi[i]) << "eye leaves the hall at row " << row;
            ASSERT_TRUE(light[i] > hallLo[i] && light[i] < hallHi[i])
                << "light leaves the hall at row " << row;
        }
        const glm::dvec3 view = target - eye;
        ASSERT_GT(glm::length(view), 1.0) << "row " << row;
        // The camera never flies through the core of the bunch (branches are 3.2 long).
        ASSERT_GT(glm::length(vec("bunchpos", row) - eye), 2.0) << "row " << row;
        // lookAt breaks down when up runs along the view direction.
        ASSERT_GT(glm::length(glm::cross(glm::normalize(view), up)), 0.3) << "row " << row;
        ASSERT_GT(value("light_intens", row), row < 4 * kRowsPerBar ? -1e-6 : 0.3) << "row " << row;
        ASSERT_GE(value("atten_exp", row), 0.5);
        ASSERT_GE(value("ts.blinnexp", row), 1.0);
    }
}

TEST_F(ContentTracks, CreditsStayHiddenUntilTheOutroThenFadeInAndHold) {
    ASSERT_EQ(compileStatus, 0);
    const int outro = 76 * kRowsPerBar;
    for (int row = 0; row < outro; ++row) {
        ASSERT_LE(value("credits", row), 0.0) << "row " << row;
    }
    double previous = 0.0;
    for (int row = outro; row <= outro + 2 * kRowsPerBar; ++row) {
        ASSERT_GE(value("credits", row), previous);
        previous = value("credits", row);
    }
    for (int row = outro + 2 * kRowsPerBar; row <= kEndRow + 64; ++row) {
        ASSERT_DOUBLE_EQ(value("credits", row), 1.0) << "row " << row;
    }
}

TEST_F(ContentTracks, LightPulsesOnEveryBeatOfTheMainSection) {
    ASSERT_EQ(compileStatus, 0);
    for (int bar = 24; bar < 48; ++bar) {
        for (int beat = 0; beat < 4; ++beat) {
            const int row = bar * kRowsPerBar + beat * 8;
            EXPECT_GT(value("light_intens", row), value("light_intens", row + 5) + 0.3) << "bar " << bar;
        }
    }
}

}  // namespace
