// The per-frame work of the tree must not touch the heap: every operator new made
// while a frame runs is counted.
#include "AllocationCounter.h"
#include "GlTestContext.h"
#include "cpp/Random.h"
#include "cpp/Tree.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

using hvtest::allocationsCounted;
using hvtest::countingAllocations;

namespace {

long allocationsDuringFrames(Tree& tree, int frames) {
    allocationsCounted = 0;
    countingAllocations = true;
    for (int frame = 0; frame < frames; ++frame) {
        const double time = frame / 60.0;
        tree.moveRoot(glm::vec3(std::sin(time), 0.5f, 0.0f));
        tree.update(time);
    }
    countingAllocations = false;
    return allocationsCounted;
}

TEST(TreeAllocations, CounterSeesAllocations) {
    allocationsCounted = 0;
    countingAllocations = true;
    std::vector<int>* probe = new std::vector<int>(10);
    countingAllocations = false;
    delete probe;
    EXPECT_GT(allocationsCounted, 0);
}

TEST(TreeAllocations, SimulationAndMeshRebuildAllocateNothing) {
    Tree tree(glm::dvec3(0.0), MeshUpload::CpuOnly);
    EXPECT_EQ(allocationsDuringFrames(tree, 100), 0);
}

class TreeAllocationsGl : public hvtest::GlTest {};

TEST_F(TreeAllocationsGl, UploadingFramesAllocatesNothingOnOurSide) {
    Tree tree(glm::dvec3(0.0));
    EXPECT_EQ(allocationsDuringFrames(tree, 20), 0);
    expectNoGlError();
}

}  // namespace
