#include "PngRead.h"

#include <png.h>

#include <cstring>

namespace art {

bool readPng(const std::string& path, Image* image, std::string* why) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) {
        if (why) {
            *why = path + ": " + png.message;
        }
        return false;
    }
    const bool alpha = (png.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    png.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    Image out(static_cast<int>(png.width), static_cast<int>(png.height), alpha ? 4 : 3);
    if (!png_image_finish_read(&png, nullptr, out.pixels.data(), 0, nullptr)) {
        if (why) {
            *why = path + ": " + png.message;
        }
        png_image_free(&png);
        return false;
    }
    *image = std::move(out);
    return true;
}

}  // namespace art
