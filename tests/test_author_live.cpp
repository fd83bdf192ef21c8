// Live timeline: a compile error names the file and line; keys the track loader would
// refuse leave a track exactly as it was; good keys replace it at once.
#include "LiveTimeline.h"

extern "C" {
#include "sync/sync.h"
}

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

TEST(AuthorLive, ATimelineErrorNamesFileAndLine) {
    char path[] = "/tmp/hv_live_XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    const std::string text = "rows_per_beat 8\n[credits]\n0 0 step\n4 1 wobbly\n";
    ASSERT_EQ(write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    close(fd);
    synctrack::Timeline timeline;
    timeline.rowsPerBeat = 5;
    std::string error;
    EXPECT_FALSE(live::loadTimeline(path, &timeline, &error));
    EXPECT_NE(error.find(std::string(path) + ":4"), std::string::npos) << error;
    EXPECT_EQ(timeline.rowsPerBeat, 5);  // untouched
    std::remove(path);
    EXPECT_FALSE(live::loadTimeline("/nonexistent/halvane.timeline", &timeline, &error));
}

TEST(AuthorLive, RefusedKeysLeaveTheTrackAsItWas) {
    sync_track track{nullptr, nullptr, 0};
    const sync_key good[] = {{0, 1.0f, KEY_LINEAR}, {16, 3.0f, KEY_STEP}};
    ASSERT_EQ(sync_set_keys(&track, good, 2, nullptr), 0);
    EXPECT_DOUBLE_EQ(sync_track_value(&track, 8.0), 2.0);

    const char* problem = nullptr;
    const sync_key descending[] = {{16, 1.0f, KEY_LINEAR}, {8, 3.0f, KEY_STEP}};
    EXPECT_EQ(sync_set_keys(&track, descending, 2, &problem), -1);
    EXPECT_STREQ(problem, "rows that do not strictly ascend");
    const sync_key notANumber[] = {{0, std::nanf(""), KEY_LINEAR}};
    EXPECT_EQ(sync_set_keys(&track, notANumber, 1, &problem), -1);
    EXPECT_EQ(track.key_count, 2u);
    EXPECT_DOUBLE_EQ(sync_track_value(&track, 8.0), 2.0);

    ASSERT_EQ(sync_set_keys(&track, nullptr, 0, nullptr), 0);  // no keys: the track reads 0.0
    EXPECT_EQ(sync_track_value(&track, 8.0), 0.0);
    std::free(track.keys);
}
