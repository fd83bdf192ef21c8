// A free camera for the authors: it starts exactly where the film's camera is and
// moves and turns from there.
//
// Contract: pose() is the start pose, bit for bit, until the first move or turn. move()
// goes along the view (forward), across it (right) and along the camera's up; turn()
// yaws about the up vector and pitches, never closer than a few degrees to straight up
// or down. The target stays at the start distance in front of the eye; up is the
// film's up, unchanged (the film rolls, the flyer does not).
#pragma once

#include <glm/vec3.hpp>

struct CameraPose {
    glm::vec3 eye{0.0f};
    glm::vec3 target{0.0f, 0.0f, -1.0f};
    glm::vec3 up{0.0f, 1.0f, 0.0f};
};

// Unit directions of a view: where it looks, its right and its up (world up when the
// pose's up is unusable).
struct ViewAxes {
    glm::vec3 forward{0.0f, 0.0f, -1.0f};
    glm::vec3 right{1.0f, 0.0f, 0.0f};
    glm::vec3 up{0.0f, 1.0f, 0.0f};
};
ViewAxes viewAxes(const CameraPose& pose);

class FlyCamera {
public:
    explicit FlyCamera(const CameraPose& start) : _pose(start) {}

    void move(float forward, float right, float up);
    void turn(float yawDegrees, float pitchDegrees);
    const CameraPose& pose() const { return _pose; }
    // For a pose that is written: the flyer now stands exactly there.
    void setPose(const CameraPose& pose) { _pose = pose; }

private:
    CameraPose _pose;
};
