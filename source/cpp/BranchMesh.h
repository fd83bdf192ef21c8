// The square tube a branch is drawn as: ring vertices around the particles, eight
// flat-shaded triangles per segment, a fixed texture mapping of every quad to the
// unit square and per-vertex tangent frames for normal mapping.
//
// Contract: with n particles every stream has (n - 1) * 24 vertices; segment s owns
// vertices s * 24 to s * 24 + 23, triangle t of it the three vertices (s * 8 + t) * 3 + k.
// Only segments 0 to n - 3 receive geometry; the last segment keeps zero positions,
// normals, tangents and bitangents. Streams: 0 position, 1 normal, 2 colour (white),
// 3 texture coordinate, 4 tangent, 5 bitangent. Positions and normals come from the
// particles' current positions and the radii; colours and texture coordinates are
// written once. rebuildTubeMesh allocates nothing: the streams and the ring scratch
// keep their sizes. A ring's side vector is the up vector (0, 1, 0) made perpendicular
// to its segment, or +z for a segment along +-y. Degenerate geometry (NaN positions,
// two particles at one place, zero normals) is an internal error and ends the process.
#pragma once

#include "cpp/Particle.h"
#include "cpp/VertexAttributes.h"

#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <cstddef>
#include <memory>
#include <vector>

namespace tube {

constexpr int kTrianglesPerSegment = 8;
constexpr int kVerticesPerSegment = kTrianglesPerSegment * 3;
constexpr int kRingSize = 4;

enum Location { kPosition = 0, kNormal = 1, kColour = 2, kTexCoord = 3, kTangent = 4, kBitangent = 5 };

// Local ids of each triangle's corners: 0 to 3 are the segment's first ring, 4 to 7 the next.
extern const int kTriangleCorners[kTrianglesPerSegment][3];
// The texture coordinate of each triangle's corners, the same in every segment.
extern const glm::vec2 kTriangleTexCoords[kTrianglesPerSegment][3];

inline size_t vertexCount(size_t nrPoints) {
    return (nrPoints - 1) * kVerticesPerSegment;
}

// A GL_TRIANGLES geometry with the six streams sized and the constant ones filled.
// No GL call is made; the caller create()s it.
std::shared_ptr<VertexAttributes> buildTubeMesh(size_t nrPoints);

// Working memory of a rebuild, sized once for a chain length. `rings` holds ring r at
// entries 4r to 4r + 3; the other arrays are the same data laid out one quantity per
// row, padded so the per-triangle loops run whole vector widths.
struct TubeScratch {
    explicit TubeScratch(size_t nrPoints);

    size_t points = 0;
    size_t segmentStride = 0;  // filled segments, rounded up to a multiple of 8
    size_t ringStride = 0;     // rings, room for one past the last filled segment
    std::vector<glm::vec3> rings;
    std::vector<double> positions;  // x, y, z rows of `points` each
    std::vector<double> axes;       // x, y, z rows of the ring's up vector, per ring
    std::vector<float> corners;     // row (j * 3 + axis) of ringStride: ring vertex j
    std::vector<float> frames;      // row (quantity * 8 + triangle) of segmentStride

    double* position(int axis) { return &positions[static_cast<size_t>(axis) * points]; }
    float* corner(int j, int axis) { return &corners[static_cast<size_t>(j * 3 + axis) * ringStride]; }
    float* frame(int quantity, int triangle) {
        return &frames[static_cast<size_t>(quantity * kTrianglesPerSegment + triangle) * segmentStride];
    }
};

// Rewrites positions, normals, tangents and bitangents from the particles and one
// radius per particle. `scratch` must be built for the particle count.
void rebuildTubeMesh(VertexAttributes& mesh, const Particle* particles, size_t count, const double* radii,
                     TubeScratch& scratch);
void rebuildTubeMesh(VertexAttributes& mesh, const std::vector<std::shared_ptr<Particle>>& particles,
                     const std::vector<double>& radii, TubeScratch& scratch);

}  // namespace tube
