// The branch tube: rings, flat normals, the texture table, tangent frames, and the
// GL upload and drawing of a whole tree.
#include "GlTestContext.h"
#include "cpp/BranchMesh.h"
#include "cpp/Random.h"
#include "cpp/Tree.h"

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

namespace {

constexpr size_t kPoints = 65;
constexpr size_t kFilledVertices = (kPoints - 2) * 24;

template <typename T>
const std::vector<T>& stream(const VertexAttributes& mesh, int location) {
    return *std::dynamic_pointer_cast<Attribute<T>>(mesh.attribute(location))->elements;
}

void expectNear(const glm::vec3& actual, const glm::vec3& expected, float tolerance, const char* what) {
    EXPECT_LE(glm::length(actual - expected), tolerance)
        << what << ": (" << actual.x << ", " << actual.y << ", " << actual.z << ") vs (" << expected.x << ", "
        << expected.y << ", " << expected.z << ")";
}

// A chain of particles along a curve, meshed with given radii.
struct TubeFixture {
    std::vector<std::shared_ptr<Particle>> particles;
    std::vector<double> radii;
    tube::TubeScratch scratch{kPoints};
    const std::vector<glm::vec3>& rings = scratch.rings;
    std::shared_ptr<VertexAttributes> mesh = tube::buildTubeMesh(kPoints);

