#include "platform/AudioOutput.h"
#include "platform/Bass.h"
#include "platform/Mp3Decoder.h"
#include "test_audio_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

namespace {

constexpr double kMpegFrameSeconds = 1152.0 / 44100.0;

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double positionSeconds(HSTREAM stream) {
    return BASS_ChannelBytes2Seconds(stream, BASS_ChannelGetPosition(stream, BASS_POS_BYTE));
}

std::vector<unsigned char> readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class Audio : public testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = new audiotest::TempDir;
        shortMp3 = audiotest::makeSineMp3(*dir, "short.mp3", 1.5, 44100);
    }
    static void TearDownTestSuite() {
        delete dir;
        dir = nullptr;
    }
    void TearDown() override {
        BASS_Free();
        bassUseManualClock(false);
        bassSetManualSeconds(0.0);
    }

    static audiotest::TempDir* dir;
    static std::string shortMp3;
};

audiotest::TempDir* Audio::dir = nullptr;
std::string Audio::shortMp3;

// Plays the stream to its end in real time and checks the clock on the way.
void expectPlaysInRealTimeToTheEnd(HSTREAM stream, double duration) {
    ASSERT_NE(stream, 0u);
    EXPECT_EQ(BASS_ChannelIsActive(stream), static_cast<DWORD>(BASS_ACTIVE_STOPPED)) << "not played yet";
    EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), 0u);

    ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE));
    const auto start = std::chrono::steady_clock::now();
    double previous = 0.0;
    double firstLag = 0.0;
    for (int sample = 0; sample < 4; ++sample) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const double played = positionSeconds(stream);
        const double elapsed = secondsSince(start);
        EXPECT_GE(played, previous) << "the clock ran backwards";
        // A device starts a buffer or two late, later still on a loaded machine; after
        // that the clock keeps pace with real time. The silent output follows it exactly.
        EXPECT_NEAR(played, elapsed, 0.25) << "sample " << sample;
        if (sample == 0) firstLag = elapsed - played;
        EXPECT_NEAR(elapsed - played, firstLag, 0.06) << "sample " << sample;
        EXPECT_NE(BASS_ChannelIsActive(stream), 0u);
        previous = played;
    }

    // Between device callbacks (23 ms apart) the clock still moves: frames drive the scene.
    std::vector<QWORD> fine;
    for (int sample = 0; sample < 30; ++sample) {
        fine.push_back(BASS_ChannelGetPosition(stream, BASS_POS_BYTE));
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_TRUE(std::is_sorted(fine.begin(), fine.end()));
    EXPECT_GE(std::unique(fine.begin(), fine.end()) - fine.begin(), 10) << "the clock moves in steps";

    while (BASS_ChannelIsActive(stream) != 0 && secondsSince(start) < duration + 1.0)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(BASS_ChannelIsActive(stream), 0u) << "still active long after the end";
    EXPECT_NEAR(secondsSince(start), duration, 0.1);
    const QWORD end = BASS_ChannelGetPosition(stream, BASS_POS_BYTE);
    EXPECT_EQ(end % 4, 0u) << "positions are whole stereo 16-bit frames";
    EXPECT_NEAR(BASS_ChannelBytes2Seconds(stream, end), duration, kMpegFrameSeconds);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), end) << "the position moved after the end";
}

TEST_F(Audio, PlaysOnceInRealTimeThenStops) {
    ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
    // Without a sound card this runs on the silent output; with one, on the device.
    EXPECT_NE(bassOutput(), BassOutput::None);
    expectPlaysInRealTimeToTheEnd(BASS_StreamCreateFile(FALSE, shortMp3.c_str(), 0, 0, 0), 1.5);
}

TEST_F(Audio, PlaysThroughAnSdlDeviceFedByItsAudioThread) {
    // SDL's dummy driver always opens, so the callback path runs even without a sound card.
    const char* saved = std::getenv("SDL_AUDIODRIVER");
    const std::string previous = saved ? saved : "";
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const BOOL initialised = BASS_Init(-1, 44100, 0, nullptr, nullptr);
    if (saved)
        setenv("SDL_AUDIODRIVER", previous.c_str(), 1);
    else
        unsetenv("SDL_AUDIODRIVER");
    ASSERT_TRUE(initialised);
    ASSERT_EQ(bassOutput(), BassOutput::Device);
    expectPlaysInRealTimeToTheEnd(BASS_StreamCreateFile(FALSE, shortMp3.c_str(), 0, 0, 0), 1.5);
}

TEST_F(Audio, RestartPlaysFromTheBeginningAgain) {
    ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
    const HSTREAM stream = BASS_StreamCreateFile(FALSE, shortMp3.c_str(), 0, 0, 0);
    ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE));
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    ASSERT_GT(positionSeconds(stream), 0.1);
    ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
    EXPECT_GT(positionSeconds(stream), 0.1) << "play without restart must not rewind";
    ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE));
    EXPECT_LT(positionSeconds(stream), 0.05);
}

