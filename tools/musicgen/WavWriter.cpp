#include "WavWriter.h"

#include <algorithm>
#include <cmath>
#include <fstream>

namespace music {
namespace {

void put16(std::string& out, uint32_t value) {
    out.push_back(char(value & 0xFF));
    out.push_back(char((value >> 8) & 0xFF));
}

void put32(std::string& out, uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

}  // namespace

std::vector<int16_t> toPcm16(const std::vector<float>& left, const std::vector<float>& right) {
    const size_t n = std::min(left.size(), right.size());
    std::vector<int16_t> pcm(2 * n, 0);
    auto convert = [](float x) {
        const double scaled = std::nearbyint(double(x) * 32767.0);
        return int16_t(std::clamp(scaled, -32768.0, 32767.0));
    };
    for (size_t i = 0; i < n; ++i) {
        pcm[2 * i] = convert(left[i]);
        pcm[2 * i + 1] = convert(right[i]);
    }
    return pcm;
}

bool writeWav(const std::string& path, const std::vector<int16_t>& interleaved, int sampleRate,
              std::string& error) {
    constexpr uint32_t kChannels = 2;
    constexpr uint32_t kBytesPerSample = 2;
    const uint64_t dataBytes = uint64_t(interleaved.size()) * kBytesPerSample;
    if (dataBytes > 0xFFFFFFFFull - 36) {
        error = "audio too long for a WAV file";
        return false;
    }
    std::string header;
    header += "RIFF";
    put32(header, uint32_t(36 + dataBytes));
    header += "WAVEfmt ";
    put32(header, 16);
    put16(header, 1);  // PCM
    put16(header, kChannels);
    put32(header, uint32_t(sampleRate));
    put32(header, uint32_t(sampleRate) * kChannels * kBytesPerSample);
    put16(header, kChannels * kBytesPerSample);
    put16(header, 16);
    header += "data";
    put32(header, uint32_t(dataBytes));

    std::string body;
    body.reserve(size_t(dataBytes));
    for (int16_t sample : interleaved) put16(body, uint16_t(sample));

    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) {
        error = "cannot open '" + path + "' for writing";
        return false;
    }
    file.write(header.data(), std::streamsize(header.size()));
    file.write(body.data(), std::streamsize(body.size()));
    if (!file) {
        error = "failed writing '" + path + "'";
        return false;
    }
    return true;
}

}  // namespace music