    template <typename PositionOf>
    TubeFixture(PositionOf positionOf, double radius) : radii(kPoints, radius) {
        for (size_t i = 0; i < kPoints; ++i) particles.push_back(std::make_shared<Particle>(positionOf(i)));
    }
    void rebuild() { tube::rebuildTubeMesh(*mesh, particles, radii, scratch); }
    const glm::dvec3& p(size_t i) const { return particles[i]->position(); }
};

TubeFixture straightAlongZ(double radius) {
    return TubeFixture([](size_t i) { return glm::dvec3(0.25, -0.5, 0.05 * i); }, radius);
}

TEST(TreeMesh, StreamsHaveTheirLayoutAndConstantContentFromTheStart) {
    std::shared_ptr<VertexAttributes> mesh = tube::buildTubeMesh(kPoints);
    EXPECT_EQ(mesh->mode, static_cast<GLenum>(GL_TRIANGLES));
    EXPECT_EQ(mesh->attributeCount, 6);
    const char* types[] = {"vec3", "vec3", "vec4", "vec2", "vec3", "vec3"};
    for (int location = 0; location < 6; ++location) {
        ASSERT_TRUE(mesh->attribute(location)) << location;
        EXPECT_EQ(mesh->attribute(location)->typeName(), types[location]);
        EXPECT_EQ(mesh->attribute(location)->elementCount(), 1536u);
    }
    for (const glm::vec4& colour : stream<glm::vec4>(*mesh, 2)) EXPECT_EQ(colour, glm::vec4(1.0f));
    for (const glm::vec3& position : stream<glm::vec3>(*mesh, 0)) EXPECT_EQ(position, glm::vec3(0.0f));

    const std::vector<glm::vec2>& coords = stream<glm::vec2>(*mesh, 3);
    const glm::vec2 table[8][3] = {{{0, 0}, {1, 0}, {0, 1}}, {{1, 0}, {1, 1}, {0, 1}},
                                   {{1, 1}, {0, 1}, {1, 0}}, {{0, 1}, {0, 0}, {1, 0}},
                                   {{0, 1}, {0, 0}, {1, 0}}, {{0, 1}, {1, 0}, {1, 1}},
                                   {{1, 1}, {0, 1}, {1, 0}}, {{0, 1}, {0, 0}, {1, 0}}};
    for (size_t s = 0; s < kPoints - 1; ++s) {  // the unfilled last segment too
        EXPECT_EQ(coords[s * 24 + 0], glm::vec2(0, 0)) << s;
        EXPECT_EQ(coords[s * 24 + 6], glm::vec2(1, 1)) << s;
        for (int t = 0; t < 8; ++t) {
            for (int k = 0; k < 3; ++k) EXPECT_EQ(coords[s * 24 + t * 3 + k], table[t][k]) << s << " " << t;
        }
    }
}

TEST(TreeMesh, StraightBranchHasSquareRingsAroundItsParticles) {
    const float r = 0.1f;
    TubeFixture tube = straightAlongZ(r);
    tube.rebuild();
    for (size_t i = 1; i <= kPoints - 3; ++i) {
        const glm::vec3 p(tube.p(i));
        expectNear(tube.rings[4 * i + 0], p + glm::vec3(0, r, 0), 1e-6f, "vertex 0");
        expectNear(tube.rings[4 * i + 1], p + glm::vec3(r, 0, 0), 1e-6f, "vertex 1");
        expectNear(tube.rings[4 * i + 2], p + glm::vec3(0, -r, 0), 1e-6f, "vertex 2");
        expectNear(tube.rings[4 * i + 3], p + glm::vec3(-r, 0, 0), 1e-6f, "vertex 3");
    }
    const std::vector<glm::vec3>& positions = stream<glm::vec3>(*tube.mesh, 0);
    // Triangle 0 of segment 1: ring 1 vertex 0, ring 1 vertex 3, ring 2 vertex 0.
    EXPECT_EQ(positions[24], tube.rings[4]);
    EXPECT_EQ(positions[25], tube.rings[7]);
    EXPECT_EQ(positions[26], tube.rings[8]);
}

TEST(TreeMesh, FlatNormalsFaceOutwardsAndTangentsFollowTheTextureU) {
    TubeFixture tube = straightAlongZ(0.1);
    tube.rebuild();
    const std::vector<glm::vec3>& positions = stream<glm::vec3>(*tube.mesh, 0);
    const std::vector<glm::vec3>& normals = stream<glm::vec3>(*tube.mesh, 1);
    const std::vector<glm::vec3>& tangents = stream<glm::vec3>(*tube.mesh, 4);
    const glm::vec3 expectedNormal = glm::normalize(glm::vec3(-1, 1, 0));
    for (int k = 0; k < 3; ++k) expectNear(normals[24 + k], expectedNormal, 1e-6f, "normal of triangle 0");
    expectNear(tangents[24], glm::normalize(positions[25] - positions[24]), 1e-6f, "tangent of triangle 0");
    expectNear(tangents[0], glm::normalize(positions[1] - positions[0]), 1e-6f, "tangent of segment 0");
}

TEST(TreeMesh, EndRingsCollapseOntoRootAndTipWhateverTheRadii) {
    TubeFixture tube([](size_t i) { return glm::dvec3(0.01 * i, 0.02 * std::sin(0.1 * i), 0.05 * i); }, 0.25);
    tube.radii[0] = 0.3;
    tube.radii[kPoints - 2] = 0.3;
    tube.rebuild();
    // 1e-6 plus what storing the vertex in single precision may add at the particle's magnitude.
    const auto tolerance = [](const glm::dvec3& p) { return 1.0e-6 + glm::length(p) * 1.2e-7; };
    for (int j = 0; j < 4; ++j) {
        EXPECT_LE(glm::length(glm::dvec3(tube.rings[j]) - tube.p(0)), tolerance(tube.p(0))) << j;
        const glm::dvec3 tip = tube.p(kPoints - 1);
        EXPECT_LE(glm::length(glm::dvec3(tube.rings[4 * (kPoints - 2) + j]) - tip), tolerance(tip)) << j;
    }
    const std::vector<glm::vec3>& positions = stream<glm::vec3>(*tube.mesh, 0);
    const std::vector<glm::vec3>& normals = stream<glm::vec3>(*tube.mesh, 1);
    for (size_t v = kFilledVertices; v < 1536; ++v) {
        EXPECT_EQ(positions[v], glm::vec3(0.0f)) << v;
        EXPECT_EQ(normals[v], glm::vec3(0.0f)) << v;
    }
}

TEST(TreeMesh, BentBranchKeepsOutwardNormalsAndOrthonormalTangentFrames) {
    // A quarter circle in the x-z plane, then some twist out of it.
    TubeFixture tube(
        [](size_t i) {
            const double a = 1.5 * i / 64.0;
            return glm::dvec3(3.0 * (1 - std::cos(a)), 0.3 * std::sin(2.0 * a), 3.0 * std::sin(a));
        },
        0.0);
    for (size_t i = 0; i < kPoints; ++i) tube.radii[i] = 0.3 * std::sin(i * 3.14159265358979 / 65.0);
    tube.rebuild();
    const std::vector<glm::vec3>& positions = stream<glm::vec3>(*tube.mesh, 0);
    const std::vector<glm::vec3>& normals = stream<glm::vec3>(*tube.mesh, 1);
    const std::vector<glm::vec3>& tangents = stream<glm::vec3>(*tube.mesh, 4);
    const std::vector<glm::vec3>& bitangents = stream<glm::vec3>(*tube.mesh, 5);
    for (size_t v = 0; v < kFilledVertices; ++v) {
        EXPECT_NEAR(glm::length(normals[v]), 1.0f, 1e-5f) << v;
        EXPECT_NEAR(glm::length(tangents[v]), 1.0f, 1e-5f) << v;
        EXPECT_NEAR(glm::dot(tangents[v], normals[v]), 0.0f, 1e-6f) << v;
        EXPECT_EQ(bitangents[v], glm::cross(normals[v], tangents[v])) << v;
    }
    // Every frame is exactly what the glm formulas give for the triangle's corners.
    const std::vector<glm::vec2>& coords = stream<glm::vec2>(*tube.mesh, 3);
    for (size_t v = 0; v < kFilledVertices; v += 3) {
        const glm::vec3 e1 = positions[v + 1] - positions[v], e2 = positions[v + 2] - positions[v];
        const glm::vec3 normal = glm::normalize(glm::cross(glm::normalize(e1), glm::normalize(e2)));
        const glm::vec2 d1 = coords[v + 1] - coords[v], d2 = coords[v + 2] - coords[v];
        const float r = 1.0f / (d1.x * d2.y - d2.x * d1.y);
        const glm::vec3 tangent = glm::normalize((d2.y * e1 - d1.y * e2) * r);
        const glm::vec3 orthogonal = glm::normalize(tangent - normal * glm::dot(normal, tangent));
        for (size_t k = 0; k < 3; ++k) {
            ASSERT_EQ(normals[v + k], normal) << v;
            ASSERT_EQ(tangents[v + k], orthogonal) << v;
        }
    }
    // Every ring is exactly what glm's quaternion rotation of the up vector gives.
    for (size_t i = 1; i + 2 < kPoints; ++i) {
        const glm::dvec3 dir = glm::normalize(tube.p(i + 1) - tube.p(i));
        const glm::dvec3 up(0.0, 1.0, 0.0);
        const glm::dvec3 u2 = glm::normalize(up - dir * (glm::dot(dir, up) / glm::dot(dir, dir)));
        for (int j = 0; j < 4; ++j) {
            const double half = j * (-90.0) * 0.017453292519943295 * 0.5;
            const glm::dquat q(std::cos(half), dir * std::sin(half));
            ASSERT_EQ(tube.rings[4 * i + j], glm::vec3(tube.p(i) + (q * u2) * tube.radii[i]))
                << i << " " << j;
        }
    }
    // Counter-clockwise seen from outside: the normal points away from the segment's axis.
    for (size_t s = 1; s + 3 < kPoints; ++s) {
        const glm::vec3 axis = glm::vec3(0.5 * (tube.p(s) + tube.p(s + 1)));
        for (int t = 0; t < 8; ++t) {
            const size_t v = (s * 8 + t) * 3;
            const glm::vec3 centre = (positions[v] + positions[v + 1] + positions[v + 2]) / 3.0f;
            EXPECT_GT(glm::dot(normals[v], centre - axis), 0.0f) << s << " " << t;
        }
    }
}

// A branch hanging straight down or standing straight up, and one with a single vertical
// segment: the vertical rings turn from +z, every other ring from +y as always.
TEST(TreeMesh, SegmentsAlongYGetFiniteRingsTurnedFromZ) {
    const auto check = [](TubeFixture& tube, const char* name) {
        tube.rebuild();
        for (int location : {0, 1, 4, 5}) {
            for (const glm::vec3& v : stream<glm::vec3>(*tube.mesh, location)) {
                ASSERT_TRUE(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z)) << name << location;
            }
        }
        for (size_t i = 1; i + 2 < kPoints; ++i) {
            const glm::dvec3 dir = glm::normalize(tube.p(i + 1) - tube.p(i));
            const bool alongY = dir.x == 0.0 && dir.z == 0.0;
            const glm::dvec3 up = alongY ? glm::dvec3(0.0, 0.0, 1.0) : glm::dvec3(0.0, 1.0, 0.0);
            const glm::dvec3 u2 = glm::normalize(up - dir * (glm::dot(dir, up) / glm::dot(dir, dir)));
            for (int j = 0; j < 4; ++j) {
                const double half = j * (-90.0) * 0.017453292519943295 * 0.5;
                const glm::dquat q(std::cos(half), dir * std::sin(half));
                ASSERT_EQ(tube.rings[4 * i + j], glm::vec3(tube.p(i) + (q * u2) * tube.radii[i]))
                    << name << " " << i << " " << j;
            }
        }
    };
    TubeFixture up([](size_t i) { return glm::dvec3(0.25, 1.0 + 0.05 * i, -0.5); }, 0.02);
    check(up, "+y");
    TubeFixture down([](size_t i) { return glm::dvec3(0.25, 1.0 - 0.05 * i, -0.5); }, 0.02);
    check(down, "-y");
    TubeFixture step([](size_t i) { return glm::dvec3(0.25, i > 10 ? 0.05 : 0.0, 0.05 * (i > 10 ? i - 1 : i)); },
                     0.02);
    check(step, "one vertical segment");
}

