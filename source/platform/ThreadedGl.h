// The GL driver's side of every call on a thread of its own.
//
// Mesa can run the driver's work for each GL call on a separate thread ("glthread"): the
// calling thread goes on while the driver allocates and zeroes render targets, converts
// uploads or compiles, so loading overlaps the driver's work with the scene's, and a
// frame's calls are queued the same way. Nothing drawn changes. Mesa reads the choice
// from its option "mesa_glthread" when it opens a GL display, so call
// preferThreadedGlDriver() first thing in main, before any window, dialog or GL display
// exists. A value already in the environment is left as it is; other drivers ignore it.
// It also sets MESA_DEBUG to "silent" when unset: otherwise Mesa prints a notice on stderr
// for an option taken from the environment.
#pragma once

namespace platform {

void preferThreadedGlDriver();

}  // namespace platform
