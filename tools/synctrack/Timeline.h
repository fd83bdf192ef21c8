// The timeline text: the human-readable source of the film's sync tracks.
//
//   # comment to the end of the line
//   rows_per_beat 8          (directives before the first section; defaults 8 and 4)
//   beats_per_bar 4
//   [ts.eyepos.x]            one section per track
//   0      -12.5  smooth     ROW VALUE TYPE
//   8:2    -4     linear     ROW may be BAR:BEAT (BEAT may be fractional if the row is whole)
//
// TYPE is step, linear, smooth or ramp. Rows strictly increase within a section, and two
// neighbouring values must differ by less than the largest single-precision number.
// Errors carry "FILE:LINE: " and stop the parse at the first one.
#pragma once

#include <string>
#include <vector>

namespace synctrack {

struct TimelineKey {
    int row = 0;
    float value = 0.0f;
    int type = 0;
};

struct TimelineTrack {
    std::string name;
    int line = 0;
    std::vector<TimelineKey> keys;
};

struct Timeline {
    int rowsPerBeat = 8;
    int beatsPerBar = 4;
    std::vector<TimelineTrack> tracks;
};

// Returns false and sets *error when the text is malformed.
bool parseTimeline(const std::string& text, const std::string& fileName, Timeline* timeline, std::string* error);

// 0..3 for step, linear, smooth, ramp; -1 for anything else.
int keyTypeFromName(const std::string& name);
const char* keyTypeName(int type);

}  // namespace synctrack