using TreeMeshDeathTest = ::testing::Test;

TEST_F(TreeMeshDeathTest, DegenerateChainsAreInternalErrors) {
    EXPECT_DEATH(
        {
            TubeFixture tube([](size_t) { return glm::dvec3(0.5, 1.0, 0.5); }, 0.1);
            tube.rebuild();
        },
        "Expression: u2 == u2\nFile: source\\\\cpp\\\\Tree");
    EXPECT_DEATH(
        {
            TubeFixture tube = straightAlongZ(0.1);
            tube.particles[0] =
                std::make_shared<Particle>(glm::dvec3(std::numeric_limits<double>::quiet_NaN()));
            tube.rebuild();
        },
        "Expression: p0 == p0\nFile: source\\\\cpp\\\\Tree");
    EXPECT_DEATH(
        {
            TubeFixture tube = straightAlongZ(0.0);
            tube.rebuild();
        },
        "Expression: normal == normal\nFile: source\\\\cpp\\\\Tree");
    EXPECT_DEATH(
        {
            TubeFixture tube = straightAlongZ(0.1);
            auto bare = std::make_shared<VertexAttributes>(GL_TRIANGLES);
            tube::rebuildTubeMesh(*bare, tube.particles, tube.radii, tube.scratch);
        },
        "Expression: attribTex != 0 && attribPos != 0 && attribTan != 0 && attribBit != 0\n"
        "File: source\\\\cpp\\\\Tree");
}

