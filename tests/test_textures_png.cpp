// The PNG reader: layouts of good files and the exact errors of bad ones, including
// hostile headers that must be refused before any large allocation.
#include "GLwrappers/PngPrefetch.h"
#include "GLwrappers/PngReader.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

std::string tempPath(const std::string& name) {
    return ::testing::TempDir() + "hv_png_" + name;
}

// Writes rows (file order, tightly packed) with libpng.
void writePng(const std::string& path, int width, int height, int colorType, int bitDepth,
              const Bytes& rows) {
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        FAIL() << "writing the test PNG failed";
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, bitDepth, colorType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const size_t rowBytes = rows.size() / height;
    for (int y = 0; y < height; ++y) png_write_row(png, const_cast<png_bytep>(rows.data() + y * rowBytes));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
}

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void putBigEndian(Bytes& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<unsigned char>(value >> shift));
}

void putChunk(Bytes& file, const char* type, const Bytes& data) {
    putBigEndian(file, static_cast<uint32_t>(data.size()));
    Bytes chunk(type, type + 4);
    chunk.insert(chunk.end(), data.begin(), data.end());
    file.insert(file.end(), chunk.begin(), chunk.end());
    putBigEndian(file, static_cast<uint32_t>(crc32(0, chunk.data(), static_cast<uInt>(chunk.size()))));
}

// A signature, a valid IHDR declaring any size and an empty IDAT: libpng reads the
// header as far as the image data without complaint.
Bytes headerOnlyPng(uint32_t width, uint32_t height, unsigned char bitDepth, unsigned char colorType) {
    Bytes file = {137, 80, 78, 71, 13, 10, 26, 10};
    Bytes header;
    putBigEndian(header, width);
    putBigEndian(header, height);
    header.insert(header.end(), {bitDepth, colorType, 0, 0, 0});
    putChunk(file, "IHDR", header);
    putChunk(file, "IDAT", {});
    putChunk(file, "IEND", {});
    return file;
}

std::string errorOf(const std::string& path) {
    std::unique_ptr<PngImage> image;
    try {
        read_png_file(image, path.c_str());
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(image, nullptr);
        return error.what();
    }
    return "no error";
}

TEST(PngReader, RgbImageKeepsRowsInFileOrderWithoutPadding) {
    const std::string path = tempPath("rgb.png");
    const Bytes rows = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
    writePng(path, 3, 2, PNG_COLOR_TYPE_RGB, 8, rows);
    std::unique_ptr<PngImage> image;
    read_png_file(image, path.c_str());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 3);
    EXPECT_EQ(image->height, 2);
    EXPECT_EQ(image->bitsPerPixel, 24);
    EXPECT_DOUBLE_EQ(image->aspect, 1.5);
    EXPECT_EQ(image->pixels, rows);
}

TEST(PngReader, RgbaGreyAndSixteenBitImagesArriveUntransformed) {
    const std::string path = tempPath("kinds.png");
    Bytes rgba(2 * 2 * 4);
    for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = static_cast<unsigned char>(i * 13);
    writePng(path, 2, 2, PNG_COLOR_TYPE_RGBA, 8, rgba);
    std::unique_ptr<PngImage> image;
    read_png_file(image, path.c_str());
    EXPECT_EQ(image->bitsPerPixel, 32);
    EXPECT_EQ(image->pixels, rgba);

    writePng(path, 4, 1, PNG_COLOR_TYPE_GRAY, 8, {9, 8, 7, 6});
    read_png_file(image, path.c_str());
    EXPECT_EQ(image->bitsPerPixel, 8);
    EXPECT_EQ(image->pixels, (Bytes{9, 8, 7, 6}));

    const Bytes wide = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC};  // one 16-bit RGB pixel, big-endian as stored
    writePng(path, 1, 1, PNG_COLOR_TYPE_RGB, 16, wide);
    read_png_file(image, path.c_str());
    EXPECT_EQ(image->bitsPerPixel, 48);
    EXPECT_EQ(image->pixels, wide);
}

