// A square pyramid of render targets for the bloom blur: one separate single-level
// RGBA32F texture per "mip level", edge max(1, size / 2^i), rendered one level at a
// time. The user picks the level with setLevel() before bindForWriting(); levels past
// the end are ignored. width()/height() are -1: the edge is read with size().
//
// The level textures are views of one mipmapped texture, its storage.
#pragma once

#include "cpp/IFbo.h"

#include <GL/glew.h>

#include <cstdint>
#include <vector>

class FboMipmap : public IFbo {
public:
    explicit FboMipmap(int size);
    ~FboMipmap() override;

    void bindForWriting() override;
    void bindForReading() override;
    int width() override { return -1; }
    int height() override { return -1; }
    bool init() override;
    virtual int size() { return _size; }

    // floor(log2(size)) + 1, as the level count init() creates (size > 0).
    static uint32_t levelsFor(int size);

    void setLevel(int level);
    // Binds level `mipmapLevel`'s texture on `unit` (0 by default) with linear filtering;
    // asserts the level exists.
    void bindLevelTexture(int mipmapLevel, int unit = 0);

    uint32_t levelCount() const { return _levelCount; }
    uint32_t currentLevel() const { return _currentLevel; }
    GLuint currentTexture() const { return _currentTexture; }
    GLuint framebuffer() const { return _framebuffer; }
    const std::vector<GLuint>& textures() const { return _textures; }
    GLuint pyramidTexture() const { return _pyramid; }

private:
    int _size = 0;
    GLuint _framebuffer = 0;
    uint32_t _levelCount = 0;
    GLuint _currentTexture = 0;
    uint32_t _currentLevel = 0;
    std::vector<GLuint> _textures;
    GLuint _pyramid = 0;  // the storage all level textures view
};
