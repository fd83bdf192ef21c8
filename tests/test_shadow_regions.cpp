// The shadow pass draws each cube face only inside the rectangle lighting can read:
// every point the camera can see (and a lookup's nudge off it) must land inside its
// face's rectangle, and a caster that can reach such a point must count as reaching it.
#include "cpp/FboDepthOnlyCubeMap.h"
#include "scenes/ShadowRegions.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

constexpr int kFaceSize = 2048;

// The face GL's cube lookup picks for a direction: the major axis and its sign.
int faceOf(const glm::dvec3& d) {
    const glm::dvec3 a = glm::abs(d);
    if (a.x >= a.y && a.x >= a.z) return d.x >= 0 ? 0 : 1;
    if (a.y >= a.z) return d.y >= 0 ? 2 : 3;
    return d.z >= 0 ? 4 : 5;
}

struct Shot {
    glm::vec3 eye, target, light;
};

// Samples visible points (in the camera's frustum and the drawn box), nudges each like a
// lookup does and checks it falls inside the rectangle of the face that reads it.
void expectLookupsInsideRegions(const Shot& shot, const Box& drawn, unsigned seed) {
    const glm::mat4 projection = glm::perspective(glm::radians(70.0f), 1.6f, 0.1f, 100.0f);
    const glm::mat4 camera = projection * glm::lookAt(shot.eye, shot.target, glm::vec3(0, 1, 0));
    FboDepthOnlyCubeMap cube(kFaceSize, kFaceSize);
    cube.updateFaceMatrices(shot.light);
    ShadowRegions regions;
    regions.update(camera, drawn, shot.light, cube.faceMatrices(), kFaceSize);

    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    int checked = 0;
    for (int i = 0; i < 200000 && checked < 20000; ++i) {
        const glm::dvec3 p = drawn.min + (drawn.max - drawn.min) * glm::dvec3(unit(random), unit(random), unit(random));
        const glm::dvec4 seen = glm::dmat4(camera) * glm::dvec4(p, 1.0);
        if (std::abs(seen.x) > seen.w || std::abs(seen.y) > seen.w || std::abs(seen.z) > seen.w) continue;
        ++checked;
        const glm::dvec3 nudge = glm::normalize(glm::dvec3(unit(random) - 0.5, unit(random) - 0.5, unit(random) - 0.5));
        const glm::dvec3 lookup = p + 0.02 * nudge;
        const int face = faceOf(lookup - glm::dvec3(shot.light));
        const ShadowRegions::Face& region = regions.face(face);
        ASSERT_TRUE(region.needed) << "face " << face;
        const glm::dvec4 clip = glm::dmat4(cube.faceMatrix(face)) * glm::dvec4(lookup, 1.0);
        const double x = (clip.x / clip.w + 1) * 0.5 * kFaceSize, y = (clip.y / clip.w + 1) * 0.5 * kFaceSize;
        // At least a texel inside, for the filter's footprint, unless on the face's edge.
        auto margin = [](int edge) { return edge == 0 || edge == kFaceSize ? 0 : 1; };
        ASSERT_GE(x, region.x0 + margin(region.x0)) << "face " << face;
        ASSERT_LE(x, region.x1 - margin(region.x1)) << "face " << face;
        ASSERT_GE(y, region.y0 + margin(region.y0)) << "face " << face;
        ASSERT_LE(y, region.y1 - margin(region.y1)) << "face " << face;
        // A caster right at the point reaches the face it is read from.
        Box caster;
        caster.add(lookup);
        EXPECT_TRUE(regions.reaches(face, caster.grown(0.001)));
    }
    EXPECT_GT(checked, 1000);
}

Box hall() {
    Box box;
    box.add(glm::dvec3(-20, 0, -12));
    box.add(glm::dvec3(20, 10, 12));
    return box;
}

TEST(ShadowRegions, EveryLookupOfAVisiblePointFallsInsideItsFacesRectangle) {
    // The light in view, beside the camera, behind it, and low over the floor.
    expectLookupsInsideRegions({{-14, 3, 0}, {0, 2, 0}, {-2, 7, 1}}, hall(), 1);
    expectLookupsInsideRegions({{5, 4, 8}, {0, 2, 0}, {6, 4.5f, 9}}, hall(), 2);
    expectLookupsInsideRegions({{5, 4, 8}, {0, 2, 0}, {12, 7, 11}}, hall(), 3);
    expectLookupsInsideRegions({{-10, 1.5f, -6}, {10, 1, 6}, {4, 1.6f, -2}}, hall(), 4);
    // A small crate under the light: a small part of one face.
    Box crate;
    crate.add(glm::dvec3(-1, 0, -1));
    crate.add(glm::dvec3(1, 2, 1));
    expectLookupsInsideRegions({{0, 1, 6}, {0, 1, 0}, {0.3f, 8, 0.2f}}, crate, 5);
}

TEST(ShadowRegions, FacesAndCastersTheCameraCannotSeeAreLeftOut) {
    // Camera in one corner looking into it; the light at the far end looks away from it.
    const glm::mat4 projection = glm::perspective(glm::radians(70.0f), 1.6f, 0.1f, 100.0f);
    const glm::mat4 camera = projection * glm::lookAt(glm::vec3(-15, 5, 0), glm::vec3(-20, 5, 0), glm::vec3(0, 1, 0));
    FboDepthOnlyCubeMap cube(kFaceSize, kFaceSize);
    const glm::vec3 light(15, 5, 0);
    cube.updateFaceMatrices(light);
    ShadowRegions regions;
    regions.update(camera, hall(), light, cube.faceMatrices(), kFaceSize);
    EXPECT_FALSE(regions.face(0).needed) << "+X looks away from everything visible";
    EXPECT_TRUE(regions.face(1).needed);
    Box behindLight;
    behindLight.add(glm::dvec3(17, 4, -1));
    behindLight.add(glm::dvec3(19, 6, 1));
    for (int face = 0; face < 6; ++face) EXPECT_FALSE(regions.reaches(face, behindLight)) << face;
    Box between;
    between.add(glm::dvec3(-5, 4, -1));
    between.add(glm::dvec3(-3, 6, 1));
    EXPECT_TRUE(regions.reaches(1, between));

    // Nothing drawn, nothing read.
    regions.update(camera, Box(), light, cube.faceMatrices(), kFaceSize);
    for (int face = 0; face < 6; ++face) EXPECT_FALSE(regions.face(face).needed) << face;
}

}  // namespace
