#include "cpp/BranchMotion.h"

#include "cpp/Tree.h"

void BranchMotion::takeStep(int64_t step, const glm::vec3& bunch, bool remesh) {
    _tree.moveRoot(bunch);
    _tree.simulate(stepTime(step));
    if (remesh) _tree.remesh();
}
