// The film's music as the program's audio layer decodes it: its length fits the film,
// and the timeline is cut to it (the last keys reach the music's end).
#include "platform/Mp3Decoder.h"
#include "sync/sync.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

TEST(ContentMusic, DecodesThroughTheAudioLayerAndLastsTwoAndAHalfToThreeMinutes) {
    std::ifstream file(std::string(HV_SOURCE_DIR) + "/data/music.mp3", std::ios::binary);
    ASSERT_TRUE(file) << "data/music.mp3 is missing";
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const auto pcm = platform::decodeMp3(bytes.data(), bytes.size());
    ASSERT_TRUE(pcm.has_value());
    EXPECT_EQ(pcm->rate, 44100);
    EXPECT_EQ(pcm->channels, 2);
    const double seconds = static_cast<double>(pcm->frames()) / pcm->rate;
    EXPECT_GE(seconds, 150.0);
    EXPECT_LE(seconds, 200.0);

    // Every track of the assembled run directory still has a key once the music is
    // within a bar of its end, so nothing is left holding a stale value.
    sync_device* device = sync_open_device((std::string(HV_BINARY_DIR) + "/run/sync").c_str());
    ASSERT_NE(device, nullptr);
    const char* const names[] = {"ts.eyepos.x", "ts.tarpos.y", "up.y", "ts.blinnexp", "bunchpos.z",
                                 "lightP_Off.x", "atten_exp", "light_intens", "mpos.x", "credits"};
    const int lastRow = static_cast<int>(seconds * 16.0);
    for (const char* name : names) {
        const sync_track* track = sync_track_by_name(device, name);
        ASSERT_NE(track, nullptr);
        ASSERT_GT(track->key_count, 0u) << name;
        EXPECT_GE(track->keys[track->key_count - 1].row, lastRow - 32) << name;
    }
    sync_close_device(device);
}
