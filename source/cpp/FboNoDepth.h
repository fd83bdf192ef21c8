// One RGBA32F colour texture, no depth: the lit image, the bloom sum and the bright
// pass. Its texture can be sampled with or without the mip chain the user generates.
// An incomplete framebuffer after init() is a fatal assertion.
#pragma once

#include "cpp/IFbo.h"

#include <GL/glew.h>

class FboNoDepth : public IFbo {
public:
    FboNoDepth(int width, int height);
    ~FboNoDepth() override;

    void bindForWriting() override;
    void bindForReading() override;
    int width() override { return _width; }
    int height() override { return _height; }
    bool init() override;
    // New level-0 storage of the new size (contents undefined), same names; unit 0 active.
    void resize(int width, int height);

    GLuint texture() const { return _texture; }
    GLuint framebuffer() const { return _framebuffer; }
    // Binds the texture on unit 0; mipmapped selects trilinear minification over levels 0..1000.
    // The parameters are set only when they differ from the last call's: whoever samples
    // the texture otherwise must do so through a sampler object.
    void bindTexture(bool mipmapped);

private:
    int _width = 0;
    int _height = 0;
    GLuint _texture = 0;
    GLuint _framebuffer = 0;
    enum class Sampling { Unset, Plain, Mipmapped };
    Sampling _sampling = Sampling::Unset;
};
