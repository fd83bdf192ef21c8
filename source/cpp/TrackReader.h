// Reads a sync track's value at any film time, not only at the frame's.
//
// The driver evaluates every track once per frame into the scene's parameter table;
// what moves in fixed steps between two frames (the branches' anchor) needs the
// track at each step's time instead. A name without a track reads 0.0.
#pragma once

#include <string>

class TrackReader {
public:
    virtual ~TrackReader() = default;
    virtual double valueAt(const std::string& name, double seconds) const = 0;
};
