// The tree: branch layout, the wind table drawn from the shared generator, the wind
// lookup per branch, root moves and the per-frame radius profile.
#include "cpp/DistanceConstraint.h"
#include "cpp/Random.h"
#include "cpp/Tree.h"

#include <glm/glm.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

const double kPi = 3.14159265358979323846;

// Builds a simulation-only tree from a fresh generator, as at program start.
Tree freshTree() {
    setDemoRandState(1);
    return Tree(glm::dvec3(0.0), MeshUpload::CpuOnly);
}

TEST(TreeWind, TableIsTheGeneratorsFirst1536Draws) {
    setDemoRandState(1);
    const int first[] = {41, 18467, 6334, 26500, 19169, 15724};
    for (int value : first) EXPECT_EQ(demoRand(), value);
    setDemoRandState(1);
    for (int i = 0; i < 1536; ++i) demoRand();
    const uint32_t stateAfterTable = demoRandState();

    Tree tree = freshTree();
    EXPECT_EQ(demoRandState(), stateAfterTable);  // the next user starts right after the table
    ASSERT_EQ(tree.wind().size(), 512u);
    EXPECT_EQ(tree.windSamples(), 512u);
    EXPECT_EQ(tree.timeSpan(), 70.0);

    const glm::dvec3 w0 = tree.wind()[0], w1 = tree.wind()[1];
    EXPECT_NEAR(w0.x, -0.6133915219580676, 1e-15);
    EXPECT_NEAR(w0.y, 0.12717062898648024, 1e-15);
    EXPECT_NEAR(w0.z, -0.9974974822229682, 1e-15);
    EXPECT_NEAR(w1.x, -0.04025391399884026, 1e-15);
    EXPECT_NEAR(w1.y, 0.1700186162907804, 1e-15);
    EXPECT_NEAR(w1.z, 0.6174810022278512, 1e-15);
    for (const glm::dvec3& w : tree.wind()) {
        for (int c = 0; c < 3; ++c) {
            EXPECT_GE(w[c], -1.0);
            EXPECT_LE(w[c], 1.0);
        }
    }
}

TEST(TreeLayout, EightBranchesFromSinglePrecisionAngles) {
    const glm::dvec3 expected[] = {{0, 0, 1},
                                   {0.653281494, 0.270598063, 0.707106766},
                                   {0.707106766, 0.707106797, -0.000000044},
                                   {},
                                   {0, -0.000000087, -1}};
    for (size_t i : {0u, 1u, 2u, 4u}) {
        const glm::dvec3 d = Tree::branchDirection(i);
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(d[c], expected[i][c], 1e-9) << "branch " << i << " axis " << c;
    }
    for (size_t i = 0; i < Tree::kBranchCount; ++i)
        EXPECT_NEAR(glm::length(Tree::branchDirection(i)), 1.0, 1e-15);
}

TEST(TreeLayout, ChainsAreLaidOutFromTheOriginWithRestLengthsOfFiveCentimetres) {
    Tree tree(glm::dvec3(1, 2, 3), MeshUpload::CpuOnly);
    ASSERT_EQ(tree.branches().size(), 8u);
    for (size_t k = 0; k < tree.branches().size(); ++k) {
        const Branch& branch = tree.branches()[k];
        const glm::dvec3 direction = Tree::branchDirection(k);
        EXPECT_EQ(branch.start(), glm::dvec3(1, 2, 3) + 0.25 * direction);
        ASSERT_EQ(branch.particles().size(), 65u);
        ASSERT_EQ(branch.constraints().size(), 64u);
        ASSERT_EQ(branch.radii().size(), 65u);
        EXPECT_FALSE(branch.particles()[0]->isMovable());
        for (size_t i = 0; i < 65; ++i) {
            const glm::dvec3 expected = static_cast<double>(i) * direction * 0.05;
            EXPECT_NEAR(glm::length(branch.particles()[i]->position() - expected), 0.0, 1e-15);
            if (i > 0) {
                EXPECT_TRUE(branch.particles()[i]->isMovable());
            }
            EXPECT_EQ(branch.radii()[i], 0.0);
        }
        for (const auto& constraint : branch.constraints()) {
            auto* link = dynamic_cast<DistanceConstraint*>(constraint.get());
            ASSERT_NE(link, nullptr);
            EXPECT_NEAR(link->restLength(), 0.05, 1e-15);
        }
        EXPECT_EQ(branch.force(), glm::vec3(0.0f));
    }
}

