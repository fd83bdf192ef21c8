// musicgen: renders the film's music to a 44.1 kHz 16-bit stereo WAV file.
//
// Usage: musicgen OUTPUT.wav [FIRST_BAR BAR_COUNT]
// Without a bar range the whole piece (84 bars and the decay tail) is rendered. The
// output is identical on every run. Prints peak, RMS and render time to stderr.
#include "Arrangement.h"
#include "Mixer.h"
#include "Timing.h"
#include "WavWriter.h"
#include "cpp/StandardOptions.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

bool parseInt(const char* text, int& value) {
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || parsed < 0 || parsed > 10000) return false;
    value = int(parsed);
    return true;
}

double toDb(double linear) {
    return linear > 0.0 ? 20.0 * std::log10(linear) : -999.0;
}


const char* const kUsage = "usage: musicgen OUTPUT.wav [FIRST_BAR BAR_COUNT]\n";

}  // namespace

int main(int argc, char** argv) {
    const int answered = answerHelpOrVersion(argc, argv, "musicgen", kUsage);
    if (answered >= 0) return answered;
    using namespace music;
    if (argc != 2 && argc != 4) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    int64_t first = 0;
    int64_t count = kSongSamples;
    if (argc == 4) {
        int firstBar = 0;
        int barCount = 0;
        if (!parseInt(argv[2], firstBar) || !parseInt(argv[3], barCount) || barCount == 0 ||
            firstBar + barCount > kBarCount) {
            std::fprintf(stderr, "musicgen: bar range must lie within 0..%d\n", kBarCount);
            return 2;
        }
        first = int64_t(firstBar) * kSamplesPerBar;
        count = int64_t(barCount) * kSamplesPerBar;
    }

    const auto started = std::chrono::steady_clock::now();
    const Song song = buildSong();
    RenderReport report;
    const StereoBuffer mix = renderSong(song, first, count, &report);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    double peak = 0.0;
    double sumSquares = 0.0;
    for (size_t i = 0; i < mix.size(); ++i) {
        peak = std::max({peak, std::abs(double(mix.left[i])), std::abs(double(mix.right[i]))});
        sumSquares += double(mix.left[i]) * mix.left[i] + double(mix.right[i]) * mix.right[i];
    }
    const double rms = mix.size() ? std::sqrt(sumSquares / (2.0 * double(mix.size()))) : 0.0;

    std::string error;
    if (!writeWav(argv[1], toPcm16(mix.left, mix.right), kSampleRate, error)) {
        std::fprintf(stderr, "musicgen: %s\n", error.c_str());
        return 1;
    }
    std::fprintf(
        stderr,
        "musicgen: %.2f s of audio, peak %.2f dBFS, RMS %.2f dBFS, limiter %.2f dB, rendered in %.2f s\n",
        double(mix.size()) / kSampleRate, toDb(peak), toDb(rms), toDb(report.minimumLimiterGain), seconds);
    return 0;
}
