// The PNG check: read_png_file on a scratch file holding the bytes.
#include "Checks.h"
#include "ScratchFile.h"

#include "GLwrappers/PngReader.h"

#include <cmath>
#include <stdexcept>

namespace fuzz {

std::string checkPngFile(const uint8_t* data, size_t size) {
    static ScratchFile file(".png");
    if (!file.write(data, size)) return "";
    std::unique_ptr<PngImage> image;
    try {
        read_png_file(image, file.path().c_str());
    } catch (const std::runtime_error& error) {
        if (std::string(error.what()).rfind("[read_png_file] ", 0) != 0)
            return std::string("a failure without the reader's prefix: ") + error.what();
        return image ? "a failed read still set the image" : "";
    }
    if (!image) return "a successful read set no image";
    if (image->width <= 0 || image->height <= 0 || static_cast<uint32_t>(image->width) > kMaxPngEdge ||
        static_cast<uint32_t>(image->height) > kMaxPngEdge)
        return "image size out of bounds";
    const int bits = image->bitsPerPixel;
    if (bits <= 0 || bits > 64 || (64 % bits != 0 && bits != 24 && bits != 48)) return "odd bits per pixel";
    const size_t rowBytes = (static_cast<size_t>(image->width) * static_cast<size_t>(bits) + 7) / 8;
    if (image->pixels.size() != rowBytes * static_cast<size_t>(image->height)) return "pixel data of the wrong size";
    if (image->aspect != static_cast<double>(image->width) / image->height) return "wrong aspect";
    return "";
}

}  // namespace fuzz
