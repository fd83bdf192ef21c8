// The parts of the model that only enclose the scene, and when the shadow pass may
// leave them out.
//
// A triangle whose plane has the whole model in front of it (or on it) is part of the
// model's convex hull seen from inside: a hall's floor, walls and roof. While the light
// and the moving casters are strictly in front of those planes too, the segment from
// the light to any point of the scene stays strictly in front of them, so such a
// triangle is never nearer the light than anything else along a ray: it only puts its
// own depth where nothing else lies, and there lighting reads it for its own surface
// alone, which the depth bias lights in any case. Left out, those texels keep the
// cleared depth, which lights that surface the same.
//
// Contract: build() once with every mesh, in the order the scene keeps them: the corners
// its draw call reads, in world space (three per triangle; a mesh of points or lines
// gives its points and `triangles` false). One whose corners cannot be told (`known`
// false) keeps every mesh whole. part() per frame with
// the light and the box around everything that moves (empty when nothing does); for
// Part::Casters the pass draws casterRanges() of the mesh's corners instead of all of
// them. Per frame nothing is allocated.
#pragma once

#include "scenes/Box.h"
#include "scenes/CornerRange.h"

#include <glm/glm.hpp>

#include <cstddef>
#include <vector>

class EnclosingMeshes {
public:
    // A mesh whose enclosing triangles span more planes than this is not a shell: it stays whole.
    static constexpr size_t kMaxPlanes = 32;
    // Nor is one whose other triangles fall into more runs than this.
    static constexpr size_t kMaxRanges = 4;

    using Range = CornerRange;
    enum class Part { Whole, Casters, Nothing };

    struct MeshCorners {
        std::vector<glm::dvec3> corners;
        bool triangles = false;
        bool known = true;
    };

    void build(const std::vector<MeshCorners>& meshes);
    Part part(size_t mesh, const glm::dvec3& light, const Box& moving) const;
    const std::vector<Range>& casterRanges(size_t mesh) const { return _meshes[mesh].casters; }

private:
    struct Plane {
        glm::dvec3 normal{0.0};  // unit, towards the triangle's front
        double offset = 0.0;     // dot(normal, p) for p on the plane
        double distance(const glm::dvec3& p) const { return glm::dot(normal, p) - offset; }
    };
    struct Mesh {
        std::vector<Plane> planes;   // of its enclosing triangles; empty: always whole
        std::vector<Range> casters;  // its other triangles
    };

    bool inFrontOfAll(const Plane& plane, const std::vector<MeshCorners>& meshes) const;
    void classify(const std::vector<glm::dvec3>& corners, const std::vector<MeshCorners>& meshes,
                  Mesh& mesh) const;

    std::vector<Mesh> _meshes;
    std::vector<glm::dvec3> _extremes;  // the model's outermost corners, to reject most planes early
    double _tolerance = 0.0;
};
