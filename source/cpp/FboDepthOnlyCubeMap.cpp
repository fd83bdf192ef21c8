#include "cpp/FboDepthOnlyCubeMap.h"

#include "cpp/GLError.h"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>

namespace {

struct FaceView {
    glm::vec3 direction;
    glm::vec3 up;
};

// GL cube-map face order: +X, -X, +Y, -Y, +Z, -Z.
const FaceView kFaces[6] = {
    {{1, 0, 0}, {0, -1, 0}},  {{-1, 0, 0}, {0, -1, 0}}, {{0, 1, 0}, {0, 0, 1}},
    {{0, -1, 0}, {0, 0, -1}}, {{0, 0, 1}, {0, -1, 0}},  {{0, 0, -1}, {0, -1, 0}},
};

// 90 degree vertical field of view, aspect 1, near 0.1, far 70.
glm::mat4 cubeFaceProjection() {
    glm::mat4 m(0.0f);
    const float focal = 0.2f / (2.0f * 0.1f * std::tan(0.785398f));
    m[0][0] = focal;
    m[1][1] = focal;
    m[2][2] = -1.0028611f;
    m[2][3] = -1.0f;
    m[3][2] = -0.2002861f;
    return m;
}

}  // namespace

FboDepthOnlyCubeMap::FboDepthOnlyCubeMap(int width, int height)
    : _width(width), _height(height), _projection(cubeFaceProjection()), _faceMatrices(6) {}

FboDepthOnlyCubeMap::~FboDepthOnlyCubeMap() {
    if (_texture != 0) glDeleteTextures(1, &_texture);
    if (_framebuffer != 0xFFFFFFFFu && _framebuffer != 0) glDeleteFramebuffers(1, &_framebuffer);
}

bool FboDepthOnlyCubeMap::init() {
    glActiveTexture(GL_TEXTURE10);
    glGenTextures(1, &_texture);
    glBindTexture(GL_TEXTURE_CUBE_MAP, _texture);
    for (int i = 0; i < 6; ++i) {
        glBindTexture(GL_TEXTURE_CUBE_MAP, _texture);
        glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X + i, 0, GL_DEPTH_COMPONENT32F, _width, _height, 0,
                     GL_DEPTH_COMPONENT, GL_FLOAT, nullptr);
        glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
    }
    checkGLError();
    glGenFramebuffers(1, &_framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, _framebuffer);
    glFramebufferTexture(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, _texture, 0);
    checkGLError();
    const GLenum none = GL_NONE;
    glDrawBuffers(1, &none);
    glClear(GL_DEPTH_BUFFER_BIT);
    glBindFramebuffer(GL_FRAMEBUFFER, _framebuffer);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return status == GL_FRAMEBUFFER_COMPLETE;
}

void FboDepthOnlyCubeMap::bindForWriting() {
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, _framebuffer);
    glFramebufferTexture(GL_DRAW_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, _texture, 0);
    glClear(GL_DEPTH_BUFFER_BIT);
}

void FboDepthOnlyCubeMap::bindForReading() {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, _framebuffer);
}

void FboDepthOnlyCubeMap::bindFace(int face) {
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, _framebuffer);
    const GLenum none = GL_NONE;
    glDrawBuffers(1, &none);
    glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_CUBE_MAP_POSITIVE_X + face,
                           _texture, 0);
}

void FboDepthOnlyCubeMap::bindShadowTexture() {
    glActiveTexture(GL_TEXTURE11);
    glBindTexture(GL_TEXTURE_CUBE_MAP, _texture);
    // The sampling state lives with the texture and nothing else changes it.
    if (_samplingSet) return;
    _samplingSet = true;
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    // GL_CLAMP does not exist in a core context; clamping to the edge is what it meant.
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
}

void FboDepthOnlyCubeMap::updateFaceMatrices(const glm::vec3& lightPosition) {
    for (int i = 0; i < 6; ++i) {
        _faceMatrices[i] =
            _projection * glm::lookAt(lightPosition, lightPosition + kFaces[i].direction, kFaces[i].up);
    }
}
