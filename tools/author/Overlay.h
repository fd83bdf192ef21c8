// The authoring overlay: lines of text in a dark panel at the window's top left, drawn
// over the finished frame (after the scene's last pass, into the window's framebuffer).
//
// Contract: needs the GL context current. Text comes from FreeType (DejaVu Sans Mono)
// through the art tools' text renderer; it is rendered again only when the lines
// change. A picture (the curve strip) can be laid along the bottom; it is uploaded when
// it is set. draw() leaves blending off and program, texture and vertex array unbound.
#pragma once

#include "TextRenderer.h"

#include <GL/glew.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class Overlay {
public:
    struct Line {
        std::string text;
        std::array<uint8_t, 3> colour{235, 235, 235};
        bool operator==(const Line& other) const { return text == other.text && colour == other.colour; }
    };

    // Throws std::runtime_error when the font or the program cannot be made.
    Overlay(const std::string& fontPath, int pixelHeight);
    ~Overlay();
    Overlay(const Overlay&) = delete;
    Overlay& operator=(const Overlay&) = delete;

    void setLines(const std::vector<Line>& lines);
    // An RGBA picture as wide as the window along its bottom edge; an empty one for none.
    void setStrip(const art::Image& strip);
    void draw(int windowWidth, int windowHeight);
    // Pixel height of a line of text, for pictures that carry text.
    int pixelHeight() const { return _pixelHeight; }

private:
    void render();
    void upload(GLuint texture, const art::Image& image);
    void drawQuad(GLuint texture, float left, float top, float right, float bottom);

    art::TextRenderer _text;
    int _pixelHeight = 14;
    std::vector<Line> _lines;
    bool _stale = true;
    int _width = 0;
    int _height = 0;
    GLuint _program = 0;
    GLuint _vao = 0;
    GLuint _texture = 0;
    GLuint _stripTexture = 0;
    int _stripWidth = 0;
    int _stripHeight = 0;
    GLint _rectLocation = -1;
};
