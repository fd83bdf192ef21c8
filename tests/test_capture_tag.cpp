// The span tag a capture writes is what a join trusts, so it must read back exactly and
// refuse anything that is not one.
#include "SpanTag.h"

#include <gtest/gtest.h>

TEST(CaptureTag, ReadsBackExactlyAndRefusesWhatIsNotOne) {
    SpanTag tag;
    tag.span = CaptureSpan::of(5400.0 / 60.0, 172.0, 60);
    tag.width = 1280;
    tag.height = 720;
    tag.crf = 0;
    EXPECT_EQ(tag.format(), "frames 5400-10320 fps 60 size 1280x720 crf 0");
    const std::optional<SpanTag> read = SpanTag::parse(tag.format());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->span.firstFrame, 5400);
    EXPECT_EQ(read->span.endFrame, 10320);
    EXPECT_EQ(read->span.fps, 60);
    EXPECT_EQ(read->settings(), tag.settings());

    tag.samples = 4;
    tag.content = "f9ec53d1ccb0d869";
    EXPECT_EQ(tag.format(), "frames 5400-10320 fps 60 size 1280x720 crf 0 samples 4 content f9ec53d1ccb0d869");
    const std::optional<SpanTag> sampled = SpanTag::parse(tag.format());
    ASSERT_TRUE(sampled);
    EXPECT_EQ(sampled->samples, 4);
    EXPECT_EQ(sampled->content, tag.content);
    EXPECT_NE(sampled->settings(), read->settings());  // the samples must agree for a join

    for (const char* text : {"frames 0-15 fps 15 size 160x100 crf 18 samples 0",
                             "frames 0-15 fps 15 size 160x100 crf 18 samples 65",
                             "frames 0-15 fps 15 size 160x100 crf 18 samples 1 content f9ec53d1ccb0d86",
                             "frames 0-15 fps 15 size 160x100 crf 18 samples 1 content F9EC53D1CCB0D869",
                             "frames 0-15 fps 15 size 160x100 crf 18 content f9ec53d1ccb0d869",
                             "", "frames 0-15 fps 15 size 160x100", "frames 0-15 fps 15 size 160x100 crf 18 more",
                             "frames 15-15 fps 15 size 160x100 crf 18", "frames -1-15 fps 15 size 160x100 crf 18",
                             "frames 0-15 fps 0 size 160x100 crf 18", "frames 0-15 fps 15 size 160 crf 18"})
        EXPECT_FALSE(SpanTag::parse(text)) << text;
}
