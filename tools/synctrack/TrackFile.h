// Binary track files: a little-endian 64-bit key count, then per key an int32 row,
// a float32 value and an int8 type, with no padding.
#pragma once

#include "Timeline.h"

#include <cstdint>
#include <string>
#include <vector>

namespace synctrack {

bool writeTrackFile(const std::string& path, const std::vector<TimelineKey>& keys, std::string* error);

// Reads the keys as stored, without judging their order. Stops at the end of the
// file; *declared is the count the file announces.
struct RawTrack {
    uint64_t declared = 0;
    bool headerComplete = false;
    std::vector<TimelineKey> keys;
};
bool readTrackFile(const std::string& path, RawTrack* track, std::string* error);

}  // namespace synctrack
