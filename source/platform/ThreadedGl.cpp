#include "platform/ThreadedGl.h"

#include <cstdlib>

namespace platform {

void preferThreadedGlDriver() {
#if defined(__linux__)
    setenv("mesa_glthread", "true", 0);
#endif
}

}  // namespace platform
