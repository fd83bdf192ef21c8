#include "EditModes.h"

#include <glm/geometric.hpp>

#include <cmath>

namespace {

float rounded(float value) {
    return static_cast<float>(std::round(static_cast<double>(value) * 1000.0) / 1000.0);
}
glm::vec3 rounded(const glm::vec3& v) {
    return glm::vec3(rounded(v.x), rounded(v.y), rounded(v.z));
}

glm::vec3 filmVector(const EditModes::FilmValue& film, const std::vector<std::string>& names, size_t first) {
    return glm::vec3(static_cast<float>(film(names[first])), static_cast<float>(film(names[first + 1])),
                     static_cast<float>(film(names[first + 2])));
}

void put(std::map<std::string, double>* values, const std::vector<std::string>& names, size_t first,
         const glm::vec3& v) {
    (*values)[names[first]] = v.x;
    (*values)[names[first + 1]] = v.y;
    (*values)[names[first + 2]] = v.z;
}

}  // namespace

const std::vector<std::string>& EditModes::tracksOf(Mode mode) {
    static const std::vector<std::string> camera = {"ts.eyepos.x", "ts.eyepos.y", "ts.eyepos.z",
                                                    "ts.tarpos.x", "ts.tarpos.y", "ts.tarpos.z",
                                                    "up.x",        "up.y",        "up.z"};
    static const std::vector<std::string> light = {"lightP_Off.x", "lightP_Off.y", "lightP_Off.z"};
    static const std::vector<std::string> bunch = {"bunchpos.x", "bunchpos.y", "bunchpos.z"};
    return mode == Camera ? camera : mode == Light ? light : bunch;
}

const char* EditModes::nameOf(Mode mode) {
    return mode == Camera ? "flying" : mode == Light ? "light" : "bunch";
}

bool EditModes::toggle(Mode mode, const FilmValue& film) {
    _on[mode] = !_on[mode];
    if (_on[mode]) {
        const std::vector<std::string>& names = tracksOf(mode);
        if (mode == Camera) {
            _camera = FlyCamera(CameraPose{filmVector(film, names, 0), filmVector(film, names, 3),
                                           filmVector(film, names, 6)});
        } else {
            (mode == Light ? _light : _bunch) = filmVector(film, names, 0);
        }
        _active = mode;
    } else if (_active == mode) {
        _active.reset();
        for (Mode other : {Camera, Light, Bunch})
            if (_on[other]) _active = other;
    }
    return _on[mode];
}

void EditModes::move(float forward, float right, float up, const CameraPose& filmCamera) {
    if (!_active) return;
    if (*_active == Camera) {
        _camera.move(forward, right, up);
        return;
    }
    // Level with the ground: walking forward does not sink into the floor.
    const ViewAxes axes = viewAxes(_on[Camera] ? _camera.pose() : filmCamera);
    const glm::vec3 worldUp(0.0f, 1.0f, 0.0f);
    glm::vec3 ahead = axes.forward - worldUp * glm::dot(axes.forward, worldUp);
    ahead = glm::length(ahead) > 1e-4f ? glm::normalize(ahead) : glm::vec3(0.0f, 0.0f, -1.0f);
    const glm::vec3 side = glm::normalize(glm::cross(ahead, worldUp));
    (*_active == Light ? _light : _bunch) += ahead * forward + side * right + worldUp * up;
}

void EditModes::turn(float yawDegrees, float pitchDegrees) {
    if (_on[Camera]) _camera.turn(yawDegrees, pitchDegrees);
}

std::map<std::string, double> EditModes::values(Mode mode) const {
    std::map<std::string, double> values;
    const std::vector<std::string>& names = tracksOf(mode);
    if (mode == Camera) {
        put(&values, names, 0, _camera.pose().eye);
        put(&values, names, 3, _camera.pose().target);
        put(&values, names, 6, _camera.pose().up);
    } else {
        put(&values, names, 0, mode == Light ? _light : _bunch);
    }
    return values;
}

std::map<std::string, double> EditModes::overrides() const {
    std::map<std::string, double> all;
    for (Mode mode : {Camera, Light})
        if (_on[mode]) all.merge(values(mode));
    return all;
}

std::vector<keys::Key> EditModes::keysToWrite(int row) {
    std::vector<keys::Key> written;
    if (!_active) return written;
    if (*_active == Camera) {
        const CameraPose& pose = _camera.pose();
        _camera.setPose(CameraPose{rounded(pose.eye), rounded(pose.target), rounded(pose.up)});
    } else {
        glm::vec3& point = *_active == Light ? _light : _bunch;
        point = rounded(point);
    }
    const std::map<std::string, double> now = values(*_active);
    for (const std::string& name : tracksOf(*_active))
        written.push_back(keys::Key{name, row, static_cast<float>(now.at(name))});
    return written;
}
