// What every program that draws the film sets up first thing in main, before any thread,
// window, dialog or GL display exists: large blocks on huge pages (which may restart the
// process once, see HugePages.h), then the GL driver's own thread (ThreadedGl.h).
#pragma once

namespace platform {

void prepareRenderingProcess(char** argv);

}  // namespace platform
