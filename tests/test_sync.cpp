// The sync library: evaluation, file loading and hostile track files.
extern "C" {
#include "sync/sync.h"
}

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "Portable.h"

namespace {

struct Key {
    int32_t row;
    float value;
    int8_t type;
};

std::vector<unsigned char> trackBytes(uint64_t declared, const std::vector<Key>& keys) {
    std::vector<unsigned char> bytes(8);
    std::memcpy(bytes.data(), &declared, 8);
    for (const Key& key : keys) {
        unsigned char record[9];
        std::memcpy(record, &key.row, 4);
        std::memcpy(record + 4, &key.value, 4);
        std::memcpy(record + 8, &key.type, 1);
        bytes.insert(bytes.end(), record, record + 9);
    }
    return bytes;
}

// Each test gets a scratch directory as the device prefix's folder.
class SyncFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = hvtest::makeScratchDir("hv_sync");
        ASSERT_FALSE(dir_.empty());
        device_ = sync_open_device((dir_ + "/sync").c_str());
        ASSERT_NE(device_, nullptr);
    }
    void TearDown() override {
        sync_close_device(device_);
        hvtest::removeTree(dir_);
    }
    void write(const std::string& name, const std::vector<unsigned char>& bytes) {
        FILE* file = std::fopen((dir_ + "/sync_" + name + ".track").c_str(), "wb");
        ASSERT_NE(file, nullptr);
        if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    const sync_track* load(const std::string& name) { return sync_track_by_name(device_, name.c_str()); }

    std::string dir_;
    sync_device* device_ = nullptr;
};

sync_track makeTrack(std::vector<sync_key>& keys) {
    sync_track track;
    track.name = const_cast<char*>("t");
    track.keys = keys.data();
    track.key_count = keys.size();
    return track;
}

}  // namespace

TEST(SyncEvaluation, KeyTypesFollowTheirFormulas) {
    std::vector<sync_key> keys = {{0, 1.0f, KEY_LINEAR}, {10, 3.0f, KEY_STEP}};
    sync_track track = makeTrack(keys);
    EXPECT_DOUBLE_EQ(sync_track_value(&track, 5.0), 2.0);
    EXPECT_DOUBLE_EQ(sync_track_value(&track, 2.5), 1.5);
    EXPECT_DOUBLE_EQ(sync_track_value(&track, -1.0), 1.0);
    EXPECT_DOUBLE_EQ(sync_track_value(&track, 10.0), 3.0);
    EXPECT_DOUBLE_EQ(sync_track_value(&track, 25.0), 3.0);

    keys[0].type = KEY_SMOOTH;
    EXPECT_DOUBLE_EQ(sync_track_value(&track, 5.0), 2.0);
    EXPECT_DOUBLE_EQ(sync_track_value(&track, 2.5), 1.3125);
    keys[0].type = KEY_RAMP;
    EXPECT_DOUBLE_EQ(sync_track_value(&track, 5.0), 1.5);
    keys[0].type = KEY_STEP;
    EXPECT_DOUBLE_EQ(sync_track_value(&track, 9.99), 1.0);
}

TEST(SyncEvaluation, KeyAtTheFlooredRowStillInterpolatesWithTheFraction) {
    std::vector<sync_key> keys = {{4, 0.0f, KEY_LINEAR}, {8, 4.0f, KEY_LINEAR}};
    sync_track track = makeTrack(keys);
    EXPECT_DOUBLE_EQ(sync_track_value(&track, 4.5), 0.5);
}

TEST(SyncEvaluation, DifferenceIsTakenInSinglePrecision) {
    std::vector<sync_key> keys = {{0, 0.1f, KEY_LINEAR}, {1, 0.3f, KEY_STEP}};
    sync_track track = makeTrack(keys);
    double d = static_cast<double>(0.3f - 0.1f);
    EXPECT_EQ(sync_track_value(&track, 0.5), static_cast<double>(0.1f) + d * 0.5);
}