TEST(TreeWind, EachBranchReadsTheTableOneSecondLaterAndItRepeatsEverySeventySeconds) {
    Tree tree = freshTree();
    EXPECT_EQ(tree.windFor(0, 0.0), glm::vec3(tree.wind()[0]) * 0.01f);
    for (size_t k = 0; k < 8; ++k) {
        const double phase = k / 70.0 * 512.0;
        const size_t i0 = static_cast<size_t>(phase);
        const double w = phase - std::floor(phase);
        const glm::vec3 expected = glm::vec3((1 - w) * tree.wind()[i0] + w * tree.wind()[i0 + 1]) * 0.01f;
        const glm::vec3 actual = tree.windFor(k, 0.0);
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(actual[c], expected[c], 1e-9) << k;
        EXPECT_EQ(tree.windFor(k, 70.0), actual) << k;
        EXPECT_EQ(tree.windFor(k, 140.0), actual) << k;
    }
    // The last entry interpolates towards the first.
    const double t = 511.5 / 512.0 * 70.0;
    const glm::vec3 wrapped = tree.windFor(0, t);
    const glm::vec3 expected = glm::vec3(0.5 * tree.wind()[511] + 0.5 * tree.wind()[0]) * 0.01f;
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(wrapped[c], expected[c], 1e-9);
}

TEST(TreeWind, PhaseStaysInsideTheTableForAnyTime) {
    for (double time : {-1e-20, -1e-300, -3.5, -70.0, -1234.567, 69.999999999999, 1e9, -1e9}) {
        const double phase = Tree::windPhase(time, 70.0, 512);
        EXPECT_GE(phase, 0.0) << time;
        EXPECT_LT(phase, 512.0) << time;
    }
    EXPECT_DOUBLE_EQ(Tree::windPhase(-3.5, 70.0, 512), 66.5 / 70.0 * 512.0);
    // Just below zero rounds to a full turn, which is the table's start again.
    EXPECT_EQ(Tree::windPhase(-1e-20, 70.0, 512), 0.0);
    EXPECT_EQ(Tree::windPhase(std::numeric_limits<double>::quiet_NaN(), 70.0, 512), 0.0);
    EXPECT_EQ(Tree::windPhase(std::numeric_limits<double>::infinity(), 70.0, 512), 0.0);

    Tree tree = freshTree();
    EXPECT_EQ(tree.windFor(0, -1e-20), glm::vec3(tree.wind()[0]) * 0.01f);
}

TEST(TreeUpdate, FirstUpdateSmoothsInTheBranchesOwnWindAndTheUnshiftedTimeDrivesTheRadii) {
    Tree atZero = freshTree();
    Tree atSeventy = freshTree();
    atZero.update(0.0);
    atSeventy.update(70.0);
    for (size_t k = 0; k < 8; ++k) {
        EXPECT_EQ(atZero.branches()[k].force(), atZero.windFor(k, 0.0)) << k;
        EXPECT_EQ(atSeventy.branches()[k].force(), atZero.branches()[k].force()) << k;
        // Time 0 for every branch: the pulse is nowhere above its floor.
        const std::vector<double>& radii = atZero.branches()[k].radii();
        for (size_t i = 0; i < 65; ++i) EXPECT_NEAR(radii[i], 0.045 * std::sin(i * kPi / 65.0), 1e-17) << i;
        EXPECT_EQ(radii[0], 0.0);
    }
    const glm::vec3 first = atZero.branches()[0].force();
    atZero.update(0.0);
    EXPECT_EQ(atZero.branches()[0].force(), first * 0.75f + atZero.windFor(0, 0.0));
}

TEST(TreeUpdate, RadiusPulseTravelsFromRootToTipBetweenFloorAndPeak) {
    Tree tree = freshTree();
    double previousPeakIndex = -1;
    // The pulse's crest sits where time * 1.5 - i / 32.5 = pi / 2.
    for (double time : {1.2, 1.5, 2.0}) {
        tree.update(time);
        const std::vector<double>& radii = tree.branches()[3].radii();
        EXPECT_EQ(radii[0], 0.0);
        size_t peak = 0;
        for (size_t i = 1; i < 65; ++i) {
            const double envelope = std::sin(i * kPi / 65.0);
            EXPECT_GE(radii[i], 0.045 * envelope - 1e-15);
            EXPECT_LE(radii[i], 0.3 * envelope + 1e-15);
            if (radii[i] / envelope > radii[peak] / std::max(std::sin(peak * kPi / 65.0), 1e-300)) peak = i;
        }
        for (size_t i = 0; i < 65; ++i) {
            const double c = std::pow(std::sin(time * 1.5 - i / 32.5), 15.0);
            EXPECT_EQ(radii[i], (c > 0.15 ? c : 0.15) * 0.3 * std::sin(i * kPi / 65)) << i;
        }
        EXPECT_GT(static_cast<double>(peak), previousPeakIndex);
        previousPeakIndex = static_cast<double>(peak);
        const double crest = (time * 1.5 - kPi / 2) * 32.5;
        EXPECT_NEAR(static_cast<double>(peak), crest, 1.0);
    }
}

