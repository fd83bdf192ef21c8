// Writes 16-bit PCM stereo WAV files (RIFF, little-endian, 44.1 kHz).
//
// Samples are rounded to the nearest step and clamped to the 16-bit range. Returns
// false (and leaves a message in `error`) when the file cannot be written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace music {

std::vector<int16_t> toPcm16(const std::vector<float>& left, const std::vector<float>& right);
bool writeWav(const std::string& path, const std::vector<int16_t>& interleaved, int sampleRate,
              std::string& error);

}  // namespace music
