// Tests for the music generator: DSP building blocks, the score's beat grid and
// bit-identical rendering. Renders only short excerpts to keep the run short.
#include "musicgen/Arrangement.h"
#include "musicgen/Automation.h"
#include "musicgen/Delay.h"
#include "musicgen/Envelope.h"
#include "musicgen/Filter.h"
#include "musicgen/Instruments.h"
#include "musicgen/Limiter.h"
#include "musicgen/Mixer.h"
#include "musicgen/Noise.h"
#include "musicgen/Oscillator.h"
#include "musicgen/Pattern.h"
#include "musicgen/Reverb.h"
#include "musicgen/Timing.h"
#include "musicgen/WavWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>

using namespace music;

namespace {

double maxStep(const std::vector<double>& values) {
    double step = 0.0;
    for (size_t i = 1; i < values.size(); ++i) step = std::max(step, std::abs(values[i] - values[i - 1]));
    return step;
}

// Drives an envelope: key down at 0, the given key events, `total` samples in all.
std::vector<double> runEnvelope(const AdsrShape& shape, const std::vector<std::pair<int, bool>>& keys,
                                int total) {
    Adsr adsr(shape);
    std::vector<double> out;
    out.push_back(0.0);  // the silence before the note
    size_t next = 0;
    for (int i = 0; i < total; ++i) {
        while (next < keys.size() && keys[next].first == i) {
            keys[next].second ? adsr.noteOn() : adsr.noteOff();
            ++next;
        }
        out.push_back(adsr.next());
    }
    return out;
}

double rmsOf(const std::vector<double>& v, size_t from) {
    double sum = 0.0;
    for (size_t i = from; i < v.size(); ++i) sum += v[i] * v[i];
    return std::sqrt(sum / double(v.size() - from));
}

std::vector<double> sine(double hz, int samples) {
    std::vector<double> v(size_t(samples), 0.0);
    for (int i = 0; i < samples; ++i) v[size_t(i)] = std::sin(2.0 * kPi * hz * i / kSampleRate);
    return v;
}

}  // namespace

TEST(Envelope, RisesAndFallsWithoutJumpsThroughEveryStage) {
    const AdsrShape shape{0.005, 0.05, 0.6, 0.02};
    const auto held = runEnvelope(shape, {{0, true}, {4000, false}}, 6000);
    EXPECT_LT(maxStep(held), 0.01);
    EXPECT_NEAR(*std::max_element(held.begin(), held.end()), 1.0, 1e-9);
    EXPECT_NEAR(held[3900], 0.6, 1e-3);
    EXPECT_EQ(held.back(), 0.0);

    // Key released during the attack, then struck again during the release.
    const auto interrupted = runEnvelope(shape, {{0, true}, {100, false}, {300, true}, {600, false}}, 3000);
    EXPECT_LT(maxStep(interrupted), 0.01);
    EXPECT_EQ(interrupted.back(), 0.0);
}

TEST(Envelope, ZeroTimesAreWidenedSoNoteEdgesCannotClick) {
    const AdsrShape instant{0.0, 0.0, 0.5, 0.0};
    const auto values = runEnvelope(instant, {{0, true}, {500, false}}, 1000);
    // Two-millisecond ramps: no step larger than a fortieth of full scale.
    EXPECT_LT(maxStep(values), 0.025);
    EXPECT_EQ(values.back(), 0.0);
}

TEST(Envelope, ReleaseReachesSilenceAndReportsFinished) {
    Adsr adsr({0.001, 0.01, 1.0, 0.05});
    adsr.noteOn();
    for (int i = 0; i < 1000; ++i) adsr.next();
    adsr.noteOff();
    int samples = 0;
    while (!adsr.finished() && samples < kSampleRate) {
        adsr.next();
        ++samples;
    }
    EXPECT_TRUE(adsr.finished());
    EXPECT_EQ(adsr.level(), 0.0);
    EXPECT_NEAR(samples, 0.05 * kSampleRate, 0.01 * kSampleRate);
}

