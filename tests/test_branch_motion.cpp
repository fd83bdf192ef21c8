// The branches move by film time: whatever the frame rate, the state at a time is
// the state a steady 60 Hz film reaches there.
#include "cpp/BranchMotion.h"
#include "cpp/Random.h"
#include "cpp/Tree.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

namespace {

// A bunch that moves, so each step must read its own time's position.
glm::vec3 bunchAt(double t) {
    return glm::vec3(static_cast<float>(std::sin(t)), 2.0f + static_cast<float>(0.3 * t), 0.0f);
}

std::vector<glm::dvec3> positions(const Tree& tree) {
    std::vector<glm::dvec3> all;
    for (const Branch& branch : tree.branches())
        for (const auto& particle : branch.particles()) all.push_back(particle->position());
    return all;
}

// The film as a steady 60 Hz display has always played it: one update per frame at the frame's time.
std::vector<glm::dvec3> sixtyHertzReference(double seconds) {
    Tree tree(glm::dvec3(0.0), MeshUpload::CpuOnly);
    for (int k = 1; k <= static_cast<int>(seconds * 60); ++k) {
        const double t = k / 60.0;
        tree.moveRoot(bunchAt(t));
        tree.update(t);
    }
    return positions(tree);
}

std::vector<glm::dvec3> drivenBy(const std::vector<double>& frameTimes) {
    Tree tree(glm::dvec3(0.0), MeshUpload::CpuOnly);
    BranchMotion motion(tree);
    for (double t : frameTimes) motion.advanceTo(t, bunchAt);
    return positions(tree);
}

std::vector<double> steadyFrames(double rate, double until) {
    std::vector<double> times;
    for (int i = 1; i / rate <= until + 1e-12; ++i) times.push_back(i / rate);
    return times;
}

}  // namespace

TEST(BranchMotion, StateAtTenSecondsIsTheSixtyHertzStateAtAnyFrameRate) {
    setDemoRandState(1);
    const std::vector<glm::dvec3> reference = sixtyHertzReference(10.0);

    std::vector<double> irregular;
    for (double t = 0.0; t < 10.0;) {
        t += 0.003 + 0.09 * std::fabs(std::sin(t * 37.0));  // 3 ms to 93 ms, jittering
        irregular.push_back(std::min(t, 10.0));
    }
    const std::vector<std::vector<double>> drives = {steadyFrames(30, 10), steadyFrames(60, 10),
                                                     steadyFrames(144, 10), steadyFrames(5, 10), irregular};
    for (size_t i = 0; i < drives.size(); ++i) {
        setDemoRandState(1);
        EXPECT_EQ(drivenBy(drives[i]), reference) << "drive " << i;
    }
}

TEST(BranchMotion, StepsLandOnSixtiethsAndStallsCatchUpOnlyBoundedly) {
    EXPECT_EQ(BranchMotion::stepAt(0.0), 0);
    EXPECT_EQ(BranchMotion::stepAt(-1.0), 0);
    EXPECT_EQ(BranchMotion::stepAt(std::nan("")), 0);
    EXPECT_EQ(BranchMotion::stepAt(20.0), 1200);
    EXPECT_EQ(BranchMotion::stepAt(12.51), 750);
    // A capture frame's time computed as from + k / fps may fall a hair short of the step it names.
    for (int k = 0; k < 600; ++k) EXPECT_EQ(BranchMotion::stepAt(1.5 + k * (1.0 / 60.0)), 90 + k) << k;

    Tree tree(glm::dvec3(0.0), MeshUpload::CpuOnly);
    BranchMotion motion(tree);
    EXPECT_EQ(motion.advanceTo(1.0, bunchAt), 60);
    EXPECT_EQ(motion.advanceTo(1.01, bunchAt), 0);  // same step: nothing moves
    EXPECT_EQ(motion.advanceTo(0.5, bunchAt), 0);   // time running backwards does not step
    EXPECT_EQ(motion.advanceTo(6.0, bunchAt), BranchMotion::kDefaultCatchUpLimit);
    EXPECT_EQ(motion.currentStep(), 360);
    motion.setCatchUpLimit(0);
    EXPECT_EQ(motion.advanceTo(16.0, bunchAt), 600);
}

TEST(BranchMotion, RestoringASnapshotReplaysExactlyWhatFollowedIt) {
    setDemoRandState(1);
    Tree tree(glm::dvec3(0.0), MeshUpload::CpuOnly);
    BranchMotion motion(tree);
    motion.setCatchUpLimit(0);
    motion.advanceTo(3.0, bunchAt);
    BranchMotion::Snapshot atThree;
    motion.save(&atThree);
    motion.advanceTo(7.5, bunchAt);
    const std::vector<glm::dvec3> straight = positions(tree);
    auto meshPositions = [&] {
        return *std::dynamic_pointer_cast<Attribute<glm::vec3>>(tree.branches()[5].mesh()->attribute(0))->elements;
    };
    const std::vector<glm::vec3> mesh = meshPositions();

    motion.advanceTo(12.0, bunchAt);
    motion.restore(atThree);
    EXPECT_EQ(motion.currentStep(), 180);
    motion.advanceTo(7.5, bunchAt);
    EXPECT_EQ(positions(tree), straight);
    EXPECT_EQ(meshPositions(), mesh);
}
