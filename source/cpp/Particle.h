// A point mass of a branch chain, integrated with position-based (Verlet) steps.
//
// Contract: all arithmetic is in double precision. A particle that is not movable
// (the root of a chain) ignores forces, integration steps and moves; to drag it the
// owner marks it movable, calls moveTo and marks it fixed again. The accumulated
// acceleration is a displacement added at the next step (there is no time step).
// NaN coordinates are internal errors and end the process.
#pragma once

#include <glm/vec3.hpp>

class DistanceConstraint;
class Branch;

class Particle {
public:
    // 1 - 0.98 evaluated in single precision: the share of the previous displacement kept per step.
    static constexpr double kDamping = 0.019999980926513671875;

    explicit Particle(const glm::dvec3& position);

    void setMovable(bool movable) { _movable = movable; }
    bool isMovable() const { return _movable; }

    void addForce(const glm::dvec3& force);
    void step();
    void moveTo(const glm::dvec3& newPos);

    const glm::dvec3& position() const { return _curPos; }
    const glm::dvec3& oldPosition() const { return _oldPos; }
    const glm::dvec3& acceleration() const { return _acceleration; }
    // Puts back what position(), oldPosition() and acceleration() read at an earlier moment.
    void restore(const glm::dvec3& position, const glm::dvec3& oldPosition, const glm::dvec3& acceleration) {
        _curPos = position;
        _oldPos = oldPosition;
        _acceleration = acceleration;
    }
    double mass() const { return _mass; }

private:
    // Constraints correct the current position directly, without touching the old one;
    // a branch does the same when it relaxes its chain's links side by side with others.
    friend class DistanceConstraint;
    friend class Branch;

    double _mass = 1.0;
    bool _movable = true;
    glm::dvec3 _oldPos{0.0};
    glm::dvec3 _curPos{0.0};
    glm::dvec3 _acceleration{0.0};
};
