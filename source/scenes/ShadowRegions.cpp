#include "scenes/ShadowRegions.h"

#include <algorithm>
#include <cmath>

namespace {

// Depth along a face's axis below which a point is too close to the light to project.
constexpr double kNearLight = 0.01;
// A face is kept when the region comes this close to it (in face coordinates, -1..1):
// a few texels, for lookups that filter across the edge.
constexpr double kEdgeSlack = 4.0 / 1024.0;
// Points a hair outside a plane still count: rounding must only ever widen the region.
constexpr double kTolerance = 1e-9;

using Plane = glm::dvec4;

double distanceTo(const Plane& plane, const glm::dvec3& p) {
    return plane.x * p.x + plane.y * p.y + plane.z * p.z + plane.w;
}

glm::dvec4 row(const glm::dmat4& m, int i) {
    return glm::dvec4(m[0][i], m[1][i], m[2][i], m[3][i]);
}

Plane normalised(const Plane& plane) {
    const double length = glm::length(glm::dvec3(plane));
    return length > 0.0 ? plane / length : plane;
}

// The point on all three planes.
glm::dvec3 meet(const Plane& a, const Plane& b, const Plane& c) {
    const glm::dvec3 na(a), nb(b), nc(c);
    const glm::dvec3 bc = glm::cross(nb, nc);
    const double det = glm::dot(na, bc);
    return -(a.w * bc + b.w * glm::cross(nc, na) + c.w * glm::cross(na, nb)) / det;
}

// Corner i and j are joined by an edge when their indices differ in one bit.
template <typename Visit>
void forEachEdge(Visit visit) {
    for (int i = 0; i < 8; ++i)
        for (int bit = 1; bit < 8; bit <<= 1)
            if ((i & bit) == 0) visit(i, i | bit);
}

}  // namespace

void ShadowRegions::collectRegionCorners(const glm::dmat4& camera, const Box& drawnBox) {
    _pointCount = 0;
    const Box box = drawnBox.grown(kLookupMargin);
    if (box.empty()) return;

    // Frustum planes, facing inwards and pushed out by the margin: left, right, bottom,
    // top, near, far.
    Plane planes[6];
    for (int axis = 0; axis < 3; ++axis) {
        planes[2 * axis] = normalised(row(camera, 3) + row(camera, axis));
        planes[2 * axis + 1] = normalised(row(camera, 3) - row(camera, axis));
    }
    for (Plane& plane : planes) plane.w += kLookupMargin;
    glm::dvec3 frustum[8];
    for (int i = 0; i < 8; ++i) frustum[i] = meet(planes[i & 1], planes[2 + ((i >> 1) & 1)], planes[4 + (i >> 2)]);

    auto insideFrustum = [&](const glm::dvec3& p) {
        for (const Plane& plane : planes)
            if (distanceTo(plane, p) < -kTolerance * (1.0 + glm::length(p))) return false;
        return true;
    };
    auto insideBox = [&](const glm::dvec3& p) { return box.grown(kTolerance * (1.0 + glm::length(p))).contains(p); };
    auto add = [&](const glm::dvec3& p) { _points[static_cast<size_t>(_pointCount++)] = p; };

    // Every corner of the intersection of two convex solids is a corner of one inside
    // the other, or where an edge of one passes through a face of the other.
    for (const glm::dvec3& corner : frustum)
        if (insideBox(corner)) add(corner);
    for (int i = 0; i < 8; ++i)
        if (insideFrustum(box.corner(i))) add(box.corner(i));
    forEachEdge([&](int a, int b) {
        const glm::dvec3 p = frustum[a], q = frustum[b];
        for (int axis = 0; axis < 3; ++axis) {
            for (double bound : {box.min[axis], box.max[axis]}) {
                const double dp = p[axis] - bound, dq = q[axis] - bound;
                if ((dp < 0.0) == (dq < 0.0)) continue;
                const glm::dvec3 crossing = p + (q - p) * (dp / (dp - dq));
                if (insideBox(crossing)) add(crossing);
            }
        }
    });
    forEachEdge([&](int a, int b) {
        const glm::dvec3 p = box.corner(a), q = box.corner(b);
        for (const Plane& plane : planes) {
            const double dp = distanceTo(plane, p), dq = distanceTo(plane, q);
            if ((dp < 0.0) == (dq < 0.0)) continue;
            const glm::dvec3 crossing = p + (q - p) * (dp / (dp - dq));
            if (insideFrustum(crossing)) add(crossing);
        }
    });
}

void ShadowRegions::wholeFace(int index, const glm::dmat4& matrix, int faceSize) {
    Face& face = _faces[static_cast<size_t>(index)];
    face.needed = true;
    face.x0 = face.y0 = 0;
    face.x1 = face.y1 = faceSize;
    face.planes = {row(matrix, 3) + row(matrix, 0), row(matrix, 3) - row(matrix, 0),
                   row(matrix, 3) + row(matrix, 1), row(matrix, 3) - row(matrix, 1),
                   row(matrix, 3) + row(matrix, 2), row(matrix, 3) - row(matrix, 2)};
}

