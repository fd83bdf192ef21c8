#include "MeshBuilder.h"

#include <glm/geometric.hpp>

#include <cmath>

namespace art {

namespace {
const double kPi = 3.14159265358979323846;

// Two unit vectors perpendicular to `axis` forming a right-handed frame (p × q = axis).
void perpendicularFrame(const glm::dvec3& axis, glm::dvec3& p, glm::dvec3& q) {
    const glm::dvec3 helper = std::fabs(axis.y) < 0.9 ? glm::dvec3(0, 1, 0) : glm::dvec3(1, 0, 0);
    p = glm::normalize(glm::cross(helper, axis));
    q = glm::cross(axis, p);
}
}  // namespace

void MeshBuilder::addTriangle(const ModelVertex& a, const ModelVertex& b, const ModelVertex& c) {
    _vertices.push_back(a);
    _vertices.push_back(b);
    _vertices.push_back(c);
}

void MeshBuilder::addQuad(const glm::dvec3& origin, const glm::dvec3& u, const glm::dvec3& v) {
    const glm::dvec3 n = glm::normalize(glm::cross(u, v));
    const double su = glm::length(u) / _tileSize;
    const double sv = glm::length(v) / _tileSize;
    const ModelVertex p0{origin, n, {0.0, 0.0}};
    const ModelVertex p1{origin + u, n, {su, 0.0}};
    const ModelVertex p2{origin + u + v, n, {su, sv}};
    const ModelVertex p3{origin + v, n, {0.0, sv}};
    addTriangle(p0, p1, p2);
    addTriangle(p0, p2, p3);
}

void MeshBuilder::addOrientedBox(const glm::dvec3& c, const glm::dvec3& a, const glm::dvec3& b,
                                 const glm::dvec3& e) {
    // Each face: normal n and in-plane half vectors p, q with p × q along n.
    const glm::dvec3 faces[6][3] = {{a, b, e}, {-a, e, b}, {b, e, a}, {-b, a, e}, {e, a, b}, {-e, b, a}};
    for (const auto& f : faces) {
        addQuad(c + f[0] - f[1] - f[2], 2.0 * f[1], 2.0 * f[2]);
    }
}

void MeshBuilder::addBox(const glm::dvec3& lo, const glm::dvec3& hi) {
    const glm::dvec3 h = (hi - lo) * 0.5;
    addOrientedBox(lo + h, {h.x, 0, 0}, {0, h.y, 0}, {0, 0, h.z});
}

void MeshBuilder::addBeam(const glm::dvec3& p0, const glm::dvec3& p1, double halfThickness) {
    const glm::dvec3 axis = glm::normalize(p1 - p0);
    glm::dvec3 p{0.0}, q{0.0};
    perpendicularFrame(axis, p, q);
    addOrientedBox((p0 + p1) * 0.5, p * halfThickness, q * halfThickness, (p1 - p0) * 0.5);
}

void MeshBuilder::addCylinder(const glm::dvec3& base, const glm::dvec3& axis, double radius0, double radius1,
                              double length, int segments, bool capped) {
    glm::dvec3 p{0.0}, q{0.0};
    perpendicularFrame(axis, p, q);
    const glm::dvec3 top = base + axis * length;
    const double around = 2.0 * kPi * std::max(radius0, radius1) / _tileSize;
    const double along = length / _tileSize;
    // The side normal leans with the cone's slope.
    const double slope = (radius0 - radius1) / length;
    for (int i = 0; i < segments; ++i) {
        const double a0 = 2.0 * kPi * i / segments;
        const double a1 = 2.0 * kPi * (i + 1) / segments;
        const glm::dvec3 d0 = p * std::cos(a0) + q * std::sin(a0);
        const glm::dvec3 d1 = p * std::cos(a1) + q * std::sin(a1);
        const glm::dvec3 n0 = glm::normalize(d0 + axis * slope);
        const glm::dvec3 n1 = glm::normalize(d1 + axis * slope);
        const double u0 = around * i / segments;
        const double u1 = around * (i + 1) / segments;
        const ModelVertex b0{base + d0 * radius0, n0, {u0, 0.0}};
        const ModelVertex b1{base + d1 * radius0, n1, {u1, 0.0}};
        const ModelVertex t0{top + d0 * radius1, n0, {u0, along}};
        const ModelVertex t1{top + d1 * radius1, n1, {u1, along}};
        // Seen from outside, going around by +angle is counter-clockwise when the axis points up.
        if (radius0 > 0.0) {
            addTriangle(b0, b1, t1);
        }
        if (radius1 > 0.0) {
            addTriangle(b0, t1, t0);
        }
        if (capped) {
            const auto capVertex = [&](const glm::dvec3& centre, const glm::dvec3& d, double r,
                                       const glm::dvec3& n) {
                return ModelVertex{
                    centre + d * r, n, {glm::dot(d, p) * r / _tileSize, glm::dot(d, q) * r / _tileSize}};
            };
            if (radius1 > 0.0) {
                addTriangle(ModelVertex{top, axis, {0.0, 0.0}}, capVertex(top, d0, radius1, axis),
                            capVertex(top, d1, radius1, axis));
            }
            if (radius0 > 0.0) {
                addTriangle(ModelVertex{base, -axis, {0.0, 0.0}}, capVertex(base, d1, radius0, -axis),
                            capVertex(base, d0, radius0, -axis));
            }
        }
    }
}

void MeshBuilder::addTubeLining(const glm::dvec3& base, const glm::dvec3& axis, double radius0,
                                double radius1, double length, int segments) {
    MeshBuilder outside(_tileSize);
    outside.addCylinder(base, axis, radius0, radius1, length, segments, false);
    const std::vector<ModelVertex>& vs = outside.vertices();
    for (size_t i = 0; i + 2 < vs.size(); i += 3) {
        ModelVertex a = vs[i], b = vs[i + 2], c = vs[i + 1];  // reversed winding
        a.normal = -a.normal;
        b.normal = -b.normal;
        c.normal = -c.normal;
        addTriangle(a, b, c);
    }
}

}  // namespace art
