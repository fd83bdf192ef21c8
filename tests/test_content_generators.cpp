// The generators' building blocks: the normal-map convention the shaders expect,
// seamless tiling, and outward-facing, consistently wound geometry.
#include "MaterialBake.h"
#include "MeshBuilder.h"
#include "Noise.h"

#include <gtest/gtest.h>

#include <glm/geometric.hpp>

namespace {

TEST(ContentGenerators, NormalMapIsFlatBlueAndTiltsAwayFromRisingHeight) {
    const int size = 8;
    std::vector<double> flat(size * size, 0.5);
    const art::Image flatMap = art::normalMapFromHeight(flat, size, 4.0);
    EXPECT_EQ(flatMap.at(3, 3)[0], 128);
    EXPECT_EQ(flatMap.at(3, 3)[1], 128);
    EXPECT_EQ(flatMap.at(3, 3)[2], 255);

    // Height rising along +u (x) and then along +v (rows): the normal leans towards -u, then -v.
    std::vector<double> rampU(size * size), rampV(size * size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            rampU[y * size + x] = 0.1 * x;
            rampV[y * size + x] = 0.1 * y;
        }
    }
    const art::Image mapU = art::normalMapFromHeight(rampU, size, 4.0);
    const art::Image mapV = art::normalMapFromHeight(rampV, size, 4.0);
    EXPECT_LT(mapU.at(3, 3)[0], 128);
    EXPECT_EQ(mapU.at(3, 3)[1], 128);
    EXPECT_EQ(mapV.at(3, 3)[0], 128);
    EXPECT_LT(mapV.at(3, 3)[1], 128);
    EXPECT_GT(mapU.at(3, 3)[2], 128) << "normals point out of the surface";
}

TEST(ContentGenerators, NoiseTilesSeamlesslyAcrossTheTextureEdge) {
    for (double v = 0.0; v < 1.0; v += 0.0625) {
        EXPECT_NEAR(art::valueNoise(0.0, v, 8, 3U), art::valueNoise(1.0, v, 8, 3U), 1e-12);
        EXPECT_NEAR(art::fbm(v, 0.0, 4, 5, 3U), art::fbm(v, 1.0, 4, 5, 3U), 1e-12);
        EXPECT_NEAR(art::cellular(0.0, v, 16, 3U).f1, art::cellular(1.0, v, 16, 3U).f1, 1e-9);
    }
}

// Every triangle's winding agrees with its stored normal, and the normal points away from `centre`.
void expectOutwardAndConsistent(const art::MeshBuilder& mesh, const glm::dvec3& centre) {
    const auto& vs = mesh.vertices();
    ASSERT_EQ(vs.size() % 3, 0u);
    for (size_t i = 0; i < vs.size(); i += 3) {
        const glm::dvec3 faceNormal =
            glm::cross(vs[i + 1].position - vs[i].position, vs[i + 2].position - vs[i].position);
        ASSERT_GT(glm::length(faceNormal), 1e-9) << "degenerate triangle " << i / 3;
        const glm::dvec3 middle = (vs[i].position + vs[i + 1].position + vs[i + 2].position) / 3.0;
        for (int k = 0; k < 3; ++k) {
            EXPECT_GT(glm::dot(faceNormal, vs[i + k].normal), 0.0) << "triangle " << i / 3;
        }
        EXPECT_GT(glm::dot(faceNormal, middle - centre), 0.0) << "triangle " << i / 3 << " faces inwards";
    }
}

TEST(ContentGenerators, BoxesBeamsAndCylindersFaceOutwards) {
    art::MeshBuilder box(1.0);
    box.addBox({1, 2, 3}, {2, 4, 7});
    EXPECT_EQ(box.triangleCount(), 12u);
    expectOutwardAndConsistent(box, {1.5, 3, 5});

    art::MeshBuilder beam(1.0);
    beam.addBeam({0, 0, 0}, {2, 3, 1}, 0.1);
    expectOutwardAndConsistent(beam, {1, 1.5, 0.5});

    art::MeshBuilder drum(1.0);
    drum.addCylinder({0, 0, 0}, {0, 1, 0}, 0.3, 0.3, 0.9, 12, true);
    EXPECT_EQ(drum.triangleCount(), 12u * 4u);
    expectOutwardAndConsistent(drum, {0, 0.45, 0});

    // A lining faces the axis: its triangles point towards the inside of the tube.
    art::MeshBuilder lining(1.0);
    lining.addTubeLining({0, 0, 0}, {0, 1, 0}, 0.5, 0.2, 0.6, 16);
    for (size_t i = 0; i < lining.vertices().size(); i += 3) {
        const auto& vs = lining.vertices();
        const glm::dvec3 faceNormal =
            glm::cross(vs[i + 1].position - vs[i].position, vs[i + 2].position - vs[i].position);
        const glm::dvec3 radial{vs[i].position.x, 0.0, vs[i].position.z};
        EXPECT_LT(glm::dot(faceNormal, radial), 0.0);
        EXPECT_GT(glm::dot(faceNormal, vs[i].normal), 0.0);
    }

    art::MeshBuilder pipe(1.0);
    pipe.addCylinder({0, 0, 0}, {1, 0, 0}, 0.2, 0.2, 5.0, 8, false);
    expectOutwardAndConsistent(pipe, {2.5, 0, 0});
}

TEST(ContentGenerators, TextureCoordinatesFollowWorldLengthOverTileSize) {
    art::MeshBuilder floor(4.0);
    floor.addQuad({0, 0, 0}, {40, 0, 0}, {0, 0, -24});
    double maxU = 0.0, maxV = 0.0;
    for (const art::ModelVertex& v : floor.vertices()) {
        maxU = std::max(maxU, v.uv.x);
        maxV = std::max(maxV, v.uv.y);
        EXPECT_NEAR(v.normal.y, 1.0, 1e-12) << "the floor faces up";
    }
    EXPECT_DOUBLE_EQ(maxU, 10.0);
    EXPECT_DOUBLE_EQ(maxV, 6.0);
}

}  // namespace
