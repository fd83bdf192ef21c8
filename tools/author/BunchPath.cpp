#include "BunchPath.h"

#include "cpp/BranchMotion.h"
#include "cpp/Music.h"

namespace {
const char* const kNames[3] = {"bunchpos.x", "bunchpos.y", "bunchpos.z"};

double valueOf(const std::vector<sync_key>& keys, double seconds) {
    sync_track track{nullptr, const_cast<sync_key*>(keys.data()), keys.size()};
    return sync_track_value(&track, seconds * kRowsPerSecond);
}

bool sameKeys(const std::vector<sync_key>& a, const std::vector<sync_key>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].row != b[i].row || a[i].value != b[i].value || a[i].type != b[i].type) return false;
    return true;
}
}  // namespace

BunchPath::BunchPath(const synctrack::Timeline& timeline) {
    for (const synctrack::TimelineTrack& track : timeline.tracks) {
        for (int axis = 0; axis < 3; ++axis) {
            if (track.name != kNames[axis]) continue;
            for (const synctrack::TimelineKey& key : track.keys)
                _keys[axis].push_back(sync_key{key.row, key.value, key.type});
        }
    }
}

glm::vec3 BunchPath::at(double seconds) const {
    return glm::vec3(static_cast<float>(valueOf(_keys[0], seconds)), static_cast<float>(valueOf(_keys[1], seconds)),
                     static_cast<float>(valueOf(_keys[2], seconds)));
}

int64_t BunchPath::firstDifference(const BunchPath& other, int64_t lastStep) const {
    bool same = true;
    for (int axis = 0; axis < 3; ++axis) same = same && sameKeys(_keys[axis], other._keys[axis]);
    if (same) return -1;
    for (int64_t step = 1; step <= lastStep; ++step) {
        const double time = BranchMotion::stepTime(step);
        if (at(time) != other.at(time)) return step;
    }
    return -1;
}
