// The shadow pass leaves out only what cannot stand between the light and anything
// lighting shades: the sides of the room around everything, with the light and the
// branches inside it.
#include "scenes/EnclosingMeshes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using Corners = std::vector<glm::dvec3>;

// Two triangles, front towards cross(u, v).
void addQuad(Corners& corners, glm::dvec3 a, glm::dvec3 u, glm::dvec3 v) {
    corners.insert(corners.end(), {a, a + u, a + u + v, a, a + u + v, a + v});
}

// The room from (-5, 0, -5) to (5, 4, 5), every side facing in.
Corners walls() {
    Corners c;
    addQuad(c, {-5, 0, -5}, {0, 4, 0}, {0, 0, 10});
    addQuad(c, {5, 0, -5}, {0, 0, 10}, {0, 4, 0});
    addQuad(c, {-5, 0, -5}, {10, 0, 0}, {0, 4, 0});
    addQuad(c, {-5, 0, 5}, {0, 4, 0}, {10, 0, 0});
    return c;
}

Corners floorAndRoof() {
    Corners c;
    addQuad(c, {-5, 0, -5}, {0, 0, 10}, {10, 0, 0});
    addQuad(c, {-5, 4, -5}, {10, 0, 0}, {0, 0, 10});
    return c;
}

Box boxAround(glm::dvec3 centre, double half) {
    Box box;
    box.add(centre - glm::dvec3(half));
    box.add(centre + glm::dvec3(half));
    return box;
}

}  // namespace

using Part = EnclosingMeshes::Part;

TEST(EnclosingMeshes, TheRoomIsLeftOutOnlyWhileTheLightAndTheBranchesAreInside) {
    EnclosingMeshes meshes;
    meshes.build({{walls(), true},
                  {floorAndRoof(), true},
                  {{{-1, 1, 0}, {1, 1, 0}, {0, 2, 0}}, true},  // a crate's side, in the room
                  {{{0, 3, 0}, {1, 3, 1}}, false}});           // a line, also in it
    const Box branches = boxAround({1, 1, 1}, 0.5);

    EXPECT_EQ(meshes.part(0, {0, 3, 0}, branches), Part::Nothing);
    EXPECT_EQ(meshes.part(1, {0, 3, 0}, branches), Part::Nothing);
    EXPECT_EQ(meshes.part(1, {0, 3, 0}, Box{}), Part::Nothing);
    EXPECT_EQ(meshes.part(2, {0, 3, 0}, branches), Part::Whole);
    EXPECT_EQ(meshes.part(3, {0, 3, 0}, branches), Part::Whole);

    // The light on the roof, or outside the walls.
    EXPECT_EQ(meshes.part(0, {0, 4, 0}, branches), Part::Nothing);
    EXPECT_EQ(meshes.part(1, {0, 4, 0}, branches), Part::Whole);
    EXPECT_EQ(meshes.part(0, {8, 2, 0}, branches), Part::Whole);
    EXPECT_EQ(meshes.part(0, {NAN, 2, 0}, branches), Part::Whole);
    // The branches through a wall: they could be shaded from behind it.
    EXPECT_EQ(meshes.part(0, {0, 3, 0}, boxAround({4.8, 1, 0}, 0.5)), Part::Whole);
    EXPECT_EQ(meshes.part(1, {0, 3, 0}, boxAround({4.8, 1, 0}, 0.5)), Part::Nothing);
}

TEST(EnclosingMeshes, AKerbOnTheFloorAndAWallWithSomethingBeyondItStillCast) {
    EnclosingMeshes meshes;
    Corners floorKerbRoof;
    addQuad(floorKerbRoof, {-5, 0, -5}, {0, 0, 10}, {10, 0, 0});
    addQuad(floorKerbRoof, {-5, 0.4, -5}, {0, 0, 10}, {0.2, 0, 0});  // a kerb's top, facing up
    addQuad(floorKerbRoof, {-5, 4, -5}, {10, 0, 0}, {0, 0, 10});
    meshes.build({{floorKerbRoof, true},
                  {walls(), true},
                  {{{4, 1, 0}, {6, 1, 0}, {6, 2, 0}}, true}});  // a pole through the wall at x = 5
    ASSERT_EQ(meshes.part(0, {0, 3, 0}, Box{}), Part::Casters);
    ASSERT_EQ(meshes.casterRanges(0).size(), 1u);
    EXPECT_EQ(meshes.casterRanges(0)[0].first, 6);
    EXPECT_EQ(meshes.casterRanges(0)[0].count, 6);
    // Only the wall the pole goes through has anything behind it.
    ASSERT_EQ(meshes.part(1, {0, 3, 0}, Box{}), Part::Casters);
    ASSERT_EQ(meshes.casterRanges(1).size(), 1u);
    EXPECT_EQ(meshes.casterRanges(1)[0].first, 6);
    EXPECT_EQ(meshes.casterRanges(1)[0].count, 6);

    EnclosingMeshes unknown;
    unknown.build({{walls(), true}, {{}, true, false}});
    EXPECT_EQ(unknown.part(0, {0, 3, 0}, Box{}), Part::Whole);
}
