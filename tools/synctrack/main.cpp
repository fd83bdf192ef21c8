// synctrack: author and inspect the film's sync tracks.
//
//   synctrack compile TIMELINE OUTDIR    timeline text -> OUTDIR/sync_<name>.track
//   synctrack dump FILE.track            keys as text
//   synctrack eval FILE.track ROW...     value at each fractional row, loaded and
//                                        evaluated exactly as the program does
// Exit status: 0 done, 1 bad input, 2 usage.
#include "Timeline.h"
#include "TrackFile.h"
#include "cpp/StandardOptions.h"

extern "C" {
#include "sync/sync.h"
}

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

const char* const kUsage =
    "usage: synctrack compile TIMELINE OUTDIR\n"
    "       synctrack dump FILE.track\n"
    "       synctrack eval FILE.track ROW [ROW...]\n";

int usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

int compile(const std::string& timelinePath, const std::string& outDir) {
    std::ifstream in(timelinePath, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "synctrack: cannot read %s\n", timelinePath.c_str());
        return 1;
    }
    std::stringstream text;
    text << in.rdbuf();
    synctrack::Timeline timeline;
    std::string error;
    if (!synctrack::parseTimeline(text.str(), timelinePath, &timeline, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    for (const synctrack::TimelineTrack& track : timeline.tracks) {
        std::string path = outDir + "/sync_" + track.name + ".track";
        if (!synctrack::writeTrackFile(path, track.keys, &error)) {
            std::fprintf(stderr, "synctrack: %s\n", error.c_str());
            return 1;
        }
    }
    std::printf("%zu tracks written to %s\n", timeline.tracks.size(), outDir.c_str());
    return 0;
}

int dump(const std::string& path) {
    synctrack::RawTrack track;
    std::string error;
    if (!synctrack::readTrackFile(path, &track, &error)) {
        std::fprintf(stderr, "synctrack: %s\n", error.c_str());
        return 1;
    }
    if (!track.headerComplete) {
        std::fprintf(stderr, "synctrack: %s: shorter than its 8-byte key count\n", path.c_str());
        return 1;
    }
    std::printf("# %llu keys declared\n", static_cast<unsigned long long>(track.declared));
    std::printf("# row value type\n");
    for (const synctrack::TimelineKey& key : track.keys)
        std::printf("%d %.9g %s(%d)\n", key.row, key.value, synctrack::keyTypeName(key.type), key.type);
    if (track.keys.size() < track.declared) {
        std::fprintf(stderr, "synctrack: %s: truncated after %zu of %llu keys\n", path.c_str(), track.keys.size(),
                     static_cast<unsigned long long>(track.declared));
        return 1;
    }
    return 0;
}

// The program opens "<prefix>_<name>.track"; here the device opens the named file instead,
// and everything after the open is the library's own path.
std::string g_evalPath;
void* openEvalFile(const char*, const char* mode) { return std::fopen(g_evalPath.c_str(), mode); }

int eval(const std::string& path, int count, char** rows) {
    std::vector<double> values;
    for (int i = 0; i < count; ++i) {
        char* end = nullptr;
        errno = 0;
        double row = std::strtod(rows[i], &end);
        if (*rows[i] == '\0' || *end != '\0' || errno == ERANGE) {
            std::fprintf(stderr, "synctrack: bad row '%s'\n", rows[i]);
            return 2;
        }
        values.push_back(row);
    }
    sync_device* device = sync_open_device("sync");
    if (!device) {
        std::fprintf(stderr, "synctrack: out of memory\n");
        return 1;
    }
    g_evalPath = path;
    device->io.open = openEvalFile;
    const sync_track* track = sync_track_by_name(device, "eval");
    for (double row : values) std::printf("%.9g\n", track ? sync_track_value(track, row) : 0.0);
    sync_close_device(device);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const int answered = answerHelpOrVersion(argc, argv, "synctrack", kUsage);
    if (answered >= 0) return answered;
    if (argc < 2) return usage();
    std::string command = argv[1];
    if (command == "compile" && argc == 4) return compile(argv[2], argv[3]);
    if (command == "dump" && argc == 3) return dump(argv[2]);
    if (command == "eval" && argc >= 4) return eval(argv[2], argc - 3, argv + 3);
    return usage();
}
