// A stand-in scene that shows the music -> sync tracks -> pixels chain working.
//
// Parameters: "light_intens" brightens the background, "credits" widens the quad.
// The quad circles with the music time, and the background hue drifts with it, so a
// frame is never uniformly black even when every track is 0. Draws into the bound
// framebuffer (the window's) and viewport; needs a current 3.3+ core context and
// nothing from the working directory.
#pragma once

#include "cpp/AbstractScene.h"

class PlaceholderScene : public AbstractScene {
public:
    PlaceholderScene();
    ~PlaceholderScene() override;

    void draw(const FrameTime* frameTime) override;

private:
    GLuint _vertexArray = 0;
    GLint _centreLocation = -1;
    GLint _sizeLocation = -1;
    GLint _colourLocation = -1;
};
