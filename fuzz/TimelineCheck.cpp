// The timeline check: parse as `synctrack compile` does, then write each track with the
// compiler's writer and read it back through the sync library as the film would.
#include "Checks.h"
#include "ScratchFile.h"

#include "Timeline.h"
#include "TrackFile.h"

extern "C" {
#include "sync/sync.h"
}

#include <cmath>
#include <cstdio>

namespace fuzz {

namespace {

const ScratchFile& trackFile() {
    static ScratchFile file(".track");
    return file;
}

void* openTrackFile(const char*, const char* mode) { return std::fopen(trackFile().path().c_str(), mode); }

std::string checkAccepted(const synctrack::TimelineTrack& track) {
    if (track.name.empty()) return "a track without a name";
    for (size_t i = 0; i < track.keys.size(); ++i) {
        const synctrack::TimelineKey& key = track.keys[i];
        if (key.row < 0) return "negative row in " + track.name;
        if (i > 0 && key.row <= track.keys[i - 1].row) return "rows do not ascend in " + track.name;
        if (!std::isfinite(key.value)) return "a value that is not finite in " + track.name;
        if (key.type < 0 || key.type > 3) return "a key type outside 0..3 in " + track.name;
    }
    return "";
}

// The compiled file must load whole: the film refuses nothing the compiler accepted.
std::string checkLoads(const synctrack::TimelineTrack& track) {
    std::string error;
    if (!synctrack::writeTrackFile(trackFile().path(), track.keys, &error)) return "";
    sync_device* device = sync_open_device("sync");
    if (!device) return "";
    device->io.open = openTrackFile;
    std::string problem;
    const sync_track* loaded = sync_track_by_name(device, "fuzz");
    if (!loaded || loaded->key_count != track.keys.size()) {
        problem = "track " + track.name + " compiles to a file the film refuses";
    } else {
        for (size_t i = 0; i < track.keys.size() && problem.empty(); ++i) {
            const double value = sync_track_value(loaded, track.keys[i].row);
            if (value != static_cast<double>(track.keys[i].value))
                problem = "track " + track.name + " does not give its key's value at row " +
                          std::to_string(track.keys[i].row);
        }
    }
    sync_close_device(device);
    return problem;
}

}  // namespace

std::string checkTimelineText(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    synctrack::Timeline timeline;
    std::string error;
    if (!synctrack::parseTimeline(text, "fuzz.timeline", &timeline, &error)) {
        return error.rfind("fuzz.timeline:", 0) == 0 ? "" : "an error without FILE:LINE: " + error;
    }
    if (timeline.rowsPerBeat <= 0 || timeline.beatsPerBar <= 0) return "a non-positive rows_per_beat or beats_per_bar";
    // Writing files is the slow part; the first tracks of an input show what the rest would.
    for (size_t i = 0; i < timeline.tracks.size(); ++i) {
        std::string problem = checkAccepted(timeline.tracks[i]);
        if (problem.empty() && i < 16) problem = checkLoads(timeline.tracks[i]);
        if (!problem.empty()) return problem;
    }
    return "";
}

}  // namespace fuzz
