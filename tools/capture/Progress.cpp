#include "Progress.h"

#include <cmath>

namespace {

constexpr double kTerminalInterval = 0.2;
constexpr double kPlainInterval = 10.0;

void formatDuration(double seconds, char* text, size_t size) {
    const long total = std::lround(seconds);
    if (total >= 3600)
        std::snprintf(text, size, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60, total % 60);
    else
        std::snprintf(text, size, "%ld:%02ld", total / 60, total % 60);
}

}  // namespace

Progress::Progress(int64_t total, FILE* out, bool terminal)
    : _total(total), _out(out), _terminal(terminal), _start(std::chrono::steady_clock::now()), _lastLine(_start) {}

double Progress::framesPerSecond(int64_t done) const {
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - _start).count();
    return elapsed > 0.0 ? static_cast<double>(done) / elapsed : 0.0;
}

void Progress::print(int64_t done, const char* end) {
    const double fps = framesPerSecond(done);
    char left[32] = "?";
    if (fps > 0.0) formatDuration(static_cast<double>(_total - done) / fps, left, sizeof left);
    std::fprintf(_out, "%s%lld/%lld frames  %.2f fps  %s left%s", _terminal ? "\r" : "",
                 static_cast<long long>(done), static_cast<long long>(_total), fps, left, end);
    std::fflush(_out);
}

void Progress::update(int64_t done) {
    const auto now = std::chrono::steady_clock::now();
    const double since = std::chrono::duration<double>(now - _lastLine).count();
    if (since < (_terminal ? kTerminalInterval : kPlainInterval)) return;
    _lastLine = now;
    print(done, _terminal ? "\033[K" : "\n");
}

void Progress::finish(int64_t done) {
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - _start).count();
    char took[32] = "";
    formatDuration(elapsed, took, sizeof took);
    std::fprintf(_out, "%s%lld/%lld frames in %s (%.2f fps)%s\n", _terminal ? "\r" : "",
                 static_cast<long long>(done), static_cast<long long>(_total), took, framesPerSecond(done),
                 _terminal ? "\033[K" : "");
    std::fflush(_out);
}
