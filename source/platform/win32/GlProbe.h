// Asks the graphics driver how many samples a multisampled framebuffer may have,
// while the setup dialog opens (before the presentation window exists).
//
// Sets the presentation's pixel format on a hidden window owned by the dialog,
// makes a legacy context current, initialises GLEW, creates a 3.3 debug
// forward-compatible context with wglCreateContextAttribsARB, replaces the legacy
// one with it and reads GL_MAX_SAMPLES; then lets go of the context and the
// window. Not the dialog itself: under Wine a window with a pixel format shows its
// GL surface over the whole client area, which would hide the dialog's controls.
// Steps that fail show their message and either go on or end the process with
// status 1.
#pragma once

#include <windows.h>

namespace platform::win32 {

int probeMaxSamples(HWND dialog);

}  // namespace platform::win32
