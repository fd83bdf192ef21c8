// What each fuzz target asks of one input, shared by the libFuzzer targets and the
// regression test that replays the inputs they once crashed on.
//
// Every check feeds the bytes through the film's own loader and returns an empty
// string when all held, or what was violated. Crashes, sanitizer reports and
// exceptions other than the loader's documented std::runtime_error are findings too;
// they surface as such in both callers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// One ".track" file through the sync library: a loaded track has ascending rows and
// every value it gives is finite and within its keys' range.
std::string checkTrackFile(const uint8_t* data, size_t size);

// One PNG file through read_png_file: a read image is as large as its header says.
std::string checkPngFile(const uint8_t* data, size_t size);

// One timeline text through the compiler: what it accepts is well-formed, and every
// track it compiles loads in the sync library with all its keys.
std::string checkTimelineText(const uint8_t* data, size_t size);

// One model file through ResourceManager::loadGraph, with recording stand-ins for the
// GL calls: every uploaded buffer is read whole and every index names a vertex.
std::string checkModelFile(const uint8_t* data, size_t size);

}  // namespace fuzz
