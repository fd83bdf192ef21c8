// What the authors move by hand: the camera (fly mode), the light's offset and the
// branches' bunch, each standing in for its film tracks while its mode is on.
//
// Contract: a mode turned on starts from the film's values of its tracks at that
// moment and becomes the one the movement keys move; turned off, it no longer stands
// in for anything, so the film's own values show again untouched. The camera mode
// controls ts.eyepos.*, ts.tarpos.* and up.*; the light mode lightP_Off.*; the bunch
// mode bunchpos.*. The light and the bunch move along the current view (the flown one
// when flying), level with the ground, and up and down. keysToWrite() gives the active
// mode's tracks rounded to the thousandth, as the timeline writes them, and puts the
// mode exactly there, so what is written is what is seen.
#pragma once

#include "FlyCamera.h"
#include "KeyWriter.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

class EditModes {
public:
    enum Mode { Camera, Light, Bunch };
    using FilmValue = std::function<double(const std::string& track)>;

    static const std::vector<std::string>& tracksOf(Mode mode);
    static const char* nameOf(Mode mode);  // "flying", "light", "bunch"

    // Turns the mode on (film values from `film`) or off; true when it is now on.
    bool toggle(Mode mode, const FilmValue& film);
    bool isOn(Mode mode) const { return _on[mode]; }
    std::optional<Mode> active() const { return _active; }

    // Movement of the active mode in its own units; `filmCamera` is the film's view,
    // for moving the light or the bunch while not flying.
    void move(float forward, float right, float up, const CameraPose& filmCamera);
    void turn(float yawDegrees, float pitchDegrees);

    // The parameters standing in for the film's now: the camera's and the light's. The
    // bunch stands in through the tracks themselves, which the branches read at every step.
    std::map<std::string, double> overrides() const;
    std::map<std::string, double> values(Mode mode) const;

    std::vector<keys::Key> keysToWrite(int row);

private:
    FlyCamera _camera{CameraPose{}};
    glm::vec3 _light{0.0f};
    glm::vec3 _bunch{0.0f};
    bool _on[3] = {false, false, false};
    std::optional<Mode> _active;
};
