// The data a render needs: channels of note events with their mix settings.
//
// A note's start and length are in beats on the 120 BPM grid; instruments turn them
// into samples. Seeds are fixed when the song is built, so a note sounds the same
// whichever excerpt of the piece is rendered.
#pragma once

#include "Automation.h"

#include <cstdint>
#include <string>
#include <vector>

namespace music {

enum class Instrument { Kick, Snare, ClosedHat, OpenHat, Clap, Crash, Riser, Bass, Pad, Lead, Pluck, Bell };

struct NoteEvent {
    double beat = 0.0;
    double lengthBeats = 1.0;
    int midi = 60;
    double velocity = 1.0;
    int glideFromMidi = -1;  // portamento source; -1 starts on pitch
    bool legatoOut = false;  // the next note glides out of this one: cross-fade quickly
    uint32_t seed = 1;
};

struct Channel {
    std::string name;
    Instrument instrument = Instrument::Pad;
    std::vector<NoteEvent> events;
    double gain = 1.0;
    double pan = 0.0;  // -1 left .. +1 right
    double reverbSend = 0.0;
    double delaySend = 0.0;
    double duckDepth = 0.0;      // how far the kick pushes this channel down
    Automation brightness{1.0};  // 0..1, instrument-specific filter opening
};

struct Song {
    std::vector<Channel> channels;
    std::vector<double> kickBeats;  // sidechain triggers
    Automation masterGain{1.0};
    int64_t lengthSamples = 0;

    const Channel* find(const std::string& name) const;
};

}  // namespace music
