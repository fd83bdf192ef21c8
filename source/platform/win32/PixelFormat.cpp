#include "platform/win32/PixelFormat.h"

namespace platform::win32 {

PIXELFORMATDESCRIPTOR presentationPixelFormat() {
    PIXELFORMATDESCRIPTOR descriptor;
    ZeroMemory(&descriptor, sizeof descriptor);
    descriptor.nSize = sizeof descriptor;
    descriptor.nVersion = 1;
    descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    descriptor.iPixelType = PFD_TYPE_RGBA;
    descriptor.cColorBits = 24;
    descriptor.cAlphaBits = 8;
    descriptor.cDepthBits = 32;
    descriptor.cStencilBits = 0;
    descriptor.iLayerType = PFD_MAIN_PLANE;
    return descriptor;
}

bool setPresentationPixelFormat(HDC dc) {
    const PIXELFORMATDESCRIPTOR descriptor = presentationPixelFormat();
    const int format = ChoosePixelFormat(dc, &descriptor);
    return format != 0 && SetPixelFormat(dc, format, &descriptor) != FALSE;
}

}  // namespace platform::win32
