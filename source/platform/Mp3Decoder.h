// Decoding a whole MP3 into 16-bit PCM.
//
// The music is decoded once, up front, so playback only copies samples and the
// length of the stream is known before it starts. Samples are interleaved signed
// 16-bit in the file's own rate and channel count; gapless decoding trims the
// encoder delay and padding when the file carries a LAME tag. Input that holds no
// decodable audio gives no result and prints nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace platform {

struct PcmBuffer {
    std::vector<int16_t> samples;  // interleaved
    int rate = 0;                  // frames per second
    int channels = 0;

    uint64_t frames() const { return channels > 0 ? samples.size() / static_cast<size_t>(channels) : 0; }
    uint64_t bytesPerFrame() const { return static_cast<uint64_t>(channels) * sizeof(int16_t); }
};

// Decodes the MP3 data in memory. Empty when nothing decodes.
std::optional<PcmBuffer> decodeMp3(const unsigned char* data, size_t size);

}  // namespace platform
