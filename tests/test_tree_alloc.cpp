// The per-frame work of the tree must not touch the heap: every operator new made
// while a frame runs is counted.
#include "GlTestContext.h"
#include "cpp/Random.h"
#include "cpp/Tree.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <new>
#include <vector>

namespace {
bool g_counting = false;
long g_allocations = 0;
}  // namespace

// These replace the global pair, so malloc and free are the matching functions here.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
    if (g_counting) ++g_allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
#pragma GCC diagnostic pop

namespace {

long allocationsDuringFrames(Tree& tree, int frames) {
    g_allocations = 0;
    g_counting = true;
    for (int frame = 0; frame < frames; ++frame) {
        const double time = frame / 60.0;
        tree.moveRoot(glm::vec3(std::sin(time), 0.5f, 0.0f));
        tree.update(time);
    }
    g_counting = false;
    return g_allocations;
}

TEST(TreeAllocations, CounterSeesAllocations) {
    g_allocations = 0;
    g_counting = true;
    std::vector<int>* probe = new std::vector<int>(10);
    g_counting = false;
    delete probe;
    EXPECT_GT(g_allocations, 0);
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
