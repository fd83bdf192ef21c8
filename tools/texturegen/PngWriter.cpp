#include "PngWriter.h"

#include <png.h>

#include <cmath>
#include <cstdio>

namespace art {

uint8_t toByte(double v) {
    if (!(v > 0.0)) {
        return 0;
    }
    if (v >= 1.0) {
        return 255;
    }
    return static_cast<uint8_t>(std::lround(v * 255.0));
}

namespace {
int pngColorType(int channels) {
    switch (channels) {
        case 1:
            return PNG_COLOR_TYPE_GRAY;
        case 3:
            return PNG_COLOR_TYPE_RGB;
        case 4:
            return PNG_COLOR_TYPE_RGB_ALPHA;
        default:
            return -1;
    }
}
}  // namespace

bool writePng(const std::string& path, const Image& image, std::string* why) {
    auto fail = [why](const std::string& text) {
        if (why) {
            *why = text;
        }
        return false;
    };
    const int colorType = pngColorType(image.channels);
    if (colorType < 0) {
        return fail("unsupported channel count");
    }
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<size_t>(image.width) * image.height * image.channels) {
        return fail("image size does not match its pixels");
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        return fail("cannot open " + path + " for writing");
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return fail("libpng failed writing " + path);
    }
    png_init_io(png, file);
    // Fixed settings: the bytes must not depend on libpng's heuristics changing with defaults.
    png_set_compression_level(png, 9);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_PAETH);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
                 colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_write_info(png, info);
    const size_t rowBytes = static_cast<size_t>(image.width) * image.channels;
    for (int y = 0; y < image.height; ++y) {
        png_write_row(png, const_cast<png_bytep>(image.pixels.data() + rowBytes * y));
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    const bool closed = std::fclose(file) == 0;
    return closed ? true : fail("cannot finish " + path);
}

}  // namespace art
