// The geometry buffer of deferred shading: N RGBA32F colour textures (nearest
// filtering, clamp to border) and a 24-bit depth renderbuffer, all at the size given
// to the constructor (the window size) or to resize(). Attachment i is drawn as draw buffer i and
// sampled from texture unit i after bindTextures(). An incomplete framebuffer after
// init() is a fatal assertion.
#pragma once

#include "cpp/IFbo.h"
#include "platform/Assert.h"

#include <GL/glew.h>

template <int N>
class GBuffer : public IFbo {
    static_assert(N > 0 && N <= 8, "a G-buffer has 1 to 8 colour attachments");

public:
    GBuffer(int width, int height) : _width(width), _height(height) {}
    ~GBuffer() override {
        if (_framebuffer != 0) {
            glDeleteTextures(N, _textures);
            glDeleteRenderbuffers(1, &_depth);
            glDeleteFramebuffers(1, &_framebuffer);
        }
    }

    void bindForWriting() override {
        glViewport(0, 0, _width, _height);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, _framebuffer);
        setDrawBuffers();
    }

    void bindForReading() override { glBindFramebuffer(GL_READ_FRAMEBUFFER, _framebuffer); }
    int width() override { return _width; }
    int height() override { return _height; }

    bool init() override {
        glGenFramebuffers(1, &_framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, _framebuffer);
        glGenTextures(N, _textures);
        for (int i = 0; i < N; ++i) {
            glActiveTexture(GL_TEXTURE0 + i);
            glBindTexture(GL_TEXTURE_2D, _textures[i]);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_BORDER);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_BORDER);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F, _width, _height, 0, GL_RGBA, GL_FLOAT, nullptr);
            glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + i, GL_TEXTURE_2D, _textures[i],
                                   0);
        }
        glGenRenderbuffers(1, &_depth);
        glBindRenderbuffer(GL_RENDERBUFFER, _depth);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, _width, _height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, _depth);
        setDrawBuffers();
        GLenum fboStatus = glCheckFramebufferStatus(GL_FRAMEBUFFER);
        HV_ASSERT_AT(fboStatus == GL_FRAMEBUFFER_COMPLETE, "fboStatus == GL_FRAMEBUFFER_COMPLETE",
                     "source\\cpp\\GBuffer", 395);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        return true;
    }

    // New storage of the new size for every attachment (contents undefined); the names
    // stay, so whoever holds them keeps them. Leaves texture unit 0 active.
    void resize(int width, int height) {
        if (width == _width && height == _height) return;
        _width = width;
        _height = height;
        if (_framebuffer == 0) return;
        for (int i = 0; i < N; ++i) {
            glActiveTexture(GL_TEXTURE0 + i);
            glBindTexture(GL_TEXTURE_2D, _textures[i]);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F, _width, _height, 0, GL_RGBA, GL_FLOAT, nullptr);
        }
        glActiveTexture(GL_TEXTURE0);
        glBindRenderbuffer(GL_RENDERBUFFER, _depth);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, _width, _height);
    }

    // Attachment i on texture unit i, nearest filtering; leaves unit N-1 active.
    virtual void bindTextures() {
        for (int i = 0; i < N; ++i) {
            glActiveTexture(GL_TEXTURE0 + i);
            glBindTexture(GL_TEXTURE_2D, _textures[i]);
            // init() chose nearest filtering; set it again only for a texture bound
            // the first time, in case someone sampled it otherwise before.
            if (_filteringSet) continue;
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        }
        _filteringSet = true;
    }

    GLuint texture(int attachment) const {
        HV_ASSERT(attachment >= 0 && attachment < N, "source\\cpp\\GBuffer");
        return _textures[attachment];
    }
    GLuint framebuffer() const { return _framebuffer; }

private:
    void setDrawBuffers() {
        GLenum buffers[N];
        for (int i = 0; i < N; ++i) buffers[i] = GL_COLOR_ATTACHMENT0 + i;
        glDrawBuffers(N, buffers);
    }

    GLuint _textures[N] = {};
    GLuint _framebuffer = 0;
    int _width = 0;
    int _height = 0;
    // Owned here so a destroyed G-buffer gives its memory back.
    GLuint _depth = 0;
    bool _filteringSet = false;
};

extern template class GBuffer<8>;
