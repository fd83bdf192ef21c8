#include "platform/HugePages.h"

// Defines __GLIBC__ where glibc is the C library.
#include <cstdlib>

#if defined(__linux__) && defined(__GLIBC__)

#include <fstream>
#include <string>
#include <unistd.h>

namespace platform {

namespace {

const char* const kTunables = "GLIBC_TUNABLES";
const char* const kRestarted = "HALVANE_HUGE_PAGES_RESTARTED";

// "always" needs no asking and "never" gives nothing: only "madvise" is worth a restart.
bool kernelGivesHugePagesOnRequest() {
    std::ifstream mode("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string line;
    return std::getline(mode, line) && line.find("[madvise]") != std::string::npos;
}

}  // namespace

void useHugePagesForLargeBlocks(char** argv) {
    if (std::getenv(kRestarted) != nullptr) {
        unsetenv(kRestarted);
        unsetenv(kTunables);
        return;
    }
    if (argv == nullptr || argv[0] == nullptr || std::getenv(kTunables) != nullptr) return;
    if (!kernelGivesHugePagesOnRequest()) return;
    setenv(kTunables, "glibc.malloc.hugetlb=1", 1);
    setenv(kRestarted, "1", 1);
    execv("/proc/self/exe", argv);
    // Still here: carry on as started.
    unsetenv(kRestarted);
    unsetenv(kTunables);
}

}  // namespace platform

#else

namespace platform {

void useHugePagesForLargeBlocks(char**) {}

}  // namespace platform

#endif
