// The audio calls on Windows: the default output is a WinMM device when one opens,
// otherwise a silent output that keeps time (as under Wine without a sound card);
// a device asked for by name or number must exist.
#include "platform/AudioDevice.h"
#include "platform/Bass.h"
#include "platform/Mp3Decoder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

const std::string kMusic = std::string(HV_SOURCE_DIR) + "/data/music.mp3";

}  // namespace

TEST(WindowsAudio, DefaultOutputIsADeviceWhenOneOpensOtherwiseSilentAndPlaysForward) {
    const bool deviceOpens = platform::audioDeviceCount() > 0 && platform::probeAudioDevice({}, 44100);
    ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
    EXPECT_EQ(bassOutput(), deviceOpens ? BassOutput::Device : BassOutput::Silent);

    const HSTREAM stream = BASS_StreamCreateFile(FALSE, kMusic.c_str(), 0, 0, 0);
    ASSERT_NE(stream, 0u);
    EXPECT_EQ(BASS_ChannelIsActive(stream), static_cast<DWORD>(BASS_ACTIVE_STOPPED));
    EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), 0u);

    ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE));
    EXPECT_EQ(BASS_ChannelIsActive(stream), static_cast<DWORD>(BASS_ACTIVE_PLAYING));
    QWORD previous = 0;
    for (int i = 0; i < 5; ++i) {
        Sleep(40);
        const QWORD position = BASS_ChannelGetPosition(stream, BASS_POS_BYTE);
        EXPECT_GE(position, previous);
        EXPECT_EQ(position % 4, 0u) << "whole 16-bit stereo frames";
        previous = position;
    }
    EXPECT_GT(previous, 0u) << "the position moves once playing";
    EXPECT_DOUBLE_EQ(BASS_ChannelBytes2Seconds(stream, 176400), 1.0);

    // Restarting goes back to the beginning.
    ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE));
    EXPECT_LT(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), previous + 176400u);
    EXPECT_TRUE(BASS_Free());
    EXPECT_EQ(BASS_ChannelIsActive(stream), static_cast<DWORD>(BASS_ACTIVE_STOPPED));
}

TEST(WindowsAudio, ADeviceAskedForByNameOrNumberMustExist) {
    platform::AudioDeviceChoice missing;
    missing.name = "Halvane's imaginary speakers";
    EXPECT_FALSE(platform::probeAudioDevice(missing, 44100));

    std::ifstream file(kMusic, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)),
                                           std::istreambuf_iterator<char>());
    auto pcm = platform::decodeMp3(bytes.data(), bytes.size());
    ASSERT_TRUE(pcm.has_value());
    EXPECT_EQ(
        platform::openDevicePlayback(missing, std::make_shared<const platform::PcmBuffer>(std::move(*pcm))),
        nullptr);

    EXPECT_FALSE(platform::audioDeviceName(-1).has_value());
    EXPECT_FALSE(platform::audioDeviceName(platform::audioDeviceCount()).has_value());
    EXPECT_FALSE(BASS_Init(platform::audioDeviceCount() + 1, 44100, 0, nullptr, nullptr));
}
