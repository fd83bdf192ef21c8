// A pass draws a mesh's kept chunks in the mesh's order, one call per stretch of
// neighbouring chunks, and never past the ranges it was built on.
#include "scenes/MeshChunks.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

TEST(MeshChunks, KeptChunksAreDrawnInOrderAsStretchesWithinTheirRanges) {
    // Triangle t lies at x = t, so a chunk's box says which triangles it holds.
    constexpr int kTriangles = 5 * MeshChunks::kTrianglesPerChunk + 7;
    std::vector<glm::dvec3> corners;
    for (int t = 0; t < kTriangles; ++t)
        for (int c = 0; c < 3; ++c) corners.emplace_back(t, c, 0);
    corners.emplace_back(-1, 0, 0);  // a stray corner the draw call would not use

    MeshChunks all;
    all.build(corners, {{0, static_cast<int>(corners.size())}});
    const int chunkCorners = 3 * MeshChunks::kTrianglesPerChunk;
    auto stretches = [](const MeshChunks& chunks, auto keep) {
        std::vector<std::pair<int, int>> drawn;
        chunks.forEachStretch(keep, [&](int first, int count) { drawn.emplace_back(first, count); });
        return drawn;
    };
    using Stretches = std::vector<std::pair<int, int>>;
    EXPECT_EQ(stretches(all, [](const Box&) { return true; }), (Stretches{{0, 3 * kTriangles}}));
    EXPECT_TRUE(stretches(all, [](const Box&) { return false; }).empty());
    // Chunks 0, 2, 3 and the short last one.
    const auto some = [&](const Box& box) {
        const int chunk = static_cast<int>(box.min.x) / MeshChunks::kTrianglesPerChunk;
        return chunk != 1 && chunk != 4;
    };
    EXPECT_EQ(stretches(all, some),
              (Stretches{{0, chunkCorners}, {2 * chunkCorners, 2 * chunkCorners}, {5 * chunkCorners, 21}}));

    // Ranges that touch are drawn as one stretch; a gap starts another.
    MeshChunks ranges;
    ranges.build(corners, {{0, 30}, {30, 30}, {300, 9}});
    EXPECT_EQ(stretches(ranges, [](const Box&) { return true; }), (Stretches{{0, 60}, {300, 9}}));
}
