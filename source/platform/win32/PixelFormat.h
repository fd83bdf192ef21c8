// The pixel format of every GL window of the program: the setup dialog's probe and
// the presentation window ask for the same one.
//
// Version 1; draw to window, support OpenGL, double buffer; RGBA with 24 colour and
// 8 alpha bits; 32 depth bits; no stencil; main layer. ChoosePixelFormat picks the
// closest the driver has, SetPixelFormat applies it.
#pragma once

#include <windows.h>

namespace platform::win32 {

PIXELFORMATDESCRIPTOR presentationPixelFormat();

// False when SetPixelFormat fails (or nothing was chosen).
bool setPresentationPixelFormat(HDC dc);

}  // namespace platform::win32
