// Loads the GL entry points for the current context through GLEW, and asks SDL for
// the window framebuffer every GL window of the program uses.
//
// Under GLX glewInit() reports GLEW_OK. Under EGL it reports "no GLX display"
// (4) although every entry point loads; that result counts as success when the
// context offers GL 4.3.
#pragma once

namespace platform {

// `minimumMajor`/`minimumMinor`: the GL version the context must offer when GLEW
// reports the EGL case; the multisampling probe's default context needs less than 4.3.
bool initialiseGlew(int minimumMajor = 4, int minimumMinor = 3);

// Resets SDL's GL attributes to the program's framebuffer: 8-bit RGBA, 24-bit depth,
// no stencil, double-buffered. Callers add what their context needs on top.
void requestWindowPixelFormat();

}  // namespace platform
