// Particles and distance constraints: the Verlet step, explicit moves and the
// one-sided distance correction the branch chains rely on.
#include "cpp/DistanceConstraint.h"
#include "cpp/Particle.h"

#include "Portable.h"

#include <glm/glm.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

void expectVecEq(const glm::dvec3& actual, const glm::dvec3& expected) {
    EXPECT_EQ(actual.x, expected.x);
    EXPECT_EQ(actual.y, expected.y);
    EXPECT_EQ(actual.z, expected.z);
}

TEST(Particle, StartsMovableAtRestWithUnitMass) {
    Particle p(glm::dvec3(1, 2, 3));
    EXPECT_TRUE(p.isMovable());
    EXPECT_EQ(p.mass(), 1.0);
    expectVecEq(p.position(), {1, 2, 3});
    expectVecEq(p.oldPosition(), {1, 2, 3});
    expectVecEq(p.acceleration(), {0, 0, 0});
}

TEST(Particle, VerletStepMovesByTheAccelerationThenKeepsTwoPercentOfIt) {
    Particle p(glm::dvec3(1, 2, 3));
    p.step();
    expectVecEq(p.position(), {1, 2, 3});

    const glm::dvec3 a(0.5, -0.25, 0.125);
    p.addForce(a);
    p.step();
    expectVecEq(p.position(), glm::dvec3(1, 2, 3) + a);
    expectVecEq(p.oldPosition(), {1, 2, 3});
    expectVecEq(p.acceleration(), {0, 0, 0});

    p.step();
    const glm::dvec3 expected = a * 0.019999980926513671875 + (glm::dvec3(1, 2, 3) + a);
    expectVecEq(p.position(), expected);
    // The damping is 1 - 0.98 in single precision, which is not 0.02.
    EXPECT_NE(p.position().x, (a * 0.02 + (glm::dvec3(1, 2, 3) + a)).x);
}

TEST(Particle, ForcesAccumulateUntilTheNextStep) {
    Particle p(glm::dvec3(0));
    p.addForce(glm::dvec3(0.25, 0, 0));
    p.addForce(glm::dvec3(0.25, 0.5, 0));
    expectVecEq(p.acceleration(), {0.5, 0.5, 0});
    p.step();
    expectVecEq(p.position(), {0.5, 0.5, 0});
}

TEST(Particle, FixedParticleIgnoresForcesStepsAndMoves) {
    Particle p(glm::dvec3(1, 1, 1));
    p.addForce(glm::dvec3(0.5, 0, 0));
    p.setMovable(false);
    EXPECT_FALSE(p.isMovable());
    p.addForce(glm::dvec3(7, 7, 7));
    p.step();
    expectVecEq(p.position(), {1, 1, 1});
    expectVecEq(p.oldPosition(), {1, 1, 1});
    // The pending acceleration is kept, not cleared.
    expectVecEq(p.acceleration(), {0.5, 0, 0});
    p.moveTo(glm::dvec3(5, 5, 5));
    expectVecEq(p.position(), {1, 1, 1});
    expectVecEq(p.oldPosition(), {1, 1, 1});
}

TEST(Particle, MoveToRemembersThePreviousPosition) {
    Particle p(glm::dvec3(1, 1, 1));
    p.addForce(glm::dvec3(1, 0, 0));
    p.step();  // now at (2, 1, 1), old (1, 1, 1)
    p.moveTo(glm::dvec3(4, 5, 6));
    expectVecEq(p.position(), {4, 5, 6});
    expectVecEq(p.oldPosition(), {2, 1, 1});
}

using ParticleDeathTest = ::testing::Test;

