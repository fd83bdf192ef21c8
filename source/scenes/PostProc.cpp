#include "scenes/PostProc.h"

#include "cpp/BranchMotion.h"
#include "cpp/Display.h"
#include "cpp/Random.h"
#include "platform/Assert.h"

#include <vector>

namespace {
const char* const kSource = "source\\scenes\\testgeometry";

void bindTexture(GLenum unit, GLuint texture) {
    glActiveTexture(unit);
    glBindTexture(GL_TEXTURE_2D, texture);
}
}  // namespace

void PostProc::registerUniform(const std::string& name) { _uniforms[name] = glGetUniformLocation(_program, name.c_str()); }

GLint PostProc::location(const std::string& name) const {
    auto found = _uniforms.find(name);
    HV_ASSERT(found != _uniforms.end(), kSource);
    return found->second;
}

void PostProc::setUniform(const std::string& name, int value) {
    glUseProgram(_program);
    glUniform1i(location(name), value);
}

void PostProc::setUniform(const std::string& name, float value) {
    glUseProgram(_program);
    glUniform1f(location(name), value);
}

void PostProc::setUniform(const std::string& name, const glm::vec2& value) {
    glUseProgram(_program);
    glUniform2fv(location(name), 1, &value.x);
}

int PostProc::noiseWidth(int windowWidth) { return static_cast<int>(static_cast<float>(windowWidth) * 0.609523f); }
int PostProc::noiseHeight(int windowHeight) { return static_cast<int>(static_cast<float>(windowHeight) * 0.975238f); }

void PostProc::createNoiseTexture() {
    _noiseStart = demoRandState();
    resizeNoiseTexture();
    setDemoRandState(_offsetsStart);
}

void PostProc::resizeNoiseTexture() {
    const int width = noiseWidth(screenWidth);
    const int height = noiseHeight(screenHeight);
    // A window so small that the noise has no texel still gets one, so the texture is valid.
    const int texelsWide = width > 0 ? width : 1;
    const int texelsHigh = height > 0 ? height : 1;
    std::vector<unsigned char> noise(static_cast<size_t>(texelsWide) * texelsHigh);
    uint32_t state = _noiseStart;
    for (unsigned char& texel : noise) {
        // 32767 gives 256, which wraps to 0 in eight bits.
        texel = static_cast<unsigned char>(
            static_cast<int>(static_cast<float>(demoRandFrom(&state)) / 32767.0f * 256.0f));
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    _noise = std::make_unique<gl::Texture2D>(texelsWide, texelsHigh, GL_RED, false);
    _noise->upload(noise);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    _offsetsStart = state;
}

void PostProc::draw(const FrameTime* frameTime) {
    const int64_t step = BranchMotion::stepAt(frameTime->time);
    uint32_t state = demoRandStateAfter(_offsetsStart, 2 * static_cast<uint64_t>(step > 1 ? step - 1 : 0));
    const int r1 = demoRandFrom(&state);
    const int r2 = demoRandFrom(&state);
    setUniform("noiseOffset", glm::vec2(static_cast<float>(r2) / 32767.0f, static_cast<float>(r1) / 32767.0f));
    setUniform("time", static_cast<float>(frameTime->time));

    glBindVertexArray(_vao);
    glUseProgram(_program);
    // The inputs are read linearly and repeating through a sampler object, which leaves
    // the textures' own parameters to the passes that made them.
    if (_sampler == 0) {
        glGenSamplers(1, &_sampler);
        glSamplerParameteri(_sampler, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glSamplerParameteri(_sampler, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glSamplerParameteri(_sampler, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glSamplerParameteri(_sampler, GL_TEXTURE_WRAP_T, GL_REPEAT);
    }
    bindTexture(GL_TEXTURE0, _first);
    bindTexture(GL_TEXTURE1, _second);
    glBindSampler(0, _sampler);
    glBindSampler(1, _sampler);
    if (_noise) _noise->bind(GL_TEXTURE2);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glBindSampler(0, 0);
    glBindSampler(1, 0);
}

PostProc::~PostProc() {
    if (_sampler != 0) glDeleteSamplers(1, &_sampler);
}
