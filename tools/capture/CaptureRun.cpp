#include "CaptureRun.h"

#include "CaptureOptions.h"
#include "Mp4Writer.h"
#include "OutputFile.h"

#include "platform/DataDirectory.h"

#include <cstdio>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t g_stop = 0;

void onSignal(int) { g_stop = 1; }

}  // namespace

int usageError(const std::string& why) {
    std::fprintf(stderr, "halvane-capture: %s\n%s", why.c_str(), kCaptureUsage);
    return 2;
}

int failure(const std::string& why) {
    std::fprintf(stderr, "halvane-capture: %s\n", why.c_str());
    return 1;
}

bool isTerminal() { return ::isatty(STDERR_FILENO) == 1; }

bool enterRunDirectory(const std::string& dir, std::string* why) {
    if (dir.empty()) return platform::enterDataDirectory(why);
    if (::chdir(dir.c_str()) == 0) return true;
    *why = "cannot enter " + dir;
    return false;
}

void catchInterrupts() {
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
}

const volatile std::sig_atomic_t* interrupted() { return &g_stop; }

int completeOutput(CaptureResult result, const std::string& why, Mp4Writer& writer, OutputFile& output) {
    switch (result) {
        case CaptureResult::Stopped:
            if (isTerminal()) std::fprintf(stderr, "\n");
            return failure("interrupted; nothing written");
        case CaptureResult::Failed:
            return failure(why);
        case CaptureResult::Done:
            break;
    }
    std::string finishWhy;
    if (!writer.finish(&finishWhy) || !output.commit(&finishWhy)) return failure(finishWhy);
    std::printf("%s\n", output.path().c_str());
    return 0;
}
