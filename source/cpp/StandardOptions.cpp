#include "cpp/StandardOptions.h"

#include "cpp/Version.h"

#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// A Windows GUI program started from a console has no standard output of its own; the
// console it was started from gets the answer. Redirected output is left as it is.
void reachStandardOutput() {
#ifdef _WIN32
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out != nullptr && out != INVALID_HANDLE_VALUE) return;
    if (AttachConsole(ATTACH_PARENT_PROCESS)) std::freopen("CONOUT$", "w", stdout);
#endif
}

}  // namespace

int answerHelpOrVersion(int argc, char** argv, const char* program, const char* usage) {
    for (int i = 1; i < argc; ++i) {
        const bool help = std::strcmp(argv[i], "--help") == 0;
        const bool version = std::strcmp(argv[i], "--version") == 0;
        if (!help && !version) continue;
        reachStandardOutput();
        if (help) {
            std::fputs(usage, stdout);
        } else {
            std::printf("%s %s\n", program, halvaneVersion());
        }
        std::fflush(stdout);
        return 0;
    }
    return -1;
}
