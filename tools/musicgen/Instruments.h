// Turns one note event into samples, for every instrument of the piece.
//
// A voice writes into a window of a stereo channel buffer (absolute sample indices,
// samples outside the window are computed but dropped), so excerpts render the same
// samples as the whole piece. Every voice starts and ends at zero level.
#pragma once

#include "Song.h"

#include <cstdint>
#include <vector>

namespace music {

struct StereoWindow {
    std::vector<float>& left;
    std::vector<float>& right;
    int64_t start = 0;

    void add(int64_t sample, double l, double r) {
        const int64_t i = sample - start;
        if (i >= 0 && i < int64_t(left.size())) {
            left[size_t(i)] += float(l);
            right[size_t(i)] += float(r);
        }
    }
};

// First sample of the voice and its total length including release and decay.
int64_t voiceStartSample(const NoteEvent& note);
int64_t voiceLengthSamples(Instrument instrument, const NoteEvent& note);

void renderVoice(Instrument instrument, const NoteEvent& note, const Automation& brightness,
                 StereoWindow& out);

// Drum voices (Drums.cpp).
void renderKick(const NoteEvent& note, StereoWindow& out);
void renderSnare(const NoteEvent& note, StereoWindow& out);
void renderHat(const NoteEvent& note, bool open, StereoWindow& out);
void renderClap(const NoteEvent& note, StereoWindow& out);
void renderCrash(const NoteEvent& note, StereoWindow& out);
void renderRiser(const NoteEvent& note, StereoWindow& out);

// Pitched voices (Synths.cpp).
void renderBass(const NoteEvent& note, const Automation& brightness, StereoWindow& out);
void renderPad(const NoteEvent& note, const Automation& brightness, StereoWindow& out);
void renderLead(const NoteEvent& note, const Automation& brightness, StereoWindow& out);
void renderPluck(const NoteEvent& note, const Automation& brightness, StereoWindow& out);
void renderBell(const NoteEvent& note, StereoWindow& out);

// Fixed decay times of the one-shot drums, in seconds.
constexpr double kKickSeconds = 0.5;
constexpr double kSnareSeconds = 0.35;
constexpr double kClosedHatSeconds = 0.12;
constexpr double kOpenHatSeconds = 0.5;
constexpr double kClapSeconds = 0.4;
constexpr double kCrashSeconds = 3.0;

// Release tails of the pitched voices, in seconds.
constexpr double kBassRelease = 0.06;
constexpr double kPadRelease = 1.8;
constexpr double kLeadRelease = 0.15;
constexpr double kLegatoRelease = 0.02;
constexpr double kPluckRelease = 0.08;
constexpr double kBellRelease = 1.2;

}  // namespace music