void ShadowRegions::fitFace(int index, const glm::dmat4& matrix, int faceSize) {
    Face& face = _faces[static_cast<size_t>(index)];
    double u0 = HUGE_VAL, v0 = HUGE_VAL, u1 = -HUGE_VAL, v1 = -HUGE_VAL;
    auto extend = [&](double x, double y, double w) {
        u0 = std::min(u0, x / w);
        u1 = std::max(u1, x / w);
        v0 = std::min(v0, y / w);
        v1 = std::max(v1, y / w);
    };
    // The region's part in front of the light (w >= kNearLight): its corners there, and
    // where the segments between corners cross w = kNearLight (a superset of its edges).
    glm::dvec4 clip[kMaxPoints];
    for (int i = 0; i < _pointCount; ++i) {
        clip[i] = matrix * glm::dvec4(_points[static_cast<size_t>(i)], 1.0);
        if (clip[i].w >= kNearLight) extend(clip[i].x, clip[i].y, clip[i].w);
    }
    for (int i = 0; i < _pointCount; ++i) {
        for (int j = i + 1; j < _pointCount; ++j) {
            const double a = clip[i].w - kNearLight, b = clip[j].w - kNearLight;
            if ((a < 0.0) == (b < 0.0)) continue;
            const glm::dvec4 crossing = clip[i] + (clip[j] - clip[i]) * (a / (a - b));
            extend(crossing.x, crossing.y, kNearLight);
        }
    }
    const double reach = 1.0 + kEdgeSlack;
    face.needed = u0 <= reach && u1 >= -reach && v0 <= reach && v1 >= -reach;
    if (!face.needed) return;
    auto texel = [faceSize](double ndc, bool upper) {
        const double t = (std::clamp(ndc, -1.0, 1.0) + 1.0) * 0.5 * faceSize;
        const double edge = upper ? std::ceil(t) + kTexelMargin : std::floor(t) - kTexelMargin;
        return static_cast<int>(std::clamp(edge, 0.0, static_cast<double>(faceSize)));
    };
    face.x0 = texel(u0, false);
    face.x1 = texel(u1, true);
    face.y0 = texel(v0, false);
    face.y1 = texel(v1, true);
    setPlanes(face, matrix, faceSize);
}

void ShadowRegions::setPlanes(Face& face, const glm::dmat4& matrix, int faceSize) {
    // The planes of the texel rectangle's frustum: x >= l w, x <= r w, y >= b w, y <= t w, near, far.
    const double l = 2.0 * face.x0 / faceSize - 1.0, r = 2.0 * face.x1 / faceSize - 1.0;
    const double b = 2.0 * face.y0 / faceSize - 1.0, t = 2.0 * face.y1 / faceSize - 1.0;
    const glm::dvec4 x = row(matrix, 0), y = row(matrix, 1), z = row(matrix, 2), w = row(matrix, 3);
    face.planes = {x - l * w, r * w - x, y - b * w, t * w - y, w + z, w - z};
}

void ShadowRegions::narrow(int index, int x0, int y0, int x1, int y1, const glm::mat4& faceMatrix, int faceSize) {
    Face& face = _faces[static_cast<size_t>(index)];
    if (!face.needed) return;
    face.x0 = std::max(face.x0, x0);
    face.y0 = std::max(face.y0, y0);
    face.x1 = std::min(face.x1, x1);
    face.y1 = std::min(face.y1, y1);
    face.needed = face.x0 < face.x1 && face.y0 < face.y1;
    if (face.needed) setPlanes(face, glm::dmat4(faceMatrix), faceSize);
}

void ShadowRegions::update(const glm::mat4& cameraViewProjection, const Box& drawn, const glm::vec3& light,
                           const std::vector<glm::mat4>& faceMatrices, int faceSize) {
    collectRegionCorners(glm::dmat4(cameraViewProjection), drawn);

    // A light in or beside the region sees it in every direction.
    const glm::dvec3 lamp(light);
    const double near = 2.0 * kNearLight + kLookupMargin;
    bool lightInside = drawn.grown(near).contains(lamp);
    if (lightInside) {
        const glm::dmat4 camera(cameraViewProjection);
        for (int axis = 0; axis < 3 && lightInside; ++axis) {
            for (double sign : {1.0, -1.0}) {
                const Plane plane = normalised(row(camera, 3) + sign * row(camera, axis));
                if (distanceTo(plane, lamp) < -near) lightInside = false;
            }
        }
    }
    for (int index = 0; index < 6; ++index) {
        const glm::dmat4 matrix(faceMatrices[static_cast<size_t>(index)]);
        if (lightInside)
            wholeFace(index, matrix, faceSize);
        else
            fitFace(index, matrix, faceSize);
    }
}

bool ShadowRegions::reaches(int index, const Box& box) const {
    const Face& face = _faces[static_cast<size_t>(index)];
    if (!face.needed || box.empty()) return false;
    for (const Plane& plane : face.planes) {
        // The box's corner furthest along the plane's normal.
        const glm::dvec3 p(plane.x >= 0.0 ? box.max.x : box.min.x, plane.y >= 0.0 ? box.max.y : box.min.y,
                           plane.z >= 0.0 ? box.max.z : box.min.z);
        if (distanceTo(plane, p) < -kTolerance * (1.0 + std::abs(plane.w))) return false;
    }
    return true;
}
