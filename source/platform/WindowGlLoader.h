// Loads the GL entry points for the current context through GLEW.
//
// Under GLX glewInit() reports GLEW_OK. Under EGL it reports "no GLX display"
// (4) although every entry point loads; that result counts as success when the
// context offers GL 4.3.
#pragma once

namespace platform {

bool initialiseGlew();

}  // namespace platform
