// A GL 4.3 core context with a real framebuffer 0 and no window: an sRGB-capable EGL
// pbuffer on Mesa's surfaceless platform. The frame renderer draws the film into it
// exactly as into a window and reads it back.
#pragma once

#include <string>

// Creates the context and a width x height pbuffer and makes them current; false with
// a reason when EGL or GL 4.3 is not available. Without an sRGB surface it falls back to
// a plain one and says so on stderr. A debug context reports through KHR_debug.
bool makeHeadlessSurfaceCurrent(int width, int height, std::string* why, bool debugContext = false);

// True when framebuffer 0 encodes to sRGB under GL_FRAMEBUFFER_SRGB, as a window does.
bool headlessSurfaceIsSrgb();
