// Advances the branches by film time rather than by drawn frame.
//
// The branches' physics takes fixed steps of 1/60 s of film time: step k belongs to
// time k/60 and reads the wind and the bunch position at that time. A frame at film
// time T brings the simulation to step floor(T * 60), however many frames came before
// and at whatever rate, so the branches are where a steady 60 Hz film has them at T.
// Only the last step of a frame rebuilds the tube meshes: the mesh depends on nothing
// but the particles and the radii of that step.
//
// A frame never takes more than `catchUpLimit` steps: after a longer stall (a window
// dragged, a machine resumed) the simulation jumps ahead and simulates only the last
// `catchUpLimit` steps before T. Tools that must depend on T alone set the limit to 0
// (no bound). Time that runs backwards does not step; it is the caller's to restore.
#pragma once

#include "cpp/Tree.h"

#include <glm/vec3.hpp>

#include <cmath>
#include <cstdint>

class BranchMotion {
public:
    static constexpr int kStepsPerSecond = 60;
    // One second of film: 60 steps cost a few milliseconds of CPU, less than any frame on
    // software GL, so real frame rates never reach it; longer stalls are not worth replaying.
    static constexpr int64_t kDefaultCatchUpLimit = kStepsPerSecond;

    explicit BranchMotion(Tree& tree) : _tree(tree) {}

    // The last step at or before `seconds` (a hair below a step's time counts as on it,
    // so T = from + k / fps lands on the step that its decimal value names).
    static int64_t stepAt(double seconds) {
        if (!(seconds > 0.0)) return 0;
        return static_cast<int64_t>(std::floor(seconds * kStepsPerSecond + 1e-6));
    }
    static double stepTime(int64_t step) { return static_cast<double>(step) / kStepsPerSecond; }

    // Steps the tree to stepAt(seconds). `bunchAt(time)` gives the bunch offset at a step's time.
    template <class BunchAt>
    int64_t advanceTo(double seconds, BunchAt&& bunchAt);

    void setCatchUpLimit(int64_t steps) { _catchUpLimit = steps; }
    int64_t catchUpLimit() const { return _catchUpLimit; }

    int64_t currentStep() const { return _step; }

    // The motion at its current step; restoring one goes back (or forward) to it, so a
    // seek only steps from the nearest snapshot instead of from the start.
    struct Snapshot {
        int64_t step = 0;
        TreeState tree;
    };
    void save(Snapshot* snapshot) const {
        snapshot->step = _step;
        _tree.saveState(&snapshot->tree);
    }
    void restore(const Snapshot& snapshot) {
        _tree.restoreState(snapshot.tree);
        _step = snapshot.step;
    }

private:
    void takeStep(int64_t step, const glm::vec3& bunch, bool remesh);

    Tree& _tree;
    int64_t _step = 0;
    int64_t _catchUpLimit = kDefaultCatchUpLimit;
};

template <class BunchAt>
int64_t BranchMotion::advanceTo(double seconds, BunchAt&& bunchAt) {
    const int64_t target = stepAt(seconds);
    if (target <= _step) return 0;
    if (_catchUpLimit > 0 && target - _step > _catchUpLimit) _step = target - _catchUpLimit;
    const int64_t taken = target - _step;
    while (_step < target) {
        ++_step;
        takeStep(_step, bunchAt(stepTime(_step)), _step == target);
    }
    return taken;
}
