// The track check: the loader reads from memory through the device's io hooks.
#include "Checks.h"

extern "C" {
#include "sync/sync.h"
}

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace fuzz {

namespace {

struct MemoryFile {
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t offset = 0;
};

MemoryFile g_file;

void* openMemory(const char*, const char*) {
    g_file.offset = 0;
    return &g_file;
}

// fread's contract: whole items only, and the count of them.
size_t readMemory(void* out, size_t size, size_t items, void* stream) {
    MemoryFile* file = static_cast<MemoryFile*>(stream);
    if (size == 0) return 0;
    const size_t available = std::min(items, (file->size - file->offset) / size);
    if (available > 0) std::memcpy(out, file->data + file->offset, available * size);
    file->offset += available * size;
    return available;
}

int closeMemory(void*) { return 0; }

std::string checkValues(const sync_track* track) {
    const int count = static_cast<int>(track->key_count);
    float lo = track->keys[0].value;
    float hi = lo;
    for (int i = 0; i < count; ++i) {
        if (i > 0 && track->keys[i].row <= track->keys[i - 1].row) return "rows do not ascend";
        lo = std::min(lo, track->keys[i].value);
        hi = std::max(hi, track->keys[i].value);
    }
    // Interpolation rounds once in single precision and a few times in double.
    const double slack = 1e-6 * std::max(std::fabs(static_cast<double>(lo)), std::fabs(static_cast<double>(hi)));
    std::vector<double> rows = {-1e300, -1.0, 0.0, 0.5, 1e300, std::numeric_limits<double>::quiet_NaN(),
                                std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
    for (int i = 0; i < std::min(count, 64); ++i) {
        const double row = track->keys[i].row;
        for (double offset : {-0.5, 0.0, 0.25, 0.5, 0.999}) rows.push_back(row + offset);
    }
    for (double row : rows) {
        const double value = sync_track_value(track, row);
        if (!std::isfinite(value)) return "value at row " + std::to_string(row) + " is not finite";
        if (value < lo - slack || value > hi + slack)
            return "value " + std::to_string(value) + " at row " + std::to_string(row) + " leaves the keys' range";
    }
    return "";
}

}  // namespace

std::string checkTrackFile(const uint8_t* data, size_t size) {
    g_file = MemoryFile{data, size, 0};
    sync_device* device = sync_open_device("sync");
    if (!device) return "";
    device->io.open = openMemory;
    device->io.read = readMemory;
    device->io.close = closeMemory;

    std::string problem;
    const sync_track* track = sync_track_by_name(device, "fuzz");
    if (!track) {
        problem = "no track returned";
    } else if (track->key_count > size / 9) {
        problem = "more keys than the file holds";
    } else if (track->key_count > 0) {
        problem = checkValues(track);
    } else if (sync_track_value(track, 3.0) != 0.0) {
        problem = "a track without keys is not 0.0";
    }
    if (problem.empty() && sync_track_by_name(device, "fuzz") != track) problem = "the track was loaded twice";
    sync_close_device(device);
    return problem;
}

}  // namespace fuzz
