#include "scenes/EnclosingMeshes.h"

#include <cmath>

void EnclosingMeshes::addMesh(const std::vector<glm::dvec3>& corners, bool triangles) {
    Mesh mesh;
    mesh.corners = corners;
    mesh.triangles = triangles;
    _meshes.push_back(std::move(mesh));
}

void EnclosingMeshes::addUnknownMesh() {
    _meshes.emplace_back();
    _unknown = true;
}

bool EnclosingMeshes::collectPlanes(const std::vector<glm::dvec3>& corners, std::vector<Plane>& planes,
                                    double tolerance) {
    planes.clear();
    for (size_t i = 0; i + 2 < corners.size(); i += 3) {
        const glm::dvec3 cross = glm::cross(corners[i + 1] - corners[i], corners[i + 2] - corners[i]);
        const double length = glm::length(cross);
        if (!(length > 0.0) || !std::isfinite(length)) continue;  // draws nothing
        Plane plane;
        plane.normal = cross / length;
        plane.offset = glm::dot(plane.normal, corners[i]);
        bool known = false;
        for (const Plane& other : planes) {
            known = glm::dot(other.normal, plane.normal) > 1.0 - 1e-9 && std::abs(other.offset - plane.offset) <= tolerance;
            if (known) break;
        }
        if (known) continue;
        if (planes.size() == kMaxPlanes) return false;
        planes.push_back(plane);
    }
    return !planes.empty();
}

void EnclosingMeshes::finish() {
    Box extent;
    for (const Mesh& mesh : _meshes)
        for (const glm::dvec3& corner : mesh.corners) extent.add(corner);
    // Corners that lie on a plane (a wall's top edge on the roof) come out a rounding off it.
    _tolerance = extent.empty() ? 0.0 : 1e-5 * glm::length(extent.max - extent.min);

    for (Mesh& mesh : _meshes) {
        mesh.encloses = !_unknown && mesh.triangles && collectPlanes(mesh.corners, mesh.planes, _tolerance);
        for (const Plane& plane : mesh.planes) {
            for (const Mesh& other : _meshes) {
                for (const glm::dvec3& corner : other.corners) {
                    if (!(plane.distance(corner) >= -_tolerance)) {
                        mesh.encloses = false;
                        break;
                    }
                }
                if (!mesh.encloses) break;
            }
            if (!mesh.encloses) break;
        }
        if (!mesh.encloses) mesh.planes.clear();
    }
    for (Mesh& mesh : _meshes) std::vector<glm::dvec3>().swap(mesh.corners);
}

bool EnclosingMeshes::canLeaveOut(size_t index, const glm::dvec3& light, const Box& moving) const {
    if (index >= _meshes.size() || !_meshes[index].encloses) return false;
    for (const Plane& plane : _meshes[index].planes) {
        if (!(plane.distance(light) > _tolerance)) return false;
        if (moving.empty()) continue;
        for (int i = 0; i < 8; ++i)
            if (plane.distance(moving.corner(i)) < -_tolerance) return false;
    }
    return true;
}
