#include "Mixer.h"

#include "Delay.h"
#include "Filter.h"
#include "Instruments.h"
#include "Reverb.h"
#include "Timing.h"
#include "VoiceShape.h"

#include <algorithm>
#include <cmath>

namespace music {
namespace {

constexpr double kDuckAttackSeconds = 0.004;
constexpr double kDuckRecoverSeconds = 0.11;
constexpr double kMasterGain = 0.7;
// Echo on the dotted eighth: three quarters of a beat.
constexpr int kDelaySamples = kSamplesPerBeat * 3 / 4;

}  // namespace

StereoBuffer renderChannelVoices(const Channel& channel, int64_t firstSample, int64_t sampleCount) {
    StereoBuffer buffer(size_t(std::max<int64_t>(sampleCount, 0)));
    StereoWindow window{buffer.left, buffer.right, firstSample};
    const int64_t lastSample = firstSample + sampleCount;
    for (const NoteEvent& note : channel.events) {
        const int64_t start = voiceStartSample(note);
        const int64_t end = start + voiceLengthSamples(channel.instrument, note);
        if (end <= firstSample || start >= lastSample) continue;
        renderVoice(channel.instrument, note, channel.brightness, window);
    }
    return buffer;
}

double duckGain(const std::vector<double>& kickBeats, int64_t sample, double depth) {
    if (depth <= 0.0 || kickBeats.empty()) return 1.0;
    // Latest kick at or before this sample.
    const double beat = sampleToBeat(sample);
    auto it = std::upper_bound(kickBeats.begin(), kickBeats.end(), beat + 1e-9);
    if (it == kickBeats.begin()) return 1.0;
    const double since = double(sample - beatToSample(*(it - 1))) / kSampleRate;
    const double shape = smoothStep(0.0, kDuckAttackSeconds, since) *
                         std::exp(-std::max(0.0, since - kDuckAttackSeconds) / kDuckRecoverSeconds);
    return 1.0 - depth * shape;
}

StereoBuffer renderSong(const Song& song, int64_t firstSample, int64_t sampleCount, RenderReport* report) {
    const size_t n = size_t(std::max<int64_t>(sampleCount, 0));
    StereoBuffer mix(n);
    std::vector<float> reverbSend(n, 0.0f);
    std::vector<float> delaySend(n, 0.0f);

    for (const Channel& channel : song.channels) {
        const StereoBuffer voices = renderChannelVoices(channel, firstSample, sampleCount);
        const double angle = (std::clamp(channel.pan, -1.0, 1.0) + 1.0) * kPi / 4.0;
        const double panLeft = std::cos(angle) * std::sqrt(2.0);
        const double panRight = std::sin(angle) * std::sqrt(2.0);
        for (size_t i = 0; i < n; ++i) {
            const double duck = duckGain(song.kickBeats, firstSample + int64_t(i), channel.duckDepth);
            const double l = voices.left[i] * channel.gain * duck;
            const double r = voices.right[i] * channel.gain * duck;
            mix.left[i] += float(l * panLeft);
            mix.right[i] += float(r * panRight);
            reverbSend[i] += float(0.5 * (l + r) * channel.reverbSend);
            delaySend[i] += float(0.5 * (l + r) * channel.delaySend);
        }
    }

    PingPongDelay delay(kDelaySamples, 0.42, 3500.0);
    Reverb reverb(0.86, 0.5);
    StateVariableFilter reverbHighPass(180.0, 0.7);
    DcBlocker dcLeft;
    DcBlocker dcRight;
    for (size_t i = 0; i < n; ++i) {
        double echoLeft = 0.0;
        double echoRight = 0.0;
        delay.process(delaySend[i], echoLeft, echoRight);
        double roomLeft = 0.0;
        double roomRight = 0.0;
        const double roomInput = reverbSend[i] + 0.25 * (echoLeft + echoRight);
        reverb.process(reverbHighPass.highPass(roomInput), roomLeft, roomRight);
        const double master = kMasterGain * song.masterGain.at(sampleToBeat(firstSample + int64_t(i)));
        mix.left[i] = float(dcLeft.process(mix.left[i] + echoLeft + roomLeft) * master);
        mix.right[i] = float(dcRight.process(mix.right[i] + echoRight + roomRight) * master);
    }

    const double minimumGain = limitInPlace(mix.left, mix.right, LimiterSettings{});
    if (report) report->minimumLimiterGain = minimumGain;
    return mix;
}

}  // namespace music