TEST(Oscillators, SawAndPulseStayBoundedAndCarryNoDc) {
    SawOscillator saw;
    PulseOscillator pulse;
    double sawSum = 0.0, pulseSum = 0.0, peak = 0.0;
    const int n = kSampleRate;  // one second of 441 Hz: a whole number of periods
    for (int i = 0; i < n; ++i) {
        const double s = saw.next(441.0);
        const double p = pulse.next(441.0);
        sawSum += s;
        pulseSum += p;
        peak = std::max({peak, std::abs(s), std::abs(p)});
    }
    EXPECT_LT(peak, 1.3);
    EXPECT_NEAR(sawSum / n, 0.0, 1e-3);
    EXPECT_NEAR(pulseSum / n, 0.0, 1e-3);
}

TEST(Filters, LowPassAndHighPassSeparateLowFromHigh) {
    auto filtered = [](double hz, bool low) {
        StateVariableFilter filter(1000.0, 0.707);
        std::vector<double> out;
        for (double x : sine(hz, 8820)) out.push_back(low ? filter.lowPass(x) : filter.highPass(x));
        return rmsOf(out, 4410) / std::sqrt(0.5);
    };
    EXPECT_NEAR(filtered(100.0, true), 1.0, 0.02);
    EXPECT_LT(filtered(10000.0, true), 0.02);  // two poles: about -40 dB a decade
    EXPECT_LT(filtered(100.0, false), 0.02);
    EXPECT_NEAR(filtered(10000.0, false), 1.0, 0.02);
}

TEST(Filters, StayStableWhileTheCutoffSweepsAndRemoveDc) {
    StateVariableFilter filter;
    Noise noise(5);
    double peak = 0.0;
    for (int i = 0; i < kSampleRate; ++i) {
        if (i % 16 == 0) filter.setCutoff(30.0 + 20000.0 * std::abs(std::sin(i * 0.001)), 8.0);
        peak = std::max(peak, std::abs(filter.lowPass(noise.next())));
    }
    EXPECT_TRUE(std::isfinite(peak));
    EXPECT_LT(peak, 20.0);

    DcBlocker blocker;
    double last = 1.0;
    for (int i = 0; i < kSampleRate; ++i) last = blocker.process(0.5);
    EXPECT_LT(std::abs(last), 1e-6);
}

TEST(Limiter, NeverExceedsTheCeilingAndLeavesQuietAudioAlone) {
    Noise noise(9);
    std::vector<float> left(20000), right(20000);
    for (size_t i = 0; i < left.size(); ++i) {
        const double burst = (i / 2000) % 2 ? 3.0 : 0.3;  // alternating loud and quiet stretches
        left[i] = float(noise.next() * burst);
        right[i] = float(noise.next() * burst * 0.5);
    }
    LimiterSettings settings;
    const double minimum = limitInPlace(left, right, settings);
    EXPECT_LT(minimum, 0.5);
    for (size_t i = 0; i < left.size(); ++i) {
        ASSERT_LE(std::abs(left[i]), float(settings.ceiling)) << i;
        ASSERT_LE(std::abs(right[i]), float(settings.ceiling)) << i;
    }

    std::vector<float> quietLeft(5000), quietRight(5000);
    for (size_t i = 0; i < quietLeft.size(); ++i)
        quietLeft[i] = quietRight[i] = float(0.5 * std::sin(i * 0.05));
    const std::vector<float> original = quietLeft;
    EXPECT_EQ(limitInPlace(quietLeft, quietRight, settings), 1.0);
    EXPECT_EQ(quietLeft, original);  // no latency, no colouring
}

TEST(Limiter, TurnsASingleSpikeIntoASmoothGainDip) {
    std::vector<float> left(4000, 0.5f), right(4000, 0.5f);
    left[2000] = 2.0f;
    LimiterSettings settings;
    limitInPlace(left, right, settings);
    EXPECT_LE(left[2000], float(settings.ceiling));
    // The gain ramps down over the look-ahead span instead of stepping; the constant right
    // channel shows the linked gain, including at the peak itself.
    double largestGainStep = 0.0;
    for (size_t i = 1; i < 4000; ++i)
        largestGainStep = std::max(largestGainStep, double(std::abs(right[i] - right[i - 1])));
    EXPECT_LT(largestGainStep, 0.02);
    EXPECT_LT(right[2000], 0.5f);        // the dip is there at the peak...
    EXPECT_FLOAT_EQ(right[1000], 0.5f);  // ...and not long before it
    EXPECT_THROW(limitInPlace(left, right, LimiterSettings{0.0, 88, 0.1}), std::invalid_argument);
}