TEST_F(Audio, DecodesTheWholeFileToItsExactLength) {
    const std::vector<unsigned char> bytes = readAll(shortMp3);
    const auto pcm = platform::decodeMp3(bytes.data(), bytes.size());
    ASSERT_TRUE(pcm.has_value());
    EXPECT_EQ(pcm->rate, 44100);
    EXPECT_EQ(pcm->channels, 2);
    EXPECT_NEAR(static_cast<double>(pcm->frames()), 1.5 * 44100, 1152.0);
    // A 440 Hz sine at -6 dB: loud, but never clipping.
    int peak = 0;
    for (int16_t sample : pcm->samples) peak = std::max(peak, std::abs(static_cast<int>(sample)));
    EXPECT_GT(peak, 12000);
    EXPECT_LT(peak, 20000);

    // A cut file decodes what it holds and no more.
    const auto half = platform::decodeMp3(bytes.data(), bytes.size() / 2);
    ASSERT_TRUE(half.has_value());
    EXPECT_LT(half->frames(), pcm->frames());
    EXPECT_GT(half->frames(), pcm->frames() / 3);
}

TEST_F(Audio, StreamsFromMemoryAndFromAPartOfAFile) {
    bassUseManualClock(true);  // the end position gives each stream's length at once
    ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
    const std::vector<unsigned char> bytes = readAll(shortMp3);
    const std::string padded = dir->file("padded.mp3");
    audiotest::writeFile(padded,
                         std::string(100, 'x') + std::string(bytes.begin(), bytes.end()) + "trailing");
    const HSTREAM streams[] = {
        BASS_StreamCreateFile(FALSE, shortMp3.c_str(), 0, 0, 0),
        BASS_StreamCreateFile(TRUE, bytes.data(), 0, bytes.size(), 0),
        BASS_StreamCreateFile(FALSE, padded.c_str(), 100, bytes.size(), 0),
    };
    EXPECT_EQ(BASS_StreamCreateFile(TRUE, bytes.data(), 0, 0, 0), 0u) << "memory needs a length";
    bassSetManualSeconds(60.0);
    const QWORD end = BASS_ChannelGetPosition(streams[0], BASS_POS_BYTE);
    EXPECT_NEAR(BASS_ChannelBytes2Seconds(streams[0], end), 1.5, kMpegFrameSeconds);
    for (HSTREAM stream : streams) {
        ASSERT_NE(stream, 0u);
        EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), end);
    }
    EXPECT_NE(streams[0], streams[1]);
}

