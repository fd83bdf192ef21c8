#include "cpp/BranchMesh.h"

#include "cpp/TreeSource.h"
#include "platform/Assert.h"

#include <glm/geometric.hpp>
#include <glm/gtc/quaternion.hpp>

#include <cmath>

namespace tube {

const int kTriangleCorners[kTrianglesPerSegment][3] = {
    {0, 3, 4}, {3, 7, 4}, {0, 4, 1}, {4, 5, 1}, {3, 2, 6}, {3, 6, 7}, {2, 1, 6}, {1, 5, 6},
};

const glm::vec2 kTriangleTexCoords[kTrianglesPerSegment][3] = {
    {{0, 0}, {1, 0}, {0, 1}}, {{1, 0}, {1, 1}, {0, 1}}, {{1, 1}, {0, 1}, {1, 0}}, {{0, 1}, {0, 0}, {1, 0}},
    {{0, 1}, {0, 0}, {1, 0}}, {{0, 1}, {1, 0}, {1, 1}}, {{1, 1}, {0, 1}, {1, 0}}, {{0, 1}, {0, 0}, {1, 0}},
};

namespace {

// Component-wise, so the compiler keeps the floats in vector registers instead of
// packing them through the stack (which stalls store forwarding).
inline void store(glm::vec3& out, const glm::vec3& value) {
    out.x = value.x;
    out.y = value.y;
    out.z = value.z;
}

template <typename T>
std::shared_ptr<Attribute<T>> makeStream(size_t count, const T& value) {
    auto attribute = std::make_shared<Attribute<T>>();
    attribute->data()->assign(count, value);
    return attribute;
}

template <typename T>
std::vector<T>* streamAt(VertexAttributes& mesh, int location) {
    // The streams are stored by buildTubeMesh with these exact types.
    auto* attribute = dynamic_cast<Attribute<T>*>(mesh.attributes[location].get());
    return attribute ? attribute->elements.get() : nullptr;
}

// The quaternion halves of a rotation about the branch axis by -90 degrees times j.
struct RingRotation {
    double w[kRingSize];
    double s[kRingSize];
    RingRotation() {
        for (int j = 0; j < kRingSize; ++j) {
            const double halfAngle = j * (-90.0) * 0.017453292519943295 * 0.5;
            w[j] = std::cos(halfAngle);
            s[j] = std::sin(halfAngle);
        }
    }
};

// centre + offset in single precision. Beyond about 32 units from the origin a float
// cannot hold 1e-6 apart from the centre; the nearest float on the offset's side takes
// its place, so the pinched end keeps four distinct points (and its triangles a normal).
float apart(double centre, double offset) {
    const float moved = static_cast<float>(centre + offset);
    const float here = static_cast<float>(centre);
    if (moved != here) return moved;
    return std::nextafter(here, offset > 0.0 ? HUGE_VALF : -HUGE_VALF);
}

// A ring shrunk to four points 1e-6 around p: the tube starts and ends in a point.
void collapseRing(glm::vec3* ring, const glm::dvec3& p) {
    const float x = static_cast<float>(p.x);
    const float y = static_cast<float>(p.y);
    const float z = static_cast<float>(p.z);
    ring[0] = glm::vec3(x, y, apart(p.z, 1e-6));
    ring[1] = glm::vec3(apart(p.x, -1e-6), y, z);
    ring[2] = glm::vec3(x, y, apart(p.z, -1e-6));
    ring[3] = glm::vec3(apart(p.x, 1e-6), y, z);
}

void buildRings(const std::vector<std::shared_ptr<Particle>>& particles, const std::vector<double>& radii,
                std::vector<glm::vec3>& rings) {
    static const RingRotation rotation;
    const size_t n = particles.size();
    const glm::dvec3 up(0.0, 1.0, 0.0);
    for (size_t i = 0; i + 1 < n; ++i) {
        const glm::dvec3 p0 = particles[i]->position();
        HV_ASSERT(p0 == p0, tree::kAssertSource);
        const glm::dvec3 dir = glm::normalize(particles[i + 1]->position() - p0);
        const glm::dvec3 proj = dir * (glm::dot(dir, up) / glm::dot(dir, dir));
        const glm::dvec3 u2 = glm::normalize(up - proj);
        HV_ASSERT(u2 == u2, tree::kAssertSource);
        for (int j = 0; j < kRingSize; ++j) {
            const glm::dquat q(rotation.w[j], dir * rotation.s[j]);
            const glm::dvec3 rotated = q * u2;
            rings[kRingSize * i + j] = glm::vec3(p0 + rotated * radii[i]);
        }
    }
    collapseRing(&rings[kRingSize * (n - 2)], particles[n - 1]->position());
    collapseRing(&rings[0], particles[0]->position());
}

}  // namespace

std::shared_ptr<VertexAttributes> buildTubeMesh(size_t nrPoints) {
    const size_t count = vertexCount(nrPoints);
    auto mesh = std::make_shared<VertexAttributes>(GL_TRIANGLES);
    mesh->setAttribute(makeStream(count, glm::vec3(0.0f)), kPosition);
    mesh->setAttribute(makeStream(count, glm::vec3(0.0f)), kNormal);
    mesh->setAttribute(makeStream(count, glm::vec4(1.0f)), kColour);
    auto texCoords = makeStream(count, glm::vec2(0.0f));
    mesh->setAttribute(texCoords, kTexCoord);
    mesh->setAttribute(makeStream(count, glm::vec3(0.0f)), kTangent);
    mesh->setAttribute(makeStream(count, glm::vec3(0.0f)), kBitangent);

    std::vector<glm::vec2>& coords = *texCoords->data();
    for (size_t s = 0; s + 1 < nrPoints; ++s) {
        for (int t = 0; t < kTrianglesPerSegment; ++t) {
            for (int k = 0; k < 3; ++k)
                coords[(s * kTrianglesPerSegment + t) * 3 + k] = kTriangleTexCoords[t][k];
        }
    }
    return mesh;
}

TubeScratch::TubeScratch(size_t nrPoints)
    : rings(kRingSize * nrPoints),
      triangles((nrPoints - 2) * kTrianglesPerSegment),
      lanes(kLaneCount * triangles) {}

namespace {

// The tangent frame of every filled triangle, one lane per quantity: plain float
// arithmetic in the order the glm functions use (normalize = v * (1 / sqrt(dot)), dot
// summed x + y then z), so the vectorised loop yields the scalar bits.
void computeFrames(TubeScratch& scratch) {
    const size_t count = scratch.triangles;
    const float* __restrict ax = scratch.lane(TubeScratch::kAx);
    const float* __restrict ay = scratch.lane(TubeScratch::kAy);
    const float* __restrict az = scratch.lane(TubeScratch::kAz);
    const float* __restrict bx = scratch.lane(TubeScratch::kBx);
    const float* __restrict by = scratch.lane(TubeScratch::kBy);
    const float* __restrict bz = scratch.lane(TubeScratch::kBz);
    const float* __restrict cx = scratch.lane(TubeScratch::kCx);
    const float* __restrict cy = scratch.lane(TubeScratch::kCy);
    const float* __restrict cz = scratch.lane(TubeScratch::kCz);
    const float* __restrict dy1 = scratch.lane(TubeScratch::kDy1);
    const float* __restrict dy2 = scratch.lane(TubeScratch::kDy2);
    const float* __restrict inv = scratch.lane(TubeScratch::kInverseDeterminant);
    float* __restrict nx = scratch.lane(TubeScratch::kNx);
    float* __restrict ny = scratch.lane(TubeScratch::kNy);
    float* __restrict nz = scratch.lane(TubeScratch::kNz);
    float* __restrict tx = scratch.lane(TubeScratch::kTx);
    float* __restrict ty = scratch.lane(TubeScratch::kTy);
    float* __restrict tz = scratch.lane(TubeScratch::kTz);
    float* __restrict gx = scratch.lane(TubeScratch::kBitangentX);
    float* __restrict gy = scratch.lane(TubeScratch::kBitangentY);
    float* __restrict gz = scratch.lane(TubeScratch::kBitangentZ);
    // The lanes are disjoint slices of one buffer.
#pragma GCC ivdep
    for (size_t i = 0; i < count; ++i) {
        const float e1x = bx[i] - ax[i], e1y = by[i] - ay[i], e1z = bz[i] - az[i];
        const float e2x = cx[i] - ax[i], e2y = cy[i] - ay[i], e2z = cz[i] - az[i];
        // normal = normalize(cross(normalize(b - a), normalize(c - a)))
        const float l1 = 1.0f / std::sqrt((e1x * e1x + e1y * e1y) + e1z * e1z);
        const float ux = e1x * l1, uy = e1y * l1, uz = e1z * l1;
        const float l2 = 1.0f / std::sqrt((e2x * e2x + e2y * e2y) + e2z * e2z);
        const float wx = e2x * l2, wy = e2y * l2, wz = e2z * l2;
        const float crx = uy * wz - wy * uz, cry = uz * wx - wz * ux, crz = ux * wy - wx * uy;
        const float l3 = 1.0f / std::sqrt((crx * crx + cry * cry) + crz * crz);
        const float mx = crx * l3, my = cry * l3, mz = crz * l3;
        // tangent = normalize((dy2 * E1 - dy1 * E2) * r)
        const float sx = (dy2[i] * e1x - dy1[i] * e2x) * inv[i];
        const float sy = (dy2[i] * e1y - dy1[i] * e2y) * inv[i];
        const float sz = (dy2[i] * e1z - dy1[i] * e2z) * inv[i];
        const float l4 = 1.0f / std::sqrt((sx * sx + sy * sy) + sz * sz);
        const float px = sx * l4, py = sy * l4, pz = sz * l4;
        // Gram-Schmidt against the normal, then bitangent = cross(normal, tangent)
        const float d = (mx * px + my * py) + mz * pz;
        const float qx = px - mx * d, qy = py - my * d, qz = pz - mz * d;
        const float l5 = 1.0f / std::sqrt((qx * qx + qy * qy) + qz * qz);
        const float ox = qx * l5, oy = qy * l5, oz = qz * l5;
        nx[i] = mx;
        ny[i] = my;
        nz[i] = mz;
        tx[i] = ox;
        ty[i] = oy;
        tz[i] = oz;
        gx[i] = my * oz - oy * mz;
        gy[i] = mz * ox - oz * mx;
        gz[i] = mx * oy - ox * my;
    }
}

}  // namespace

void rebuildTubeMesh(VertexAttributes& mesh, const std::vector<std::shared_ptr<Particle>>& particles,
                     const std::vector<double>& radii, TubeScratch& scratch) {
    const size_t n = particles.size();
    const size_t filledTriangles = (n - 2) * kTrianglesPerSegment;
    HV_ASSERT(n > 2 && radii.size() == n && scratch.rings.size() >= kRingSize * n &&
                  scratch.triangles == filledTriangles,
              tree::kAssertSource);

    std::vector<glm::vec3>* attribPos = streamAt<glm::vec3>(mesh, kPosition);
    std::vector<glm::vec3>* normals = streamAt<glm::vec3>(mesh, kNormal);
    std::vector<glm::vec2>* attribTex = streamAt<glm::vec2>(mesh, kTexCoord);
    std::vector<glm::vec3>* attribTan = streamAt<glm::vec3>(mesh, kTangent);
    std::vector<glm::vec3>* attribBit = streamAt<glm::vec3>(mesh, kBitangent);
    // Checked before anything is written, so a mesh missing a stream is never half rebuilt.
    HV_ASSERT(attribTex != 0 && attribPos != 0 && attribTan != 0 && attribBit != 0, tree::kAssertSource);
    HV_ASSERT(normals != 0, tree::kAssertSource);
    HV_ASSERT(attribPos->size() == vertexCount(n) && normals->size() == vertexCount(n) &&
                  attribTex->size() == vertexCount(n) && attribTan->size() == vertexCount(n) &&
                  attribBit->size() == vertexCount(n),
              tree::kAssertSource);

    const std::vector<glm::vec3>& rings = scratch.rings;
    buildRings(particles, radii, scratch.rings);

    // Gather each triangle's corners and texture-coordinate differences into lanes.
    float* lane[TubeScratch::kLaneCount];
    for (int l = 0; l < TubeScratch::kLaneCount; ++l)
        lane[l] = scratch.lane(static_cast<TubeScratch::Lane>(l));
    for (size_t i = 0; i < filledTriangles; ++i) {
        const glm::vec3* ring = &rings[kRingSize * (i / kTrianglesPerSegment)];
        const int t = static_cast<int>(i % kTrianglesPerSegment);
        for (int k = 0; k < 3; ++k) {
            const glm::vec3& corner = ring[kTriangleCorners[t][k]];
            lane[TubeScratch::kAx + 3 * k][i] = corner.x;
            lane[TubeScratch::kAy + 3 * k][i] = corner.y;
            lane[TubeScratch::kAz + 3 * k][i] = corner.z;
        }
        const glm::vec2 c0 = (*attribTex)[i * 3], c1 = (*attribTex)[i * 3 + 1], c2 = (*attribTex)[i * 3 + 2];
        const float dx1 = c1.x - c0.x, dy1 = c1.y - c0.y;
        const float dx2 = c2.x - c0.x, dy2 = c2.y - c0.y;
        lane[TubeScratch::kDy1][i] = dy1;
        lane[TubeScratch::kDy2][i] = dy2;
        lane[TubeScratch::kInverseDeterminant][i] = 1.0f / (dx1 * dy2 - dx2 * dy1);
    }

    computeFrames(scratch);

    for (size_t i = 0; i < filledTriangles; ++i) {
        const glm::vec3 normal(lane[TubeScratch::kNx][i], lane[TubeScratch::kNy][i],
                               lane[TubeScratch::kNz][i]);
        HV_ASSERT(normal == normal, tree::kAssertSource);
        // The zero vector is what the unspecialised numeric limits give for a vector type.
        HV_ASSERT_AT(normal != glm::vec3(0.0f), "normal != std::numeric_limits<vec3>::infinity()",
                     tree::kAssertSource, __LINE__);
        const glm::vec3 tangent(lane[TubeScratch::kTx][i], lane[TubeScratch::kTy][i],
                                lane[TubeScratch::kTz][i]);
        const glm::vec3 bitangent(lane[TubeScratch::kBitangentX][i], lane[TubeScratch::kBitangentY][i],
                                  lane[TubeScratch::kBitangentZ][i]);
        const glm::vec3* ring = &rings[kRingSize * (i / kTrianglesPerSegment)];
        const int t = static_cast<int>(i % kTrianglesPerSegment);
        // A triangle's three vertices share its flat normal, so they share the frame too.
        for (int k = 0; k < 3; ++k) {
            const size_t v = i * 3 + k;
            store((*attribPos)[v], ring[kTriangleCorners[t][k]]);
            store((*normals)[v], normal);
            store((*attribTan)[v], tangent);
            store((*attribBit)[v], bitangent);
        }
    }
}

}  // namespace tube
