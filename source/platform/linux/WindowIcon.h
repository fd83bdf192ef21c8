// The window's icon on Linux: the picture of the Windows executable's icon 115.
//
// The icon file (source/platform/win32/halvane.ico) is compiled in as bytes;
// iconFromIco() takes its largest 32-bit image (the bitmap kind the file holds, rows
// bottom-up in BGRA) and gives it as rows top-down of 0xAARRGGBB pixels, the layout
// of _NET_WM_ICON. setWindowIcon() hands that picture to SDL, which sets _NET_WM_ICON
// so taskbars and window lists show it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct SDL_Window;

namespace platform {

struct IconImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;  // width x height, top row first
};

// False (image untouched) when the bytes hold no 32-bit bitmap image.
bool iconFromIco(const unsigned char* bytes, size_t size, IconImage* image);

// The compiled-in icon file.
const unsigned char* windowIconFile(size_t* size);

void setWindowIcon(SDL_Window* window);

}  // namespace platform
