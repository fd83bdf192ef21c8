// Deterministic PNG output for the art tools.
//
// Writes 8-bit RGB, RGBA or grey images with libpng using fixed compression settings
// and no time or text chunks, so the same pixels always give the same file bytes.
// Row 0 of an Image is the first row in the file (the texture's v = 0 row once uploaded).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace art {

struct Image {
    int width = 0;
    int height = 0;
    int channels = 3;  // 1 grey, 3 RGB, 4 RGBA
    std::vector<uint8_t> pixels;

    Image() = default;
    Image(int w, int h, int c)
        : width(w), height(h), channels(c), pixels(static_cast<size_t>(w) * h * c, 0) {}
    uint8_t* at(int x, int y) { return &pixels[(static_cast<size_t>(y) * width + x) * channels]; }
    const uint8_t* at(int x, int y) const { return &pixels[(static_cast<size_t>(y) * width + x) * channels]; }
};

// Returns false (with a reason in *why) when the file cannot be written.
bool writePng(const std::string& path, const Image& image, std::string* why = nullptr);

// Converts a value in [0, 1] (clamped) to a byte, rounding to nearest.
uint8_t toByte(double v);

}  // namespace art
