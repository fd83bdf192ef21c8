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

// A ring shrunk to four points 1e-6 around p: the tube starts and ends in a point.
void collapseRing(glm::vec3* ring, const glm::dvec3& p) {
    ring[0] = glm::vec3(glm::dvec3(p.x, p.y, p.z + 1e-6));
    ring[1] = glm::vec3(glm::dvec3(p.x - 1e-6, p.y, p.z));
    ring[2] = glm::vec3(glm::dvec3(p.x, p.y, p.z - 1e-6));
    ring[3] = glm::vec3(glm::dvec3(p.x + 1e-6, p.y, p.z));
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
            for (int k = 0; k < 3; ++k) coords[(s * kTrianglesPerSegment + t) * 3 + k] = kTriangleTexCoords[t][k];
        }
    }
    return mesh;
}

void rebuildTubeMesh(VertexAttributes& mesh, const std::vector<std::shared_ptr<Particle>>& particles,
                     const std::vector<double>& radii, std::vector<glm::vec3>& rings) {
    const size_t n = particles.size();
    HV_ASSERT(n > 2 && radii.size() == n && rings.size() >= kRingSize * n, tree::kAssertSource);
    buildRings(particles, radii, rings);

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
    const size_t filledSegments = n - 2;
    for (size_t s = 0; s < filledSegments; ++s) {
        const glm::vec3* ring = &rings[kRingSize * s];
        for (int t = 0; t < kTrianglesPerSegment; ++t) {
            const glm::vec3& a = ring[kTriangleCorners[t][0]];
            const glm::vec3& b = ring[kTriangleCorners[t][1]];
            const glm::vec3& c = ring[kTriangleCorners[t][2]];
            const glm::vec3 normal = glm::normalize(glm::cross(glm::normalize(b - a), glm::normalize(c - a)));
            HV_ASSERT(normal == normal, tree::kAssertSource);
            // The zero vector is what the unspecialised numeric limits give for a vector type.
            HV_ASSERT_AT(normal != glm::vec3(0.0f), "normal != std::numeric_limits<vec3>::infinity()",
                         tree::kAssertSource, __LINE__);
            const size_t v = (s * kTrianglesPerSegment + t) * 3;
            store((*attribPos)[v], a);
            store((*attribPos)[v + 1], b);
            store((*attribPos)[v + 2], c);
            for (int k = 0; k < 3; ++k) store((*normals)[v + k], normal);
        }
    }

    for (size_t s = 0; s < filledSegments; ++s) {
        for (int t = 0; t < kTrianglesPerSegment; ++t) {
            const size_t v = (s * kTrianglesPerSegment + t) * 3;
            const glm::vec3 e1 = (*attribPos)[v + 1] - (*attribPos)[v];
            const glm::vec3 e2 = (*attribPos)[v + 2] - (*attribPos)[v];
            const glm::vec2 c0 = (*attribTex)[v];
            const glm::vec2 c1 = (*attribTex)[v + 1];
            const glm::vec2 c2 = (*attribTex)[v + 2];
            const float dx1 = c1.x - c0.x, dy1 = c1.y - c0.y;
            const float dx2 = c2.x - c0.x, dy2 = c2.y - c0.y;
            const float r = 1.0f / (dx1 * dy2 - dx2 * dy1);
            const glm::vec3 tangent = glm::normalize((dy2 * e1 - dy1 * e2) * r);
            // A triangle's three vertices share its flat normal, so they share the frame too.
            const glm::vec3& normal = (*normals)[v];
            const glm::vec3 orthogonal = glm::normalize(tangent - normal * glm::dot(normal, tangent));
            const glm::vec3 bitangent = glm::cross(normal, orthogonal);
            for (int k = 0; k < 3; ++k) {
                store((*attribTan)[v + k], orthogonal);
                store((*attribBit)[v + k], bitangent);
            }
        }
    }
}

}  // namespace tube