TEST(Effects, PingPongDelayAlternatesSidesAtTheDelayTime) {
    PingPongDelay delay(100, 0.5, 15000.0);
    std::vector<double> left, right;
    for (int i = 0; i < 400; ++i) {
        double l = 0.0, r = 0.0;
        delay.process(i == 0 ? 1.0 : 0.0, l, r);
        left.push_back(l);
        right.push_back(r);
    }
    EXPECT_NEAR(left[100], 1.0, 1e-9);
    EXPECT_EQ(right[100], 0.0);
    EXPECT_GT(std::abs(right[200]) + std::abs(right[201]) + std::abs(right[202]), 0.2);
    EXPECT_EQ(left[50], 0.0);
    EXPECT_THROW(PingPongDelay(0, 0.5, 1000.0), std::invalid_argument);
}

TEST(Effects, ReverbTailIsStereoAndDecays) {
    Reverb reverb(0.86, 0.5);
    std::vector<double> left, right;
    for (int i = 0; i < 8 * kSampleRate; ++i) {
        double l = 0.0, r = 0.0;
        reverb.process(i < 100 ? 1.0 : 0.0, l, r);
        left.push_back(l);
        right.push_back(r);
    }
    auto energy = [&](const std::vector<double>& v, int from, int to) {
        double e = 0.0;
        for (int i = from; i < to; ++i) e += v[size_t(i)] * v[size_t(i)];
        return e;
    };
    const double early = energy(left, 0, kSampleRate / 2);
    EXPECT_GT(early, 0.0);
    EXPECT_LT(energy(left, 7 * kSampleRate, 8 * kSampleRate), early * 1e-4);
    EXPECT_NE(left, right);
}

TEST(Pattern, ParsesNoteNamesMelodiesAndGrids) {
    EXPECT_EQ(parseNoteName("A4"), 69);
    EXPECT_EQ(parseNoteName("C4"), 60);
    EXPECT_EQ(parseNoteName("Bb3"), 58);
    EXPECT_EQ(parseNoteName("C#5"), 73);

    const auto notes = parseMelody("A4:1.5 -:0.5 F4:0.5 ~G4:1");
    ASSERT_EQ(notes.size(), 3u);
    EXPECT_DOUBLE_EQ(notes[1].offsetBeats, 2.0);
    EXPECT_DOUBLE_EQ(notes[2].offsetBeats, 2.5);
    EXPECT_TRUE(notes[2].glide);
    EXPECT_FALSE(notes[1].glide);
    EXPECT_DOUBLE_EQ(melodyLengthBeats("A4:1.5 -:0.5 F4:0.5 ~G4:1"), 3.5);

    const auto hits = parseGrid("X..o");
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_DOUBLE_EQ(hits[1].offsetBeats, 0.75);
    EXPECT_LT(hits[1].velocity, hits[0].velocity);
}

