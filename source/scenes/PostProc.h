// The last pass of every frame: one full-screen quad into the bound draw framebuffer
// with the program "postproc", combining the lit image ("texFbo1", unit 0), the
// summed bloom ("texFbo2", unit 1) and a fixed noise texture ("texNoise", unit 2)
// shifted by a random "noiseOffset" that changes every 1/60 s of film time, with the
// music "time".
//
// Contract: the scene calls setVao, setProgram, registers and sets the uniforms and
// calls createNoiseTexture() once, then setTextures() and draw() every frame. The
// noise and the offsets come from the process-wide generator, after the tree's draws,
// so two runs at the same window size give the same noise and the same offsets. The
// offset of film step k (see BranchMotion) is the k-th pair of draws after the noise:
// what a steady 60 Hz film draws frame by frame, but a function of the film time alone,
// so the grain of a frame does not depend on which frames were drawn before it.
// Uniforms must be registered before they are set.
#pragma once

#include "GLwrappers/Texture.h"
#include "cpp/FrameTime.h"

#include <GL/glew.h>
#include <glm/vec2.hpp>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

class PostProc {
public:
    PostProc() = default;
    PostProc(const PostProc&) = delete;
    PostProc& operator=(const PostProc&) = delete;
    virtual ~PostProc();

    void setVao(GLuint vao) { _vao = vao; }
    void setProgram(GLuint program) { _program = program; }
    void setTextures(GLuint first, GLuint second) {
        _first = first;
        _second = second;
    }

    void registerUniform(const std::string& name);
    void setUniform(const std::string& name, int value);
    void setUniform(const std::string& name, float value);
    void setUniform(const std::string& name, const glm::vec2& value);

    void createNoiseTexture();
    // Makes the noise again for the current screen size from the same draws, so a window
    // resized while playing shows what a window of that size from the start would.
    void resizeNoiseTexture();
    void draw(const FrameTime* frameTime);

    // The noise texture's size for a window: (int)(w * 0.609523f) x (int)(h * 0.975238f).
    static int noiseWidth(int windowWidth);
    static int noiseHeight(int windowHeight);
    const gl::Texture2D* noiseTexture() const { return _noise.get(); }

private:
    GLint location(const std::string& name) const;

    GLuint _vao = 0;
    GLuint _program = 0;
    GLuint _first = 0;
    GLuint _second = 0;
    std::unique_ptr<gl::Texture2D> _noise;
    std::map<std::string, GLint> _uniforms;
    uint32_t _noiseStart = 0;    // the generator's state before the noise texture's draws
    uint32_t _offsetsStart = 0;  // the generator's state after the noise texture's draws
    GLuint _sampler = 0;         // linear, repeating: how the inputs are read
};
