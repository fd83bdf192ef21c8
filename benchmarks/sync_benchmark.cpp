// One frame of the film's timeline work: evaluate 22 tracks of 200 keys at a row.
extern "C" {
#include "sync/sync.h"
}

#include <benchmark/benchmark.h>

#include <vector>

static void BM_EvaluateFilmTracks(benchmark::State& state) {
    const int kTracks = 22, kKeys = 200;
    std::vector<std::vector<sync_key>> keys(kTracks);
    std::vector<sync_track> tracks(kTracks);
    for (int t = 0; t < kTracks; ++t) {
        for (int k = 0; k < kKeys; ++k)
            keys[t].push_back(sync_key{k * 14 + t, static_cast<float>(k % 7), k % 4});
        tracks[t] = sync_track{const_cast<char*>("t"), keys[t].data(), static_cast<uint64_t>(kKeys)};
    }
    double row = 0.0;
    for (auto _ : state) {
        double sum = 0.0;
        for (const sync_track& track : tracks) sum += sync_track_value(&track, row);
        benchmark::DoNotOptimize(sum);
        row += 0.27;
        if (row > 2800.0) row = 0.0;
    }
}
BENCHMARK(BM_EvaluateFilmTracks);

BENCHMARK_MAIN();