// Far from the origin single precision cannot keep the pinched ends' points 1e-6 apart;
// near it they are exactly what they always were (the film's frames depend on that).
TEST(TreeMesh, PinchedEndsKeepFourDistinctPointsAnywhereInTheHall) {
    for (double x : {0.25, -7.0, 16.3, 31.99, 32.5, -40.0, 50.0}) {
        for (double z : {0.05, -12.0, 33.7, -50.0}) {
            TubeFixture tube([&](size_t i) { return glm::dvec3(x, 2.0, z + 0.05 * i); }, 0.02);
            tube.rebuild();
            const glm::dvec3 root = tube.p(0);
            // At most one float spacing (3.8e-6 up to 64 units) from the root in single precision.
            for (int a = 0; a < 4; ++a) {
                EXPECT_LE(glm::length(glm::dvec3(tube.rings[a]) - glm::dvec3(glm::vec3(root))), 3.9e-6)
                    << x << " " << z;
                for (int b = a + 1; b < 4; ++b) EXPECT_NE(tube.rings[a], tube.rings[b]) << x << " " << z;
            }
            if (std::abs(x) < 16.0 && std::abs(z) < 16.0) {
                EXPECT_EQ(tube.rings[0], glm::vec3(glm::dvec3(root.x, root.y, root.z + 1e-6)));
                EXPECT_EQ(tube.rings[1], glm::vec3(glm::dvec3(root.x - 1e-6, root.y, root.z)));
            }
        }
    }
}