TEST(TreeUpdate, TreeFrameMatchesUpdatingEachBranchOnItsOwn) {
    Tree tree = freshTree();
    std::vector<Branch> alone;
    for (size_t k = 0; k < 8; ++k) {
        const glm::dvec3 direction = Tree::branchDirection(k);
        alone.emplace_back(0.25 * direction, direction, glm::vec3(0.0f), 0.05, MeshUpload::CpuOnly);
    }
    for (int frame = 0; frame < 30; ++frame) {
        const double time = 3.0 + frame / 60.0;
        const glm::vec3 offset(std::sin(time), 0.5f * std::cos(2 * time), 0.25f);
        tree.moveRoot(offset);
        tree.update(time);
        for (size_t k = 0; k < 8; ++k) {
            Particle& root = *alone[k].particles()[0];
            root.setMovable(true);
            root.moveTo(glm::dvec3(offset) + alone[k].start());
            root.setMovable(false);
            alone[k].update(tree.windFor(k, time), time);
        }
    }
    for (size_t k = 0; k < 8; ++k) {
        for (size_t i = 0; i < 65; ++i) {
            ASSERT_EQ(tree.branches()[k].particles()[i]->position(), alone[k].particles()[i]->position())
                << k << " " << i;
        }
        EXPECT_EQ(tree.branches()[k].radii(), alone[k].radii()) << k;
    }
}

// Chains relaxed side by side end bit for bit where satisfying each link in turn puts
// them: for fewer and for more chains than are relaxed at once, with a pinned particle
// inside a chain and a link shrunk to nothing.
TEST(TreeUpdate, RelaxingChainsTogetherMatchesSatisfyingEachLinkInTurn) {
    for (size_t count : {3u, 11u}) {
        std::vector<Branch> together, alone;
        for (size_t k = 0; k < count; ++k) {
            const glm::dvec3 direction = Tree::branchDirection(k % 8);
            for (auto* set : {&together, &alone})
                set->emplace_back(0.25 * direction, direction, glm::vec3(0.0f), 0.05, MeshUpload::CpuOnly);
        }
        setDemoRandState(5);
        for (size_t k = 0; k < count; ++k) {
            for (size_t i = 1; i < 65; ++i) {
                const glm::dvec3 shake(demoRand() / 32767.0 - 0.5, demoRand() / 32767.0 - 0.5,
                                       demoRand() / 32767.0 - 0.5);
                for (auto* set : {&together, &alone}) {
                    Particle& p = *(*set)[k].particles()[i];
                    const glm::dvec3 moved = i == 20 && k == 1 ? (*set)[k].particles()[19]->position()
                                                               : p.position() + 0.02 * shake;
                    p.restore(moved, p.oldPosition(), p.acceleration());
                    if (i == 40 && k == 2) p.setMovable(false);
                }
            }
        }
        Branch::relaxTogether(together.data(), together.size());
        for (Branch& branch : alone) {
            for (int pass = 0; pass < 10; ++pass) {
                for (const auto& link : branch.constraints()) link->satisfy();
            }
        }
        for (size_t k = 0; k < count; ++k) {
            for (size_t i = 0; i < 65; ++i) {
                ASSERT_EQ(together[k].particles()[i]->position(), alone[k].particles()[i]->position())
                    << count << " " << k << " " << i;
            }
        }
    }
}

TEST(TreeUpdate, CalmBranchStaysWhereItWasBuilt) {
    Branch branch(glm::dvec3(0), glm::dvec3(0, 0, 1), glm::vec3(0.0f), 0.05, MeshUpload::CpuOnly);
    std::vector<glm::dvec3> before;
    for (const auto& p : branch.particles()) before.push_back(p->position());
    branch.update(glm::vec3(0.0f), 0.0);
    for (size_t i = 0; i < before.size(); ++i) EXPECT_EQ(branch.particles()[i]->position(), before[i]) << i;
}

TEST(TreeUpdate, MoveRootPlacesEachFixedRootAtItsAnchor) {
    Tree tree = freshTree();
    tree.moveRoot(glm::vec3(1, 2, 3));
    for (size_t k = 0; k < 8; ++k) {
        const Particle& root = *tree.branches()[k].particles()[0];
        EXPECT_EQ(root.position(), glm::dvec3(1, 2, 3) + 0.25 * Tree::branchDirection(k));
        EXPECT_EQ(root.oldPosition(), glm::dvec3(0.0));
        EXPECT_FALSE(root.isMovable());
    }
    // The chain follows on the next update: one relaxation pass puts every link back.
    tree.update(0.0);
    const Branch& branch = tree.branches()[5];
    for (const auto& c : branch.constraints()) c->satisfy();
    for (size_t i = 0; i + 1 < 65; ++i) {
        EXPECT_NEAR(glm::length(branch.particles()[i + 1]->position() - branch.particles()[i]->position()),
                    0.05, 1e-12);
    }
}

using TreeDeathTest = ::testing::Test;

TEST_F(TreeDeathTest, NaNRootOffsetIsAnInternalError) {
    EXPECT_DEATH(
        {
            Tree tree = freshTree();
            tree.moveRoot(glm::vec3(0, std::numeric_limits<float>::quiet_NaN(), 0));
        },
        "Expression: newPos == newPos\nFile: source\\\\cpp\\\\Tree");
}

}  // namespace
