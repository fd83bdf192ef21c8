#include "Portable.h"
#include "cpp/LoadTimeline.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>

namespace {
// Through a scratch file (the Windows C library has no memory streams), in a directory
// of its own: the tests run side by side as separate processes.
std::string printed(const LoadTimeline& timeline) {
    const std::string dir = hvtest::makeScratchDir("hv_load_timeline");
    if (dir.empty()) return "";
    std::string text;
    if (std::FILE* out = std::fopen((dir + "/printed.txt").c_str(), "w+")) {
        timeline.print(out);
        std::rewind(out);
        char buffer[512] = {};
        for (size_t read = 0; (read = std::fread(buffer, 1, sizeof buffer, out)) > 0;) text.append(buffer, read);
        std::fclose(out);
    }
    hvtest::removeTree(dir);
    return text;
}
}  // namespace

TEST(LoadTimeline, PhasesFollowEachOtherAndOtherThreadsAreMarked) {
    LoadTimeline timeline;
    timeline.mark("before the start");
    timeline.start();
    timeline.mark("context");
    std::thread([&timeline] {
        const LoadTimeline::Clock::time_point begin = LoadTimeline::Clock::now();
        timeline.addSpan("music", begin, LoadTimeline::Clock::now());
    }).join();
    timeline.mark("targets");
    EXPECT_TRUE(timeline.running());
    EXPECT_EQ(timeline.totalSeconds(), 0.0);
    timeline.finish("first frame");
    timeline.mark("after the end");
    timeline.addSpan("late", LoadTimeline::Clock::now(), LoadTimeline::Clock::now());

    const auto phases = timeline.phases();
    ASSERT_EQ(phases.size(), 4u);
    // In the order they began: "targets" began when "context" ended, before the music.
    EXPECT_EQ(phases[0].name, "context");
    EXPECT_EQ(phases[1].name, "targets");
    EXPECT_EQ(phases[2].name, "music");
    EXPECT_TRUE(phases[2].background);
    EXPECT_FALSE(phases[1].background);
    EXPECT_EQ(phases[3].name, "first frame");
    // The loading thread's phases leave no gap: together they are the total.
    EXPECT_EQ(phases[0].end, phases[1].begin);
    EXPECT_EQ(phases[1].end, phases[3].begin);
    EXPECT_NEAR(std::chrono::duration<double>(phases[3].end - phases[0].begin).count(), timeline.totalSeconds(),
                1e-9);
    EXPECT_FALSE(timeline.running());
    EXPECT_TRUE(timeline.finished());

    const std::string text = printed(timeline);
    EXPECT_NE(text.find("* music"), std::string::npos) << text;
    EXPECT_NE(text.find("  first frame"), std::string::npos) << text;
    EXPECT_NE(text.find("load to first frame: "), std::string::npos) << text;
}

TEST(LoadTimeline, StartingAgainForgetsTheEarlierRecord) {
    LoadTimeline timeline;
    timeline.start();
    timeline.finish("first");
    timeline.start();
    timeline.mark("second");
    ASSERT_EQ(timeline.phases().size(), 1u);
    EXPECT_EQ(timeline.phases()[0].name, "second");
    EXPECT_FALSE(timeline.finished());
}
