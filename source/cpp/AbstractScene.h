// The contract between the presentation driver and the film's scene.
//
// A scene names its parameters in its parameter table (registerTrack, value 0.0).
// The driver asks trackNames() once, opens one sync track per name, sets the
// G-buffer pointer before the first frame and then, every frame, writes each
// track's value into the table and calls draw(). The table is ordered byte-wise,
// so trackNames() lists the names in that order, not in registration order.
#pragma once

#include "cpp/FrameTime.h"

#include <GL/glew.h>
#include <glm/mat4x4.hpp>

#include <map>
#include <string>
#include <vector>

template <int N>
class GBuffer;
class TrackReader;

class AbstractScene {
public:
    using ParameterTable = std::map<std::string, double>;

    AbstractScene() = default;
    AbstractScene(const AbstractScene&) = delete;
    AbstractScene& operator=(const AbstractScene&) = delete;

    virtual ~AbstractScene();
    virtual void draw(const FrameTime* frameTime) = 0;
    virtual void setProjection(const glm::mat4& projection);
    // The drawable changed size (screenWidth x screenHeight already hold the new one):
    // screen-sized targets and the projection's aspect follow. Nothing by default.
    virtual void resize(int width, int height);
    // A hook for scene-specific resets between runs; nothing calls it yet.
    virtual void reset();

    std::vector<std::string> trackNames() const;
    void registerTrack(const std::string& name);

    // Reading a name that is missing adds it with 0.0.
    double& parameter(const std::string& name) { return _parameters[name]; }
    const ParameterTable& parameters() const { return _parameters; }

    const glm::mat4& projection() const { return _projection; }

    // Not owned: the driver's G-buffer, set before the first draw.
    GBuffer<8>* gBuffer = nullptr;
    // Not owned: the driver's tracks, readable at any time; null when no driver feeds the scene.
    const TrackReader* trackReader = nullptr;

protected:
    GLuint _program = 0;
    glm::mat4 _projection{1.0f};
    ParameterTable _parameters;
};
