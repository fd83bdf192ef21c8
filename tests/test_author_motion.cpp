// Seeking the branches: restoring the nearest snapshot and stepping on gives exactly the
// state of a run from the start, also after the bunch's path changed part-way.
#include "BunchPath.h"
#include "MotionSnapshots.h"

#include "cpp/Random.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

synctrack::Timeline timelineWith(float lateX) {
    synctrack::Timeline timeline;
    std::string error;
    const std::string text = "[bunchpos.x]\n0 0 smooth\n4:0 1.5 smooth\n10:0 " + std::to_string(lateX) +
                             " linear\n\n[bunchpos.y]\n0 2 linear\n12:0 3 step\n";
    EXPECT_TRUE(synctrack::parseTimeline(text, "test.timeline", &timeline, &error)) << error;
    return timeline;
}

std::unique_ptr<Tree> freshTree() {
    setDemoRandState(1);
    return std::make_unique<Tree>(glm::dvec3(0.0), MeshUpload::CpuOnly);
}

TreeState straightRun(const BunchPath& path, double seconds) {
    auto tree = freshTree();
    BranchMotion motion(*tree);
    motion.setCatchUpLimit(0);
    motion.advanceTo(seconds, [&](double t) { return path.at(t); });
    TreeState state;
    tree->saveState(&state);
    return state;
}

TreeState seekTo(MotionSnapshots& snapshots, Tree& tree, BranchMotion& motion, const BunchPath& path,
                 double seconds) {
    snapshots.restoreBefore(motion, seconds);
    motion.advanceTo(seconds, [&](double t) { return path.at(t); });
    TreeState state;
    tree.saveState(&state);
    return state;
}

}  // namespace

TEST(AuthorMotion, SeeksAnywhereInAnyOrderMatchARunFromTheStart) {
    const BunchPath path(timelineWith(-2.0f));
    MotionSnapshots snapshots(freshTree(), path, 30.0);
    snapshots.waitUntilComplete();
    EXPECT_EQ(snapshots.totalSeconds(), 31);

    auto tree = freshTree();
    BranchMotion motion(*tree);
    motion.setCatchUpLimit(0);
    for (double seconds : {12.5, 3.0, 29.99, 0.0, 12.6, 7.25, 30.0}) {
        const TreeState sought = seekTo(snapshots, *tree, motion, path, seconds);
        EXPECT_EQ(sought.particles, straightRun(path, seconds).particles) << seconds;
        EXPECT_EQ(sought.radii, straightRun(path, seconds).radii) << seconds;
    }
}

TEST(AuthorMotion, APathChangedLateKeepsEarlierSnapshotsAndRecomputesTheRest) {
    const BunchPath before(timelineWith(-2.0f));
    const BunchPath after(timelineWith(4.0f));
    const int64_t changed = before.firstDifference(after, BranchMotion::stepAt(30.0));
    // The change shows from the key before 10:0 (4:0, bar 4 = 8 s) on, never earlier.
    ASSERT_GT(changed, BranchMotion::stepAt(8.0));
    ASSERT_LE(changed, BranchMotion::stepAt(20.0));
    EXPECT_EQ(before.firstDifference(BunchPath(timelineWith(-2.0f)), 1800), -1);

    MotionSnapshots snapshots(freshTree(), before, 30.0);
    snapshots.waitUntilComplete();
    snapshots.changePath(after, changed);
    EXPECT_LE(snapshots.readySeconds(), 9);
    snapshots.waitUntilComplete();

    auto tree = freshTree();
    BranchMotion motion(*tree);
    motion.setCatchUpLimit(0);
    for (double seconds : {25.0, 5.5, 18.0}) {
        EXPECT_EQ(seekTo(snapshots, *tree, motion, after, seconds).particles, straightRun(after, seconds).particles)
            << seconds;
    }
}
