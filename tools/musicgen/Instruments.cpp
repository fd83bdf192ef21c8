#include "Instruments.h"

#include "Timing.h"

#include <cmath>

namespace music {
namespace {

int64_t seconds(double s) {
    return int64_t(std::ceil(s * kSampleRate));
}

}  // namespace

int64_t voiceStartSample(const NoteEvent& note) {
    return beatToSample(note.beat);
}

int64_t voiceLengthSamples(Instrument instrument, const NoteEvent& note) {
    const int64_t held = beatToSample(note.lengthBeats);
    switch (instrument) {
        case Instrument::Kick:
            return seconds(kKickSeconds);
        case Instrument::Snare:
            return seconds(kSnareSeconds);
        case Instrument::ClosedHat:
            return seconds(kClosedHatSeconds);
        case Instrument::OpenHat:
            return seconds(kOpenHatSeconds);
        case Instrument::Clap:
            return seconds(kClapSeconds);
        case Instrument::Crash:
            return seconds(kCrashSeconds);
        case Instrument::Riser:
            return held;
        case Instrument::Bass:
            return held + seconds(kBassRelease);
        case Instrument::Pad:
            return held + seconds(kPadRelease);
        case Instrument::Lead:
            return held + seconds(note.legatoOut ? kLegatoRelease : kLeadRelease);
        case Instrument::Pluck:
            return held + seconds(kPluckRelease);
        case Instrument::Bell:
            return held + seconds(kBellRelease);
    }
    return held;
}

void renderVoice(Instrument instrument, const NoteEvent& note, const Automation& brightness,
                 StereoWindow& out) {
    switch (instrument) {
        case Instrument::Kick:
            renderKick(note, out);
            break;
        case Instrument::Snare:
            renderSnare(note, out);
            break;
        case Instrument::ClosedHat:
            renderHat(note, false, out);
            break;
        case Instrument::OpenHat:
            renderHat(note, true, out);
            break;
        case Instrument::Clap:
            renderClap(note, out);
            break;
        case Instrument::Crash:
            renderCrash(note, out);
            break;
        case Instrument::Riser:
            renderRiser(note, out);
            break;
        case Instrument::Bass:
            renderBass(note, brightness, out);
            break;
        case Instrument::Pad:
            renderPad(note, brightness, out);
            break;
        case Instrument::Lead:
            renderLead(note, brightness, out);
            break;
        case Instrument::Pluck:
            renderPluck(note, brightness, out);
            break;
        case Instrument::Bell:
            renderBell(note, out);
            break;
    }
}

}  // namespace music
