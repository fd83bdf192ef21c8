#include "FrameTimer.h"

#include "cpp/PresentationDriver.h"
#include "platform/Bass.h"
#include "scenes/TestGeometry.h"

#include <GL/glew.h>

#include <algorithm>
#include <chrono>
#include <ctime>

namespace {
using Clock = std::chrono::steady_clock;

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// CPU time of the whole process, the rasteriser's threads included: less sensitive than
// wall-clock time to other work on the machine.
double processSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double quantile(std::vector<double> values, double q) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(q * static_cast<double>(values.size() - 1) + 0.5)];
}
double median(const std::vector<double>& values) {
    if (values.empty()) return 0.0;
    std::vector<double> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    return sorted[sorted.size() / 2];
}
}  // namespace

void FrameTimer::print(FILE* out, int width, int height) const {
    std::fprintf(out, "%dx%d, %zu frames: median frame %.1f ms (quartiles %.1f .. %.1f)\n", width, height,
                 _frames.size(), median(_frames) * 1000.0, quantile(_frames, 0.25) * 1000.0,
                 quantile(_frames, 0.75) * 1000.0);
    std::fprintf(out, "CPU time per frame, all threads: median %.1f ms\n", median(_cpu) * 1000.0);
    std::fprintf(out, "per pass, finishing after each (%zu more frames, median serialised frame %.1f ms):\n",
                 _serialisedFrames.size(), median(_serialisedFrames) * 1000.0);
    for (const std::string& pass : _order)
        std::fprintf(out, "  %-10s %7.1f ms  (CPU, all threads %6.1f ms)\n", pass.c_str(),
                     median(_passes.at(pass)) * 1000.0, median(_passCpu.at(pass)) * 1000.0);
}

void runBenchmark(PresentationDriver& driver, TestGeometry& scene, double start, double step, int count,
                  FrameTimer* timer) {
    // Not timed: the first frame compiles the shaders' variants and steps the branches up to `start`.
    bassSetManualSeconds(start);
    driver.renderFrame();
    // Frames as a viewer gets them: one finish per frame, where the picture is presented.
    glFinish();
    Clock::time_point previous = Clock::now();
    double previousCpu = processSeconds();
    for (int i = 1; i <= count; ++i) {
        bassSetManualSeconds(start + i * step);
        driver.renderFrame();
        glFinish();
        const Clock::time_point now = Clock::now();
        const double cpu = processSeconds();
        timer->addFrame(seconds(now - previous));
        timer->addFrameCpu(cpu - previousCpu);
        previous = now;
        previousCpu = cpu;
    }

    Clock::time_point passStart;
    double passStartCpu = 0.0;
    scene.setPassObserver([&](const char* pass) {
        glFinish();
        const Clock::time_point now = Clock::now();
        const double cpu = processSeconds();
        timer->addPass(pass, seconds(now - passStart), cpu - passStartCpu);
        passStart = now;
        passStartCpu = cpu;
    });
    for (int i = count + 1; i <= 2 * count; ++i) {
        bassSetManualSeconds(start + i * step);
        glFinish();
        const Clock::time_point frameStart = Clock::now();
        passStart = frameStart;
        passStartCpu = processSeconds();
        driver.renderFrame();
        glFinish();
        timer->addBreakdownFrame(seconds(Clock::now() - frameStart));
    }
    scene.setPassObserver(nullptr);
}
