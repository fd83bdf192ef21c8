#include "platform/RenderingProcess.h"

#include "platform/HugePages.h"
#include "platform/ThreadedGl.h"

namespace platform {

void prepareRenderingProcess(char** argv) {
    useHugePagesForLargeBlocks(argv);
    preferThreadedGlDriver();
}

}  // namespace platform
