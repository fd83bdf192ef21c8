// Render cost of the soundtrack: one bar of the full main-section mix, and the limiter
// on its own. The whole piece is 84 bars plus a two-bar tail.
#include "musicgen/Arrangement.h"
#include "musicgen/Limiter.h"
#include "musicgen/Mixer.h"
#include "musicgen/Noise.h"
#include "musicgen/Timing.h"

#include <benchmark/benchmark.h>

static void BM_RenderOneMainBar(benchmark::State& state) {
    const music::Song song = music::buildSong();
    for (auto _ : state) {
        music::StereoBuffer mix =
            music::renderSong(song, int64_t(32) * music::kSamplesPerBar, music::kSamplesPerBar);
        benchmark::DoNotOptimize(mix.left.data());
    }
    state.SetItemsProcessed(state.iterations() * music::kSamplesPerBar);
}
BENCHMARK(BM_RenderOneMainBar)->Unit(benchmark::kMillisecond);

static void BM_LimitOneBar(benchmark::State& state) {
    music::Noise noise(3);
    std::vector<float> left(music::kSamplesPerBar), right(music::kSamplesPerBar);
    for (size_t i = 0; i < left.size(); ++i) left[i] = right[i] = float(noise.next() * 1.5);
    for (auto _ : state) {
        std::vector<float> l = left, r = right;
        benchmark::DoNotOptimize(music::limitInPlace(l, r, music::LimiterSettings{}));
    }
    state.SetItemsProcessed(state.iterations() * music::kSamplesPerBar);
}
BENCHMARK(BM_LimitOneBar)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
