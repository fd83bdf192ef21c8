#include "GLwrappers/PngReader.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <stdexcept>
#include <string>

namespace {

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

// Owns libpng's read and info structures.
struct PngReadStructs {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~PngReadStructs() {
        if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    }
};

void readFromFile(png_structp png, png_bytep out, png_size_t length) {
    FILE* file = static_cast<FILE*>(png_get_io_ptr(png));
    if (std::fread(out, 1, length, file) != length) png_error(png, "reading png failed");
}

// The setjmp frames hold only trivially destructible locals: libpng's longjmp
// lands here and skips nothing that needs cleaning up.
bool readHeader(png_structp png, png_infop info, FILE* file) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_read_fn(png, file, readFromFile);
    png_set_sig_bytes(png, 8);
    png_read_info(png, info);
    png_read_update_info(png, info);
    return true;
}

bool readRows(png_structp png, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_image(png, rows);
    return true;
}

[[noreturn]] void fail(const std::string& text) {
    throw std::runtime_error("[read_png_file] " + text);
}

}  // namespace

void read_png_file(std::unique_ptr<PngImage>& image, const char* path) {
    const std::string name = path ? path : "(null)";
    FilePtr file(path ? std::fopen(path, "rb") : nullptr);
    if (!file) fail("File " + name + " could not be opened for reading");

    unsigned char header[8] = {};
    if (std::fread(header, 1, sizeof header, file.get()) != sizeof header || png_sig_cmp(header, 0, 8) != 0)
        fail("File " + name + " is not recognized as a PNG file");

    PngReadStructs structs;
    structs.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!structs.png) fail("png_create_read_struct failed");
    structs.info = png_create_info_struct(structs.png);
    if (!structs.info) fail("png_create_info_struct failed");

    if (!readHeader(structs.png, structs.info, file.get())) fail("Error during init I/O");

    const png_uint_32 width = png_get_image_width(structs.png, structs.info);
    const png_uint_32 height = png_get_image_height(structs.png, structs.info);
    const size_t rowBytes = png_get_rowbytes(structs.png, structs.info);
    if (width == 0 || height == 0 || width > kMaxPngEdge || height > kMaxPngEdge ||
        rowBytes > kMaxPngBytes / height) {
        fail("File " + name + " is too large: " + std::to_string(width) + " x " + std::to_string(height) +
             " pixels");
    }

    auto result = std::make_unique<PngImage>();
    result->width = static_cast<int32_t>(width);
    result->height = static_cast<int32_t>(height);
    result->bitsPerPixel =
        png_get_channels(structs.png, structs.info) * png_get_bit_depth(structs.png, structs.info);
    result->aspect = static_cast<double>(result->width) / static_cast<double>(result->height);
    result->pixels.resize(rowBytes * height);

    std::vector<png_bytep> rows(height);
    for (png_uint_32 i = 0; i < height; ++i) rows[i] = result->pixels.data() + i * rowBytes;
    if (!readRows(structs.png, rows.data())) fail("Error during read image");

    file.reset();
    image = std::move(result);
}
