#include "platform/ThreadedGl.h"

#include <cstdlib>

namespace platform {

void preferThreadedGlDriver() {
#if defined(__linux__)
    if (std::getenv("mesa_glthread") != nullptr) return;
    setenv("mesa_glthread", "true", 1);
    // Mesa announces every option taken from the environment on stderr unless told to be
    // quiet; a viewer would see that line at every start.
    setenv("MESA_DEBUG", "silent", 0);
#endif
}

}  // namespace platform