TEST(TreeBranch, BranchesMovedAnywhereInTheHallNeverAbort) {
    setDemoRandState(1);
    Tree tree(glm::dvec3(0.0), MeshUpload::CpuOnly);
    // Jumps between far corners, then a slow walk along an edge of the hall.
    const glm::vec3 places[] = {{50, 2, 50}, {-50, 9, -50}, {50, 0, -50}, {-50, 5, 50}, {33, 2, -47}};
    double time = 0.0;
    auto frames = [&](const glm::vec3& from, const glm::vec3& to, int count) {
        for (int f = 0; f < count; ++f) {
            tree.moveRoot(from + (to - from) * (static_cast<float>(f) / static_cast<float>(count)));
            time += 1.0 / 60.0;
            tree.update(time);
        }
    };
    for (const glm::vec3& place : places) frames(place, place, 30);
    frames(glm::vec3(-50, 3, -50), glm::vec3(50, 3, -50), 240);
    for (const Branch& branch : tree.branches()) {
        for (const glm::vec3& normal : stream<glm::vec3>(*branch.mesh(), 1))
            ASSERT_TRUE(std::isfinite(normal.x) && std::isfinite(normal.y) && std::isfinite(normal.z));
    }
}

TEST(TreeBranch, UpdateRebuildsTheMeshFromTheMovedParticles) {
    Branch branch(glm::dvec3(0, 0, 0.25), glm::dvec3(0, 0, 1), glm::vec3(0.0f), 0.05, MeshUpload::CpuOnly);
    branch.update(glm::vec3(0.01f, 0.0f, 0.0f), 0.0);
    const std::vector<glm::vec3>& positions = stream<glm::vec3>(*branch.mesh(), 0);
    // Segment 0, triangle 0, corner 0 is the collapsed root ring's vertex 0.
    expectNear(positions[0], glm::vec3(branch.particles()[0]->position()) + glm::vec3(0, 0, 1e-6f), 1e-7f,
               "root");
    // The last filled segment ends on the collapsed tip ring around the last particle.
    expectNear(positions[kFilledVertices - 1], glm::vec3(branch.particles()[64]->position()), 2e-6f, "tip");
}

class TreeGl : public hvtest::GlTest {};

TEST_F(TreeGl, UpdateUploadsTheRebuiltStreamsAndDrawCoversPixels) {
    setDemoRandState(1);
    Tree tree(glm::dvec3(0.0));
    tree.moveRoot(glm::vec3(0.0f));
    tree.update(1.0);
    expectNoGlError();

    const VertexAttributes& mesh = *tree.branches()[2].mesh();
    for (int location : {0, 1, 4}) {
        const std::vector<glm::vec3>& cpu = stream<glm::vec3>(mesh, location);
        std::vector<glm::vec3> gpu(cpu.size());
        glBindBuffer(GL_ARRAY_BUFFER, mesh.attribute(location)->buffer);
        glGetBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(gpu.size() * sizeof(glm::vec3)),
                           gpu.data());
        EXPECT_EQ(0, std::memcmp(gpu.data(), cpu.data(), gpu.size() * sizeof(glm::vec3))) << location;
    }

    // Looking down -z at the bunch: x and y of every vertex, scaled into view.
    GLuint program = hvtest::buildProgram(
        "#version 430 core\nlayout(location = 0) in vec3 position;\n"
        "void main() { gl_Position = vec4(position.xy * 0.25, 0.0, 1.0); }\n",
        "#version 430 core\nout vec4 colour;\nvoid main() { colour = vec4(1.0); }\n");
    const int size = 32;
    GLuint texture = 0, fbo = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, size, size, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glGenFramebuffers(1, &fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    glViewport(0, 0, size, size);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glUseProgram(program);
    tree.draw();
    hvtest::ImageRGBA8 image = hvtest::readFramebufferRGBA8(fbo, size, size);
    int covered = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) covered += image.at(x, y)[0] == 255;
    }
    EXPECT_GT(covered, 20);
    EXPECT_LT(covered, size * size / 2);
    glUseProgram(0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glBindVertexArray(0);
    glDeleteFramebuffers(1, &fbo);
    glDeleteTextures(1, &texture);
    glDeleteProgram(program);
    expectNoGlError();
}

}  // namespace
