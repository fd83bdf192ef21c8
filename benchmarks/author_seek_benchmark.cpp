// Seeking in halvane-author: bringing the branches to a film time from the nearest
// snapshot (restore, the remaining steps, the mesh and its upload), with the film's
// own timeline, to the start, the middle, the end and backwards. Every seek is timed
// on its own; "worst_ms" is the slowest of all seeks of the run.
#include "GlTestContext.h"
#include "LiveTimeline.h"
#include "MotionSnapshots.h"

#include "cpp/Random.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>

namespace {

constexpr double kFilmSeconds = 172.0;

struct Film {
    BunchPath path;
    std::unique_ptr<Tree> tree;
    std::unique_ptr<BranchMotion> motion;
    std::unique_ptr<MotionSnapshots> snapshots;
};

Film* film(std::string* why) {
    static Film* made = nullptr;
    if (made != nullptr) return made;
    if (!hvtest::makeHeadlessContextCurrent(why)) return nullptr;
    synctrack::Timeline timeline;
    if (!live::loadTimeline(std::string(HV_SOURCE_DIR) + "/timeline/halvane.timeline", &timeline, why)) return nullptr;
    made = new Film;
    made->path = BunchPath(timeline);
    setDemoRandState(1);
    made->tree = std::make_unique<Tree>(glm::dvec3(0.0));
    setDemoRandState(1);
    made->snapshots = std::make_unique<MotionSnapshots>(std::make_unique<Tree>(glm::dvec3(0.0), MeshUpload::CpuOnly),
                                                        made->path, kFilmSeconds);
    made->motion = std::make_unique<BranchMotion>(*made->tree);
    made->motion->setCatchUpLimit(0);
    made->snapshots->waitUntilComplete();
    return made;
}

void seek(Film& f, double seconds) {
    f.snapshots->restoreBefore(*f.motion, seconds);
    f.motion->advanceTo(seconds, [&f](double t) { return f.path.at(t); });
}

double worstMilliseconds = 0.0;

// From `from` to `to`; a time just before a whole second is the most steps from a snapshot.
void BM_Seek(benchmark::State& state, double from, double to) {
    std::string why;
    Film* f = film(&why);
    if (f == nullptr) {
        state.SkipWithError(why.c_str());
        return;
    }
    double worst = 0.0;
    for (auto _ : state) {
        seek(*f, from);
        glFinish();
        const auto start = std::chrono::steady_clock::now();
        seek(*f, to);
        glFinish();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        worst = std::max(worst, seconds * 1000.0);
    }
    worstMilliseconds = std::max(worstMilliseconds, worst);
    state.counters["worst_ms"] = worst;
    state.counters["worst_of_all_ms"] = worstMilliseconds;
}

BENCHMARK_CAPTURE(BM_Seek, to_start, 120.5, 0.0)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Seek, to_middle, 0.0, 86.99)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Seek, to_end, 0.0, kFilmSeconds - 0.01)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Seek, backwards, 150.99, 40.99)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Seek, one_bar_on, 60.0, 62.0)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