TEST_F(ParticleDeathTest, NaNPositionsAreInternalErrors) {
    EXPECT_DEATH(
        {
            Particle p(glm::dvec3(0));
            p.moveTo(glm::dvec3(0, kNaN, 0));
        },
        "Expression: newPos == newPos\nFile: source\\\\cpp\\\\Tree\nLine: " HV_REGEX_DIGIT "+");
    EXPECT_DEATH(
        {
            Particle p(glm::dvec3(kNaN, 0, 0));
            p.step();
        },
        "Expression: _curPos == _curPos\nFile: source\\\\cpp\\\\Tree");
    // A NaN force is caught after the step, before it spreads through the chain.
    EXPECT_DEATH(
        {
            Particle p(glm::dvec3(0));
            p.addForce(glm::dvec3(0, 0, kNaN));
            p.step();
        },
        "Expression: _curPos == _curPos\nFile: source\\\\cpp\\\\Tree");
}

TEST(DistanceConstraint, MeasuresItsRestLengthAtConstruction) {
    Particle a(glm::dvec3(0, 0, 0)), b(glm::dvec3(0, 0.3, 0.4));
    DistanceConstraint c(&a, &b);
    EXPECT_DOUBLE_EQ(c.restLength(), 0.5);
}

TEST(DistanceConstraint, MovesOnlyTheOuterParticleBackToRestLength) {
    Particle a(glm::dvec3(1, 1, 1)), b(glm::dvec3(1, 1, 1.5));
    DistanceConstraint c(&a, &b);
    b.moveTo(glm::dvec3(1.3, 1.4, 2.2));
    const glm::dvec3 oldB = b.oldPosition();
    c.satisfy();
    expectVecEq(a.position(), {1, 1, 1});  // p1 is movable and still untouched
    EXPECT_NEAR(glm::length(b.position() - a.position()), 0.5, 1e-15);
    // Along the stretched direction, and the old position is left alone.
    const glm::dvec3 direction = glm::normalize(glm::dvec3(0.3, 0.4, 1.2));
    EXPECT_NEAR(glm::length(glm::normalize(b.position() - a.position()) - direction), 0.0, 1e-15);
    expectVecEq(b.oldPosition(), oldB);
}

TEST(DistanceConstraint, SkipsDegenerateAndFixedLinks) {
    Particle a(glm::dvec3(0)), b(glm::dvec3(0, 0, 0.05));
    DistanceConstraint c(&a, &b);

    b.moveTo(glm::dvec3(0, 0, 1e-7));
    c.satisfy();
    expectVecEq(b.position(), {0, 0, 1e-7});

    Particle lost(glm::dvec3(0, 0, kNaN));
    DistanceConstraint nanLink(&a, &lost);
    nanLink.satisfy();  // a NaN length is skipped: the constraint does not spread it
    EXPECT_TRUE(std::isnan(lost.position().z));
    EXPECT_EQ(lost.position().x, 0.0);

    b.moveTo(glm::dvec3(0, 0, 2));
    b.setMovable(false);
    c.satisfy();
    expectVecEq(b.position(), {0, 0, 2});
}

TEST(DistanceConstraint, OneRootToTipPassRestoresAWholeChain) {
    // Three points first, then a long zig-zag chain disturbed in every link.
    for (size_t count : {size_t(3), size_t(65)}) {
        std::vector<std::unique_ptr<Particle>> chain;
        for (size_t i = 0; i < count; ++i)
            chain.push_back(std::make_unique<Particle>(glm::dvec3(0, 0, 0.05 * i)));
        chain[0]->setMovable(false);
        std::vector<DistanceConstraint> links;
        for (size_t i = 0; i + 1 < count; ++i) links.emplace_back(chain[i].get(), chain[i + 1].get());
        for (size_t i = 1; i < count; ++i) {
            const double wobble = (i % 2 ? 0.03 : -0.02) * static_cast<double>(i % 5 + 1);
            chain[i]->moveTo(chain[i]->position() + glm::dvec3(wobble, -wobble * 0.5, wobble * 0.25));
        }
        for (DistanceConstraint& link : links) link.satisfy();
        for (size_t i = 0; i + 1 < count; ++i) {
            EXPECT_NEAR(glm::length(chain[i + 1]->position() - chain[i]->position()), 0.05, 1e-15) << i;
        }
        expectVecEq(chain[0]->position(), {0, 0, 0});
    }
}

}  // namespace
