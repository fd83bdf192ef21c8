#include "cpp/Music.h"
#include "platform/MessageBox.h"
#include "test_audio_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
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

// Without its music the film has no clock: the reason is shown and the status says failure.
class MusicDeathTest : public Music {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
    void expectFailure(const char* message) {
        EXPECT_EXIT(
            {
                platform::setMessageBoxHook([](const std::string&) {});
                audiotest::WorkingDirectory inside(dir.path());
                openMusic();
                std::exit(7);
            },
            testing::ExitedWithCode(1), message);
    }
};

TEST_F(MusicDeathTest, MissingOrUndecodableFileIsNamedWithItsReasonAndEndsWithStatusOne) {
    std::filesystem::create_directories(dir.file("data"));
    expectFailure(
        "Oh my god! No Wayyyy!: Could not open \\./data/music\\.mp3: No such file or directory\\.\n");
    audiotest::writeFile(dir.file("data/music.mp3"), std::string(3000, 'x'));
    expectFailure("Could not open \\./data/music\\.mp3: it holds no MP3 audio that can be decoded\\.\n");
    std::filesystem::remove(dir.file("data/music.mp3"));
    std::filesystem::create_directories(dir.file("data/music.mp3"));
    expectFailure("Could not open \\./data/music\\.mp3: the file cannot be read\\.\n");
}

TEST_F(MusicDeathTest, FailedOutputShowsTheMessageAndEndsWithStatusOne) {
    EXPECT_EXIT(
        {
            platform::setMessageBoxHook([](const std::string&) {});
            BASS_Init(0, 44100, 0, nullptr, nullptr);  // a second init fails
            openMusic();
        },
        testing::ExitedWithCode(1), "Oh my god! No Wayyyy!: Could not open \\./data/music\\.mp3\\.\n");
}

}  // namespace
