// Reads a PNG file through libpng into plain 8-bit rows, without transformations.
//
// The image keeps the PNG's own layout: `height` rows of the PNG's row size each,
// first row of the file first, no padding. bitsPerPixel is channels x bit depth as
// stored (24 for 8-bit RGB, 32 for 8-bit RGBA); palettes, grey, 16-bit samples and
// interlacing arrive as libpng delivers them untransformed.
//
// Every failure throws std::runtime_error with a "[read_png_file] ..." text; the file
// and libpng's structures are released on every path. Images wider or taller than
// kMaxPngEdge, or larger than kMaxPngBytes of pixel data, are refused before anything
// is allocated for them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

struct PngImage {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPerPixel = 0;
    double aspect = 0.0;
    std::vector<unsigned char> pixels;
};

constexpr uint32_t kMaxPngEdge = 16384;  // the largest texture edge GL implementations give
constexpr size_t kMaxPngBytes = size_t(512) * 1024 * 1024;

// Sets `image` on success; leaves it untouched when an error is thrown.
void read_png_file(std::unique_ptr<PngImage>& image, const char* path);
