// Keeps two particles of a chain at the distance they had when it was built.
//
// Contract: `_p1` is the particle nearer the root; the whole correction goes to `_p2`
// (never to `_p1`), so one root-to-tip pass over a chain leaves every link at its rest
// length. A fixed `_p2` or a degenerate link (closer than 1e-6, or NaN) is left alone.
// The particles are not owned: the branch owning both outlives the constraint.
#pragma once

#include "cpp/Constraint.h"

class Particle;

class DistanceConstraint : public Constraint {
public:
    DistanceConstraint(Particle* p1, Particle* p2);
    ~DistanceConstraint() override = default;

    void satisfy() override;
    double restLength() const { return _restLength; }

private:
    Particle* _p1 = nullptr;
    Particle* _p2 = nullptr;
    double _restLength = 0.0;
};
