#include "FrameTimer.h"

#include "cpp/PresentationDriver.h"
#include "platform/Bass.h"
#include "scenes/TestGeometry.h"

#include <GL/glew.h>

#include <algorithm>
#include <chrono>

namespace {
using Clock = std::chrono::steady_clock;

double median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
}  // namespace

void FrameTimer::print(FILE* out, int width, int height) const {
    std::fprintf(out, "%dx%d, %zu frames: median frame %.1f ms\n", width, height, _frames.size(),
                 median(_frames) * 1000.0);
    for (const std::string& pass : _order)
        std::fprintf(out, "  %-10s %7.1f ms\n", pass.c_str(), median(_passes.at(pass)) * 1000.0);
}

void runBenchmark(PresentationDriver& driver, TestGeometry& scene, double start, double step, int count,
                  FrameTimer* timer) {
    Clock::time_point passStart;
    scene.setPassObserver([&](const char* pass) {
        glFinish();
        Clock::time_point now = Clock::now();
        timer->addPass(pass, std::chrono::duration<double>(now - passStart).count());
        passStart = now;
    });
    for (int i = 0; i < count; ++i) {
        bassSetManualSeconds(start + i * step);
        glFinish();
        Clock::time_point frameStart = Clock::now();
        passStart = frameStart;
        driver.renderFrame();
        glFinish();
        timer->addFrame(std::chrono::duration<double>(Clock::now() - frameStart).count());
    }
    scene.setPassObserver(nullptr);
}
