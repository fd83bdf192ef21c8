// The depth-only cube map of the point light's omnidirectional shadow, with the six
// view-projection matrices of its faces (90 degree perspective, near 0.1, far 70,
// looking along +X, -X, +Y, -Y, +Z, -Z in GL face order).
//
// bindForWriting() attaches the whole cube (layered) and clears every face's depth at
// once; bindFace() attaches one face for drawing without clearing. The shadow texture
// is sampled on unit 11 as a comparison sampler (GL_LEQUAL). init() reports an
// incomplete framebuffer by returning false; pending GL errors are shown, not fatal.
#pragma once

#include "cpp/Fbo.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <vector>

class FboDepthOnlyCubeMap : public Fbo {
public:
    FboDepthOnlyCubeMap(int width, int height);
    ~FboDepthOnlyCubeMap() override;

    void bindForWriting() override;
    void bindForReading() override;
    int width() override { return _width; }
    int height() override { return _height; }
    bool init() override;

    // Attaches face `face` (0..5, GL cube-face order) for drawing; does not clear.
    void bindFace(int face);
    void bindShadowTexture();

    // matrix[i] = projection x lookAt(p, p + direction_i, up_i).
    void updateFaceMatrices(const glm::vec3& lightPosition);
    const std::vector<glm::mat4>& faceMatrices() const { return _faceMatrices; }
    // Range-checked: throws std::out_of_range past face 5.
    const glm::mat4& faceMatrix(int face) const { return _faceMatrices.at(static_cast<size_t>(face)); }
    const glm::mat4& projection() const { return _projection; }

    GLuint texture() const { return _texture; }
    GLuint framebuffer() const { return _framebuffer; }

private:
    int _width = 0;
    int _height = 0;
    GLuint _framebuffer = 0xFFFFFFFFu;
    GLuint _texture = 0;
    glm::mat4 _projection{0.0f};
    glm::mat4 _unused{1.0f};
    std::vector<glm::mat4> _faceMatrices;
    bool _samplingSet = false;
};
