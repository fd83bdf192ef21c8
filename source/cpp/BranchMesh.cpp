#include "cpp/BranchMesh.h"

#include "cpp/TreeSource.h"
#include "cpp/WideVectors.h"
#include "platform/Assert.h"

#include <glm/geometric.hpp>
#include <glm/gtc/quaternion.hpp>

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tube {

const int kTriangleCorners[kTrianglesPerSegment][3] = {
    {0, 3, 4}, {3, 7, 4}, {0, 4, 1}, {4, 5, 1}, {3, 2, 6}, {3, 6, 7}, {2, 1, 6}, {1, 5, 6},
};

const glm::vec2 kTriangleTexCoords[kTrianglesPerSegment][3] = {
    {{0, 0}, {1, 0}, {0, 1}}, {{1, 0}, {1, 1}, {0, 1}}, {{1, 1}, {0, 1}, {1, 0}}, {{0, 1}, {0, 0}, {1, 0}},
    {{0, 1}, {0, 0}, {1, 0}}, {{0, 1}, {1, 0}, {1, 1}}, {{1, 1}, {0, 1}, {1, 0}}, {{0, 1}, {0, 0}, {1, 0}},
};

namespace {

template <typename T>
std::shared_ptr<Attribute<T>> makeStream(size_t count, const T& value) {
    auto attribute = std::make_shared<Attribute<T>>();
    attribute->data()->assign(count, value);
    return attribute;
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

namespace {

size_t roundUpToEight(size_t count) {
    return (count + 7) / 8 * 8;
}

// centre + offset in single precision. Beyond about 32 units from the origin a float
// cannot hold 1e-6 apart from the centre; the nearest float on the offset's side takes
// its place, so the pinched end keeps four distinct points (and its triangles a normal).
float apart(double centre, double offset) {
    const float moved = static_cast<float>(centre + offset);
    const float here = static_cast<float>(centre);
    if (moved != here) return moved;
    return std::nextafter(here, offset > 0.0 ? HUGE_VALF : -HUGE_VALF);
}

// A ring shrunk to four points 1e-6 around particle i: the tube starts and ends in a point.
void collapseRing(TubeScratch& scratch, size_t ring, size_t i) {
    const double px = scratch.position(0)[i], py = scratch.position(1)[i], pz = scratch.position(2)[i];
    const float x = static_cast<float>(px);
    const float y = static_cast<float>(py);
    const float z = static_cast<float>(pz);
    const float points[kRingSize][3] = {
        {x, y, apart(pz, 1e-6)}, {apart(px, -1e-6), y, z}, {x, y, apart(pz, -1e-6)}, {apart(px, 1e-6), y, z}};
    for (int j = 0; j < kRingSize; ++j) {
        for (int axis = 0; axis < 3; ++axis) scratch.corner(j, axis)[ring] = points[j][axis];
    }
}

// One ring vertex's offset direction: u rotated about the unit axis a by the
// quaternion (w, a * s), as glm's quaternion-vector product computes it.
struct Offset {
    double x, y, z;
};
inline Offset rotated(double w, double s, double ax, double ay, double az, double ux, double uy, double uz) {
    const double qx = ax * s, qy = ay * s, qz = az * s;
    const double uvx = qy * uz - uy * qz, uvy = qz * ux - uz * qx, uvz = qx * uy - ux * qy;
    const double uuvx = qy * uvz - uvy * qz, uuvy = qz * uvx - uvz * qx, uuvz = qx * uvy - uvx * qy;
    return {ux + ((uvx * w) + uuvx) * 2.0, uy + ((uvy * w) + uuvy) * 2.0, uz + ((uvz * w) + uuvz) * 2.0};
}

// The rings of all segments side by side, in the operations and order of glm's
// normalize, dot, cross and quaternion rotation in double precision (so the vectorised
// loop gives the bits those give one ring at a time). The rows are parameters so the
// compiler knows they do not overlap.
inline __attribute__((always_inline)) void ringLoop(
    size_t rings, const double* __restrict x, const double* __restrict y, const double* __restrict z,
    const double* __restrict radii, double* __restrict ux, double* __restrict uy, double* __restrict uz,
    float* __restrict o0x, float* __restrict o0y, float* __restrict o0z, float* __restrict o1x,
    float* __restrict o1y, float* __restrict o1z, float* __restrict o2x, float* __restrict o2y,
    float* __restrict o2z, float* __restrict o3x, float* __restrict o3y, float* __restrict o3z) {
    static const RingRotation rotation;
    const double w0 = rotation.w[0], w1 = rotation.w[1], w2 = rotation.w[2], w3 = rotation.w[3];
    const double s0 = rotation.s[0], s1 = rotation.s[1], s2 = rotation.s[2], s3 = rotation.s[3];
    for (size_t i = 0; i < rings; ++i) {
        const double p0x = x[i], p0y = y[i], p0z = z[i];
        const double dx = x[i + 1] - p0x, dy = y[i + 1] - p0y, dz = z[i + 1] - p0z;
        const double toUnit = 1.0 / std::sqrt((dx * dx + dy * dy) + dz * dz);
        const double ax = dx * toUnit, ay = dy * toUnit, az = dz * toUnit;
        // The up vector (0, 1, 0) without its part along the axis.
        const double along = ((ax * 0.0 + ay * 1.0) + az * 0.0) / ((ax * ax + ay * ay) + az * az);
        const double vx = 0.0 - ax * along, vy = 1.0 - ay * along, vz = 0.0 - az * along;
        const double toUnitV = 1.0 / std::sqrt((vx * vx + vy * vy) + vz * vz);
        const double u2x = vx * toUnitV, u2y = vy * toUnitV, u2z = vz * toUnitV;
        ux[i] = u2x;
        uy[i] = u2y;
        uz[i] = u2z;
        const double r = radii[i];
        const Offset v0 = rotated(w0, s0, ax, ay, az, u2x, u2y, u2z);
        const Offset v1 = rotated(w1, s1, ax, ay, az, u2x, u2y, u2z);
        const Offset v2 = rotated(w2, s2, ax, ay, az, u2x, u2y, u2z);
        const Offset v3 = rotated(w3, s3, ax, ay, az, u2x, u2y, u2z);
        o0x[i] = static_cast<float>(p0x + v0.x * r);
        o0y[i] = static_cast<float>(p0y + v0.y * r);
        o0z[i] = static_cast<float>(p0z + v0.z * r);
        o1x[i] = static_cast<float>(p0x + v1.x * r);
        o1y[i] = static_cast<float>(p0y + v1.y * r);
        o1z[i] = static_cast<float>(p0z + v1.z * r);
        o2x[i] = static_cast<float>(p0x + v2.x * r);
        o2y[i] = static_cast<float>(p0y + v2.y * r);
        o2z[i] = static_cast<float>(p0z + v2.z * r);
        o3x[i] = static_cast<float>(p0x + v3.x * r);
        o3y[i] = static_cast<float>(p0y + v3.y * r);
        o3z[i] = static_cast<float>(p0z + v3.z * r);
    }
}

// Ring i again for a segment along +-y, where the up vector has no part across the axis:
// the side vector is then +z (the axis is exactly perpendicular to it), computed in the
// same operations as the loop above with (0, 0, 1) in place of (0, 1, 0).
void ringAcrossZ(TubeScratch& scratch, const double* radii, size_t i) {
    static const RingRotation rotation;
    const double* x = scratch.position(0);
    const double* y = scratch.position(1);
    const double* z = scratch.position(2);
    const double p0x = x[i], p0y = y[i], p0z = z[i];
    const double dx = x[i + 1] - p0x, dy = y[i + 1] - p0y, dz = z[i + 1] - p0z;
    const double toUnit = 1.0 / std::sqrt((dx * dx + dy * dy) + dz * dz);
    const double ax = dx * toUnit, ay = dy * toUnit, az = dz * toUnit;
    const double along = ((ax * 0.0 + ay * 0.0) + az * 1.0) / ((ax * ax + ay * ay) + az * az);
    const double vx = 0.0 - ax * along, vy = 0.0 - ay * along, vz = 1.0 - az * along;
    const double toUnitV = 1.0 / std::sqrt((vx * vx + vy * vy) + vz * vz);
    const double u2x = vx * toUnitV, u2y = vy * toUnitV, u2z = vz * toUnitV;
    scratch.axes[i] = u2x;
    scratch.axes[scratch.points + i] = u2y;
    scratch.axes[2 * scratch.points + i] = u2z;
    for (int j = 0; j < kRingSize; ++j) {
        const Offset v = rotated(rotation.w[j], rotation.s[j], ax, ay, az, u2x, u2y, u2z);
        scratch.corner(j, 0)[i] = static_cast<float>(p0x + v.x * radii[i]);
        scratch.corner(j, 1)[i] = static_cast<float>(p0y + v.y * radii[i]);
        scratch.corner(j, 2)[i] = static_cast<float>(p0z + v.z * radii[i]);
    }
}

template <typename... Rows>
void ringLoopNarrow(Rows... rows) {
    ringLoop(rows...);
}

#if HV_WIDE_VECTORS
template <typename... Rows>
HV_WIDE_TARGET void ringLoopWide(Rows... rows) {
    ringLoop(rows...);
}
#endif

void computeRings(TubeScratch& scratch, const double* radii) {
    const size_t rings = scratch.points - 1;
    const double* x = scratch.position(0);
    const double* y = scratch.position(1);
    const double* z = scratch.position(2);
    double* ux = &scratch.axes[0];
    double* uy = &scratch.axes[scratch.points];
    double* uz = &scratch.axes[2 * scratch.points];
    const auto run = [&](auto loop) {
        loop(rings, x, y, z, radii, ux, uy, uz, scratch.corner(0, 0), scratch.corner(0, 1),
             scratch.corner(0, 2), scratch.corner(1, 0), scratch.corner(1, 1), scratch.corner(1, 2),
             scratch.corner(2, 0), scratch.corner(2, 1), scratch.corner(2, 2), scratch.corner(3, 0),
             scratch.corner(3, 1), scratch.corner(3, 2));
    };
#if HV_WIDE_VECTORS
    if (wideVectorsAvailable()) {
        run([](auto... rows) { ringLoopWide(rows...); });
    } else {
        run([](auto... rows) { ringLoopNarrow(rows...); });
    }
#else
    run([](auto... rows) { ringLoopNarrow(rows...); });
#endif
    // Checked ring by ring as the rings are meant, once the side-by-side loop is done.
    // Only a segment along +-y lacks a side vector there; every other ring keeps its bits.
    for (size_t i = 0; i < rings; ++i) {
        const glm::dvec3 p0(x[i], y[i], z[i]);
        HV_ASSERT(p0 == p0, tree::kAssertSource);
        if (!(std::isfinite(ux[i]) && std::isfinite(uy[i]) && std::isfinite(uz[i])))
            ringAcrossZ(scratch, radii, i);
        const glm::dvec3 u2(ux[i], uy[i], uz[i]);
        HV_ASSERT(u2 == u2, tree::kAssertSource);
    }
    collapseRing(scratch, rings - 1, rings);
    collapseRing(scratch, 0, 0);
    for (size_t i = 0; i < rings; ++i) {
        for (int j = 0; j < kRingSize; ++j) {
            scratch.rings[kRingSize * i + j] =
                glm::vec3(scratch.corner(j, 0)[i], scratch.corner(j, 1)[i], scratch.corner(j, 2)[i]);
        }
    }
}

// The differences of a triangle kind's texture coordinates: they are the same in every segment.
struct TextureSlopes {
    float dy1[kTrianglesPerSegment];
    float dy2[kTrianglesPerSegment];
    float inverseDeterminant[kTrianglesPerSegment];
    TextureSlopes() {
        for (int t = 0; t < kTrianglesPerSegment; ++t) {
            const glm::vec2 c0 = kTriangleTexCoords[t][0], c1 = kTriangleTexCoords[t][1];
            const glm::vec2 c2 = kTriangleTexCoords[t][2];
            const float dx1 = c1.x - c0.x, dx2 = c2.x - c0.x;
            dy1[t] = c1.y - c0.y;
            dy2[t] = c2.y - c0.y;
            inverseDeterminant[t] = 1.0f / (dx1 * dy2[t] - dx2 * dy1[t]);
        }
    }
};

enum Quantity { kNx, kNy, kNz, kTx, kTy, kTz, kBx, kBy, kBz, kQuantityCount };

// The tangent frame of triangle t in every segment: plain float arithmetic in the order
// the glm functions use (normalize = v * (1 / sqrt(dot)), dot summed x + y then z), so
// the vectorised loop yields the scalar bits.
inline __attribute__((always_inline)) void computeFrames(TubeScratch& scratch, int t) {
    static const TextureSlopes slopes;
    const float dy1 = slopes.dy1[t], dy2 = slopes.dy2[t], inv = slopes.inverseDeterminant[t];
    const float* corner[3][3];
    for (int k = 0; k < 3; ++k) {
        const int c = kTriangleCorners[t][k];
        for (int axis = 0; axis < 3; ++axis)
            corner[k][axis] = scratch.corner(c % kRingSize, axis) + c / kRingSize;
    }
    const float* __restrict ax = corner[0][0];
    const float* __restrict ay = corner[0][1];
    const float* __restrict az = corner[0][2];
    const float* __restrict bx = corner[1][0];
    const float* __restrict by = corner[1][1];
    const float* __restrict bz = corner[1][2];
    const float* __restrict cx = corner[2][0];
    const float* __restrict cy = corner[2][1];
    const float* __restrict cz = corner[2][2];
    float* __restrict nx = scratch.frame(kNx, t);
    float* __restrict ny = scratch.frame(kNy, t);
    float* __restrict nz = scratch.frame(kNz, t);
    float* __restrict tx = scratch.frame(kTx, t);
    float* __restrict ty = scratch.frame(kTy, t);
    float* __restrict tz = scratch.frame(kTz, t);
    float* __restrict gx = scratch.frame(kBx, t);
    float* __restrict gy = scratch.frame(kBy, t);
    float* __restrict gz = scratch.frame(kBz, t);
    const size_t count = scratch.segmentStride;
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
        const float sx = (dy2 * e1x - dy1 * e2x) * inv;
        const float sy = (dy2 * e1y - dy1 * e2y) * inv;
        const float sz = (dy2 * e1z - dy1 * e2z) * inv;
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

void computeAllFrames(TubeScratch& scratch) {
    for (int t = 0; t < kTrianglesPerSegment; ++t) computeFrames(scratch, t);
}

#if HV_WIDE_VECTORS
// The same loop compiled for eight lanes.
HV_WIDE_TARGET void computeAllFramesWide(TubeScratch& scratch) {
    for (int t = 0; t < kTrianglesPerSegment; ++t) computeFrames(scratch, t);
}
#endif

// Every filled normal is a number and not zero; the first that is not stops the process.
void checkNormals(TubeScratch& scratch, size_t segments) {
    bool fine = true;
    for (int t = 0; t < kTrianglesPerSegment; ++t) {
        const float* nx = scratch.frame(kNx, t);
        const float* ny = scratch.frame(kNy, t);
        const float* nz = scratch.frame(kNz, t);
        int bad = 0;
        for (size_t s = 0; s < segments; ++s) {
            const int number = (nx[s] == nx[s]) & (ny[s] == ny[s]) & (nz[s] == nz[s]);
            const int zero = (nx[s] == 0.0f) & (ny[s] == 0.0f) & (nz[s] == 0.0f);
            bad |= (number ^ 1) | zero;
        }
        fine = fine && bad == 0;
    }
    if (fine) return;
    for (size_t s = 0; s < segments; ++s) {
        for (int t = 0; t < kTrianglesPerSegment; ++t) {
            const glm::vec3 normal(scratch.frame(kNx, t)[s], scratch.frame(kNy, t)[s],
                                   scratch.frame(kNz, t)[s]);
            HV_ASSERT(normal == normal, tree::kAssertSource);
            // The zero vector is what the unspecialised numeric limits give for a vector type.
            HV_ASSERT_AT(normal != glm::vec3(0.0f), "normal != std::numeric_limits<vec3>::infinity()",
                         tree::kAssertSource, __LINE__);
        }
    }
}

template <typename T>
std::vector<T>* streamAt(VertexAttributes& mesh, int location) {
    // The streams are stored by buildTubeMesh with these exact types.
    auto* attribute = dynamic_cast<Attribute<T>*>(mesh.attributes[location].get());
    return attribute ? attribute->elements.get() : nullptr;
}

#if defined(__SSE2__)
// Each vertex takes one four-float store whose last lane spills onto the next vertex's
// x: a later store puts that right, and the lane is zero where nothing follows (the
// unfilled last segment holds zeros).
void writePositions(const float* rings, size_t segments, float* __restrict out) {
    const __m128 xyz = _mm_castsi128_ps(_mm_set_epi32(0, -1, -1, -1));
    for (size_t s = 0; s < segments; ++s) {
        // Corner c of segment s is ring s's vertex c, or ring s + 1's vertex c - 4.
        const float* corners = rings + 3 * kRingSize * s;
        float* vertex = out + 3 * kVerticesPerSegment * s;
#pragma GCC unroll 24
        for (int v = 0; v < kVerticesPerSegment; ++v) {
            const int c = kTriangleCorners[v / 3][v % 3];
            _mm_storeu_ps(vertex + 3 * v, _mm_and_ps(_mm_loadu_ps(corners + 3 * c), xyz));
        }
    }
}

// One of the frame's vectors (x, y and z rows from `quantity` on) three times per
// triangle, four segments at a time: a transpose turns the rows into the segments'
// vectors. The last triangle of a segment stores its last vertex without spilling, as
// the next segment's first vertex may be written already.
void writeFrames(TubeScratch& scratch, size_t segments, int quantity, float* __restrict out) {
    for (size_t first = 0; first < segments; first += 4) {
        const size_t count = std::min<size_t>(4, segments - first);
        for (int t = 0; t < kTrianglesPerSegment; ++t) {
            // The rows are padded to a multiple of eight segments, so four can always be read.
            __m128 a = _mm_loadu_ps(scratch.frame(quantity, t) + first);
            __m128 b = _mm_loadu_ps(scratch.frame(quantity + 1, t) + first);
            __m128 c = _mm_loadu_ps(scratch.frame(quantity + 2, t) + first);
            __m128 d = _mm_setzero_ps();
            _MM_TRANSPOSE4_PS(a, b, c, d);
            const __m128 vectors[4] = {a, b, c, d};
            for (size_t j = 0; j < count; ++j) {
                float* vertex = out + ((first + j) * kTrianglesPerSegment + t) * 9;
                _mm_storeu_ps(vertex, vectors[j]);
                _mm_storeu_ps(vertex + 3, vectors[j]);
                if (t + 1 < kTrianglesPerSegment) {
                    _mm_storeu_ps(vertex + 6, vectors[j]);
                } else {
                    _mm_storel_pi(reinterpret_cast<__m64*>(vertex + 6), vectors[j]);
                    _mm_store_ss(vertex + 8, _mm_movehl_ps(vectors[j], vectors[j]));
                }
            }
        }
    }
}

void writeStreams(TubeScratch& scratch, size_t segments, float* __restrict positions,
                  float* __restrict normals, float* __restrict tangents, float* __restrict bitangents) {
    writePositions(&scratch.rings[0].x, segments, positions);
    writeFrames(scratch, segments, kNx, normals);
    writeFrames(scratch, segments, kTx, tangents);
    writeFrames(scratch, segments, kBx, bitangents);
}
#else
inline void put(float* out, float x, float y, float z) {
    out[0] = x;
    out[1] = y;
    out[2] = z;
}

void writeStreams(TubeScratch& scratch, size_t segments, float* __restrict positions,
                  float* __restrict normals, float* __restrict tangents, float* __restrict bitangents) {
    const glm::vec3* rings = scratch.rings.data();
    for (size_t s = 0; s < segments; ++s) {
        const glm::vec3* corners = rings + kRingSize * s;
        for (int t = 0; t < kTrianglesPerSegment; ++t) {
            const size_t v = ((s * kTrianglesPerSegment) + t) * 3;
            const float nx = scratch.frame(kNx, t)[s], ny = scratch.frame(kNy, t)[s],
                        nz = scratch.frame(kNz, t)[s];
            const float tx = scratch.frame(kTx, t)[s], ty = scratch.frame(kTy, t)[s],
                        tz = scratch.frame(kTz, t)[s];
            const float bx = scratch.frame(kBx, t)[s], by = scratch.frame(kBy, t)[s],
                        bz = scratch.frame(kBz, t)[s];
            for (int k = 0; k < 3; ++k) {
                const glm::vec3& corner = corners[kTriangleCorners[t][k]];
                put(positions + 3 * (v + k), corner.x, corner.y, corner.z);
                put(normals + 3 * (v + k), nx, ny, nz);
                put(tangents + 3 * (v + k), tx, ty, tz);
                put(bitangents + 3 * (v + k), bx, by, bz);
            }
        }
    }
}
#endif

void rebuild(VertexAttributes& mesh, const double* radii, TubeScratch& scratch) {
    const size_t n = scratch.points;
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

    computeRings(scratch, radii);
#if HV_WIDE_VECTORS
    if (wideVectorsAvailable())
        computeAllFramesWide(scratch);
    else
        computeAllFrames(scratch);
#else
    computeAllFrames(scratch);
#endif
    const size_t segments = n - 2;
    checkNormals(scratch, segments);
    writeStreams(scratch, segments, &(*attribPos)[0].x, &(*normals)[0].x, &(*attribTan)[0].x,
                 &(*attribBit)[0].x);
}

}  // namespace

TubeScratch::TubeScratch(size_t nrPoints)
    : points(nrPoints),
      segmentStride(roundUpToEight(nrPoints > 2 ? nrPoints - 2 : 0)),
      ringStride(roundUpToEight(segmentStride + 1)),
      rings(kRingSize * nrPoints),
      positions(3 * nrPoints, 0.0),
      axes(3 * nrPoints, 0.0),
      corners(kRingSize * 3 * ringStride, 0.0f),
      frames(kQuantityCount * kTrianglesPerSegment * segmentStride, 0.0f) {}

void rebuildTubeMesh(VertexAttributes& mesh, const Particle* particles, size_t count, const double* radii,
                     TubeScratch& scratch) {
    HV_ASSERT(count > 2 && scratch.points == count, tree::kAssertSource);
    double* x = scratch.position(0);
    double* y = scratch.position(1);
    double* z = scratch.position(2);
    for (size_t i = 0; i < count; ++i) {
        const glm::dvec3& p = particles[i].position();
        x[i] = p.x;
        y[i] = p.y;
        z[i] = p.z;
    }
    rebuild(mesh, radii, scratch);
}

void rebuildTubeMesh(VertexAttributes& mesh, const std::vector<std::shared_ptr<Particle>>& particles,
                     const std::vector<double>& radii, TubeScratch& scratch) {
    const size_t n = particles.size();
    HV_ASSERT(n > 2 && radii.size() == n && scratch.points == n, tree::kAssertSource);
    for (size_t i = 0; i < n; ++i) {
        const glm::dvec3& p = particles[i]->position();
        scratch.position(0)[i] = p.x;
        scratch.position(1)[i] = p.y;
        scratch.position(2)[i] = p.z;
    }
    rebuild(mesh, radii.data(), scratch);
}

}  // namespace tube
