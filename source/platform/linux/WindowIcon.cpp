#include "platform/linux/WindowIcon.h"

#include <SDL.h>

namespace platform {

namespace {

const unsigned char kIconFile[] = {
#include "WindowIcon.ico.inc"
};

uint32_t read32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t read16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

}  // namespace

const unsigned char* windowIconFile(size_t* size) {
    *size = sizeof kIconFile;
    return kIconFile;
}

bool iconFromIco(const unsigned char* bytes, size_t size, IconImage* image) {
    if (size < 6 || read16(bytes) != 0 || read16(bytes + 2) != 1) return false;
    const size_t count = read16(bytes + 4);
    const unsigned char* best = nullptr;
    int bestWidth = 0, bestHeight = 0;
    for (size_t i = 0; i < count && 6 + 16 * (i + 1) <= size; ++i) {
        const unsigned char* entry = bytes + 6 + 16 * i;
        const size_t length = read32(entry + 8), offset = read32(entry + 12);
        if (offset > size || length > size - offset || length < 40) continue;
        const unsigned char* header = bytes + offset;
        // A 40-byte bitmap header, 32 bits per pixel, uncompressed; its height counts the mask too.
        const int width = static_cast<int>(read32(header + 4));
        const int height = static_cast<int>(read32(header + 8)) / 2;
        if (read32(header) != 40 || read16(header + 14) != 32 || read32(header + 16) != 0 || width <= 0 ||
            height <= 0 || width > 1024 || height > 1024 || 40 + size_t(width) * height * 4 > length)
            continue;
        if (width * height > bestWidth * bestHeight) best = header, bestWidth = width, bestHeight = height;
    }
    if (best == nullptr) return false;
    image->width = bestWidth;
    image->height = bestHeight;
    image->argb.assign(static_cast<size_t>(bestWidth) * bestHeight, 0);
    for (int y = 0; y < bestHeight; ++y) {
        const unsigned char* row = best + 40 + static_cast<size_t>(bestHeight - 1 - y) * bestWidth * 4;
        for (int x = 0; x < bestWidth; ++x) image->argb[static_cast<size_t>(y) * bestWidth + x] = read32(row + 4 * x);
    }
    return true;
}

void setWindowIcon(SDL_Window* window) {
    size_t size = 0;
    const unsigned char* file = windowIconFile(&size);
    IconImage icon;
    if (!iconFromIco(file, size, &icon)) return;
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(icon.argb.data(), icon.width, icon.height, 32,
                                                              icon.width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (surface == nullptr) return;
    SDL_SetWindowIcon(window, surface);
    SDL_FreeSurface(surface);
}

}  // namespace platform