TEST_F(Audio, MissingGarbageAndUnreadableFilesGiveNoStreamAndNoMessage) {
    ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
    const std::string garbage = dir->file("garbage.mp3");
    audiotest::writeFile(garbage, std::string(5000, '\0') + "This is not an MP3 file at all.\n");
    const std::string empty = dir->file("empty.mp3");
    audiotest::writeFile(empty, "");
    testing::internal::CaptureStderr();
    struct Failed {
        HSTREAM stream;
        int why;
    };
    auto create = [](const char* file) { return BASS_StreamCreateFile(FALSE, file, 0, 0, 0); };
    const Failed failures[] = {
        {create(dir->file("missing.mp3").c_str()), BASS_ErrorGetCode()},
        {create(garbage.c_str()), BASS_ErrorGetCode()},
        {create(empty.c_str()), BASS_ErrorGetCode()},
        {create(dir->path().c_str()), BASS_ErrorGetCode()},  // a directory
        {create(nullptr), BASS_ErrorGetCode()},
    };
    const int expectedWhy[] = {BASS_ERROR_FILEOPEN, BASS_ERROR_FILEFORM, BASS_ERROR_FILEFORM,
                               BASS_ERROR_FILEOPEN, BASS_ERROR_ILLPARAM};
    for (size_t i = 0; i < std::size(failures); ++i) EXPECT_EQ(failures[i].why, expectedWhy[i]) << i;
    for (const Failed& failure : failures) {
        const HSTREAM stream = failure.stream;
        EXPECT_EQ(stream, 0u);
        EXPECT_FALSE(BASS_ChannelPlay(stream, TRUE));
        EXPECT_EQ(BASS_ChannelIsActive(stream), 0u);
        EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), static_cast<QWORD>(-1));
        EXPECT_LT(BASS_ChannelBytes2Seconds(stream, 0), 0.0);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(Audio, APreparedFileGivesTheSameStreamOrTheSameFailure) {
    bassUseManualClock(true);  // the end position gives the stream's length at once
    const std::string garbage = dir->file("prepared-garbage.mp3");
    audiotest::writeFile(garbage, std::string(5000, '\0') + "not audio\n");
    const std::string missing = dir->file("prepared-missing.mp3");
    // Prepared before the output exists, as loading does; one is prepared twice.
    for (const std::string& path : {shortMp3, shortMp3, garbage, missing}) bassPrepareFile(path.c_str());
    ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
    bassSetManualSeconds(100.0);

    const HSTREAM prepared = BASS_StreamCreateFile(FALSE, shortMp3.c_str(), 0, 0, 0);
    const HSTREAM decodedAgain = BASS_StreamCreateFile(FALSE, shortMp3.c_str(), 0, 0, 0);
    ASSERT_NE(prepared, 0u);
    ASSERT_NE(decodedAgain, 0u);
    EXPECT_EQ(BASS_ChannelGetPosition(prepared, BASS_POS_BYTE), BASS_ChannelGetPosition(decodedAgain, BASS_POS_BYTE));
    EXPECT_NEAR(bassLengthSeconds(prepared), 1.5, kMpegFrameSeconds);

    EXPECT_EQ(BASS_StreamCreateFile(FALSE, garbage.c_str(), 0, 0, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
    EXPECT_EQ(BASS_StreamCreateFile(FALSE, missing.c_str(), 0, 0, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
}

TEST_F(Audio, InitAndFreeFollowTheLibraryLifecycle) {
    EXPECT_FALSE(BASS_Free()) << "nothing to free yet";
    EXPECT_EQ(BASS_StreamCreateFile(FALSE, shortMp3.c_str(), 0, 0, 0), 0u) << "no output yet";
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
    EXPECT_FALSE(BASS_Init(-1, 0, 0, nullptr, nullptr)) << "rate 0";
    EXPECT_FALSE(BASS_Init(1000, 44100, 0, nullptr, nullptr)) << "no such device";
    EXPECT_EQ(bassOutput(), BassOutput::None);

    ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
    EXPECT_FALSE(BASS_Init(-1, 44100, 0, nullptr, nullptr)) << "already initialised";
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ALREADY);
    const HSTREAM first = BASS_StreamCreateFile(FALSE, shortMp3.c_str(), 0, 0, 0);
    ASSERT_NE(first, 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_OK);
    ASSERT_TRUE(BASS_ChannelPlay(first, TRUE));
    EXPECT_TRUE(BASS_Free());
    EXPECT_EQ(BASS_ChannelIsActive(first), 0u) << "freed with the output";

    ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
    const HSTREAM second = BASS_StreamCreateFile(FALSE, shortMp3.c_str(), 0, 0, 0);
    ASSERT_NE(second, 0u);
    EXPECT_NE(second, first) << "a stale handle must not reach the new stream";
    ASSERT_TRUE(BASS_ChannelPlay(second, TRUE));
    EXPECT_NE(BASS_ChannelIsActive(second), 0u);
    EXPECT_EQ(BASS_ChannelGetPosition(second, 1), static_cast<QWORD>(-1)) << "only byte positions";
}

TEST_F(Audio, ManualClockSetsThePositionClampsAndEnds) {
    bassUseManualClock(true);
    ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
    EXPECT_EQ(bassOutput(), BassOutput::Manual);
    const HSTREAM stream = BASS_StreamCreateFile(FALSE, shortMp3.c_str(), 0, 0, 0);
    ASSERT_NE(stream, 0u);

    bassSetManualSeconds(0.75);
    EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), 33075u * 4);
    EXPECT_DOUBLE_EQ(positionSeconds(stream), 0.75);
    EXPECT_NE(BASS_ChannelIsActive(stream), 0u) << "the caller's time runs without play";
    EXPECT_TRUE(BASS_ChannelPlay(stream, TRUE));
    EXPECT_DOUBLE_EQ(positionSeconds(stream), 0.75) << "play does not move the caller's time";

    bassSetManualSeconds(-3.0);
    EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), 0u);

    bassSetManualSeconds(1.0 - 0.4 / 44100);
    EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), 44100u * 4) << "rounded to the nearest frame";

    bassSetManualSeconds(60.0);
    const QWORD end = BASS_ChannelGetPosition(stream, BASS_POS_BYTE);
    EXPECT_NEAR(BASS_ChannelBytes2Seconds(stream, end), 1.5, kMpegFrameSeconds) << "clamped to the length";
    EXPECT_EQ(BASS_ChannelIsActive(stream), 0u);
    bassSetManualSeconds(BASS_ChannelBytes2Seconds(stream, end) - 1.0 / 44100);
    EXPECT_NE(BASS_ChannelIsActive(stream), 0u) << "one frame before the end still plays";
    bassSetManualSeconds(BASS_ChannelBytes2Seconds(stream, end));
    EXPECT_EQ(BASS_ChannelIsActive(stream), 0u) << "inactive exactly at the end";
}

TEST(AudioSmoothPosition, AdvancesBetweenCallbacksByAtMostOneBuffer) {
    const uint64_t total = 100000;
    EXPECT_EQ(platform::smoothPlayedFrames(4096, 1024, 0.0, 44100, total), 4096u);
    EXPECT_EQ(platform::smoothPlayedFrames(4096, 1024, 0.01, 44100, total), 4096u + 441);
    EXPECT_EQ(platform::smoothPlayedFrames(4096, 1024, 1.0, 44100, total), 4096u + 1024) << "stalled device";
    EXPECT_EQ(platform::smoothPlayedFrames(99500, 1024, 1.0, 44100, total), total) << "never past the end";
    EXPECT_EQ(platform::smoothPlayedFrames(4096, 1024, -0.5, 44100, total), 4096u);
}

}  // namespace
