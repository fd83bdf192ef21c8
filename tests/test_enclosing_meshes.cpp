// The shadow pass leaves a mesh out only when it cannot stand between the light and
// anything lighting shades: a wall of the room around everything, with the light and
// the branches inside it.
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

TEST(EnclosingMeshes, TheRoomIsLeftOutOnlyWhileTheLightAndTheBranchesAreInside) {
    EnclosingMeshes meshes;
    meshes.addMesh(walls(), true);
    meshes.addMesh(floorAndRoof(), true);
    meshes.addMesh({{-1, 1, 0}, {1, 1, 0}, {0, 2, 0}}, true);  // a crate's side, in the room
    meshes.addMesh({{0, 3, 0}, {1, 3, 1}}, false);             // a line, also in it
    meshes.finish();
    const Box branches = boxAround({1, 1, 1}, 0.5);

    EXPECT_TRUE(meshes.canLeaveOut(0, {0, 3, 0}, branches));
    EXPECT_TRUE(meshes.canLeaveOut(1, {0, 3, 0}, branches));
    EXPECT_TRUE(meshes.canLeaveOut(1, {0, 3, 0}, Box{}));
    EXPECT_FALSE(meshes.canLeaveOut(2, {0, 3, 0}, branches));
    EXPECT_FALSE(meshes.canLeaveOut(3, {0, 3, 0}, branches));

    // The light on the roof, or outside the walls.
    EXPECT_TRUE(meshes.canLeaveOut(0, {0, 4, 0}, branches));
    EXPECT_FALSE(meshes.canLeaveOut(1, {0, 4, 0}, branches));
    EXPECT_FALSE(meshes.canLeaveOut(0, {8, 2, 0}, branches));
    EXPECT_FALSE(meshes.canLeaveOut(0, {NAN, 2, 0}, branches));
    // The branches through a wall: they could be shaded from behind it.
    EXPECT_FALSE(meshes.canLeaveOut(0, {0, 3, 0}, boxAround({4.8, 1, 0}, 0.5)));
    EXPECT_TRUE(meshes.canLeaveOut(1, {0, 3, 0}, boxAround({4.8, 1, 0}, 0.5)));
    EXPECT_FALSE(meshes.canLeaveOut(4, {0, 3, 0}, branches));
}

TEST(EnclosingMeshes, AShellWithABumpOrSomethingBeyondItStaysIn) {
    EnclosingMeshes meshes;
    Corners floorWithKerb = floorAndRoof();
    addQuad(floorWithKerb, {-5, 0.4, -5}, {0, 0, 10}, {0.2, 0, 0});  // a kerb's top, facing up
    meshes.addMesh(floorWithKerb, true);
    meshes.addMesh(walls(), true);
    meshes.addMesh({{4, 1, 0}, {6, 1, 0}, {6, 2, 0}}, true);  // a pole through the wall at x = 5
    meshes.finish();
    EXPECT_FALSE(meshes.canLeaveOut(0, {0, 3, 0}, Box{}));
    EXPECT_FALSE(meshes.canLeaveOut(1, {0, 3, 0}, Box{}));

    EnclosingMeshes unknown;
    unknown.addMesh(walls(), true);
    unknown.addUnknownMesh();
    unknown.finish();
    EXPECT_FALSE(unknown.canLeaveOut(0, {0, 3, 0}, Box{}));
}
