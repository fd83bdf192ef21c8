// Which texels of each shadow cube face a frame can read.
//
// Lighting looks the shadow up only for pixels the geometry pass covered, at the
// surface point plus a small nudge along its normal. Those points lie inside the
// camera's frustum and inside the box around everything drawn, so the cube is read
// only along the directions from the light into that region. For each face this
// gives a rectangle of texels (with a margin for the filter's footprint and for
// lookups that fall just across a face edge); texels outside it, and faces it misses,
// are never read this frame, so the shadow pass neither clears nor draws them. The
// rectangle's frustum also tells which casters can reach it.
//
// Contract: update() with the camera's projection x view, the box around everything
// drawn into the G-buffer, the light position and the six face matrices of the cube
// (projection x lookAt, GL face order). Every point within `kLookupMargin` of the
// region then projects into its face's rectangle, or, when it lies across a face
// edge, within a few texels of it. When the light itself is in or next to the region
// every face is needed whole. Allocates nothing.
#pragma once

#include "scenes/Box.h"

#include <glm/glm.hpp>

#include <array>
#include <vector>

class ShadowRegions {
public:
    // How far a lookup may lie from the surface point it shades (world units); the
    // lighting nudges by 0.02 along the normal.
    static constexpr double kLookupMargin = 0.05;
    // Texels added around each rectangle: the linear filter's 2 x 2 footprint and rounding.
    static constexpr int kTexelMargin = 2;

    struct Face {
        bool needed = true;
        // Texel rectangle [x0, x1) x [y0, y1) of the face.
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        // The rectangle's frustum in world space: a point p reaches it when
        // dot(plane, (p, 1)) >= 0 for all six planes.
        std::array<glm::dvec4, 6> planes{};
    };

    void update(const glm::mat4& cameraViewProjection, const Box& drawn, const glm::vec3& light,
                const std::vector<glm::mat4>& faceMatrices, int faceSize);

    // Keeps only the part of face `index`'s rectangle inside texels [x0, x1) x [y0, y1):
    // what the frame's lookups were measured to reach. An empty result drops the face.
    void narrow(int index, int x0, int y0, int x1, int y1, const glm::mat4& faceMatrix, int faceSize);

    const Face& face(int index) const { return _faces[static_cast<size_t>(index)]; }
    // Whether anything inside `box` can be drawn into face `index`'s rectangle.
    bool reaches(int index, const Box& box) const;

private:
    static constexpr int kMaxPoints = 8 + 8 + 12 * 6 + 12 * 6;

    void collectRegionCorners(const glm::dmat4& cameraViewProjection, const Box& drawn);
    void fitFace(int index, const glm::dmat4& matrix, int faceSize);
    void wholeFace(int index, const glm::dmat4& matrix, int faceSize);
    static void setPlanes(Face& face, const glm::dmat4& matrix, int faceSize);

    std::array<Face, 6> _faces{};
    // Corners of (camera frustum) x (drawn box), both widened by the lookup margin.
    std::array<glm::dvec3, kMaxPoints> _points{};
    int _pointCount = 0;
};
