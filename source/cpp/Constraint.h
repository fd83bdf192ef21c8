// A relation between particles that relaxation restores, one satisfy() at a time.
#pragma once

class Constraint {
public:
    virtual ~Constraint() = default;
    // Moves particles so that the relation holds.
    virtual void satisfy() = 0;
};
