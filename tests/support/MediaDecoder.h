// Reads a capture back with FFmpeg's libraries, as a player would: every video frame
// as top-down RGB, every audio sample as interleaved float, and what the file states
// about its streams. `format` names a demuxer ("concat" for a list of files) or is
// empty to let FFmpeg tell from the file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct DecodedMedia {
    std::string videoCodec;
    std::string pixelFormat;
    int width = 0;
    int height = 0;
    int rateNum = 0;
    int rateDen = 0;
    std::vector<std::vector<uint8_t>> frames;  // RGB, width x height x 3
    std::vector<double> frameTimes;            // seconds

    int sampleRate = 0;
    int channels = 0;
    int64_t statedSamples = 0;  // the audio stream's duration, in samples
    std::vector<float> samples;  // interleaved, as decoded (AAC's last frame may run past the stated end)
};

bool decodeMedia(const std::string& path, const std::string& format, DecodedMedia* media, std::string* why);
