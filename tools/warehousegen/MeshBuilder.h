// Triangle soup per material for the warehouse model.
//
// Every primitive is emitted as flat-shaded triangles with outward normals and
// counter-clockwise winding seen from outside. Texture coordinates are world lengths
// divided by the material's tile size, so textures keep one density across the hall.
#pragma once

#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <cstddef>
#include <vector>

namespace art {

struct ModelVertex {
    glm::dvec3 position{0.0};
    glm::dvec3 normal{0.0, 1.0, 0.0};
    glm::dvec2 uv{0.0};
};

class MeshBuilder {
public:
    explicit MeshBuilder(double tileSize) : _tileSize(tileSize) {}

    // Quad from `origin` spanning edges u and v; its face normal is u × v.
    void addQuad(const glm::dvec3& origin, const glm::dvec3& u, const glm::dvec3& v);

    // Box with centre c and half-extent vectors a, b, e (a × b points along e).
    void addOrientedBox(const glm::dvec3& c, const glm::dvec3& a, const glm::dvec3& b, const glm::dvec3& e);
    void addBox(const glm::dvec3& lo, const glm::dvec3& hi);

    // Square beam of the given half thickness from p0 to p1.
    void addBeam(const glm::dvec3& p0, const glm::dvec3& p1, double halfThickness);

    // Tube (or cone when the radii differ) from `base` along `axis` (unit) over `length`.
    void addCylinder(const glm::dvec3& base, const glm::dvec3& axis, double radius0, double radius1,
                     double length, int segments, bool capped);

    // The inner surface of an open tube or cone (normals towards the axis), so it shows
    // from inside when back faces are culled.
    void addTubeLining(const glm::dvec3& base, const glm::dvec3& axis, double radius0, double radius1,
                       double length, int segments);

    const std::vector<ModelVertex>& vertices() const { return _vertices; }
    size_t triangleCount() const { return _vertices.size() / 3; }

private:
    void addTriangle(const ModelVertex& a, const ModelVertex& b, const ModelVertex& c);

    double _tileSize = 1.0;
    std::vector<ModelVertex> _vertices;  // three per triangle
};

}  // namespace art
