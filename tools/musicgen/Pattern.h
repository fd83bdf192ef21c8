// A tiny text notation for melodies and drum grids, so the score reads like music.
//
// Melody: whitespace-separated "NOTE:BEATS" tokens. NOTE is a letter A-G, an optional
// '#' or 'b' and an octave (C4 = MIDI 60), or '-' for a rest; a leading '~' glides into
// the note from the previous one. Example: "A4:1.5 F4:0.5 ~G4:0.5 -:1".
// Grid: one character per sixteenth: '.' silence, 'o' soft, 'x' normal, 'X' accent.
// Malformed text throws std::invalid_argument naming the offending token.
#pragma once

#include <string>
#include <vector>

namespace music {

struct PatternNote {
    double offsetBeats = 0.0;
    double lengthBeats = 0.0;
    int midi = 60;
    bool glide = false;
};

struct GridHit {
    double offsetBeats = 0.0;
    double velocity = 1.0;
};

int parseNoteName(const std::string& name);
std::vector<PatternNote> parseMelody(const std::string& text);
double melodyLengthBeats(const std::string& text);
std::vector<GridHit> parseGrid(const std::string& grid);

}  // namespace music
