// The model's meshes that only enclose the scene, and when the shadow pass may leave
// them out.
//
// A mesh whose every triangle has the whole model in front of its plane (or on it) is
// part of the model's convex hull seen from inside: a hall's walls and roof. While the
// light and the moving casters are strictly in front of those planes too, the segment
// from the light to any point of the scene stays strictly in front of them, so such a
// mesh is never nearer the light than anything else along a ray: it only puts its own
// depth where nothing else lies, and there lighting reads it for its own surface alone,
// which the depth bias lights in any case. Left out, those texels keep the cleared
// depth, which lights that surface the same.
//
// Contract: addMesh() once per mesh, in the order the scene keeps them, with its
// triangles in world space (three corners each; a mesh of points or lines gives its
// points and `triangles` false), or addUnknownMesh() for one whose corners cannot be
// told, which keeps every mesh in; then finish(). canLeaveOut() per frame
// with the light and the box around everything that moves (an empty box when nothing
// does); it allocates nothing.
#pragma once

#include "scenes/Box.h"

#include <glm/glm.hpp>

#include <cstddef>
#include <vector>

class EnclosingMeshes {
public:
    // A mesh with more distinct planes than this is not a wall; it is never left out.
    static constexpr size_t kMaxPlanes = 32;

    void addMesh(const std::vector<glm::dvec3>& corners, bool triangles);
    void addUnknownMesh();
    void finish();

    size_t meshCount() const { return _meshes.size(); }
    bool canLeaveOut(size_t mesh, const glm::dvec3& light, const Box& moving) const;

private:
    struct Plane {
        glm::dvec3 normal{0.0};  // unit, towards the triangle's front
        double offset = 0.0;     // dot(normal, p) for p on the plane
        double distance(const glm::dvec3& p) const { return glm::dot(normal, p) - offset; }
    };
    struct Mesh {
        std::vector<glm::dvec3> corners;
        std::vector<Plane> planes;  // empty when the mesh does not enclose
        bool triangles = false;
        bool encloses = false;
    };

    static bool collectPlanes(const std::vector<glm::dvec3>& corners, std::vector<Plane>& planes, double tolerance);

    std::vector<Mesh> _meshes;
    double _tolerance = 0.0;
    bool _unknown = false;
};
