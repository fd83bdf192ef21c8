// Stand-ins for the few GL entry points a model import calls, so the import runs
// whole without a context or a display.
//
// Contract: installGlStubs() points GLEW's function pointers for vertex arrays and
// buffers at functions that hand out names and read every byte given to
// glBufferData, so a size larger than its data shows up under AddressSanitizer.
// Only for processes that never create a real GL context.
#pragma once

namespace fuzz {

void installGlStubs();

}  // namespace fuzz
