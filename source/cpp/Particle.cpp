#include "cpp/Particle.h"

#include "cpp/TreeSource.h"
#include "platform/Assert.h"

#include <glm/glm.hpp>

static_assert(Particle::kDamping == static_cast<double>(1.0f - 0.98f), "damping is 1 - 0.98 in float");

Particle::Particle(const glm::dvec3& position) : _oldPos(position), _curPos(position) {}

void Particle::addForce(const glm::dvec3& force) {
    if (!_movable) return;
    _acceleration += force / _mass;
}

void Particle::step() {
    if (!_movable) return;
    HV_ASSERT(_curPos == _curPos, tree::kAssertSource);
    const glm::dvec3 before = _curPos;
    _curPos = ((_curPos - _oldPos) * kDamping + _curPos) + _acceleration;
    HV_ASSERT(_curPos == _curPos, tree::kAssertSource);
    _oldPos = before;
    _acceleration = glm::dvec3(0.0);
}

void Particle::moveTo(const glm::dvec3& newPos) {
    if (!_movable) return;
    HV_ASSERT(newPos == newPos, tree::kAssertSource);
    _oldPos = _curPos;
    _curPos = newPos;
}
