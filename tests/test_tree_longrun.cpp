// A film-length run of the bunch: wind and a root dragged along smooth paths for
// 10,000 frames at 60 fps must never trip an invariant and must keep the chains intact.
#include "cpp/Random.h"
#include "cpp/Tree.h"

#include <glm/glm.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

glm::vec3 rootPath(double t) {
    return glm::vec3(static_cast<float>(3.0 * std::sin(0.7 * t)),
                     static_cast<float>(2.0 * std::sin(0.43 * t + 1.0)),
                     static_cast<float>(2.5 * std::sin(0.31 * t) + 0.5 * std::sin(2.1 * t)));
}

TEST(TreeLongRun, TenThousandFramesKeepEveryLinkNearItsRestLength) {
    setDemoRandState(1);
    Tree tree(glm::dvec3(0.0), MeshUpload::CpuOnly);
    double worstInnerLink = 0.0;  // links 1 to 63: both ends integrated alike
    double worstRootLink = 0.0;   // link 0: only its outer end takes the step
    for (int frame = 0; frame < 10000; ++frame) {
        const double time = frame / 60.0;
        tree.moveRoot(rootPath(time));
        tree.update(time);
        for (const Branch& branch : tree.branches()) {
            const auto& particles = branch.particles();
            for (size_t i = 0; i + 1 < particles.size(); ++i) {
                const double length = glm::length(particles[i + 1]->position() - particles[i]->position());
                const double deviation = std::abs(length / 0.05 - 1.0);
                ASSERT_TRUE(std::isfinite(length)) << frame;
                (i == 0 ? worstRootLink : worstInnerLink) =
                    std::max(i == 0 ? worstRootLink : worstInnerLink, deviation);
            }
        }
    }
    RecordProperty("worst_inner_link_deviation", std::to_string(worstInnerLink));
    RecordProperty("worst_root_link_deviation", std::to_string(worstRootLink));
    std::printf("worst link deviation: inner %.4f, root %.4f\n", worstInnerLink, worstRootLink);
    EXPECT_LT(worstInnerLink, 0.05);
    // The root link carries one whole step of the smoothed wind (at most 4 * 0.01 * sqrt(3)).
    EXPECT_LT(worstRootLink * 0.05, 4 * 0.01 * std::sqrt(3.0) + 0.05 * 0.05);
}

}  // namespace
