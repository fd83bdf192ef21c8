// The WGL steps that the setup dialog's probe and the presentation window share.
//
// A core or versioned context needs wglCreateContextAttribsARB, which only a
// current (legacy) context can look up. GLEW is initialised on that legacy
// context; its result is remembered for the check after the core context is
// current (WindowGlLoader.h).
#pragma once

#include <GL/glew.h>
#include <GL/wglew.h>

namespace platform::win32 {

// glewInit on the current legacy context; true on GLEW_OK. Remembered for initialiseGlew().
bool initialiseGlewOnLegacyContext();

// wglCreateContextAttribsARB of the current context. When the driver lacks it, shows
// "Couldn't get address for wglCreateContextAttribsARB" and ends the process with status 1.
PFNWGLCREATECONTEXTATTRIBSARBPROC requireCreateContextAttribs();

}  // namespace platform::win32
