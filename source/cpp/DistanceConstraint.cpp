#include "cpp/DistanceConstraint.h"

#include "cpp/Particle.h"

#include <cmath>

namespace {
double lengthOf(const glm::dvec3& d) {
    return std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
}
}  // namespace

DistanceConstraint::DistanceConstraint(Particle* p1, Particle* p2)
    : _p1(p1), _p2(p2), _restLength(lengthOf(p2->position() - p1->position())) {}

void DistanceConstraint::satisfy() {
    const glm::dvec3 d = _p2->_curPos - _p1->_curPos;
    const double len = lengthOf(d);
    if (!(len > 1e-6)) return;
    if (!_p2->_movable) return;
    _p2->_curPos += -(d * (1.0 - _restLength / len));
}
