// libFuzzer entry: HV_FUZZ_CHECK names the check (Checks.h) this target runs.
// A violated check prints its text and aborts, which libFuzzer keeps as a crash.
#include "Checks.h"

#include <cstdlib>

// The sanitizers' report channel: it stays open when libFuzzer closes the targets'
// standard error (-close_fd_mask), which keeps the loaders' own messages out of the log.
extern "C" void __sanitizer_report_error_summary(const char* text);

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string problem = fuzz::HV_FUZZ_CHECK(data, size);
    if (!problem.empty()) {
        __sanitizer_report_error_summary((std::string(HV_FUZZ_NAME) + ": " + problem).c_str());
        std::abort();
    }
    return 0;
}
