// Loads the GL entry points for the current context through GLEW, and asks SDL for
// the window framebuffer every GL window of the program uses.
//
// Under GLX glewInit() reports GLEW_OK. Under EGL it reports "no GLX display"
// (4) although every entry point loads; that result counts as success when the
// context offers GL 4.3.
#pragma once

namespace platform {

bool initialiseGlew();

// Resets SDL's GL attributes to the program's framebuffer: 8-bit RGBA, 24-bit depth,
// no stencil, double-buffered. Callers add what their context needs on top.
void requestWindowPixelFormat();

}  // namespace platform
