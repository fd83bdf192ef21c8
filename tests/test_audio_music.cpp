#include "cpp/Music.h"
#include "platform/MessageBox.h"
#include "test_audio_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class Music : public testing::Test {
protected:
    void TearDown() override {
        BASS_Free();
        bassUseManualClock(false);
        bassSetManualSeconds(0.0);
        platform::setMessageBoxHook(nullptr);
        musicStream = 0;
    }

    // openMusic() in a working directory whose data/music.mp3 is a sine of this length and rate.
    void openMusicOfLength(double seconds, int rate) {
        std::filesystem::create_directories(dir.file("data"));
        audiotest::makeSineMp3(dir, "data/music.mp3", seconds, rate);
        audiotest::WorkingDirectory inside(dir.path());
        openMusic();
    }

    audiotest::TempDir dir;
};

TEST_F(Music, RowsAreSixteenPerSecondOfMusic) {
    bassUseManualClock(true);
    openMusicOfLength(3.0, 44100);
    ASSERT_NE(musicStream, 0u);
    bassSetManualSeconds(2.5);
    EXPECT_DOUBLE_EQ(musicSeconds(), 2.5);
    EXPECT_DOUBLE_EQ(musicRow(), 40.0);
    // 0.03125 s is 1378.125 frames at 44100 Hz: the byte position holds the nearest frame.
    bassSetManualSeconds(0.03125);
    EXPECT_NEAR(musicRow(), 0.5, 16.0 * 0.5 / 44100);
    bassSetManualSeconds(0.0);
    EXPECT_EQ(musicRow(), 0.0);
    EXPECT_NE(BASS_ChannelIsActive(musicStream), 0u);
}

TEST_F(Music, RowsAreExactWhereTheRateHoldsTheTime) {
    bassUseManualClock(true);
    openMusicOfLength(0.5, 48000);  // 0.03125 s = 1500 frames
    ASSERT_NE(musicStream, 0u);
    bassSetManualSeconds(0.03125);
    EXPECT_DOUBLE_EQ(musicRow(), 0.5);
    bassSetManualSeconds(0.03125 + 0.5 / 16);
    EXPECT_DOUBLE_EQ(musicRow(), 1.0);
}

TEST_F(Music, MissingMusicFileIsSilentAndLeavesAnInactiveStream) {
    bool shown = false;
    platform::setMessageBoxHook([&](const std::string&) { shown = true; });
    {
        audiotest::WorkingDirectory inside(dir.path());
        openMusic();
    }
    EXPECT_FALSE(shown);
    EXPECT_EQ(musicStream, 0u);
    BASS_ChannelPlay(musicStream, TRUE);
    EXPECT_EQ(BASS_ChannelIsActive(musicStream), 0u) << "the first frame ends the presentation";
}

TEST(MusicDeathTest, FailedOutputShowsTheMessageAndEndsWithStatusZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            platform::setMessageBoxHook([](const std::string&) {});
            BASS_Init(0, 44100, 0, nullptr, nullptr);  // a second init fails
            openMusic();
        },
        testing::ExitedWithCode(0), "Oh my god! No Wayyyy!: Could not open \\./data/music\\.mp3\\.\n");
}

}  // namespace
