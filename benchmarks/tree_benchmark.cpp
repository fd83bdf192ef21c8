// One frame of the tree's CPU work: moveRoot and update of all eight branches,
// once without the GL upload and once with it (headless EGL context).
#include "GlTestContext.h"
#include "cpp/Tree.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

namespace {

void runFrames(benchmark::State& state, Tree& tree) {
    double time = 0.0;
    for (auto _ : state) {
        time += 1.0 / 60.0;
        tree.moveRoot(glm::vec3(static_cast<float>(2.0 * std::sin(0.7 * time)), 0.5f,
                                static_cast<float>(std::cos(0.3 * time))));
        tree.update(time);
        benchmark::ClobberMemory();
    }
}

void BM_TreeFrameWithoutUpload(benchmark::State& state) {
    Tree tree(glm::dvec3(0.0), MeshUpload::CpuOnly);
    runFrames(state, tree);
}
BENCHMARK(BM_TreeFrameWithoutUpload)->Unit(benchmark::kMicrosecond);

void BM_TreeFrameWithUpload(benchmark::State& state) {
    std::string why;
    if (!hvtest::makeHeadlessContextCurrent(&why)) {
        state.SkipWithError(("no headless GL: " + why).c_str());
        return;
    }
    Tree tree(glm::dvec3(0.0));
    runFrames(state, tree);
    glFinish();
}
BENCHMARK(BM_TreeFrameWithUpload)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
