// Where the bunch of branches is anchored at any film time: a copy of the keys of the
// three "bunchpos" tracks, evaluated exactly as the driver evaluates its tracks, so a
// simulation that reads it moves like the film's branches. Being a copy, it can be read
// on another thread while the tracks themselves are replaced.
#pragma once

#include "Timeline.h"

extern "C" {
#include "sync/sync.h"
}

#include <glm/vec3.hpp>

#include <array>
#include <cstdint>
#include <vector>

class BunchPath {
public:
    BunchPath() = default;
    // Tracks the timeline lacks stay at 0, as the driver has them.
    explicit BunchPath(const synctrack::Timeline& timeline);

    glm::vec3 at(double seconds) const;

    // The first branch step (1/60 s) in 1..lastStep at which the two paths differ, or -1.
    int64_t firstDifference(const BunchPath& other, int64_t lastStep) const;

private:
    std::array<std::vector<sync_key>, 3> _keys;
};
