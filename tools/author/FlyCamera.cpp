#include "FlyCamera.h"

#include <glm/geometric.hpp>
#include <glm/gtc/constants.hpp>
#include <glm/trigonometric.hpp>

#include <algorithm>
#include <cmath>

namespace {
// Pitching stops this far from the up vector, where the view would lose its bearings.
constexpr float kClosestToPole = 0.05f;  // radians

glm::vec3 rotated(const glm::vec3& v, const glm::vec3& axis, float radians) {
    // Rodrigues' rotation about a unit axis.
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    return v * c + glm::cross(axis, v) * s + axis * glm::dot(axis, v) * (1.0f - c);
}
}  // namespace

ViewAxes viewAxes(const CameraPose& pose) {
    ViewAxes axes;
    const glm::vec3 look = pose.target - pose.eye;
    if (glm::length(look) > 1e-6f) axes.forward = glm::normalize(look);
    glm::vec3 up = glm::length(pose.up) > 1e-6f ? glm::normalize(pose.up) : glm::vec3(0.0f, 1.0f, 0.0f);
    glm::vec3 right = glm::cross(axes.forward, up);
    if (glm::length(right) < 1e-6f) right = glm::cross(axes.forward, glm::vec3(0.0f, 0.0f, 1.0f));
    axes.right = glm::normalize(right);
    axes.up = up;
    return axes;
}

void FlyCamera::move(float forward, float right, float up) {
    const ViewAxes axes = viewAxes(_pose);
    const glm::vec3 step = axes.forward * forward + axes.right * right + axes.up * up;
    _pose.eye += step;
    _pose.target += step;
}

void FlyCamera::turn(float yawDegrees, float pitchDegrees) {
    const ViewAxes axes = viewAxes(_pose);
    const float distance = std::max(glm::length(_pose.target - _pose.eye), 1e-3f);
    glm::vec3 forward = rotated(axes.forward, axes.up, -glm::radians(yawDegrees));
    const float fromUp = std::acos(std::clamp(glm::dot(forward, axes.up), -1.0f, 1.0f));
    const float lowest = fromUp - glm::pi<float>() + kClosestToPole;
    const float highest = fromUp - kClosestToPole;
    const float pitch = lowest <= highest ? std::clamp(glm::radians(pitchDegrees), lowest, highest) : 0.0f;
    const glm::vec3 right = glm::normalize(glm::cross(forward, axes.up));
    forward = glm::normalize(rotated(forward, right, pitch));
    _pose.target = _pose.eye + forward * distance;
}