TEST(PngReader, MissingOrUnrecognisedFilesNameThePath) {
    const std::string missing = tempPath("does_not_exist.png");
    EXPECT_EQ(errorOf(missing), "[read_png_file] File " + missing + " could not be opened for reading");

    const std::string text = tempPath("not_a_png.png");
    writeFile(text, {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(errorOf(text), "[read_png_file] File " + text + " is not recognized as a PNG file");

    const std::string tiny = tempPath("tiny.png");
    writeFile(tiny, {137, 80, 78});
    EXPECT_EQ(errorOf(tiny), "[read_png_file] File " + tiny + " is not recognized as a PNG file");

    std::unique_ptr<PngImage> image;
    EXPECT_THROW(read_png_file(image, nullptr), std::runtime_error);
}

TEST(PngReader, TruncatedHeaderIsAnInitError) {
    const std::string path = tempPath("cut_header.png");
    writePng(path, 3, 2, PNG_COLOR_TYPE_RGB, 8, Bytes(18, 1));
    Bytes bytes = readFile(path);
    bytes.resize(20);  // signature and part of IHDR
    writeFile(path, bytes);
    EXPECT_EQ(errorOf(path), "[read_png_file] Error during init I/O");
}

TEST(PngReader, TruncatedOrCorruptImageDataIsAReadError) {
    const std::string path = tempPath("cut_data.png");
    Bytes noise(64 * 64 * 3);
    uint32_t state = 1;
    for (auto& byte : noise) byte = static_cast<unsigned char>((state = state * 214013 + 2531011) >> 16);
    writePng(path, 64, 64, PNG_COLOR_TYPE_RGB, 8, noise);
    const Bytes whole = readFile(path);
    ASSERT_GT(whole.size(), 4000u);

    Bytes cut = whole;
    cut.resize(whole.size() / 2);
    writeFile(path, cut);
    EXPECT_EQ(errorOf(path), "[read_png_file] Error during read image");

    Bytes corrupt = whole;
    for (size_t i = 100; i < 140; ++i) corrupt[i] ^= 0x5A;  // inside the image data: CRC and zlib break
    writeFile(path, corrupt);
    EXPECT_EQ(errorOf(path), "[read_png_file] Error during read image");
}

TEST(PngReader, EmptyImageDataIsAReadErrorNotACrash) {
    const std::string path = tempPath("no_idat.png");
    writeFile(path, headerOnlyPng(4, 4, 8, PNG_COLOR_TYPE_RGB));
    EXPECT_EQ(errorOf(path), "[read_png_file] Error during read image");
}

TEST(PngReader, AbsurdDeclaredSizesAreRefusedBeforeAllocating) {
    const std::string path = tempPath("huge.png");
    writeFile(path, headerOnlyPng(100000, 100000, 8, PNG_COLOR_TYPE_RGB_ALPHA));
    EXPECT_EQ(errorOf(path), "[read_png_file] File " + path + " is too large: 100000 x 100000 pixels");

    writeFile(path, headerOnlyPng(kMaxPngEdge + 1, 1, 8, PNG_COLOR_TYPE_GRAY));
    EXPECT_EQ(errorOf(path), "[read_png_file] File " + path + " is too large: 16385 x 1 pixels");

    // Within the edge limit but 2 GiB of 16-bit RGBA samples.
    writeFile(path, headerOnlyPng(kMaxPngEdge, kMaxPngEdge, 16, PNG_COLOR_TYPE_RGB_ALPHA));
    EXPECT_EQ(errorOf(path), "[read_png_file] File " + path + " is too large: 16384 x 16384 pixels");
}

TEST(PngReader, FailureLeavesTheCallersImageAlone) {
    const std::string path = tempPath("keep.png");
    writePng(path, 1, 1, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3});
    std::unique_ptr<PngImage> image;
    read_png_file(image, path.c_str());
    PngImage* before = image.get();
    const std::string missing = tempPath("still_missing.png");
    EXPECT_THROW(read_png_file(image, missing.c_str()), std::runtime_error);
    EXPECT_EQ(image.get(), before);
    EXPECT_EQ(image->pixels, (Bytes{1, 2, 3}));
}

}  // namespace

TEST(PngPrefetch, HandsOverWhatTheReaderGivesInAnyOrderAndReadsTheRestOnTheSpot) {
    const std::string first = tempPath("prefetch_first.png");
    const std::string second = tempPath("prefetch_second.png");
    const std::string broken = tempPath("prefetch_broken.png");
    writePng(first, 3, 2, PNG_COLOR_TYPE_RGB, 8, Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18});
    writePng(second, 1, 1, PNG_COLOR_TYPE_RGBA, 8, Bytes{9, 8, 7, 6});
    writeFile(broken, Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0});

    std::string brokenWhy;
    try {
        std::unique_ptr<PngImage> image;
        read_png_file(image, broken.c_str());
    } catch (const std::runtime_error& failure) {
        brokenWhy = failure.what();
    }
    ASSERT_FALSE(brokenWhy.empty());

    PngPrefetch prefetch({first, broken, second});
    // Taken out of order; the broken file's failure is the reader's own.
    const std::unique_ptr<PngImage> fromSecond = prefetch.take(second);
    ASSERT_TRUE(fromSecond);
    EXPECT_EQ(fromSecond->bitsPerPixel, 32);
    EXPECT_EQ(fromSecond->pixels, (Bytes{9, 8, 7, 6}));
    try {
        prefetch.take(broken);
        ADD_FAILURE() << "a broken file gave an image";
    } catch (const std::runtime_error& failure) {
        EXPECT_EQ(failure.what(), brokenWhy);
    }
    const std::unique_ptr<PngImage> fromFirst = prefetch.take(first);
    ASSERT_TRUE(fromFirst);
    EXPECT_EQ(fromFirst->width, 3);
    EXPECT_EQ(fromFirst->pixels.size(), 18u);
    // Taken again, and never given: read now, alike.
    const std::unique_ptr<PngImage> again = prefetch.take(first);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->pixels, fromFirst->pixels);
    EXPECT_THROW(prefetch.take(tempPath("prefetch_missing.png")), std::runtime_error);
}
