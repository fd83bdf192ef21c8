#include "scenes/EnclosingMeshes.h"

#include <cmath>
#include <limits>

bool EnclosingMeshes::inFrontOfAll(const Plane& plane, const std::vector<MeshCorners>& meshes) const {
    for (const glm::dvec3& corner : _extremes)
        if (!(plane.distance(corner) >= -_tolerance)) return false;
    for (const MeshCorners& mesh : meshes)
        for (const glm::dvec3& corner : mesh.corners)
            if (!(plane.distance(corner) >= -_tolerance)) return false;
    return true;
}

void EnclosingMeshes::classify(const std::vector<glm::dvec3>& corners, const std::vector<MeshCorners>& meshes,
                               Mesh& mesh) const {
    const size_t triangleCount = corners.size() / 3;
    std::vector<char> encloses(triangleCount, 0);
    bool any = false;
    for (size_t t = 0; t < triangleCount; ++t) {
        const glm::dvec3* c = &corners[3 * t];
        const glm::dvec3 cross = glm::cross(c[1] - c[0], c[2] - c[0]);
        const double length = glm::length(cross);
        if (!(length > 0.0) || !std::isfinite(length)) {  // draws nothing
            encloses[t] = 1;
            continue;
        }
        Plane plane;
        plane.normal = cross / length;
        plane.offset = glm::dot(plane.normal, c[0]);
        bool known = false;
        for (const Plane& other : mesh.planes) {
            known = glm::dot(other.normal, plane.normal) > 1.0 - 1e-9 && std::abs(other.offset - plane.offset) <= _tolerance;
            if (known) break;
        }
        if (!known) {
            if (!inFrontOfAll(plane, meshes)) continue;
            if (mesh.planes.size() == kMaxPlanes) {
                mesh.planes.clear();
                return;
            }
            mesh.planes.push_back(plane);
        }
        encloses[t] = 1;
        any = true;
    }
    if (!any) {
        mesh.planes.clear();
        return;
    }
    for (size_t t = 0; t < triangleCount; ++t) {
        if (encloses[t]) continue;
        const int first = static_cast<int>(3 * t);
        if (!mesh.casters.empty() && mesh.casters.back().first + mesh.casters.back().count == first) {
            mesh.casters.back().count += 3;
        } else if (mesh.casters.size() == kMaxRanges) {
            mesh.planes.clear();
            mesh.casters.clear();
            return;
        } else {
            mesh.casters.push_back(Range{first, 3});
        }
    }
}

void EnclosingMeshes::build(const std::vector<MeshCorners>& meshes) {
    _meshes.assign(meshes.size(), Mesh{});
    Box extent;
    for (const MeshCorners& mesh : meshes)
        for (const glm::dvec3& corner : mesh.corners) extent.add(corner);
    // Corners that lie on a plane (a wall's top edge on the roof) come out a rounding off it.
    _tolerance = extent.empty() ? 0.0 : 1e-5 * glm::length(extent.max - extent.min);

    // The corner furthest along each of 26 directions: most planes inside the model have
    // one of them behind.
    _extremes.clear();
    for (int i = 0; i < 27; ++i) {
        const glm::dvec3 direction(i % 3 - 1, i / 3 % 3 - 1, i / 9 - 1);
        if (direction == glm::dvec3(0.0)) continue;
        double lowest = std::numeric_limits<double>::infinity();
        const glm::dvec3* found = nullptr;
        for (const MeshCorners& mesh : meshes) {
            for (const glm::dvec3& corner : mesh.corners) {
                const double along = glm::dot(direction, corner);
                if (along < lowest) lowest = along, found = &corner;
            }
        }
        if (found != nullptr) _extremes.push_back(*found);
    }

    for (const MeshCorners& mesh : meshes)
        if (!mesh.known) return;
    for (size_t i = 0; i < meshes.size(); ++i)
        if (meshes[i].triangles) classify(meshes[i].corners, meshes, _meshes[i]);
}

EnclosingMeshes::Part EnclosingMeshes::part(size_t index, const glm::dvec3& light, const Box& moving) const {
    if (index >= _meshes.size() || _meshes[index].planes.empty()) return Part::Whole;
    const Mesh& mesh = _meshes[index];
    for (const Plane& plane : mesh.planes) {
        if (!(plane.distance(light) > _tolerance)) return Part::Whole;
        if (moving.empty()) continue;
        for (int i = 0; i < 8; ++i)
            if (plane.distance(moving.corner(i)) < -_tolerance) return Part::Whole;
    }
    return mesh.casters.empty() ? Part::Nothing : Part::Casters;
}