TEST(Pattern, MalformedTextNamesTheBadToken) {
    auto message = [](auto&& call) {
        try {
            call();
        } catch (const std::invalid_argument& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_NE(message([] { parseMelody("A4:1 H4:1"); }).find("H4"), std::string::npos);
    EXPECT_NE(message([] { parseMelody("A4"); }).find("A4"), std::string::npos);
    EXPECT_NE(message([] { parseMelody("A4:0"); }).find("A4:0"), std::string::npos);
    EXPECT_NE(message([] { parseMelody("A4:x"); }).find("A4:x"), std::string::npos);
    EXPECT_NE(message([] { parseMelody("~A4:1"); }).find("~A4:1"), std::string::npos);
    EXPECT_NE(message([] { parseGrid("x.?."); }).find('?'), std::string::npos);
}

TEST(Automation, InterpolatesBetweenPointsAndHoldsOutside) {
    Automation curve;
    curve.add(4.0, 0.0).add(8.0, 1.0);
    EXPECT_DOUBLE_EQ(curve.at(0.0), 0.0);
    EXPECT_DOUBLE_EQ(curve.at(6.0), 0.5);
    EXPECT_DOUBLE_EQ(curve.at(100.0), 1.0);
    EXPECT_THROW(curve.add(2.0, 0.0), std::invalid_argument);
}

TEST(Score, KicksFollowTheSectionsOnTheBeatGrid) {
    const Song song = buildSong();
    const Channel* kick = song.find("kick");
    ASSERT_NE(kick, nullptr);
    auto kicksIn = [&](int firstBar, int endBar) {
        int count = 0;
        for (const NoteEvent& e : kick->events)
            if (e.beat >= barToBeat(firstBar) && e.beat < barToBeat(endBar)) ++count;
        return count;
    };
    EXPECT_EQ(kicksIn(0, 16), 0);   // intro and first half of the build
    EXPECT_GT(kicksIn(16, 24), 0);  // sparse kicks
    EXPECT_LT(kicksIn(16, 24), 8 * 4);
    EXPECT_EQ(kicksIn(24, 48), 24 * 4);  // four on the floor
    EXPECT_EQ(kicksIn(48, 56), 0);       // break
    EXPECT_EQ(kicksIn(56, 76), 20 * 4);
    EXPECT_EQ(kicksIn(76, 84), 0);  // outro
    for (const NoteEvent& e : kick->events) EXPECT_EQ(e.beat, std::floor(e.beat)) << "off-grid kick";

    for (const char* drum : {"kick", "snare", "clap", "hat", "openhat"})
        for (const NoteEvent& e : song.find(drum)->events)
            EXPECT_FALSE(e.beat >= barToBeat(48) && e.beat < barToBeat(56)) << drum << " in the break";

    const double seconds = double(song.lengthSamples) / kSampleRate;
    EXPECT_GE(seconds, 150.0);
    EXPECT_LE(seconds, 200.0);
    for (const Channel& channel : song.channels)
        for (const NoteEvent& e : channel.events)
            EXPECT_LE(voiceStartSample(e) + voiceLengthSamples(channel.instrument, e), song.lengthSamples)
                << channel.name << " rings past the end";
}

TEST(Score, GlidingLeadNotesStartFromTheNoteBeforeWhichFadesQuickly) {
    const Song song = buildSong();
    const Channel& lead = *song.find("lead");
    int glides = 0;
    for (size_t i = 1; i < lead.events.size(); ++i) {
        const NoteEvent& note = lead.events[i];
        if (note.glideFromMidi < 0) continue;
        ++glides;
        const NoteEvent& before = lead.events[i - 1];
        EXPECT_EQ(note.glideFromMidi, before.midi);
        EXPECT_TRUE(before.legatoOut);
        EXPECT_LT(voiceLengthSamples(Instrument::Lead, before),
                  beatToSample(before.lengthBeats) + int64_t(0.05 * kSampleRate));
    }
    EXPECT_GT(glides, 10);
}

TEST(Score, KickOnsetSitsExactlyOnItsBeatSample) {
    const Song song = buildSong();
    const Channel& kick = *song.find("kick");
    const int64_t beatSample = int64_t(24) * kSamplesPerBar;  // bar 24, first beat of the main part
    const int64_t first = beatSample - 200;
    const StereoBuffer buffer = renderChannelVoices(kick, first, 1000);
    for (int64_t i = 0; i <= 200; ++i)
        ASSERT_EQ(buffer.left[size_t(i)], 0.0f) << "sound before the beat at " << i;
    EXPECT_GT(std::abs(buffer.left[202]), 1e-4f);
    // Loud within the first few milliseconds.
    float peak = 0.0f;
    for (size_t i = 200; i < 200 + 441; ++i) peak = std::max(peak, std::abs(buffer.left[i]));
    EXPECT_GT(peak, 0.3f);
}

TEST(Score, EveryVoiceStartsAndEndsSilently) {
    const Instrument all[] = {Instrument::Kick, Instrument::Snare, Instrument::ClosedHat, Instrument::OpenHat,
                              Instrument::Clap, Instrument::Crash, Instrument::Riser,     Instrument::Bass,
                              Instrument::Pad,  Instrument::Lead,  Instrument::Pluck,     Instrument::Bell};
    for (Instrument instrument : all) {
        NoteEvent note;
        note.beat = 1.0;
        note.lengthBeats = 1.0;
        note.midi = 57;
        note.glideFromMidi = 50;
        note.seed = 77;
        const int64_t start = voiceStartSample(note);
        const int64_t length = voiceLengthSamples(instrument, note);
        std::vector<float> left(size_t(start + length + 100), 0.0f), right(left.size(), 0.0f);
        StereoWindow window{left, right, 0};
        renderVoice(instrument, note, Automation(1.0), window);
        const int id = int(instrument);
        EXPECT_LT(std::abs(left[size_t(start)]), 0.05f) << "instrument " << id;
        EXPECT_LT(std::abs(left[size_t(start + length - 1)]), 2e-3f) << "instrument " << id;
        for (size_t i = size_t(start + length); i < left.size(); ++i) ASSERT_EQ(left[i], 0.0f) << id;
        for (int64_t i = 0; i < start; ++i) ASSERT_EQ(left[size_t(i)], 0.0f) << id;
    }
}

TEST(Render, ExcerptsAreBitIdenticalAndMatchTheirWindow) {
    const Song song = buildSong();
    const int64_t first = int64_t(24) * kSamplesPerBar;
    const int64_t count = kSamplesPerBar;
    const StereoBuffer once = renderSong(song, first, count);
    const StereoBuffer twice = renderSong(song, first, count);
    EXPECT_EQ(once.left, twice.left);
    EXPECT_EQ(once.right, twice.right);

    // A voice sounds the same whichever window it is rendered through.
    const Channel& pad = *song.find("pad");
    const StereoBuffer wide = renderChannelVoices(pad, first, 2 * count);
    const StereoBuffer narrow = renderChannelVoices(pad, first + count / 2, count);
    for (int64_t i = 0; i < count; ++i)
        ASSERT_EQ(narrow.left[size_t(i)], wide.left[size_t(i + count / 2)]) << i;
}

TEST(Render, MainSectionMixIsLimitedAndFreeOfDc) {
    const Song song = buildSong();
    RenderReport report;
    const StereoBuffer mix = renderSong(song, int64_t(32) * kSamplesPerBar, kSamplesPerBar, &report);
    double sum = 0.0, peak = 0.0, squares = 0.0;
    for (size_t i = 0; i < mix.size(); ++i) {
        sum += mix.left[i] + mix.right[i];
        squares += double(mix.left[i]) * mix.left[i];
        peak = std::max({peak, std::abs(double(mix.left[i])), std::abs(double(mix.right[i]))});
    }
    EXPECT_LE(peak, LimiterSettings{}.ceiling + 1e-6);
    EXPECT_LT(std::abs(sum / (2.0 * mix.size())), 2e-3);
    const double rmsDb = 10.0 * std::log10(squares / mix.size());
    EXPECT_GT(rmsDb, -20.0);                    // a full groove, not a near-silent mix
    EXPECT_GT(report.minimumLimiterGain, 0.5);  // the limiter catches peaks, it does not pump the mix
}

TEST(Wav, WritesAPcmHeaderAndClampsSamples) {
    const std::vector<int16_t> pcm = toPcm16({0.0f, 1.5f, -2.0f, 0.5f}, {1.0f, -1.0f, 0.25f, 0.0f});
    EXPECT_EQ(pcm, (std::vector<int16_t>{0, 32767, 32767, -32767, -32768, 8192, 16384, 0}));

    const std::string path = std::string(HV_BINARY_DIR) + "/test_musicgen.wav";
    std::string error;
    ASSERT_TRUE(writeWav(path, pcm, kSampleRate, error)) << error;
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_EQ(bytes.size(), 44u + 16u);
    EXPECT_EQ(bytes.substr(0, 4), "RIFF");
    EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(bytes.substr(36, 4), "data");
    auto u32 = [&](size_t at) {
        return uint32_t(uint8_t(bytes[at])) | uint32_t(uint8_t(bytes[at + 1])) << 8 |
               uint32_t(uint8_t(bytes[at + 2])) << 16 | uint32_t(uint8_t(bytes[at + 3])) << 24;
    };
    EXPECT_EQ(u32(4), 36u + 16u);
    EXPECT_EQ(u32(24), 44100u);
    EXPECT_EQ(u32(28), 44100u * 4u);
    EXPECT_EQ(u32(40), 16u);
    std::remove(path.c_str());

    EXPECT_FALSE(writeWav("/nonexistent-dir/x.wav", pcm, kSampleRate, error));
    EXPECT_NE(error.find("/nonexistent-dir/x.wav"), std::string::npos);
}