TEST(SyncEvaluation, UnknownTypeHoldsAndOddRowsDoNotOverflow) {
    std::vector<sync_key> keys = {{0, 2.0f, 7}, {10, 4.0f, KEY_LINEAR}};
    sync_track track = makeTrack(keys);
    EXPECT_DOUBLE_EQ(sync_track_value(&track, 5.0), 2.0);
    EXPECT_DOUBLE_EQ(sync_track_value(&track, 1e300), 4.0);
    EXPECT_DOUBLE_EQ(sync_track_value(&track, -1e300), 2.0);
    EXPECT_DOUBLE_EQ(sync_track_value(&track, std::nan("")), 2.0);
}

// Found by fuzzing: a row below the 32-bit range clamped onto a first key at INT_MIN
// and interpolated from there with t of about -1e290, which made NaN.
TEST(SyncEvaluation, RowsBeyondTheIntegerRangeTakeTheEndKeysValues) {
    const int lowest = std::numeric_limits<int>::min();
    const int highest = std::numeric_limits<int>::max();
    std::vector<sync_key> keys = {{lowest, 0.0f, KEY_SMOOTH}, {0, -0.0f, KEY_LINEAR}, {highest, 2.0f, KEY_RAMP}};
    sync_track track = makeTrack(keys);
    EXPECT_EQ(sync_track_value(&track, -1e300), 0.0);
    EXPECT_EQ(sync_track_value(&track, -std::numeric_limits<double>::infinity()), 0.0);
    EXPECT_EQ(sync_track_value(&track, std::nan("")), 0.0);
    EXPECT_EQ(sync_track_value(&track, 1e300), 2.0);
    EXPECT_EQ(sync_track_value(&track, highest / 2.0), 1.0);
}

TEST(SyncEvaluation, SearchReturnsIndexOrComplementedInsertionPoint) {
    std::vector<sync_key> keys = {{2, 0, KEY_STEP}, {5, 0, KEY_STEP}, {9, 0, KEY_STEP}};
    sync_track track = makeTrack(keys);
    EXPECT_EQ(sync_search_key(&track, 5), 1);
    EXPECT_EQ(sync_search_key(&track, 0), -1);
    EXPECT_EQ(sync_search_key(&track, 6), -3);
    EXPECT_EQ(sync_search_key(&track, 10), -4);
}

TEST_F(SyncFiles, LoadsKeysFromTheNamedFileOnce) {
    write("light_intens", trackBytes(2, {{0, 1.0f, KEY_LINEAR}, {10, 3.0f, KEY_STEP}}));
    const sync_track* track = load("light_intens");
    ASSERT_NE(track, nullptr);
    ASSERT_EQ(track->key_count, 2u);
    EXPECT_DOUBLE_EQ(sync_track_value(track, 5.0), 2.0);

    // A second request is served from the device: rewriting the file changes nothing.
    write("light_intens", trackBytes(1, {{0, 9.0f, KEY_STEP}}));
    EXPECT_EQ(load("light_intens"), track);
    EXPECT_DOUBLE_EQ(sync_track_value(track, 5.0), 2.0);
    EXPECT_EQ(device_->track_count, 1u);
}

TEST_F(SyncFiles, MissingEmptyAndBrokenFilesGiveTracksWithoutKeys) {
    struct Case {
        const char* name;
        std::vector<unsigned char> bytes;
        bool create;
    };
    std::vector<unsigned char> truncated = trackBytes(3, {{0, 1, 1}, {5, 2, 1}, {9, 3, 1}});
    truncated.resize(truncated.size() - 4);
    const Case cases[] = {
        {"missing", {}, false},
        {"zero_keys", trackBytes(0, {}), true},
        {"short_header", {1, 0, 0}, true},
        {"truncated_keys", truncated, true},
        {"huge_count", trackBytes(0x7FFFFFFFull, {{0, 1, 1}}), true},
        {"count_beyond_int32", trackBytes(0x80000000ull, {{0, 1, 1}}), true},
        {"all_ones_count", trackBytes(~0ull, {{0, 1, 1}}), true},
        {"unsorted", trackBytes(2, {{10, 1, 1}, {0, 2, 1}}), true},
        {"duplicate_rows", trackBytes(2, {{4, 1, 1}, {4, 2, 1}}), true},
    };
    for (const Case& c : cases) {
        if (c.create) write(c.name, c.bytes);
        const sync_track* track = load(c.name);
        ASSERT_NE(track, nullptr) << c.name;
        EXPECT_EQ(track->key_count, 0u) << c.name;
        EXPECT_EQ(sync_track_value(track, 3.0), 0.0) << c.name;
    }
}

