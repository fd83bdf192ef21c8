// Asks the graphics driver how many samples a multisampled framebuffer may have.
//
// Builds a throw-away GL 3.3 context on a hidden window of its own (before the
// presentation window exists), reads GL_MAX_SAMPLES and destroys both again.
// Needs SDL's video subsystem. A probe step that fails either shows its message and
// goes on, or shows it and ends the process with status 1: the viewer cannot run the
// presentation without GL anyway.
#pragma once

namespace platform {

// GL_MAX_SAMPLES of a 3.3 context; 0 when the driver reports none.
int probeMaxSamples();

}  // namespace platform
