// Keys written into the timeline's text the way its authors write them by hand.
//
// Contract: writeKeys() takes the whole text of a timeline and keys (track, row, value)
// and gives the new text. A key already at that row gets the new value and keeps its
// interpolation type, its comment and its column; any other key becomes a new line in
// row order, with the type of the key before it (smooth when there is none), its row
// as BAR:BEAT when it falls on a beat and a plain row otherwise, laid out like the key
// line it follows (or precedes). A track without a section gets one at the end. Every
// other byte stays as it was. It refuses, with the compiler's message and nothing
// produced, a text that does not compile, and a result that would not.
#pragma once

#include <string>
#include <vector>

namespace keys {

struct Key {
    std::string track;
    int row = 0;
    float value = 0.0f;
};

bool writeKeys(const std::string& text, const std::vector<Key>& keys, const std::string& fileName,
               std::string* result, std::string* error);

// The shortest decimal that reads back as the same single-precision value.
std::string formatValue(float value);
// "33:0" on a beat, "1059" between beats.
std::string formatRow(int row, int rowsPerBeat, int beatsPerBar);

}  // namespace keys