// A NaN or infinite key, or a finite pair whose difference overflows in single
// precision, would hand the scene NaN positions (the branches assert on them).
TEST_F(SyncFiles, NonFiniteValuesAreRefusedWithALineNamingTheFile) {
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        const char* name;
        std::vector<Key> keys;
    } cases[] = {
        {"nan_value", {{0, 1, 1}, {8, std::nanf(""), 1}}},
        {"plus_inf", {{0, inf, 0}}},
        {"minus_inf", {{0, 1, 2}, {4, -inf, 1}}},
        {"overflowing_difference", {{0, -3e38f, 1}, {10, 3e38f, 1}}},
    };
    for (const auto& c : cases) {
        write(c.name, trackBytes(c.keys.size(), c.keys));
        testing::internal::CaptureStderr();
        const sync_track* track = load(c.name);
        const std::string said = testing::internal::GetCapturedStderr();
        ASSERT_NE(track, nullptr) << c.name;
        EXPECT_EQ(track->key_count, 0u) << c.name;
        EXPECT_EQ(sync_track_value(track, 5.0), 0.0) << c.name;
        EXPECT_NE(said.find(dir_ + "/sync_" + c.name + ".track"), std::string::npos) << said;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    }

    // Extreme but finite neighbours stay within reach of each other and load.
    write("extreme", trackBytes(2, {{0, 3.4e38f, 1}, {10, 1e38f, 2}}));
    testing::internal::CaptureStderr();
    const sync_track* track = load("extreme");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_EQ(track->key_count, 2u);
    EXPECT_TRUE(std::isfinite(sync_track_value(track, 7.5)));
}

TEST_F(SyncFiles, BytesAfterTheLastKeyAreIgnoredAndBadTypesLoad) {
    std::vector<unsigned char> bytes = trackBytes(2, {{0, 5.0f, 42}, {8, 1.0f, -3}});
    bytes.push_back(0xAB);
    write("extra", bytes);
    const sync_track* track = load("extra");
    ASSERT_EQ(track->key_count, 2u);
    EXPECT_DOUBLE_EQ(sync_track_value(track, 4.0), 5.0);
    EXPECT_DOUBLE_EQ(sync_track_value(track, 8.0), 1.0);
}

TEST_F(SyncFiles, OverlongFileNamesAreRefusedWithoutOverflow) {
    EXPECT_STREQ(sync_track_file_name("sync", "light_intens"), "sync_light_intens.track");
    std::string name(300, 'n');
    EXPECT_EQ(sync_track_file_name("sync", name.c_str()), nullptr);
    std::string fits(SYNC_MAX_FILE_NAME - 11, 'n');
    const char* file = sync_track_file_name("sync", fits.c_str());
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(std::strlen(file), static_cast<size_t>(SYNC_MAX_FILE_NAME));
    std::string longPrefix(400, 'p');
    EXPECT_EQ(sync_track_file_name(longPrefix.c_str(), "x"), nullptr);

    const sync_track* track = load(name);
    ASSERT_NE(track, nullptr);
    EXPECT_EQ(track->key_count, 0u);
}

TEST(SyncDeviceDeathTest, AddingATrackTwiceIsAnAssertion) {
    sync_device* device = sync_open_device("sync");
    sync_add_track(device, "a");
    EXPECT_DEATH(sync_add_track(device, "a"),
                 "Expression: sync_find_track\\(d, name\\) < 0\nFile: source\\\\sync\\\\data\nLine: 21");
    sync_close_device(device);
}
