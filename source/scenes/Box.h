// An axis-aligned box in world space, empty until a point is added.
#pragma once

#include <glm/glm.hpp>

#include <limits>

struct Box {
    glm::dvec3 min{std::numeric_limits<double>::infinity()};
    glm::dvec3 max{-std::numeric_limits<double>::infinity()};

    bool empty() const { return !(min.x <= max.x && min.y <= max.y && min.z <= max.z); }
    void add(const glm::dvec3& point) {
        min = glm::min(min, point);
        max = glm::max(max, point);
    }
    void add(const Box& other) {
        if (other.empty()) return;
        add(other.min);
        add(other.max);
    }
    Box grown(double margin) const {
        Box box = *this;
        if (box.empty()) return box;
        box.min -= glm::dvec3(margin);
        box.max += glm::dvec3(margin);
        return box;
    }
    bool contains(const glm::dvec3& p) const {
        return p.x >= min.x && p.x <= max.x && p.y >= min.y && p.y <= max.y && p.z >= min.z && p.z <= max.z;
    }
    // Corner i takes max on axis k when bit k of i is set.
    glm::dvec3 corner(int i) const {
        return glm::dvec3(i & 1 ? max.x : min.x, i & 2 ? max.y : min.y, i & 4 ? max.z : min.z);
    }
    // The box around `box` moved by the affine `matrix` (its eight corners).
    static Box transformed(const Box& box, const glm::dmat4& matrix) {
        Box out;
        if (box.empty()) return out;
        for (int i = 0; i < 8; ++i) out.add(glm::dvec3(matrix * glm::dvec4(box.corner(i), 1.0)));
        return out;
    }
};
