#include "LiveTimeline.h"

#include "cpp/PresentationDriver.h"

extern "C" {
#include "sync/sync.h"
}

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>

namespace live {

bool loadTimeline(const std::string& path, synctrack::Timeline* timeline, std::string* error,
                  std::string* text) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return *error = path + ": cannot be read", false;
    std::string read((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    synctrack::Timeline parsed;
    if (!synctrack::parseTimeline(read, path, &parsed, error)) return false;
    *timeline = std::move(parsed);
    if (text != nullptr) *text = std::move(read);
    return true;
}

bool applyTimeline(const synctrack::Timeline& timeline, const std::string& path, PresentationDriver& driver,
                   const std::vector<std::string>& trackNames, std::string* error) {
    std::map<std::string, std::vector<sync_key>> keysByName;
    for (const std::string& name : trackNames) keysByName[name];
    for (const synctrack::TimelineTrack& track : timeline.tracks) {
        std::vector<sync_key> keys;
        for (const synctrack::TimelineKey& key : track.keys)
            keys.push_back(sync_key{key.row, key.value, key.type});
        // The library's own check, on a scratch track, so no track changes unless all can.
        sync_track scratch{nullptr, nullptr, 0};
        const char* problem = nullptr;
        if (sync_set_keys(&scratch, keys.data(), keys.size(), &problem) != 0) {
            *error = path + ":" + std::to_string(track.line) + ": [" + track.name + "] " + problem;
            return false;
        }
        std::free(scratch.keys);
        auto known = keysByName.find(track.name);
        if (known != keysByName.end()) known->second = std::move(keys);
    }
    for (const auto& [name, keys] : keysByName) {
        if (!driver.replaceTrackKeys(name, keys.data(), keys.size(), error)) return false;
    }
    return true;
}

}  // namespace live
